#include "WizardSession.h"

#include <memory>

#include "frmWizard.h"
#include "output/ArtViewer.h"

namespace glimmora {

WizardSession::WizardSession(Platform& platform, QObject* parent)
    : QObject(parent), platform_(platform), viewer_(std::make_unique<ArtViewer>()) {}

WizardSession::~WizardSession() {
    // A wizard still open when the session ends (the program is ending)
    // goes with it: it refers to the session's values.
    std::unique_ptr<frmWizard> open(wizard_.data());
}

void WizardSession::Open() {
    // A top-level window; closing it deletes it.
    auto* wizard = new frmWizard(platform_, state_, *viewer_);
    wizard->setAttribute(Qt::WA_DeleteOnClose);
    connect(wizard, &frmWizard::confirmedClose, this, &WizardSession::closed);
    connect(wizard, &frmWizard::secretPhraseEntered, this, &WizardSession::secretPhraseEntered);
    // The restarting window asks for its successor while it is still on
    // screen, so the program never runs out of windows in between.
    connect(wizard, &frmWizard::restartRequested, this, &WizardSession::Open);
    wizard_ = wizard;
    wizard->show();
}

frmWizard* WizardSession::Wizard() const {
    return wizard_;
}

ArtViewer& WizardSession::Viewer() {
    return *viewer_;
}

} // namespace glimmora
