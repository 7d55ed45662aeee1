#include "wizard/frmWizard.h"

#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>

#include <cstdint>

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

// Page 1: the picture, its size and the preview.

namespace {

// The inside of a preview box of w x h twips, within its one-pixel border.
QSize ThumbnailInside(float w, float h) {
    return TwipsRect(0, 0, w, h).size() - QSize(2, 2);
}

// The preview is made at the screen's device pixels, so it is as crisp as
// the text beside it on a scaled desktop.
QSize InDevicePixels(QSize logical, double ratio) {
    return (QSizeF(logical) * ratio).toSize();
}

} // namespace

void frmWizard::ShowStep1() {
    Frame1->show();
    Frame2->show();
    SetPreviousEnabled(false);
    lblSteg->setText(QStringLiteral("1."));
    lblDesc->setText(QStringLiteral("Select an image that you want to transform to ASCII art."));
    if (!txtImage->text().isEmpty()) {
        ShowThumbnail();
    }
    if (txtImage->text().isEmpty()) {
        SetNextEnabled(false);
    }
}

void frmWizard::cmdBrowse_Click() {
    // A cancelled dialog gives back the name it held before.
    const std::optional<QString> chosen = platform_.GetOpenFileName(this);
    ChoosePicture(chosen.value_or(dialogFileName_));
}

void frmWizard::dragEnterEvent(QDragEnterEvent* event) {
    if (CurrentStep_ == 1 && !DroppedFile(*event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void frmWizard::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(*event->mimeData());
    if (CurrentStep_ != 1 || path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    ChoosePicture(path);
}

void frmWizard::ChoosePicture(const QString& path) {
    // A new choice replaces one still being checked.
    StopDecoding();
    dialogFileName_ = path;
    if (dialogFileName_.isEmpty()) {
        // Nothing has been chosen yet: there is nothing to load or report.
        txtImage->clear();
        SetNextEnabled(false);
        return;
    }
    txtImage->setText(dialogFileName_);
    txtImage->setCursorPosition(0); // the path from its beginning
    state_.ImageFileTitle = QFileInfo(dialogFileName_).fileName().toStdString();
    switch (LoadChosenPicture(txtImage->text())) {
    case PictureLoading::Refused:
        RefusePicture();
        return;
    case PictureLoading::Checking:
        // Next waits for the check; the preview comes with it.
        SetNextEnabled(false);
        ShowPlaceholderThumbnail();
        return;
    case PictureLoading::Loaded:
        break;
    }
    if (!txtImage->text().isEmpty()) {
        SetNextEnabled(true);
    }
}

void frmWizard::RefusePicture() {
    platform_.ShowCritical(this, QStringLiteral("Load picture"),
                           QStringLiteral("Invalid picture!"));
    txtImage->clear();
    SetNextEnabled(false);
    ShowPlaceholderThumbnail();
}

frmWizard::PictureLoading frmWizard::LoadChosenPicture(const QString& path) {
    PictureFileResult loaded = platform_.LoadPicture(path);
    if (!loaded.file) {
        return PictureLoading::Refused;
    }
    const QSize inside =
        InDevicePixels(ThumbnailInside(ThumbMaxWidth_, ThumbMaxHeight_), devicePixelRatioF());
    if (std::int64_t{loaded.file->Width()} * loaded.file->Height() > kDecodeAtOncePixels) {
        // Too large to decode at once: the preview is drawn from samples
        // decoded in slices, which check the whole picture on the way.
        checkedPicture_ = std::move(loaded.file);
        const QSize steps = PreviewSteps(*checkedPicture_, inside);
        StartDecoding(Decoding::Preview, *checkedPicture_, steps.width(), steps.height());
        return PictureLoading::Checking;
    }
    // The preview's decode is the check that the picture can be decoded.
    QImage preview = PreviewImage(*loaded.file, inside);
    if (preview.isNull()) {
        return PictureLoading::Refused;
    }
    TakePicture(std::move(loaded.file), std::move(preview));
    return PictureLoading::Loaded;
}

void frmWizard::TakePicture(std::shared_ptr<const PictureFile> picture, QImage preview) {
    // Replacing the surface releases the previous picture.
    PixelSurface_ = std::move(picture);
    preview_ = std::move(preview);
    txtWidth->setText(QString::number(PixelSurface_->Width()));
    txtHeight->setText(QString::number(PixelSurface_->Height()));
    ShowThumbnail();
}

void frmWizard::PreviewDecoded(const SampledPictureResult& samples) {
    std::shared_ptr<const PictureFile> picture = std::move(checkedPicture_);
    QImage preview;
    if (samples.picture) {
        preview = PreviewFromSamples(
            *samples.picture,
            InDevicePixels(ThumbnailInside(ThumbMaxWidth_, ThumbMaxHeight_), devicePixelRatioF()));
    }
    if (!picture || preview.isNull()) {
        RefusePicture();
        return;
    }
    TakePicture(std::move(picture), std::move(preview));
    if (!txtImage->text().isEmpty()) {
        SetNextEnabled(true);
    }
}

void frmWizard::ShowThumbnail() {
    thumbWidth_ = ThumbMaxWidth_;
    thumbHeight_ = ThumbMaxHeight_;
    if (!PixelSurface_) {
        ShowPlaceholderThumbnail();
        return;
    }
    // The picture's size in twips with the holder's one-pixel border on each
    // side, shrunk by 1 % at a time until it fits; never enlarged.
    float w = static_cast<float>((PixelSurface_->Width() + 2) * kTwipsPerPixel);
    float h = static_cast<float>((PixelSurface_->Height() + 2) * kTwipsPerPixel);
    while (w > ThumbMaxWidth_ || h > ThumbMaxHeight_) {
        w = static_cast<float>(w / 1.01);
        h = static_cast<float>(h / 1.01);
    }
    thumbWidth_ = w;
    thumbHeight_ = h;
    // Centred in the frame, 40 twips lower to clear its caption.
    thumbLeft_ = static_cast<float>((kFrame2Width - w) / 2.0);
    thumbTop_ = static_cast<float>((kFrame2Height - h) / 2.0 + 40);
    PlaceThumbnail();
    picThumbNail->DrawPicture(preview_, picThumbNail->size() - QSize(2, 2)); // inside the border
}

void frmWizard::ShowPlaceholderThumbnail() {
    picThumbNail->ClearDrawing();
    thumbTop_ = kThumbDesignTop;
    thumbLeft_ = kThumbDesignLeft;
    thumbHeight_ = ThumbMaxHeight_;
    thumbWidth_ = ThumbMaxWidth_;
    PlaceThumbnail();
}

void frmWizard::PlaceThumbnail() {
    picThumbNail->setGeometry(TwipsRect(thumbLeft_, thumbTop_, thumbWidth_, thumbHeight_));
}

} // namespace glimmora
