#pragma once

#include <QString>

namespace glimmora {

// Drives the wizard window through a conversion of a large generated photo
// (4000 x 3000) on Qt's real timer, at the proposed scale and at 1 x 1, and
// prints the time from Next on page 4 to the done message, the cells per
// second and the longest slice of back-to-back ticks. Needs a QApplication.
void RunWizardBenchmark();

struct WizardStalls {
    bool chosen = false;    // the picture was taken
    double choosing = 0;    // ms, the longest stall from "..." to the preview
    bool converted = false; // the conversion finished
    double converting = 0;  // ms, the longest stall on page 5
    double convertSeconds = 0;
};
// Chooses the picture at path with "..." and converts it at the proposed
// RTF scale, watching how long the event loop goes without turning.
WizardStalls MeasureWizardStalls(const QString& path);

} // namespace glimmora
