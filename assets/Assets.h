#pragma once

class QIcon;
class QPixmap;
class QString;

namespace glimmora {

// A picture of the program's own artwork by its resource name, such as
// "wizard/background.png". A missing picture gives a null pixmap.
QPixmap AssetPixmap(const QString& name);

// The program icon in every square size from 16 to 256 pixels, for the
// window title, the task bar and the switchers alike.
QIcon ProgramIcon();

} // namespace glimmora
