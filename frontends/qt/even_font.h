// The font of the hex listings: one whose characters all take the same width, found by measuring
// them, since a font's own claim to fixed pitch is not always made (Noto Mono makes none).
#pragma once

#include <QFont>
#include <QFontDatabase>

namespace velotrix {

// The preferred font (the system's fixed one) when its characters measure alike, else the first
// monospaced family that does, at the preferred size; the preferred font when none does.
QFont EvenWidthFont(const QFont& preferred = QFontDatabase::systemFont(QFontDatabase::FixedFont));

// Whether every character a hex listing shows (the printable ones of code page 1252) has the
// same advance width in the font.
bool HasEvenWidths(const QFont& font);

}  // namespace velotrix
