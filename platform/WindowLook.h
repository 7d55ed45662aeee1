#pragma once

#include <QFont>
#include <QPalette>
#include <QString>

class QWidget;

namespace glimmora {

// Registers the faces the window layouts are measured for when the system
// does not already have them by family: the bitmap MS Sans Serif and the
// scalable Tahoma that Debian's wine fonts keep outside fontconfig's path.
void RegisterLayoutFonts();

// A font of the window layouts at a size given in points as drawn at 96
// dots per inch: the layouts are measured in pixels (twips / 15), so the
// text keeps its pixel size whatever the screen's resolution. Text is set
// letter by letter, without ligatures (the bitmap MS Sans Serif would
// otherwise turn the "TM" of "HTML" into a trademark sign).
// MS Sans Serif is a bitmap face with one size: it is used only where it
// draws at its own size on a screen of one device pixel per pixel. Anywhere
// else (a larger size, a scaled desktop, the face missing) the text is set
// in Liberation Sans, the scalable face closest to its widths, or Arial.
QFont LayoutFace(const QString& family, double points, bool bold = false);

// True when font draws from a bitmap: it cannot be made smaller and looks
// blurred or tiny when scaled.
bool IsBitmapFace(const QFont& font);

// Shrinks the font of every label and option button inside window whose
// caption is wider (or, wrapped, taller) than its box, in steps of a
// quarter pixel, so no caption is cut off. Captions that fit, and captions
// in a bitmap face, keep their font.
void FitCaptionsToBoxes(QWidget& window);

// The colours every window paints with, whatever the desktop's palette:
// black text on white boxes, black captions on light grey, as the windows
// were drawn. Every role of every group is set, so nothing of the
// desktop's palette shows through.
QPalette FixedPalette();

// Gives window the fixed palette.
void UseFixedColours(QWidget& window);

} // namespace glimmora
