#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "TickSource.h"
#include "picture/PictureFile.h"

class QMimeData;
class QObject;
class QWidget;

namespace glimmora {

// What the windows ask of the operating system. The program runs on
// QtPlatform; tests hand the windows a scripted one.
class Platform {
public:
    virtual ~Platform() = default;

    // The open-file dialog, all files offered. Nothing when cancelled.
    virtual std::optional<QString> GetOpenFileName(QWidget* parent) = 0;
    // The save-file dialog offering file types by their filters (a bare
    // pattern such as "*.rtf", or "PNG picture (*.png)"), the first chosen
    // at first, and a proposed file name. The chosen full path and the index
    // of the type chosen, or nothing when cancelled.
    struct SaveChoice {
        QString path;
        int type = 0;
    };
    virtual std::optional<SaveChoice> GetSaveFileName(QWidget* parent, const QStringList& filters,
                                                      const QString& proposedName) = 0;
    // The colour dialog, no initial colour. Nothing when cancelled.
    virtual std::optional<QColor> GetColor(QWidget* parent) = 0;
    // A question with Yes and No, no icon, the given answer the default
    // (what Enter gives). True for Yes.
    enum class Answer { Yes, No };
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text,
                          Answer defaultAnswer = Answer::Yes) = 0;
    // A message with the critical icon and one OK button.
    virtual void ShowCritical(QWidget* parent, const QString& title, const QString& text) = 0;

    // Reads the picture file (path as the file dialog gives it) and its
    // size; nothing is decoded yet.
    virtual PictureFileResult LoadPicture(const QString& path) = 0;
    // The screen fonts, in the order the system lists them.
    virtual QStringList FontFamilies() = 0;

    // Prints text on the default printer as one job, each line (lone CR,
    // LF or CR LF ends a line) on its own printed line, in the printer's
    // default font. False when there is no usable printer.
    virtual bool PrintText(const QString& text) = 0;
    // Clears the clipboard and puts text on it as plain text.
    virtual void SetClipboardText(const QString& text) = 0;

    // A new timer owned by the caller.
    virtual std::unique_ptr<TickSource> CreateTickSource() = 0;
};

// The real thing: Qt's dialogs, image readers, printer and clipboard. A
// tick source whose interval is 1 ms or less runs its ticks back to back in
// slices of about 10 ms, returning to the event loop between slices.
class QtPlatform final : public Platform {
public:
    std::optional<QString> GetOpenFileName(QWidget* parent) override;
    std::optional<SaveChoice> GetSaveFileName(QWidget* parent, const QStringList& filters,
                                              const QString& proposedName) override;
    std::optional<QColor> GetColor(QWidget* parent) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text,
                  Answer defaultAnswer = Answer::Yes) override;
    void ShowCritical(QWidget* parent, const QString& title, const QString& text) override;
    PictureFileResult LoadPicture(const QString& path) override;
    QStringList FontFamilies() override;
    bool PrintText(const QString& text) override;
    void SetClipboardText(const QString& text) override;
    std::unique_ptr<TickSource> CreateTickSource() override;
};

// The families as a user knows them: a family that several foundries
// provide is listed by Qt as "C059 [UKWN]", "C059 [URW]"; each name is kept
// once, without the foundry, in the order of its first appearance.
QStringList DistinctFamilyNames(const QStringList& families);

// The file a drag from the desktop carries when it carries exactly one
// local file that is not a folder; otherwise empty.
QString DroppedFile(const QMimeData& data);

} // namespace glimmora
