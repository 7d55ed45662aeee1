#include "Printing.h"

#include <QPrinter>

namespace glimmora {

bool PrintTextOn(QPrinter&, const QString&) {
    return false;
}

} // namespace glimmora
