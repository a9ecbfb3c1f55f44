// Draws a directory list line as its 8.3 text followed, in grey, by the entry's long name, so
// that the list shows the names users know while each line's text stays the 8.3 form.
#pragma once

#include <QStyledItemDelegate>

class LongNameDelegate : public QStyledItemDelegate {
  public:
    // The item data role that holds the long name.
    static constexpr int kLongNameRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
