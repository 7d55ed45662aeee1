#pragma once

#include <QWidget>

namespace glimmora {

class Platform;
class ArtViewer;
struct ProgramState;

// The six-page wizard window "Glimmora - Wizard".
class frmWizard : public QWidget {
    Q_OBJECT
public:
    frmWizard(Platform& platform, ProgramState& state, ArtViewer& viewer,
              QWidget* parent = nullptr);

signals:
    // The user answered Yes to the exit question; the window is closing.
    void confirmedClose();
    // The restart button was clicked; the window has closed without asking
    // and a fresh wizard should open.
    void restartRequested();
    // The hidden phrase was typed into txtEgg.
    void secretPhraseEntered();
};

} // namespace glimmora
