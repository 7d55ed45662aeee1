#include "Platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QEventLoop>
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

// Runs box until it is answered. Not by exec(), whose loop would end when
// the box is shown anew on Wayland after a maximise (see KeepFixedSize).
QAbstractButton* RunUntilAnswered(QMessageBox& box) {
    KeepFixedSize(box);
    box.setWindowModality(box.parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    QEventLoop loop;
    QObject::connect(&box, &QDialog::finished, &loop, [&loop] { loop.exit(); });
    box.show();
    loop.exec(QEventLoop::DialogExec);
    return box.clickedButton();
}

} // namespace

std::optional<QString> QtPlatform::GetOpenFileName(QWidget* parent) {
    const QString path = QFileDialog::getOpenFileName(parent);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

std::optional<Platform::SaveChoice> QtPlatform::GetSaveFileName(QWidget* parent,
                                                                const QStringList& filters,
                                                                const QString& proposedName) {
    // The dialog would ask about the name before the extension is added,
    // and about replacing, while the save appends: the save asks itself.
    QString chosenFilter = filters.value(0);
    const QString path =
        QFileDialog::getSaveFileName(parent, QString(), proposedName, filters.join(";;"),
                                     &chosenFilter, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return SaveChoice{path,
                      static_cast<int>(std::max<qsizetype>(0, filters.indexOf(chosenFilter)))};
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
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultAnswer == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    return RunUntilAnswered(box) == box.button(QMessageBox::Yes);
}

void QtPlatform::ShowCritical(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
    RunUntilAnswered(box);
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
