#pragma once

namespace glimmora {

// Drives the wizard window through a conversion of a large generated photo
// (4000 x 3000) on Qt's real timer, at the proposed scale and at 1 x 1, and
// prints the time from Next on page 4 to the done message, the cells per
// second and the longest slice of back-to-back ticks. Needs a QApplication.
void RunWizardBenchmark();

} // namespace glimmora
