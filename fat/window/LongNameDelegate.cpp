#include "LongNameDelegate.h"

#include <QApplication>
#include <QPainter>

namespace {

constexpr int kGap = 12;

} // namespace

void LongNameDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const QString longName = index.data(kLongNameRole).toString();
    if (longName.isEmpty()) return;
    const QString shortText = index.data(Qt::DisplayRole).toString();
    QRect area = option.rect;
    area.setLeft(area.left() + option.fontMetrics.horizontalAdvance(shortText) + kGap);
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(selected ? option.palette.color(QPalette::HighlightedText)
                             : option.palette.color(QPalette::PlaceholderText));
    painter->setFont(option.font);
    painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft, longName);
    painter->restore();
}

QSize LongNameDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QString longName = index.data(kLongNameRole).toString();
    if (!longName.isEmpty())
        size.setWidth(size.width() + kGap + option.fontMetrics.horizontalAdvance(longName));
    return size;
}
