// Painting Quarry's entry boxes: the fore and back colours that the number rules give a box.
#pragma once

#include "NumberEntry.h"

#include <QColor>

class QWidget;

// The colour as the screen shows it.
QColor EntryQColor(EntryColour colour);
// Text and background of a box.
void PaintEntry(QWidget* box, const EntryMark& mark);
// Background only, text left black.
void PaintBack(QWidget* box, EntryColour back);
