#include "WizardSession.h"

#include <memory>

#include "frmWizard.h"
#include "output/ArtViewer.h"

namespace glimmora {

WizardSession::WizardSession(Platform& platform, QObject* parent)
    : QObject(parent), platform_(platform), viewer_(std::make_unique<ArtViewer>()) {}

// Declared here, where frmWizard is complete.
WizardSession::~WizardSession() = default;

void WizardSession::Open() {
    auto wizard = std::make_unique<frmWizard>(platform_, state_, *viewer_);
    connect(wizard.get(), &frmWizard::confirmedClose, this, [this] {
        Dismiss();
        emit closed();
    });
    connect(wizard.get(), &frmWizard::secretPhraseEntered, this,
            &WizardSession::secretPhraseEntered);
    // The restarting window asks for its successor while it is still on
    // screen, so the program never runs out of windows in between.
    connect(wizard.get(), &frmWizard::restartRequested, this, &WizardSession::Open);
    Dismiss();
    wizard_ = std::move(wizard);
    wizard_->show();
}

void WizardSession::Dismiss() {
    if (wizard_) {
        // The window is inside its own close handling: delete it after that.
        wizard_.release()->deleteLater();
    }
}

frmWizard* WizardSession::Wizard() const {
    return wizard_.get();
}

ArtViewer& WizardSession::Viewer() {
    return *viewer_;
}

} // namespace glimmora
