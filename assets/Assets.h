#pragma once

class QIcon;
class QPixmap;
class QString;

namespace glimmora {

// A picture of the program's own artwork by its resource name, such as
// "wizard/background.png". A missing picture gives a null pixmap. Where
// the screens have more than one device pixel per pixel, the picture
// painted at twice the size (name@2x.png) is given, at a device pixel ratio
// of 2, so it keeps its size in pixels.
QPixmap AssetPixmap(const QString& name);

// The program icon in every square size from 16 to 256 pixels, for the
// window title, the task bar and the switchers alike.
QIcon ProgramIcon();

} // namespace glimmora
