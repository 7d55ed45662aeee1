#include "WizardSession.h"

#include "frmWizard.h"
#include "output/ArtViewer.h"

namespace glimmora {

WizardSession::WizardSession(Platform& platform, QObject* parent)
    : QObject(parent), platform_(platform), viewer_(std::make_unique<ArtViewer>()) {}

WizardSession::~WizardSession() = default;

void WizardSession::Open() {}

frmWizard* WizardSession::Wizard() const {
    return wizard_;
}

ArtViewer& WizardSession::Viewer() {
    return *viewer_;
}

} // namespace glimmora
