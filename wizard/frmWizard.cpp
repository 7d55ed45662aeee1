#include "frmWizard.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>

#include <chrono>

#include "ClickArea.h"
#include "ProgramState.h"
#include "ScreenReaderNames.h"
#include "WizardLook.h"
#include "core/ConversionJob.h"
#include "core/Progress.h"
#include "picture/Picture.h"
#include "platform/Platform.h"
#include "platform/TickSource.h"
#include "platform/WindowLook.h"

namespace glimmora {

const QString frmWizard::kSecretPhrase = QStringLiteral("Maribel Oskarsen Vandertol");

frmWizard::frmWizard(Platform& platform, ProgramState& state, ArtViewer& viewer, QWidget* parent)
    : QWidget(parent), platform_(platform), state_(state), viewer_(viewer),
      Timer1_(platform.CreateTickSource()), tmrTid_(platform.CreateTickSource()),
      decodeTimer_(platform.CreateTickSource()) {
    BuildWindow();
    WireHandlers();
    OrderTabStops();
    NameForScreenReaders(*this);
    FitCaptionsToBoxes(*this);
    Form_Load();
}

frmWizard::~frmWizard() = default;

void frmWizard::WireHandlers() {
    // Page 5's two timers: the cells at 1 ms, the clock at 1000 ms.
    Timer1_->SetInterval(1);
    Timer1_->SetHandler([this] { Timer1_Timer(); });
    Timer1_->SetEnabled(false);
    tmrTid_->SetInterval(1000);
    tmrTid_->SetHandler([this] { tmrTid_Timer(); });
    tmrTid_->SetEnabled(false);
    // Not 1 ms: a tick source that fast runs its ticks back to back, and a
    // decoding tick already takes a slice of its own.
    decodeTimer_->SetInterval(2);
    decodeTimer_->SetHandler([this] { DecodeTimer_Timer(); });
    decodeTimer_->SetEnabled(false);

    connect(cmdNext, &ClickArea::clicked, this, &frmWizard::cmdNext_Click);
    connect(cmdPre, &ClickArea::clicked, this, &frmWizard::cmdPre_Click);
    connect(cmdCancel, &ClickArea::clicked, this, &frmWizard::cmdCancel_Click);
    connect(Picture5, &ClickArea::clicked, this, &frmWizard::Picture5_Click);
    connect(cmdBrowse, &ClickArea::clicked, this, &frmWizard::cmdBrowse_Click);

    connect(Label20, &ClickArea::clicked, this, &frmWizard::Label20_Click);
    connect(Label21, &ClickArea::clicked, this, &frmWizard::Label21_Click);
    connect(Label24, &ClickArea::clicked, this, &frmWizard::Label24_Click);
    connect(Label23, &ClickArea::clicked, this, &frmWizard::Label23_Click);
    connect(lblColor, &ClickArea::clicked, this, &frmWizard::lblColor_Click);

    // Next on page 4 follows the step boxes as they are typed.
    connect(txtScaleWidth, &QLineEdit::textChanged, this, &frmWizard::UpdateScaleNext);
    connect(txtScaleHeight, &QLineEdit::textChanged, this, &frmWizard::UpdateScaleNext);
    connect(Label19, &ClickArea::clicked, this, &frmWizard::Label19_Click);

    connect(cmdArt, &ClickArea::clicked, this, &frmWizard::cmdArt_Click);
    connect(cmdPrint, &ClickArea::clicked, this, &frmWizard::cmdPrint_Click);
    connect(cmdCopy, &ClickArea::clicked, this, &frmWizard::cmdCopy_Click);
    connect(cmdSave, &ClickArea::clicked, this, &frmWizard::cmdSave_Click);

    connect(cmdPre, &ClickArea::mouseMoved, this, &frmWizard::cmdPre_MouseMove);
    connect(cmdNext, &ClickArea::mouseMoved, this, &frmWizard::cmdNext_MouseMove);
    connect(cmdCancel, &ClickArea::mouseMoved, this, &frmWizard::cmdCancel_MouseMove);
    connect(cmdBrowse, &ClickArea::mouseMoved, this, &frmWizard::cmdBrowse_MouseMove);
    // These controls put the buttons back to their idle look when the mouse
    // moves over them (Frame1_MouseMove, Label9_MouseMove and the rest are
    // all ResetHover, so one event filter serves them); every other control
    // leaves a lit button lit.
    for (QWidget* control : std::initializer_list<QWidget*>{
             Frame1, Frame10, Label9, Label5, Label2, Label4, Label3, txtImage, txtWidth, txtHeight,
             lblSteg, lblDesc, Picture3}) {
        control->setMouseTracking(true);
        control->installEventFilter(this);
    }

    connect(Picture1, &ClickArea::doubleClicked, this, &frmWizard::Picture1_DblClick);
    connect(txtEgg, &QLineEdit::textChanged, this, &frmWizard::txtEgg_Change);
}

// ---------------------------------------------------------------------------
// Page flow

void frmWizard::Form_Load() {
    ThumbMaxWidth_ = kThumbDesignWidth;
    ThumbMaxHeight_ = kThumbDesignHeight;
    state_.BackgroundColorCode = "000000";
    cbFace->addItems(platform_.FontFamilies());
    // Filling the list must not replace the face shown.
    cbFace->setCurrentIndex(-1);
    cbFace->setEditText(QStringLiteral("Tahoma"));
    lblProgressBar->hide();
    ShowStep1();
    CurrentStep_ = 1;
    FocusFirstControl();
}

void frmWizard::ClearPageArea() {
    for (QWidget* group : std::initializer_list<QWidget*>{
             Frame1, Frame2, Frame3, Picture1, Label6, Picture2, Label7, Frame4, Frame5, Frame6,
             Frame7, Frame8, Frame9, lblTip, picTip, Frame10}) {
        group->hide();
    }
    ResetHover();
}

void frmWizard::cmdNext_Click() {
    ClearPageArea();
    // Page 6 is the last.
    if (CurrentStep_ >= 1 && CurrentStep_ <= 5) {
        GoToStep(CurrentStep_ + 1);
    }
}

void frmWizard::cmdPre_Click() {
    ClearPageArea();
    // Only pages 2 to 4 lead back; the conversion and its result do not.
    if (CurrentStep_ == 4) {
        // Next on page 4 follows the step boxes; the earlier pages have
        // their own rule, and page 3 entered from here takes Next enabled.
        SetNextEnabled(true);
    }
    if (CurrentStep_ >= 2 && CurrentStep_ <= 4) {
        GoToStep(CurrentStep_ - 1);
    }
}

void frmWizard::GoToStep(int step) {
    // The step changes before the page is shown: page 4's Next follows its
    // step boxes only while page 4 is the current step.
    CurrentStep_ = step;
    switch (step) {
    case 1:
        ShowStep1();
        break;
    case 2:
        ShowStep2();
        break;
    case 3:
        ShowStep3();
        break;
    case 4:
        ShowStep4();
        break;
    case 5:
        ShowStep5();
        break;
    case 6:
        ShowStep6();
        break;
    default:
        break;
    }
    // The page may have set captions of its own.
    FitCaptionsToBoxes(*this);
    FocusFirstControl();
}

void frmWizard::keyPressEvent(QKeyEvent* event) {
    // Return is Next while Next can be clicked, Escape is Cancel. The text
    // boxes pass both keys on; the face list's open drop-down keeps them.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (cmdNext->isEnabled()) {
            cmdNext_Click();
        }
        event->accept();
        return;
    case Qt::Key_Escape:
        event->accept();
        cmdCancel_Click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void frmWizard::cmdCancel_Click() {
    close();
}

void frmWizard::Picture5_Click() {
    RestartPending_ = true;
    StopTimers();
    close();
}

void frmWizard::closeEvent(QCloseEvent* event) {
    Form_QueryUnload(event);
}

void frmWizard::Form_QueryUnload(QCloseEvent* event) {
    if (RestartPending_) {
        RestartPending_ = false;
        // The fresh wizard opens while this one is still on screen.
        emit restartRequested();
        event->accept();
        return;
    }
    // The timers go on while the question is open.
    if (!platform_.AskYesNo(this, QStringLiteral("Exit Glimmora Wizard"),
                            QStringLiteral("Are you sure that you want to exit the Wizard?"))) {
        event->ignore();
        return;
    }
    StopTimers();
    // Drops the art built so far and the picture.
    engine_.reset();
    conversionPicture_.reset();
    PixelSurface_.reset();
    emit confirmedClose();
    event->accept();
}

void frmWizard::StopTimers() {
    Timer1_->SetEnabled(false);
    tmrTid_->SetEnabled(false);
    StopDecoding();
}

// --- Decoding in slices -----------------------------------------------------

void frmWizard::StartDecoding(Decoding what, const PictureFile& picture, int stepX, int stepY) {
    decoder_ = std::make_unique<SampledDecoder>(picture, stepX, stepY);
    decoding_ = what;
    decodeTimer_->SetEnabled(true);
}

void frmWizard::StopDecoding() {
    decodeTimer_->SetEnabled(false);
    decoder_.reset();
    decoding_ = Decoding::None;
    checkedPicture_.reset();
    pendingInputs_.reset();
}

void frmWizard::DecodeTimer_Timer() {
    if (!decoder_) {
        decodeTimer_->SetEnabled(false);
        return;
    }
    // About half a frame, so the window goes on drawing and answering.
    constexpr std::chrono::milliseconds kSlice(8);
    const bool ended = decoder_->Advance(kSlice);
    if (decoding_ == Decoding::Samples && decoder_->Rows() > 0) {
        // The bar moves with the decode; the conversion that follows takes
        // it over at its first line end.
        SetProgressBarWidth(
            static_cast<float>(kProgressBarFullWidth * decoder_->RowsDone() / decoder_->Rows()));
    }
    if (!ended) {
        return;
    }
    const SampledPictureResult result = decoder_->Result();
    const Decoding finished = decoding_;
    decodeTimer_->SetEnabled(false);
    decoder_.reset();
    decoding_ = Decoding::None;
    if (finished == Decoding::Preview) {
        PreviewDecoded(result);
    } else if (finished == Decoding::Samples) {
        SamplesDecoded(result);
    }
}

// A disabled button never lights: its highlighted face goes when it is
// disabled under a resting mouse (Next on page 4 follows the typing).
void frmWizard::SetNextEnabled(bool enabled) {
    cmdNext->setEnabled(enabled);
    imgNext2->setVisible(!enabled);
    if (!enabled) {
        imgNext->hide();
    }
}

void frmWizard::SetPreviousEnabled(bool enabled) {
    cmdPre->setEnabled(enabled);
    imgPrevious2->setVisible(!enabled);
    if (!enabled) {
        imgPrevious->hide();
    }
}

// ---------------------------------------------------------------------------
// Hover

void frmWizard::ResetHover() {
    imgPrevious->hide();
    imgNext->hide();
    imgCancel->hide();
    imgBrowse2->hide();
    imgBrowse->show();
}

void frmWizard::cmdPre_MouseMove() {
    ResetHover();
    imgPrevious->show();
}

void frmWizard::cmdNext_MouseMove() {
    ResetHover();
    imgNext->show();
}

void frmWizard::cmdCancel_MouseMove() {
    ResetHover();
    imgCancel->show();
}

void frmWizard::cmdBrowse_MouseMove() {
    ResetHover();
    imgBrowse->hide();
    imgBrowse2->show();
}

void frmWizard::Form_MouseMove() {
    ResetHover();
}

void frmWizard::mouseMoveEvent(QMouseEvent* event) {
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

bool frmWizard::eventFilter(QObject* watched, QEvent* event) {
    // Only the controls that put the buttons back have this filter.
    if (event->type() == QEvent::MouseMove) {
        ResetHover();
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// The hidden phrase

void frmWizard::Picture1_DblClick() {
    txtEgg->setFocus();
}

void frmWizard::txtEgg_Change(const QString& text) {
    if (text != kSecretPhrase) {
        return;
    }
    // Emptying the box runs this handler once more, with nothing to match.
    txtEgg->clear();
    emit secretPhraseEntered();
}

} // namespace glimmora
