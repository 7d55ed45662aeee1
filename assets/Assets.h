#pragma once

class QPixmap;
class QString;

namespace glimmora {

// A picture of the program's own artwork by its resource name, such as
// "wizard/background.png". A missing picture gives a null pixmap.
QPixmap AssetPixmap(const QString& name);

} // namespace glimmora
