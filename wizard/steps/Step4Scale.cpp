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

// Page 4: the scale.

void frmWizard::ShowStep4() {
    state_.BackgroundColorCode = ColorToHex(swatchColour_);
    state_.FontSizeText = txtSize->text().toStdString();
    state_.FontFaceText = cbFace->currentText().toStdString();
    lblSteg->setText(QStringLiteral("4."));
    lblDesc->setText(QStringLiteral("Set the scale of the new picture."));
    SetPreviousEnabled(true);
    UpdateScaleNext();
    lblTip->show();
    picTip->show();
    lblTip->setText(QStringLiteral("The program calculate the scale for you so you only need to "
                                   "change the scale if you not are happy with the size."));
    AutoScale();
    UpdateScaleNext();
    Frame8->show();
}

void frmWizard::AutoScale() {
    const ScaleProposal proposal = glimmora::AutoScale(
        txtWidth->text().toStdString(), txtHeight->text().toStdString(), SelectedFormat());
    txtScaleWidth->setText(QString::fromStdString(proposal.across));
    txtScaleHeight->setText(QString::fromStdString(proposal.down));
}

void frmWizard::UpdateScaleNext() {
    // Only whole steps from 1 to 32767 let a conversion finish: anything
    // else keeps page 5 out of reach.
    if (CurrentStep_ != 4) {
        return;
    }
    SetNextEnabled(IsUsableStep(txtScaleWidth->text().toStdString()) &&
                   IsUsableStep(txtScaleHeight->text().toStdString()));
}

void frmWizard::Label19_Click() {
    // Pause: the conversion stops where it is while the clock goes on.
    Timer1_->SetEnabled(false);
    Label22->show();
    lblLine->show();
    Label22->setText(QStringLiteral("Paused at"));
}

} // namespace glimmora
