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

// Page 3: ramp, word, font and background.

void frmWizard::ShowStep3() {
    lblSteg->setText(QStringLiteral("3."));
    const auto twoCharacterRamp = [this] {
        txtColor5->setText(QStringLiteral(";;"));
        txtColor6->setText(QStringLiteral("::"));
        txtColor7->setText(QStringLiteral(",,"));
        txtColor8->setText(QStringLiteral(".."));
        txtWhite->setText(QStringLiteral("  "));
    };
    if (optHtmlCldTxt->isChecked()) {
        txtSize->setText(QStringLiteral("8"));
        cbFace->setEditText(QStringLiteral("Tahoma"));
        SetSwatchColour(kBlack);
        lblDesc->setText(QStringLiteral("Select background color and font that you want in your "
                                        "HTML file. You must also choose a word that will build "
                                        "your picture."));
        Frame5->move(Twips(960), Frame5->y());
        Frame6->move(Twips(3240), Frame6->y());
        Frame5->show();
        Frame6->show();
        Frame7->show();
        lblTip->show();
        picTip->show();
        lblTip->setText(QStringLiteral("We recommend you to write your word in capitals only. It "
                                       "looks more beautiful then!"));
    } else if (optHtmlTxt->isChecked()) {
        txtSize->setText(QStringLiteral("5"));
        cbFace->setEditText(QStringLiteral("Arial"));
        SetSwatchColour(kWhite);
        lblDesc->setText(QStringLiteral("Select background color and font that you want in your "
                                        "HTML file and type in which ASCII signs that you want to "
                                        "use."));
        Frame5->move(Twips(2040), Frame5->y());
        Frame6->move(Twips(4320), Frame6->y());
        Frame5->show();
        Frame6->show();
        Frame4->move(Twips(240), Twips(3360));
        Frame4->show();
        twoCharacterRamp();
    } else if (optRtf->isChecked()) {
        txtSize->setText(QStringLiteral("5"));
        cbFace->setEditText(QStringLiteral("Arial"));
        lblDesc->setText(QStringLiteral("Select font and which ASCII signs that you want to use."));
        Frame4->move(Twips(240), Twips(3360));
        Frame4->show();
        Frame5->move(Twips(3000), Frame5->y());
        Frame5->show();
        twoCharacterRamp();
    } else if (optClnTxt->isChecked()) {
        lblDesc->setText(QStringLiteral("Select which ASCII signs that you want to use."));
        Frame4->move(Twips(240), Twips(2160));
        Frame4->show();
        txtColor5->setText(QStringLiteral(";"));
        txtColor6->setText(QStringLiteral(":"));
        txtColor7->setText(QStringLiteral(","));
        txtColor8->setText(QStringLiteral("."));
        txtWhite->setText(QStringLiteral(" "));
    }
}

void frmWizard::SetSwatchColour(Colour colour) {
    swatchColour_ = colour;
    ShpColor->SetFill(ToQColor(colour));
}

void frmWizard::lblColor_Click() {
    // A cancelled dialog reports the colour it reported last (black at
    // first), and that colour is applied.
    if (const std::optional<QColor> chosen = platform_.GetColor(this)) {
        lastDialogColour_ = FromQColor(*chosen);
    }
    SetSwatchColour(lastDialogColour_);
    state_.BackgroundColorCode = ColorToHex(lastDialogColour_);
}

} // namespace glimmora
