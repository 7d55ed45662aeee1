#pragma once

namespace glimmora {

// Times what glimmora-convert does with a large photo-like JPEG, stage by
// stage, in this process: decoding the file, converting it (at the proposed
// scale and at 1 x 1) and writing the document (composing the bytes and
// putting them in a file), for RTF and coloured HTML. Prints the figures.
void RunConvertBenchmark();

} // namespace glimmora
