#pragma once

namespace glimmora {

// The figures that say whether large pictures are handled well, one table
// row each: the converter's time against djpeg and its peak memory, run as
// separate processes through glimmora-measure, on generated 12-MP JPEG and
// PNG photos, a 400-MP JPEG and coloured art at 1 x 1; the longest stall of
// the wizard choosing and converting a 100-MP JPEG; the viewer opening large
// art. Needs a QApplication.
void RunTableBenchmark();

} // namespace glimmora
