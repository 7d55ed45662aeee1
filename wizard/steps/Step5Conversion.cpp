#include "wizard/frmWizard.h"

#include <cstdint>
#include <new>

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
#include "picture/Picture.h"
#include "platform/Platform.h"
#include "platform/TickSource.h"
#include "platform/Twips.h"
#include "wizard/ClickArea.h"
#include "wizard/ProgramState.h"
#include "wizard/WizardLook.h"

namespace glimmora {

// Page 5: the conversion, its counter, bar and time left.

void frmWizard::ShowStep5() {
    lblSteg->setText(QStringLiteral("5."));
    lblDesc->setText(QStringLiteral("Please wait while the program create your ASCII art..."));
    Frame9->show();
    SetNextEnabled(false);
    SetPreviousEnabled(false);
    lblProgressBar->show();
    SetProgressBarWidth(0);

    // The inputs cannot change while page 5 is shown: the engine takes them
    // once, as the controls hold them now.
    ConversionInputs inputs;
    inputs.widthText = txtWidth->text().toStdString();
    inputs.heightText = txtHeight->text().toStdString();
    inputs.scaleWidthText = txtScaleWidth->text().toStdString();
    inputs.scaleHeightText = txtScaleHeight->text().toStdString();
    inputs.coloured = optHtmlCldTxt->isChecked();
    const std::array<const QLineEdit*, 9> ramp{txtBlack,  txtColor2, txtColor3,
                                               txtColor4, txtColor5, txtColor6,
                                               txtColor7, txtColor8, txtWhite};
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        inputs.ramp[i] = ramp[i]->text().toStdString();
    }
    inputs.word = txtWord->text().toStdString();
    state_.ArtBuffer.clear();
    ElapsedSeconds_ = 0;

    Label22->setText(QStringLiteral("Scanning line"));
    Label22->show();
    lblLine->show();
    QString path = txtImage->text();
    if (path.size() > kLongestShownPath) {
        path = path.left(kLongestShownPath) + QStringLiteral("...");
    }
    lblDir->setText(path);

    // Only the pixels the art reads are decoded: one at each step across and
    // down, the steps as the engine reads them. A large picture is decoded
    // in slices first; the clock counts that time too.
    pendingInputs_ = std::make_unique<ConversionInputs>(std::move(inputs));
    conversionPicture_.reset();
    if (!PixelSurface_) {
        StartEngine();
        return;
    }
    const int stepX = ReadWholeNumber(pendingInputs_->scaleWidthText);
    const int stepY = ReadWholeNumber(pendingInputs_->scaleHeightText);
    if (std::int64_t{PixelSurface_->Width()} * PixelSurface_->Height() <= kDecodeAtOncePixels) {
        SamplesDecoded(DecodeSampled(*PixelSurface_, stepX, stepY));
        return;
    }
    tmrTid_->SetEnabled(true);
    StartDecoding(Decoding::Samples, *PixelSurface_, stepX, stepY);
}

void frmWizard::SamplesDecoded(const SampledPictureResult& samples) {
    if (!samples.picture) {
        ConversionRefused(samples);
        return;
    }
    conversionPicture_ = samples.picture;
    StartEngine();
}

void frmWizard::StartEngine() {
    if (!pendingInputs_) {
        return;
    }
    engine_ =
        std::make_unique<ConversionEngine>(std::move(*pendingInputs_), conversionPicture_.get());
    pendingInputs_.reset();
    Timer1_->SetEnabled(true);
    tmrTid_->SetEnabled(true);
}

void frmWizard::Timer1_Timer() {
    if (!engine_) {
        return;
    }
    StepResult result;
    try {
        result = engine_->Step();
    } catch (const std::bad_alloc&) {
        ConversionOutOfMemory();
        return;
    }
    if (result == StepResult::Cell) {
        return;
    }
    ShowLineEnd();
    if (result == StepResult::Finished) {
        FinishConversion();
    }
}

// Memory ran out while the art grew: nothing half-made may pass for art.
// The partial art is dropped, the user hears why and goes back to the scale
// page, where a larger step makes a smaller art.
void frmWizard::ConversionOutOfMemory() {
    StopTimers();
    engine_.reset();
    conversionPicture_.reset();
    platform_.ShowCritical(this, QStringLiteral("Convert"),
                           QStringLiteral("Not enough memory to build this art; a larger scale "
                                          "needs less."));
    ClearPageArea();
    GoToStep(4);
}

// The picture's pixels cannot be decoded at these steps: the user hears
// why (memory, or a picture damaged beyond what the preview showed) and goes
// back to the scale page.
void frmWizard::ConversionRefused(const SampledPictureResult& sampled) {
    if (sampled.failure == PictureFailure::OutOfMemory) {
        ConversionOutOfMemory();
        return;
    }
    StopTimers();
    engine_.reset();
    conversionPicture_.reset();
    pendingInputs_.reset();
    platform_.ShowCritical(this, QStringLiteral("Convert"), sampled.error);
    ClearPageArea();
    GoToStep(4);
}

void frmWizard::ShowLineEnd() {
    const std::int16_t line = engine_->CurrentLine();
    const std::int16_t height = engine_->Height();
    lblLine->setText(QString::fromStdString(LineCounterText(line, height)));
    if (const std::optional<float> width =
            glimmora::ProgressBarWidth(engine_->ScaleHeight(), engine_->CellRow(), height)) {
        SetProgressBarWidth(*width);
    }
    if (const std::optional<std::string> left = TimeLeftText(ElapsedSeconds_, line, height)) {
        lblTime->setText(QString::fromStdString(*left));
    }
}

void frmWizard::FinishConversion() {
    Timer1_->SetEnabled(false);
    lblLine->hide();
    Label22->hide();
    Label28->setText(QStringLiteral("Done! Press \"Next >\" to continue."));
    SetNextEnabled(true);
    SetProgressBarWidth(kProgressBarFullWidth);
    lblProgressBar->show();
    state_.ArtBuffer = engine_->TakeArtText();
    tmrTid_->SetEnabled(false);
    lblTime->setText(QStringLiteral("0 h, 0 min, 0 sek."));
    emit conversionFinished();
}

void frmWizard::SetProgressBarWidth(float twips) {
    progressBarWidth_ = twips;
    lblProgressBar->resize(Twips(twips), lblProgressBar->height());
}

void frmWizard::tmrTid_Timer() {
    ElapsedSeconds_ = NextElapsedSeconds(ElapsedSeconds_);
}

} // namespace glimmora
