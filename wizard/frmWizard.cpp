#include "frmWizard.h"

namespace glimmora {

frmWizard::frmWizard(Platform&, ProgramState&, ArtViewer&, QWidget* parent) : QWidget(parent) {}

} // namespace glimmora
