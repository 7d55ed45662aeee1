#pragma once

#include <QString>

class QPrinter;

namespace glimmora {

// Prints text on printer as one document: each line (ended by a lone CR, an
// LF or CR LF) on its own printed line from the top of the first page, in
// the printer's default font, flowing onto further pages. False when the
// printer could not be used.
bool PrintTextOn(QPrinter& printer, const QString& text);

} // namespace glimmora
