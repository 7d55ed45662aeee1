#include "Outlets.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

#include "output/PictureSave.h"
#include "platform/Platform.h"

namespace glimmora {

QString AsContinuation(const std::string& sentence) {
    QString text = QString::fromStdString(sentence);
    if (text.size() > 1 && text.at(0).isUpper() && text.at(1).isLower()) {
        text[0] = text.at(0).toLower();
    }
    return text;
}

void SaveArt(Platform& platform, QWidget* parent, const SaveInputs& inputs) {
    const QString filter = QString::fromStdString(FilterFor(inputs.format));
    const std::string extension = ExtensionFor(inputs.format);
    const QString proposedName = QString::fromStdString(ProposedFileName(inputs.imageFileTitle));

    const std::optional<Platform::SaveChoice> chosen = platform.GetSaveFileName(
        parent, {filter, QString::fromLatin1(kPictureSaveFilter)}, proposedName);
    if (!chosen || chosen->path.isEmpty()) {
        return;
    }
    if (chosen->type == 1) {
        SaveArtPicture(platform, parent, inputs, chosen->path);
        return;
    }
    const std::string path = WithExtension(chosen->path.toStdString(), extension);
    const QFileInfo file(QString::fromStdString(path));
    // The dialog asked nothing: only now is the name with its extension
    // known. The save adds to the file, it never replaces it.
    if (file.exists() && !file.isDir() &&
        !platform.AskYesNo(parent, QStringLiteral("Save"),
                           QStringLiteral("%1 already exists. Add this art to the end of it?")
                               .arg(file.fileName()),
                           Platform::Answer::No)) {
        return;
    }
    const std::optional<std::string> failure = AppendToFile(path, [&](const ByteSink& sink) {
        WriteSaveBytes(inputs.format, inputs.artText, inputs.style, sink);
    });
    if (failure) {
        platform.ShowCritical(parent, QStringLiteral("Save"),
                              QStringLiteral("The file %1 could not be saved: %2")
                                  .arg(QDir::toNativeSeparators(QString::fromStdString(path)),
                                       AsContinuation(*failure)));
    }
}

void PrintArt(Platform& platform, OutputFormat format, const std::string& artText,
              QWidget* parent) {
    if (format != OutputFormat::CleanText && format != OutputFormat::Rtf) {
        return;
    }
    // Silence would look as if the art had gone to the printer.
    if (!platform.PrintText(QString::fromStdString(artText))) {
        platform.ShowCritical(parent, QStringLiteral("Print"),
                              QStringLiteral("No printer is installed."));
    }
}

void CopyArt(Platform& platform, const std::string& artText) {
    platform.SetClipboardText(QString::fromStdString(artText));
}

} // namespace glimmora
