#pragma once

#include "core/ConversionJob.h"
#include "output/Documents.h"

namespace glimmora {

// Converts the picture and writes the art as UTF-8 text with LF line ends,
// the form terminals and Linux tools read: the sign-mode art text with each
// CR made an LF. With colour every cell is preceded by SGR 38;2;R;G;B in
// the colour of its sampled pixel, and every line ends with the reset SGR 0
// before its LF; the cells are then the word's letters when inputs.word is
// not empty (running on across lines, as in coloured HTML), else the ramp's
// signs. inputs.coloured is set here. Throws std::bad_alloc when memory
// runs out.
void WriteArtText(ConversionInputs inputs, const PixelSource& picture, bool colour,
                  const ByteSink& sink);

// Columns of the terminal on fd; else the COLUMNS variable; else 80.
int TerminalColumns(int fd);

} // namespace glimmora
