#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

#include "core/Format.h"
#include "output/ArtTextView.h"
#include "output/ArtViewer.h"
#include "output/Documents.h"
#include "output/Form3.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TestFiles.h"
#include "wizard/ClickArea.h"
#include "wizard/ProgramState.h"
#include "wizard/frmWizard.h"

using glimmora::ArtViewer;
using glimmora::DocumentStyle;
using glimmora::frmWizard;
using glimmora::OutputFormat;
using glimmora::ProgramState;
using glimmora::testing::Bytes;
using glimmora::testing::ChildExit;
using glimmora::testing::ChildOptions;
using glimmora::testing::ManualTickSource;
using glimmora::testing::ReadAll;
using glimmora::testing::RunInChild;
using glimmora::testing::ScriptedPlatform;
using glimmora::testing::WriteFile;

Q_DECLARE_METATYPE(OutputFormat)

namespace {

// The picture's size in pixels; converted one pixel a cell.
constexpr int kPictureWidth = 12;
constexpr int kPictureHeight = 8;

// A small picture with every pixel different: dark at the top left, light
// and coloured towards the bottom right. JPEG for .jpg and .jpeg names.
bool WritePicture(const QString& path) {
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            image.setPixelColor(x, y, QColor(x * 21, y * 32, (x + y) * 13));
        }
    }
    const bool jpeg =
        path.endsWith(QStringLiteral(".jpg")) || path.endsWith(QStringLiteral(".jpeg"));
    return image.save(path, jpeg ? "JPEG" : "PNG", 100);
}

QString OptionName(OutputFormat format) {
    switch (format) {
    case OutputFormat::CleanText:
        return QStringLiteral("optClnTxt");
    case OutputFormat::Rtf:
        return QStringLiteral("optRtf");
    case OutputFormat::HtmlText:
        return QStringLiteral("optHtmlTxt");
    case OutputFormat::HtmlColoredText:
        return QStringLiteral("optHtmlCldTxt");
    }
    return {};
}

QString CliFormat(OutputFormat format) {
    switch (format) {
    case OutputFormat::CleanText:
        return QStringLiteral("clean");
    case OutputFormat::Rtf:
        return QStringLiteral("rtf");
    case OutputFormat::HtmlText:
        return QStringLiteral("html");
    case OutputFormat::HtmlColoredText:
        return QStringLiteral("html-color");
    }
    return {};
}

// One wizard with what it needs beside it, driven by a scripted platform.
struct Session {
    ScriptedPlatform platform;
    ProgramState state;
    ArtViewer viewer;
    std::unique_ptr<frmWizard> wizard = std::make_unique<frmWizard>(platform, state, viewer);

    template <typename T = QWidget> T* Find(const QString& name) const {
        return wizard->findChild<T*>(name);
    }
    void Click(const QString& name) const {
        auto* area = Find<glimmora::ClickArea>(name);
        QVERIFY2(area, qPrintable(name));
        QVERIFY2(area->isVisible(), qPrintable(name));
        QTest::mouseClick(area, Qt::LeftButton);
    }
    void Save(const std::optional<QString>& answer) {
        platform.saveAnswers.push_back(answer);
        Click(QStringLiteral("cmdSave"));
    }
    DocumentStyle Style() const {
        return DocumentStyle{state.BackgroundColorCode, state.FontSizeText, state.FontFaceText};
    }
    // What the wizard's style page and scale page held for the conversion,
    // as glimmora-convert options.
    QStringList CliOptions(OutputFormat format) const {
        QStringList options{QStringLiteral("-f"),
                            CliFormat(format),
                            QStringLiteral("-s"),
                            Find<QLineEdit>(QStringLiteral("txtScaleWidth"))->text() +
                                QLatin1Char('x') +
                                Find<QLineEdit>(QStringLiteral("txtScaleHeight"))->text(),
                            QStringLiteral("--font-face"),
                            QString::fromStdString(state.FontFaceText),
                            QStringLiteral("--font-size"),
                            QString::fromStdString(state.FontSizeText),
                            QStringLiteral("--background"),
                            QString::fromStdString(state.BackgroundColorCode)};
        const char* cells[][2] = {
            {"txtBlack", "--black"},   {"txtColor2", "--color2"}, {"txtColor3", "--color3"},
            {"txtColor4", "--color4"}, {"txtColor5", "--color5"}, {"txtColor6", "--color6"},
            {"txtColor7", "--color7"}, {"txtColor8", "--color8"}, {"txtWhite", "--white"}};
        for (const auto& cell : cells) {
            options << QString::fromLatin1(cell[1])
                    << Find<QLineEdit>(QString::fromLatin1(cell[0]))->text();
        }
        if (format == OutputFormat::HtmlColoredText) {
            options << QStringLiteral("--word")
                    << Find<QLineEdit>(QStringLiteral("txtWord"))->text();
        }
        return options;
    }
};

// Picture, format, style, scale one pixel a cell, the whole conversion, and
// on to page 6.
void DriveToPage6(Session& session, const QString& picture, OutputFormat format,
                  const QString& word = QStringLiteral("GLIMMORA"), int lines = kPictureHeight) {
    session.wizard->show();
    QVERIFY(QTest::qWaitForWindowExposed(session.wizard.get()));
    session.platform.openAnswers.push_back(picture);
    session.Click(QStringLiteral("cmdBrowse"));
    QVERIFY(session.platform.criticals.empty());
    session.Click(QStringLiteral("cmdNext"));
    QCOMPARE(session.wizard->CurrentStep(), 2);
    session.Find<QRadioButton>(OptionName(format))->click();
    QCOMPARE(session.wizard->SelectedFormat(), format);
    session.Click(QStringLiteral("cmdNext"));
    QCOMPARE(session.wizard->CurrentStep(), 3);
    if (format == OutputFormat::HtmlColoredText) {
        session.Find<QLineEdit>(QStringLiteral("txtWord"))->setText(word);
    }
    session.Click(QStringLiteral("cmdNext"));
    QCOMPARE(session.wizard->CurrentStep(), 4);
    session.Find<QLineEdit>(QStringLiteral("txtScaleWidth"))->setText(QStringLiteral("1"));
    session.Find<QLineEdit>(QStringLiteral("txtScaleHeight"))->setText(QStringLiteral("1"));
    session.Click(QStringLiteral("cmdNext"));
    QCOMPARE(session.wizard->CurrentStep(), 5);
    auto& timer = dynamic_cast<ManualTickSource&>(session.wizard->Timer1());
    QVERIFY(timer.FireUntilStopped(1000000) > 0);
    session.Click(QStringLiteral("cmdNext"));
    QCOMPARE(session.wizard->CurrentStep(), 6);
    QCOMPARE(QString::fromStdString(session.state.ArtBuffer).count(QLatin1Char('\r')), lines);
}

void AddFormatRows() {
    QTest::addColumn<OutputFormat>("format");
    QTest::addColumn<QString>("extension");
    QTest::addRow("cleanText") << OutputFormat::CleanText << ".txt";
    QTest::addRow("rtf") << OutputFormat::Rtf << ".rtf";
    QTest::addRow("htmlText") << OutputFormat::HtmlText << ".html";
    QTest::addRow("htmlColoured") << OutputFormat::HtmlColoredText << ".html";
}

} // namespace

class Page6Tests : public QObject {
    Q_OBJECT

private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
        picture_ = folder_->filePath(QStringLiteral("photo.png"));
        QVERIFY(WritePicture(picture_));
    }

    // The whole document for a 2 x 2 picture, black and white crosswise,
    // with the style page as it comes for the format (RTF and HTML text:
    // Arial 5 points on white) and the word "<&", written out by hand;
    // glimmora-convert given the same choices writes the same bytes.
    void save_bytesOfTheConvertedArt_data() {
        QTest::addColumn<OutputFormat>("format");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QByteArray>("expected");
        const auto page = [](const QByteArray& style, const QByteArray& face,
                             const QByteArray& art) {
            return "<HTML>\r\n<HEAD>\r\n<title>Ascii Art By Glimmora</title>\r\n"
                   "<STYLE TYPE=\"text/css\">\r\nbody {" +
                   style + "}\r\n</STYLE><pre>\r\n</HEAD>\r\n<BODY>\r\n<font face=\"" + face +
                   "\">\r\n" + art + "\r\n</font></pre>\r\n</BODY>\r\n</HTML>\r\n";
        };
        QTest::addRow("cleanText")
            << OutputFormat::CleanText << ".txt" << QByteArray("9 \r 9\r\r\n");
        QTest::addRow("rtf") << OutputFormat::Rtf << ".rtf"
                             << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1053{"
                                           "\\fonttbl{\\f0\\fswiss\\fcharset0Arial;}}\r\n"
                                           "{\\*\\generator OrvanelLumetra2.0;}\\viewkind4\\uc1"
                                           "\\pard\\f0\\fs10\r\n9  \\par\r  9\\par\r\r\n}\r\n");
        QTest::addRow("htmlText")
            << OutputFormat::HtmlText << ".html"
            << page("background-color: #FFFFFF; font-size:5pt; line-height:5pt", "Arial",
                    "9&nbsp;&nbsp;<BR>&nbsp;&nbsp;9<BR>");
        QTest::addRow("htmlColoured")
            << OutputFormat::HtmlColoredText << ".html"
            << page("background-color: #000000; font-size:8pt; line-height:8pt", "Tahoma",
                    "<font color=\"#000000\">&lt;</font><font color=\"#FFFFFF\">&amp;</font><BR>"
                    "<font color=\"#FFFFFF\">&lt;</font><font color=\"#000000\">&amp;</font><BR>");
    }
    void save_bytesOfTheConvertedArt() {
        QFETCH(OutputFormat, format);
        QFETCH(QString, extension);
        QFETCH(QByteArray, expected);
        QImage cross(2, 2, QImage::Format_RGB32);
        cross.fill(Qt::white);
        cross.setPixel(0, 0, qRgb(0, 0, 0));
        cross.setPixel(1, 1, qRgb(0, 0, 0));
        const QString picture = folder_->filePath(QStringLiteral("cross.png"));
        QVERIFY(cross.save(picture));
        Session session;
        DriveToPage6(session, picture, format, QStringLiteral("<&"), 2);
        const std::string art = session.state.ArtBuffer;
        const QString chosen = folder_->filePath(QStringLiteral("art"));

        session.Save(chosen);

        QCOMPARE(session.platform.saveRequests.size(), std::size_t{1});
        QCOMPARE(session.platform.saveRequests[0].filter, QLatin1Char('*') + extension);
        QCOMPARE(session.platform.saveRequests[0].proposedName, QStringLiteral("cross"));
        const QByteArray saved = ReadAll(chosen + extension);
        QCOMPARE(saved, expected);
        QVERIFY(session.platform.criticals.empty());
        QCOMPARE(session.state.ArtBuffer, art);

        const QString cli =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/glimmora-convert");
        if (!QFile::exists(cli)) {
            QSKIP("glimmora-convert is not built next to the tests");
        }
        const QString written = folder_->filePath(QStringLiteral("cli") + extension);
        QProcess process;
        process.start(cli, QStringList{picture, QStringLiteral("-o"), written} +
                               session.CliOptions(format));
        QVERIFY(process.waitForFinished(30000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        QCOMPARE(ReadAll(written), saved);
    }

    void save_proposesTheNameFromThePicture_data() {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("proposed");
        QTest::addRow("threeLetterExtension_dropped") << "photo.jpg"
                                                      << "photo";
        QTest::addRow("fourLetterExtension_dotBecomesUnderscore") << "my.photo.jpeg"
                                                                  << "my_photo_";
        QTest::addRow("shortTitle_dotBecomesUnderscore") << "a.b"
                                                         << "a_b";
    }
    void save_proposesTheNameFromThePicture() {
        QFETCH(QString, picture);
        QFETCH(QString, proposed);
        const QString path = folder_->filePath(picture);
        QVERIFY(WritePicture(path));
        Session session;
        DriveToPage6(session, path, OutputFormat::Rtf);
        session.Save(std::nullopt);
        session.Save(folder_->filePath(proposed));
        QCOMPARE(session.platform.saveRequests.size(), std::size_t{2});
        QCOMPARE(session.platform.saveRequests[0].proposedName, proposed);
        QCOMPARE(session.platform.saveRequests[1].proposedName, proposed);
        QVERIFY(QFile::exists(folder_->filePath(proposed + QStringLiteral(".rtf"))));
    }

    void save_twiceToOneName_appends() {
        Session session;
        DriveToPage6(session, picture_, OutputFormat::CleanText);
        const QString chosen = folder_->filePath(QStringLiteral("twice"));
        session.Save(chosen);
        session.platform.questionAnswers.push_back(true);
        session.Save(chosen + QStringLiteral(".txt"));
        QCOMPARE(session.platform.questions.size(), std::size_t{1});
        const QByteArray once =
            Bytes(glimmora::SaveBytes(OutputFormat::CleanText, session.state.ArtBuffer, {}));
        QCOMPARE(ReadAll(chosen + QStringLiteral(".txt")), once + once);
        QCOMPARE(QDir(folder_->path()).entryList({QStringLiteral("*.txt")}),
                 QStringList{QStringLiteral("twice.txt")});
    }

    void save_cancelled_writesNothing() {
        Session session;
        DriveToPage6(session, picture_, OutputFormat::Rtf);
        const QStringList before = QDir(folder_->path()).entryList(QDir::Files);
        session.Save(std::nullopt);
        QCOMPARE(session.platform.saveRequests.size(), std::size_t{1});
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), before);
        QVERIFY(session.platform.criticals.empty());
        QCOMPARE(session.wizard->CurrentStep(), 6);
    }

    void save_missingFolder_saysWhy() {
        Session session;
        DriveToPage6(session, picture_, OutputFormat::Rtf);
        const QString chosen = folder_->filePath(QStringLiteral("gone/art"));
        session.Save(chosen);
        QCOMPARE(session.platform.criticals.size(), std::size_t{1});
        QCOMPARE(session.platform.criticals[0].title, QStringLiteral("Save"));
        QCOMPARE(session.platform.criticals[0].text,
                 QStringLiteral("The file %1.rtf could not be saved: the folder does not exist.")
                     .arg(chosen));
        QVERIFY(!QFileInfo::exists(folder_->filePath(QStringLiteral("gone"))));
        // The page stays usable: the next save goes through.
        session.Save(folder_->filePath(QStringLiteral("art")));
        QVERIFY(QFile::exists(folder_->filePath(QStringLiteral("art.rtf"))));
        QCOMPARE(session.platform.criticals.size(), std::size_t{1});
    }

    // A disk that fills up half-way through the save (a file-size limit in
    // a child process): the user hears it, and the target is as it was.
    void save_failsHalfWay_leavesTheTargetAsItWas_data() {
        QTest::addColumn<bool>("existing");
        QTest::addRow("newFile") << false;
        QTest::addRow("existingFile_added") << true;
    }
    void save_failsHalfWay_leavesTheTargetAsItWas() {
        QFETCH(bool, existing);
        Session session;
        DriveToPage6(session, picture_, OutputFormat::Rtf);
        const QString target = folder_->filePath(QStringLiteral("art.rtf"));
        if (existing) {
            QVERIFY(WriteFile(target, "before"));
        }
        const QStringList before = QDir(folder_->path()).entryList(QDir::Files);
        session.platform.questionAnswers.push_back(true); // add to the end
        const ChildExit child = RunInChild(
            [&session, &target] {
                session.Save(target);
                return session.platform.criticals.size() == 1 &&
                       session.platform.criticals[0].title == QStringLiteral("Save") &&
                       session.wizard->CurrentStep() == 6;
            },
            ChildOptions::FileSizeLimit(100));
        QVERIFY(child.Passed());
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), before);
        QCOMPARE(ReadAll(target), existing ? QByteArray("before") : QByteArray());
    }

    void copy_theArtByteForByte_data() { AddFormatRows(); }
    void copy_theArtByteForByte() {
        QFETCH(OutputFormat, format);
        Session session;
        DriveToPage6(session, picture_, format);
        session.Click(QStringLiteral("cmdCopy"));
        QCOMPARE(session.platform.clipboard.size(), 1);
        const QByteArray copied = session.platform.clipboard[0].toUtf8();
        QCOMPARE(copied, Bytes(session.state.ArtBuffer));
        QVERIFY(!copied.contains('\n'));
        QVERIFY(!copied.contains("&nbsp;"));
        QCOMPARE(copied.count('\r'), kPictureHeight);
        QVERIFY(copied.endsWith('\r'));
        QCOMPARE(copied.contains("<font color="), format == OutputFormat::HtmlColoredText);
    }

    void print_linesInOrderOrNothingForHtml_data() { AddFormatRows(); }
    void print_linesInOrderOrNothingForHtml() {
        QFETCH(OutputFormat, format);
        Session session;
        DriveToPage6(session, picture_, format);
        session.Click(QStringLiteral("cmdPrint"));
        const bool printable = format == OutputFormat::CleanText || format == OutputFormat::Rtf;
        QCOMPARE(session.platform.printed.size(), printable ? 1 : 0);
        if (printable) {
            QCOMPARE(session.platform.printed[0], QString::fromStdString(session.state.ArtBuffer));
        }
        QVERIFY(session.platform.criticals.empty());
    }

    void print_withoutPrinter_saysSo() {
        Session session;
        DriveToPage6(session, picture_, OutputFormat::CleanText);
        session.platform.printerAvailable = false;
        session.Click(QStringLiteral("cmdPrint"));
        QVERIFY(session.platform.printed.isEmpty());
        QCOMPARE(session.platform.criticals.size(), 1u);
        QCOMPARE(session.platform.criticals.front().text,
                 QStringLiteral("No printer is installed."));
        QVERIFY(session.platform.questions.empty());
    }

    void viewer_showsTheArtBesideTheWizard_data() { AddFormatRows(); }
    void viewer_showsTheArtBesideTheWizard() {
        QFETCH(OutputFormat, format);
        Session session;
        DriveToPage6(session, picture_, format);
        session.Click(QStringLiteral("cmdArt"));
        glimmora::Form3* viewer = session.viewer.Window();
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QVERIFY(session.wizard->isVisible());
        QVERIFY(!viewer->isModal());
        QString expected = QString::fromStdString(session.state.ArtBuffer);
        expected.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QCOMPARE(
            viewer->findChild<glimmora::ArtTextView*>(QStringLiteral("txtText"))->toPlainText(),
            expected);
        QCOMPARE(viewer->TextPointSize(), 5.25);

        // A second Show art reuses the window and keeps the size set in it.
        viewer->findChild<QLineEdit*>(QStringLiteral("txtSize"))->setText(QStringLiteral("8"));
        session.Click(QStringLiteral("cmdArt"));
        QCOMPARE(session.viewer.Window(), viewer);
        QCOMPARE(viewer->TextPointSize(), 8.0);
        // ... and brings it back when it was minimised.
        viewer->showMinimized();
        QVERIFY(viewer->isMinimized());
        session.Click(QStringLiteral("cmdArt"));
        QVERIFY(!viewer->isMinimized());
        QVERIFY(viewer->isVisible());

        // Closed, it opens afresh.
        QPointer<glimmora::Form3> closed = viewer;
        viewer->close();
        QTRY_VERIFY(closed.isNull());
        session.Click(QStringLiteral("cmdArt"));
        QVERIFY(session.viewer.Window());
        QCOMPARE(session.viewer.Window()->TextPointSize(), 5.25);
        QCOMPARE(session.viewer.Window()->findChild<QLineEdit*>(QStringLiteral("txtSize"))->text(),
                 QStringLiteral("5"));
    }

private:
    std::unique_ptr<QTemporaryDir> folder_;
    QString picture_;
};

QTEST_MAIN(Page6Tests)
#include "Page6Tests.moc"
