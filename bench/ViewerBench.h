#pragma once

namespace glimmora {

// Opens the viewer window on large art, as Show art on page 6 does: the art
// of a 12-MP picture as RTF at 1 x 1 and of a 1-MP picture in coloured
// letters at 1 x 1. Prints the time from Show art to the first painted
// window, the slowest and mean repaint while scrolling through the art, and
// a new size typed into the size box. Needs a QApplication.
void RunViewerBenchmark();

struct ViewerFigures {
    double artMegabytes = 0;
    double shownMilliseconds = 0;       // Show art to the painted window
    double meanRepaintMilliseconds = 0; // scrolling through the art
    double slowestRepaintMilliseconds = 0;
};
// The figures for the art of a 12-MP picture as RTF at 1 x 1 (coloured
// false) or of a 1-MP picture in coloured letters at 1 x 1 (coloured true).
ViewerFigures MeasureViewer(bool coloured);

} // namespace glimmora
