#include "Platform.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSet>

#include "FixedSizeWindow.h"
#include "Printing.h"
#include "QtTickSource.h"

namespace glimmora {

namespace {

// A message box sizes itself to its text and keeps that size. On Wayland it
// may grow instead, so that a compositor maximising it (by the maximise box
// of its title bar) gets a window of the size it asks for, rather than one
// that ends the program; a box in its own loop cannot be shown anew.
class MessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        if (OnWayland() && maximumSize() == minimumSize()) {
            setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
        return handled;
    }
};

} // namespace

std::optional<QString> QtPlatform::GetOpenFileName(QWidget* parent) {
    const QString path = QFileDialog::getOpenFileName(parent);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

std::optional<QString> QtPlatform::GetSaveFileName(QWidget* parent, const QString& filter,
                                                   const QString& proposedName) {
    // The dialog would ask about the name before the extension is added,
    // and about replacing, while the save appends: the save asks itself.
    const QString path = QFileDialog::getSaveFileName(parent, QString(), proposedName, filter,
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

std::optional<QColor> QtPlatform::GetColor(QWidget* parent) {
    const QColor colour = QColorDialog::getColor(Qt::black, parent);
    if (!colour.isValid()) {
        return std::nullopt;
    }
    return colour;
}

bool QtPlatform::AskYesNo(QWidget* parent, const QString& title, const QString& text,
                          Answer defaultAnswer) {
    MessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultAnswer == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtPlatform::ShowCritical(QWidget* parent, const QString& title, const QString& text) {
    MessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
    box.exec();
}

PictureFileResult QtPlatform::LoadPicture(const QString& path) {
    return PictureFile::Open(QFile::encodeName(path).toStdString(), path);
}

QStringList QtPlatform::FontFamilies() {
    return DistinctFamilyNames(QFontDatabase::families());
}

QStringList DistinctFamilyNames(const QStringList& families) {
    // The foundry goes: the name lands in the documents, where other
    // programs look the face up by its family name alone.
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\[\\]]*\\]$"));
    QStringList names;
    QSet<QString> seen;
    for (const QString& family : families) {
        QString name = family;
        name.remove(foundry);
        if (!name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    }
    return names;
}

bool QtPlatform::PrintText(const QString& text) {
    if (QPrinterInfo::defaultPrinter().isNull()) {
        return false;
    }
    QPrinter printer(QPrinterInfo::defaultPrinter());
    return PrintTextOn(printer, text);
}

void QtPlatform::SetClipboardText(const QString& text) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

std::unique_ptr<TickSource> QtPlatform::CreateTickSource() {
    return std::make_unique<QtTickSource>();
}

QString DroppedFile(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) {
        return {};
    }
    const QString path = urls.front().toLocalFile();
    return QFileInfo(path).isDir() ? QString() : path;
}

} // namespace glimmora
