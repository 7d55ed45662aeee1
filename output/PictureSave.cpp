#include "PictureSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>
#include <new>
#include <optional>
#include <string>

#include "cli/OutputTarget.h"
#include "output/ArtPicture.h"
#include "platform/Platform.h"

namespace glimmora {

namespace {

// Writes the picture; nothing on success, else why.
std::optional<std::string> WritePicture(const std::string& path, const SaveInputs& inputs) {
    std::string why;
    const std::optional<PictureLook> look = DocumentPictureLook(inputs.format, inputs.style, why);
    if (!look) {
        return why;
    }
    const std::string_view art = inputs.artText;
    ArtPicture picture(*look);
    const ArtReplay replay = [art](const ByteSink& sink) { sink(art); };
    if (std::optional<std::string> refusal = PictureSizeRefusal(picture.Measure(replay))) {
        return refusal;
    }
    std::unique_ptr<OutputTarget> target = OutputTarget::Open(path, why);
    if (!target) {
        return why;
    }
    try {
        WriteMeasuredPng(picture, replay,
                         [&target](std::string_view bytes) { target->Write(bytes); });
    } catch (const std::bad_alloc&) {
        return std::string("Not enough memory to draw the picture.");
    }
    return target->Finish();
}

} // namespace

void SaveArtPicture(Platform& platform, QWidget* parent, const SaveInputs& inputs,
                    const QString& chosenPath) {
    const std::string path = WithExtension(chosenPath.toStdString(), ".png");
    const QString shownPath = QString::fromStdString(path);
    const QFileInfo file(shownPath);
    // A picture cannot be added to: the question is whether to replace.
    if (file.exists() && !file.isDir() &&
        !platform.AskYesNo(parent, QStringLiteral("Save"),
                           QStringLiteral("%1 already exists. Replace it?").arg(file.fileName()),
                           Platform::Answer::No)) {
        return;
    }
    if (const std::optional<std::string> failure =
            WritePicture(QFile::encodeName(shownPath).toStdString(), inputs)) {
        platform.ShowCritical(
            parent, QStringLiteral("Save"),
            QStringLiteral("The file %1 could not be saved: %2")
                .arg(QDir::toNativeSeparators(shownPath),
                     AsContinuation(failure->ends_with('.') ? *failure : *failure + ".")));
    }
}

} // namespace glimmora
