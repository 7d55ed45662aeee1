#include "wizard/frmWizard.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "assets/Assets.h"
#include "core/ConversionJob.h"
#include "core/Numbers.h"
#include "core/Progress.h"
#include "core/Scale.h"
#include "output/ArtViewer.h"
#include "output/Outlets.h"
#include "platform/Platform.h"
#include "platform/TickSource.h"
#include "platform/Twips.h"
#include "wizard/ClickArea.h"
#include "wizard/ProgramState.h"
#include "wizard/WizardLook.h"

namespace glimmora {

// Page 6: the finished art and its outlets.

void frmWizard::ShowStep6() {
    lblSteg->setText(QStringLiteral("6."));
    lblDesc->setText(QStringLiteral("What do you want to do with your picture?"));
    SetNextEnabled(false);
    Frame10->show();
}

void frmWizard::cmdArt_Click() {
    viewer_.Show(QString::fromStdString(state_.ArtBuffer));
}

void frmWizard::cmdPrint_Click() {
    PrintArt(platform_, SelectedFormat(), state_.ArtBuffer, this);
}

void frmWizard::cmdCopy_Click() {
    CopyArt(platform_, state_.ArtBuffer);
}

void frmWizard::cmdSave_Click() {
    SaveInputs inputs;
    inputs.format = SelectedFormat();
    inputs.artText = state_.ArtBuffer;
    inputs.style.backgroundColorCode = state_.BackgroundColorCode;
    inputs.style.fontSizeText = state_.FontSizeText;
    inputs.style.fontFaceText = state_.FontFaceText;
    inputs.imageFileTitle = state_.ImageFileTitle;
    SaveArt(platform_, this, inputs);
}

} // namespace glimmora
