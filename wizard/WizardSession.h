#pragma once

#include <QObject>

#include <memory>

#include "ProgramState.h"

namespace glimmora {

class Platform;
class frmWizard;
class ArtViewer;

// Owns what lives beside the wizard windows: the program-wide values, the
// art viewer, and the current wizard window. A restart replaces the window
// by a fresh one; a confirmed close ends the session's window.
class WizardSession : public QObject {
    Q_OBJECT
public:
    explicit WizardSession(Platform& platform, QObject* parent = nullptr);
    ~WizardSession() override;

    // Creates a fresh wizard window and shows it modeless.
    void Open();
    // The wizard window shown now, or null.
    frmWizard* Wizard() const;
    ProgramState& State() { return state_; }
    ArtViewer& Viewer();

signals:
    // The user confirmed leaving the wizard (not emitted for a restart).
    void closed();
    // The hidden phrase was typed into the wizard's txtEgg.
    void secretPhraseEntered();

private:
    // Lets go of the wizard window, which is closing: it is deleted once its
    // close has run to its end.
    void Dismiss();

    Platform& platform_;
    ProgramState state_;
    std::unique_ptr<ArtViewer> viewer_;
    // Declared last so that it goes first: the window uses the values above.
    std::unique_ptr<frmWizard> wizard_;
};

} // namespace glimmora
