#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPageLayout>
#include <QPixmap>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "assets/Assets.h"
#include "output/ArtTextView.h"
#include "output/ArtViewer.h"
#include "output/Form3.h"
#include "output/Outlets.h"
#include "platform/Platform.h"
#include "platform/Printing.h"
#include "platform/Twips.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TestFiles.h"

using glimmora::ArtTextView;
using glimmora::ArtViewer;
using glimmora::DocumentStyle;
using glimmora::Form3;
using glimmora::OutputFormat;
using glimmora::SaveInputs;
using glimmora::testing::Bytes;
using glimmora::testing::ChildExit;
using glimmora::testing::ChildOptions;
using glimmora::testing::HandToUnprivileged;
using glimmora::testing::ReadAll;
using glimmora::testing::RunInChild;
using glimmora::testing::ScriptedPlatform;

Q_DECLARE_METATYPE(OutputFormat)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

// The art must outlive the inputs (a literal does).
SaveInputs Inputs(OutputFormat format, std::string_view art = "ab\rcd\r",
                  std::string title = "photo.jpg") {
    SaveInputs inputs;
    inputs.format = format;
    inputs.artText = art;
    inputs.style = DocumentStyle{"FFFFFF", "8", "Tahoma"};
    inputs.imageFileTitle = std::move(title);
    return inputs;
}

// The text of a PDF as pdftotext lays it out; pages are separated by form
// feeds.
QString PdfText(const QString& pdf, const QStringList& extra = {}) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), extra + QStringList{pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The non-empty lines of one page of pdftotext output, blanks at the ends
// trimmed.
QStringList PageLines(const QString& page) {
    QStringList lines;
    for (const QString& line : page.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty()) {
            lines.append(line.trimmed());
        }
    }
    return lines;
}

void PrepareToPdf(QPrinter& printer, const QString& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

// Types into the box one key at a time; "\b" is Backspace. The view's size
// after each key.
QList<double> TypeInto(QLineEdit* box, ArtTextView* view, const QString& keys) {
    QList<double> sizes;
    for (const QChar key : keys) {
        if (key == QLatin1Char('\b')) {
            QTest::keyClick(box, Qt::Key_Backspace);
        } else {
            QTest::keyClicks(box, QString(key));
        }
        sizes.append(view->font().pointSizeF());
    }
    return sizes;
}

QList<Form3*> OpenViewers() {
    QList<Form3*> viewers;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<Form3*>(widget)) {
            viewers.append(form);
        }
    }
    return viewers;
}

} // namespace

class OutletsTests : public QObject {
    Q_OBJECT

private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
        platform_ = std::make_unique<ScriptedPlatform>();
    }

    // --- Save ---------------------------------------------------------------

    void save_writesTheFormatsDocument_data() {
        QTest::addColumn<OutputFormat>("format");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("file");
        QTest::addRow("cleanText_txt") << OutputFormat::CleanText << "*.txt"
                                       << "art.txt";
        QTest::addRow("rtf_rtf") << OutputFormat::Rtf << "*.rtf"
                                 << "art.rtf";
        QTest::addRow("htmlText_html") << OutputFormat::HtmlText << "*.html"
                                       << "art.html";
        QTest::addRow("htmlColoured_html") << OutputFormat::HtmlColoredText << "*.html"
                                           << "art.html";
    }
    void save_writesTheFormatsDocument() {
        QFETCH(OutputFormat, format);
        QFETCH(QString, filter);
        QFETCH(QString, file);
        const SaveInputs inputs =
            Inputs(format, "<font color=\"#FF0000\">a b</font>\r  é\r", "photo.jpg");
        platform_->saveAnswers.push_back(folder_->filePath(QStringLiteral("art")));

        glimmora::SaveArt(*platform_, nullptr, inputs);

        QCOMPARE(platform_->saveRequests.size(), std::size_t{1});
        QCOMPARE(platform_->saveRequests[0].filter, filter);
        QCOMPARE(platform_->saveRequests[0].proposedName, QStringLiteral("photo"));
        QCOMPARE(ReadAll(folder_->filePath(file)),
                 Bytes(glimmora::SaveBytes(format, inputs.artText, inputs.style)));
        QVERIFY(platform_->criticals.empty());
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList{file});
    }

    void save_cleanTextBytesAreWindows1252WithCrLfAtTheEnd() {
        platform_->saveAnswers.push_back(folder_->filePath(QStringLiteral("art")));
        glimmora::SaveArt(*platform_, nullptr, Inputs(OutputFormat::CleanText, "ab\r\xC3\xA9\r"));
        QCOMPARE(ReadAll(folder_->filePath(QStringLiteral("art.txt"))),
                 QByteArray("ab\r\xE9\r\r\n"));
    }

    void save_proposesTheNameFromThePictureTitle_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("proposed");
        QTest::addRow("threeLetterExtension_dropped") << "photo.jpg"
                                                      << "photo";
        QTest::addRow("fourLetterExtension_dotBecomesUnderscore") << "my.photo.jpeg"
                                                                  << "my_photo_";
        QTest::addRow("shortTitle_keptWithUnderscore") << "a.b"
                                                       << "a_b";
        QTest::addRow("fourCharacters_empty") << "x.gi"
                                              << "";
    }
    void save_proposesTheNameFromThePictureTitle() {
        QFETCH(QString, title);
        QFETCH(QString, proposed);
        glimmora::SaveArt(*platform_, nullptr,
                          Inputs(OutputFormat::Rtf, "ab\r", title.toStdString()));
        glimmora::SaveArt(*platform_, nullptr,
                          Inputs(OutputFormat::Rtf, "ab\r", title.toStdString()));
        QCOMPARE(platform_->saveRequests.size(), std::size_t{2});
        QCOMPARE(platform_->saveRequests[0].proposedName, proposed);
        QCOMPARE(platform_->saveRequests[1].proposedName, proposed);
    }

    void save_addsTheExtensionOnlyWhereMissing_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::addRow("bareName_extensionAdded") << "art"
                                                 << "art.rtf";
        QTest::addRow("sameExtension_keptOnce") << "art.rtf"
                                                << "art.rtf";
        QTest::addRow("sameExtensionOtherCase_kept") << "art.RTF"
                                                     << "art.RTF";
        QTest::addRow("otherExtension_extensionAdded") << "art.txt"
                                                       << "art.txt.rtf";
        QTest::addRow("dotInFolderName_extensionAdded") << "x.rtf.d/art"
                                                        << "x.rtf.d/art.rtf";
    }
    void save_addsTheExtensionOnlyWhereMissing() {
        QFETCH(QString, typed);
        QFETCH(QString, file);
        QVERIFY(QDir(folder_->path()).mkpath(QStringLiteral("x.rtf.d")));
        platform_->saveAnswers.push_back(folder_->filePath(typed));
        glimmora::SaveArt(*platform_, nullptr, Inputs(OutputFormat::Rtf));
        QVERIFY(QFile::exists(folder_->filePath(file)));
        QVERIFY(platform_->criticals.empty());
    }

    void save_cancelledDialog_writesNothing_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addRow("cancelled_nothing") << std::optional<QString>();
        QTest::addRow("emptyName_nothing") << std::optional<QString>(QString());
    }
    void save_cancelledDialog_writesNothing() {
        QFETCH(std::optional<QString>, answer);
        const QString existing = folder_->filePath(QStringLiteral("photo.rtf"));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("kept");
        file.close();
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder_->path()));
        platform_->saveAnswers.push_back(answer);

        glimmora::SaveArt(*platform_, nullptr, Inputs(OutputFormat::Rtf));

        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(platform_->saveRequests.size(), std::size_t{1});
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList{"photo.rtf"});
        QCOMPARE(ReadAll(existing), QByteArray("kept"));
        QVERIFY(platform_->criticals.empty());
    }

    void save_sameNameTwice_asksOnceThenAppends() {
        // The question names the file with its extension, which the dialog
        // never saw.
        const SaveInputs inputs = Inputs(OutputFormat::Rtf);
        const QString chosen = folder_->filePath(QStringLiteral("photo"));
        platform_->saveAnswers.push_back(chosen);
        platform_->saveAnswers.push_back(chosen);
        platform_->questionAnswers.push_back(true);
        glimmora::SaveArt(*platform_, nullptr, inputs);
        QVERIFY(platform_->questions.empty());
        glimmora::SaveArt(*platform_, nullptr, inputs);
        QCOMPARE(platform_->questions.size(), std::size_t{1});
        QCOMPARE(platform_->questions[0].title, QStringLiteral("Save"));
        QCOMPARE(platform_->questions[0].text,
                 QStringLiteral("photo.rtf already exists. Add this art to the end of it?"));
        QCOMPARE(platform_->questions[0].defaultAnswer, glimmora::Platform::Answer::No);
        const QByteArray once =
            Bytes(glimmora::SaveBytes(inputs.format, inputs.artText, inputs.style));
        QCOMPARE(ReadAll(chosen + QStringLiteral(".rtf")), once + once);
        QVERIFY(platform_->criticals.empty());
    }

    void save_existingFile_yesAppendsNoWritesNothing_data() {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QByteArray>("content");
        QTest::addRow("yes_addedAfterItsContent") << true << QByteArray("earlier\r\nx\r\r\n");
        QTest::addRow("no_leftAsItWas") << false << QByteArray("earlier\r\n");
    }
    void save_existingFile_yesAppendsNoWritesNothing() {
        QFETCH(bool, answer);
        QFETCH(QByteArray, content);
        const QString path = folder_->filePath(QStringLiteral("old.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier\r\n");
        file.close();
        platform_->saveAnswers.push_back(path);
        platform_->questionAnswers.push_back(answer);
        glimmora::SaveArt(*platform_, nullptr, Inputs(OutputFormat::CleanText, "x\r"));
        QCOMPARE(platform_->questions.size(), std::size_t{1});
        QCOMPARE(ReadAll(path), content);
        QVERIFY(platform_->criticals.empty());
    }

    void save_nameWithLettersBeyondAscii_isKept() {
        const QString folder = folder_->filePath(QStringLiteral("bilder ö"));
        QVERIFY(QDir().mkpath(folder));
        platform_->saveAnswers.push_back(folder + QStringLiteral("/konst å"));
        glimmora::SaveArt(*platform_, nullptr, Inputs(OutputFormat::CleanText, "x\r"));
        QCOMPARE(ReadAll(folder + QStringLiteral("/konst å.txt")), QByteArray("x\r\r\n"));
        QVERIFY(platform_->criticals.empty());
    }

    void save_failedWrite_saysWhyOnce_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("why");
        QTest::addRow("missingFolder_folderDoesNotExist") << "nowhere/art"
                                                          << "nowhere/art.rtf"
                                                          << "the folder does not exist.";
        QTest::addRow("folderOfThatName_belongsToAFolder")
            << "taken"
            << "taken.rtf"
            << "the name belongs to a folder, not a file.";
    }
    void save_failedWrite_saysWhyOnce() {
        QFETCH(QString, typed);
        QFETCH(QString, file);
        QFETCH(QString, why);
        QVERIFY(QDir(folder_->path()).mkpath(QStringLiteral("taken.rtf")));
        platform_->saveAnswers.push_back(folder_->filePath(typed));

        glimmora::SaveArt(*platform_, nullptr, Inputs(OutputFormat::Rtf));

        QCOMPARE(platform_->criticals.size(), std::size_t{1});
        QCOMPARE(platform_->criticals[0].title, QStringLiteral("Save"));
        QCOMPARE(
            platform_->criticals[0].text,
            QStringLiteral("The file %1 could not be saved: %2").arg(folder_->filePath(file), why));
        QVERIFY(QDir(folder_->path()).entryList(QDir::Files).isEmpty());
    }

    void save_folderWithoutPermission_saysSo() {
        // In a child run as an ordinary user: root may write into any folder.
        const QString locked = folder_->filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(locked));
        QVERIFY(HandToUnprivileged(folder_->path()) && HandToUnprivileged(locked));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        platform_->saveAnswers.push_back(locked + QStringLiteral("/art"));
        const ChildExit child = RunInChild(
            [&] {
                glimmora::SaveArt(*platform_, nullptr, Inputs(OutputFormat::CleanText));
                return platform_->criticals.size() == 1 &&
                       platform_->criticals[0].text ==
                           QStringLiteral("The file %1/art.txt could not be saved: you do not "
                                          "have permission to write to this file.")
                               .arg(locked);
            },
            ChildOptions::Unprivileged());
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(child.Passed());
        QVERIFY(QDir(locked).isEmpty());
    }

    // --- Print --------------------------------------------------------------

    void print_onlyCleanTextAndRtf_data() {
        QTest::addColumn<OutputFormat>("format");
        QTest::addColumn<bool>("printed");
        QTest::addRow("cleanText_printed") << OutputFormat::CleanText << true;
        QTest::addRow("rtf_printed") << OutputFormat::Rtf << true;
        QTest::addRow("htmlText_nothing") << OutputFormat::HtmlText << false;
        QTest::addRow("htmlColoured_nothing") << OutputFormat::HtmlColoredText << false;
    }
    void print_onlyCleanTextAndRtf() {
        QFETCH(OutputFormat, format);
        QFETCH(bool, printed);
        const std::string art = "ab \r\xC3\xA9#\r";
        glimmora::PrintArt(*platform_, format, art);
        QCOMPARE(platform_->printed,
                 printed ? QStringList{QString::fromUtf8("ab \r\xC3\xA9#\r")} : QStringList{});
        QVERIFY(platform_->criticals.empty());
    }

    void print_withoutPrinter_saysNoPrinterIsInstalled() {
        platform_->printerAvailable = false;
        glimmora::PrintArt(*platform_, OutputFormat::Rtf, "ab\r");
        QVERIFY(platform_->printed.isEmpty());
        QCOMPARE(platform_->criticals.size(), 1u);
        QCOMPARE(platform_->criticals.front().title, QStringLiteral("Print"));
        QCOMPARE(platform_->criticals.front().text, QStringLiteral("No printer is installed."));
        QVERIFY(platform_->questions.empty());
    }

    void printText_eachLineOnItsOwnPrintedLine_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::addRow("loneCr_endsLines")
            << "one\rtwo\rthree\r" << QStringList{"one", "two", "three"};
        QTest::addRow("lf_endsLines") << "one\ntwo\n" << QStringList{"one", "two"};
        QTest::addRow("crLf_oneLineEnd") << "one\r\ntwo\r\n" << QStringList{"one", "two"};
        QTest::addRow("mixed_inOrder")
            << "one\rtwo\nthree\r\nfour" << QStringList{"one", "two", "three", "four"};
        QTest::addRow("colourTags_printedAsText")
            << "<font color=\"#FF0000\">a</font>\r"
            << QStringList{"<font color=\"#FF0000\">a</font>"};
    }
    void printText_eachLineOnItsOwnPrintedLine() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        const QString pdf = folder_->filePath(QStringLiteral("print.pdf"));
        QPrinter printer;
        PrepareToPdf(printer, pdf);
        QVERIFY(glimmora::PrintTextOn(printer, text));
        const QString laidOut = PdfText(pdf, {QStringLiteral("-layout")});
        if (laidOut.isEmpty() && !QFile::exists(QStringLiteral("/usr/bin/pdftotext"))) {
            QSKIP("pdftotext is not installed");
        }
        const QStringList pages = laidOut.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QCOMPARE(PageLines(pages.value(0)), lines);
    }

    void printText_blankLinesKeepTheirPlace() {
        const QString pdf = folder_->filePath(QStringLiteral("blank.pdf"));
        QPrinter printer;
        PrepareToPdf(printer, pdf);
        QVERIFY(glimmora::PrintTextOn(printer, QStringLiteral("top\r\r\rbottom\r")));
        const QStringList lines = PdfText(pdf, {QStringLiteral("-layout")}).split('\n');
        const qsizetype top = lines.indexOf(QStringLiteral("top"));
        QVERIFY(top >= 0);
        QVERIFY(lines.indexOf(QStringLiteral("bottom")) > top + 2);
    }

    void printText_startsAtTheTopOfTheFirstPage() {
        const QString pdf = folder_->filePath(QStringLiteral("top.pdf"));
        QPrinter printer;
        PrepareToPdf(printer, pdf);
        QVERIFY(glimmora::PrintTextOn(printer, QStringLiteral("First\rSecond\r")));
        // pdftotext -bbox gives each word's box in points from the page top.
        const QString boxes = PdfText(pdf, {QStringLiteral("-bbox")});
        const QRegularExpression word(
            QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>First</word>)re"));
        const QRegularExpressionMatch match = word.match(boxes);
        QVERIFY2(match.hasMatch(), qPrintable(boxes));
        const QRectF printable = printer.pageLayout().paintRect(QPageLayout::Point);
        QVERIFY(std::abs(match.captured(1).toDouble() - printable.left()) < 3.0);
        QVERIFY(match.captured(2).toDouble() >= printable.top() - 1.0);
        QVERIFY(match.captured(2).toDouble() < printable.top() + 6.0);
    }

    void printText_longArt_flowsOntoFurtherPagesInOrder() {
        const QString pdf = folder_->filePath(QStringLiteral("long.pdf"));
        QPrinter printer;
        PrepareToPdf(printer, pdf);
        QString text;
        QStringList expected;
        for (int i = 1; i <= 150; ++i) {
            expected.append(QStringLiteral("Line%1").arg(i, 3, 10, QLatin1Char('0')));
            text += expected.last() + QLatin1Char('\r');
        }
        QVERIFY(glimmora::PrintTextOn(printer, text));

        const QStringList pages =
            PdfText(pdf, {QStringLiteral("-layout")}).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 2, qPrintable(QString::number(pages.size())));
        QStringList all;
        for (const QString& page : pages) {
            const QStringList lines = PageLines(page);
            // Every page but the last is filled before the next one starts.
            if (&page != &pages.last()) {
                QVERIFY(lines.size() >= PageLines(pages.last()).size());
            }
            all += lines;
        }
        QCOMPARE(all, expected);
        QCOMPARE(PageLines(pages[1]).value(0),
                 expected.value(static_cast<int>(PageLines(pages[0]).size())));

        // Every printed word inside the printable area, the last line of a
        // full page too (boxes in points from the page's top left corner).
        const QRectF printable = printer.pageLayout().paintRect(QPageLayout::Point);
        static const QRegularExpression word(QStringLiteral(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">)re"));
        int words = 0;
        for (auto match = word.globalMatch(PdfText(pdf, {QStringLiteral("-bbox")}));
             match.hasNext(); ++words) {
            const QRegularExpressionMatch box = match.next();
            const QRectF printed(QPointF(box.captured(1).toDouble(), box.captured(2).toDouble()),
                                 QPointF(box.captured(3).toDouble(), box.captured(4).toDouble()));
            QVERIFY2(printable.adjusted(-1, -1, 1, 1).contains(printed),
                     qPrintable(box.captured(0)));
        }
        QCOMPARE(words, 150);
    }

    void printText_emptyText_oneBlankPage() {
        const QString pdf = folder_->filePath(QStringLiteral("empty.pdf"));
        QPrinter printer;
        PrepareToPdf(printer, pdf);
        QVERIFY(glimmora::PrintTextOn(printer, QString()));
        QVERIFY(QFile::exists(pdf));
        QVERIFY(PdfText(pdf).trimmed().isEmpty());
    }

    void printText_unusablePrinter_false() {
        QPrinter printer;
        PrepareToPdf(printer, folder_->filePath(QStringLiteral("nowhere/out.pdf")));
        QVERIFY(!glimmora::PrintTextOn(printer, QStringLiteral("ab\r")));
    }

    // --- Copy ---------------------------------------------------------------

    void copy_putsTheArtUnchanged() {
        const std::string art = "<font color=\"#00FF00\">x</font> \r\xC3\xA9\\{\r";
        glimmora::CopyArt(*platform_, art);
        glimmora::CopyArt(*platform_, art);
        QCOMPARE(platform_->clipboard,
                 (QStringList{QString::fromStdString(art), QString::fromStdString(art)}));
        QVERIFY(!platform_->clipboard[0].contains(QLatin1Char('\n')));
        QVERIFY(platform_->criticals.empty());
    }

    void copy_realClipboardHoldsOnlyThePlainText() {
        glimmora::QtPlatform platform;
        QApplication::clipboard()->setText(QStringLiteral("something before"));
        if (QApplication::clipboard()->text() != QStringLiteral("something before")) {
            QSKIP("the offscreen clipboard holds no text here");
        }
        const std::string art = "ab\rc&nbsp;d <font color=\"#FF0000\">e</font>\r\xC3\xA9\r";
        glimmora::CopyArt(platform, art);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->formats(), QStringList{QStringLiteral("text/plain")});
        QCOMPARE(data->data(QStringLiteral("text/plain")), Bytes(art));
        QCOMPARE(QApplication::clipboard()->text(), QString::fromStdString(art));
    }

    // --- Viewer -------------------------------------------------------------

    void viewer_opensAsDrawn() {
        ArtViewer viewer;
        QVERIFY(!viewer.Window());
        viewer.Show(QStringLiteral("ab\rcd\r"));
        Form3* form = viewer.Window();
        QVERIFY(form);
        QVERIFY(form->isWindow());
        QVERIFY(form->isVisible());
        QCOMPARE(form->objectName(), QStringLiteral("Form3"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Glimmora - Ascii Art"));
        QCOMPARE(form->size(), QSize(glimmora::Twips(13590), glimmora::Twips(10860)));
        QCOMPARE(form->palette().color(QPalette::Window), QColor(0xE0, 0xE0, 0xE0));
        QVERIFY(form->autoFillBackground());
        if (!glimmora::AssetPixmap(QStringLiteral("app/icon.png")).isNull()) {
            QVERIFY(!form->windowIcon().isNull());
        }

        auto* text = form->findChild<ArtTextView*>(QStringLiteral("txtText"));
        auto* label = form->findChild<QLabel*>(QStringLiteral("Label1"));
        auto* size = form->findChild<QLineEdit*>(QStringLiteral("txtSize"));
        QVERIFY(text && label && size);
        QCOMPARE(text->geometry(), glimmora::TwipsRect(0, 0, 13575, 10455));
        QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QCOMPARE(text->font().family(), QStringLiteral("Arial"));
        QCOMPARE(text->font().pointSizeF(), 5.25);
        QCOMPARE(text->font().weight(), QFont::Normal);
        QVERIFY(!text->font().italic());
        QCOMPARE(label->text(), QStringLiteral("Size:"));
        QCOMPARE(label->geometry(), glimmora::TwipsRect(180, 10560, 615, 255));
        QCOMPARE(size->text(), QStringLiteral("5"));
        QCOMPARE(size->geometry(), glimmora::TwipsRect(645, 10515, 615, 285));
        form->close();
    }

    void viewer_loneCrsAreLinesAndTagsAreText_data() {
        QTest::addColumn<QString>("art");
        QTest::addColumn<QString>("shown");
        QTest::addRow("loneCrs_lines") << "ab\rcd\r"
                                       << "ab\ncd\n";
        QTest::addRow("crLf_oneLineEnd") << "ab\r\ncd"
                                         << "ab\ncd";
        QTest::addRow("colourTags_shownAsText") << "<font color=\"#FF0000\">a</font>\r<b>x</b>\r"
                                                << "<font color=\"#FF0000\">a</font>\n<b>x</b>\n";
        QTest::addRow("nbspEntity_notResolved") << "a&nbsp;b\r"
                                                << "a&nbsp;b\n";
        QTest::addRow("blanks_kept") << "  a  \r"
                                     << "  a  \n";
    }
    void viewer_loneCrsAreLinesAndTagsAreText() {
        QFETCH(QString, art);
        QFETCH(QString, shown);
        ArtViewer viewer;
        viewer.Show(art);
        auto* text = viewer.Window()->findChild<ArtTextView*>(QStringLiteral("txtText"));
        QCOMPARE(text->toPlainText(), shown);
        QCOMPARE(text->LineCount(), shown.count(QLatin1Char('\n')) + 1);
        // Read-only: typing changes nothing.
        QTest::keyClicks(text, QStringLiteral("x\b"));
        QCOMPARE(text->toPlainText(), shown);
    }

    void viewer_sizeBox_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<double>>("sizes");
        using Sizes = QList<double>;
        QTest::addRow("one_1pt") << "1" << Sizes{1};
        QTest::addRow("twelve_passesThrough1") << "12" << Sizes{1, 12};
        QTest::addRow("decimal_8point5") << "8.5" << Sizes{8, 8, 8.5};
        QTest::addRow("zero_ignored") << "0" << Sizes{5.25};
        QTest::addRow("negative_ignored") << "-3" << Sizes{5.25, 5.25};
        QTest::addRow("letters_ignored") << "abc" << Sizes{5.25, 5.25, 5.25};
        QTest::addRow("empty_ignored") << "" << Sizes{};
        QTest::addRow("above1638_ignored") << "1639" << Sizes{1, 16, 163, 163};
        QTest::addRow("largest_1638") << "1638" << Sizes{1, 16, 163, 1638};
        QTest::addRow("retyping_lastGoodStays") << "12\b\bx7" << Sizes{1, 12, 1, 1, 1, 1};
        QTest::addRow("leadingBlank_read") << " 9" << Sizes{5.25, 9};
    }
    void viewer_sizeBox() {
        QFETCH(QString, keys);
        QFETCH(QList<double>, sizes);
        ArtViewer viewer;
        viewer.Show(QStringLiteral("ab\rcd\r"));
        auto* box = viewer.Window()->findChild<QLineEdit*>(QStringLiteral("txtSize"));
        auto* text = viewer.Window()->findChild<ArtTextView*>(QStringLiteral("txtText"));
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QString());
        QCOMPARE(text->font().pointSizeF(), 5.25);

        QCOMPARE(TypeInto(box, text, keys), sizes);
        const double last = sizes.isEmpty() ? 5.25 : sizes.last();
        QCOMPARE(viewer.Window()->TextPointSize(), last);
    }

    void viewer_showAgain_replacesTextKeepsSizeOneWindow() {
        ArtViewer viewer;
        viewer.Show(QStringLiteral("first\r"));
        Form3* form = viewer.Window();
        auto* box = form->findChild<QLineEdit*>(QStringLiteral("txtSize"));
        box->setText(QStringLiteral("8"));
        form->hide();

        viewer.Show(QStringLiteral("second\rline\r"));

        QCOMPARE(viewer.Window(), form);
        QCOMPARE(OpenViewers().size(), 1);
        QVERIFY(form->isVisible());
        auto* text = form->findChild<ArtTextView*>(QStringLiteral("txtText"));
        QCOMPARE(text->toPlainText(), QStringLiteral("second\nline\n"));
        QCOMPARE(text->font().pointSizeF(), 8.0);
        QCOMPARE(box->text(), QStringLiteral("8"));
    }

    void viewer_closed_opensAfresh() {
        ArtViewer viewer;
        viewer.Show(QStringLiteral("art\r"));
        QPointer<Form3> first = viewer.Window();
        first->findChild<QLineEdit*>(QStringLiteral("txtSize"))->setText(QStringLiteral("12"));
        QCOMPARE(first->TextPointSize(), 12.0);

        QVERIFY(first->close());
        QTRY_VERIFY(first.isNull());
        QVERIFY(!viewer.Window());
        QCOMPARE(OpenViewers().size(), 0);

        viewer.Show(QStringLiteral("again\r"));
        Form3* second = viewer.Window();
        QVERIFY(second);
        QCOMPARE(second->findChild<QLineEdit*>(QStringLiteral("txtSize"))->text(),
                 QStringLiteral("5"));
        QCOMPARE(second->TextPointSize(), 5.25);
        QCOMPARE(second->findChild<ArtTextView*>(QStringLiteral("txtText"))->toPlainText(),
                 QStringLiteral("again\n"));
    }

    void viewer_selectedText_copiedWithLineFeeds() {
        ArtViewer viewer;
        viewer.Show(QStringLiteral("ab\rcd\r\nef\r"));
        auto* text = viewer.Window()->findChild<ArtTextView*>(QStringLiteral("txtText"));
        QWidget* area = text->viewport();
        const int lineHeight = qCeil(QFontMetricsF(text->font()).lineSpacing());
        // From the start of the first line to the start of the third.
        QTest::mousePress(area, Qt::LeftButton, {}, QPoint(0, 5));
        QTest::mouseMove(area, QPoint(0, 5 + 2 * lineHeight));
        QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(0, 5 + 2 * lineHeight));
        QCOMPARE(text->SelectedText(), QStringLiteral("ab\ncd\n"));
        QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ab\ncd\nef\n"));
    }

    void viewer_endsWithItsOwner() {
        QPointer<Form3> form;
        {
            ArtViewer viewer;
            viewer.Show(QStringLiteral("art\r"));
            form = viewer.Window();
        }
        QVERIFY(form.isNull());
    }

    void viewer_largerWindow_viewFollowsStripStaysAtBottom() {
        ArtViewer viewer;
        viewer.Show(QStringLiteral("art\r"));
        Form3* form = viewer.Window();
        form->resize(form->width() + 100, form->height() + 60);
        auto* text = form->findChild<ArtTextView*>(QStringLiteral("txtText"));
        auto* box = form->findChild<QLineEdit*>(QStringLiteral("txtSize"));
        auto* label = form->findChild<QLabel*>(QStringLiteral("Label1"));
        QCOMPARE(text->geometry(), glimmora::TwipsRect(0, 0, 13575, 10455).adjusted(0, 0, 100, 60));
        QCOMPARE(box->geometry(), glimmora::TwipsRect(645, 10515, 615, 285).translated(0, 60));
        QCOMPARE(label->geometry(), glimmora::TwipsRect(180, 10560, 615, 255).translated(0, 60));
    }

private:
    // Fresh for every test.
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedPlatform> platform_;
};

QTEST_MAIN(OutletsTests)
#include "OutletsTests.moc"
