#include "EntryColours.h"

#include <QPalette>
#include <QWidget>

QColor EntryQColor(EntryColour colour) {
    // The host keeps colours as blue-green-red.
    const std::uint32_t value = ColourValue(colour);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

void PaintEntry(QWidget* box, const EntryMark& mark) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, EntryQColor(mark.fore));
    palette.setColor(QPalette::Base, EntryQColor(mark.back));
    box->setPalette(palette);
}

void PaintBack(QWidget* box, EntryColour back) {
    PaintEntry(box, EntryMark{EntryColour::Black, back});
}
