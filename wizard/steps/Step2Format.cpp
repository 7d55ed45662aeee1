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

// Page 2: the four formats.

void frmWizard::ShowStep2() {
    for (QWidget* control :
         std::initializer_list<QWidget*>{Frame3, Picture1, Label6, Picture2, Label7}) {
        control->show();
    }
    SetPreviousEnabled(true);
    lblSteg->setText(QStringLiteral("2."));
    lblDesc->setText(QStringLiteral("Which format do you want to use?"));
}

OutputFormat frmWizard::SelectedFormat() const {
    if (optHtmlCldTxt->isChecked()) {
        return OutputFormat::HtmlColoredText;
    }
    if (optHtmlTxt->isChecked()) {
        return OutputFormat::HtmlText;
    }
    if (optClnTxt->isChecked()) {
        return OutputFormat::CleanText;
    }
    return OutputFormat::Rtf;
}

// A click on a format's caption selects its option button, as a click on
// the button does.
void frmWizard::Label20_Click() {
    optClnTxt->setChecked(true);
}

void frmWizard::Label21_Click() {
    optRtf->setChecked(true);
}

void frmWizard::Label24_Click() {
    optHtmlTxt->setChecked(true);
}

void frmWizard::Label23_Click() {
    optHtmlCldTxt->setChecked(true);
}

} // namespace glimmora
