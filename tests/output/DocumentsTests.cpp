#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <string>
#include <unistd.h>

#include "output/Documents.h"
#include "tests/support/TestDocuments.h"
#include "tests/support/TestFiles.h"

using namespace glimmora;
using glimmora::testing::Bytes;
using glimmora::testing::ReadAll;
using glimmora::testing::Style;
using glimmora::testing::WriteFile;

namespace {

const std::string kRtfHeader =
    R"({\rtf1\ansi\ansicpg1252\deff0\deflang1053{\fonttbl{\f0\fswiss\fcharset0)";
const std::string kRtfGenerator = R"({\*\generator OrvanelLumetra2.0;}\viewkind4\uc1\pard\f0\fs)";

// The thirteen lines of an HTML page around line 10, the prepared art.
std::string HtmlPage(const std::string& background, const std::string& size,
                     const std::string& face, const std::string& artLine) {
    return "<HTML>\r\n"
           "<HEAD>\r\n"
           "<title>Ascii Art By Glimmora</title>\r\n"
           "<STYLE TYPE=\"text/css\">\r\n"
           "body {background-color: #" +
           background + "; font-size:" + size + "pt; line-height:" + size +
           "pt}\r\n"
           "</STYLE><pre>\r\n"
           "</HEAD>\r\n"
           "<BODY>\r\n"
           "<font face=\"" +
           face + "\">\r\n" + artLine +
           "\r\n"
           "</font></pre>\r\n"
           "</BODY>\r\n"
           "</HTML>";
}

} // namespace

class DocumentsTests : public QObject {
    Q_OBJECT

private slots:
    // Clean text and the save bytes.
    void cleanText_isArtUnchangedPlusCrLf();

    // RTF.
    void rtf_tahoma8_fullBytes();
    void rtf_sizeInHalfPoints_data();
    void rtf_sizeInHalfPoints();
    void rtf_unusableSize_composesTwelvePoint_data();
    void rtf_unusableSize_composesTwelvePoint();
    void rtf_artCharactersAreNotEscaped();
    void rtf_emptyAndBlankLines();

    // HTML.
    void html_standardText_fullBytes();
    void html_emptyArt_stillThirteenLines();
    void html_colouredText_keepsSpaces();
    void html_twoSpaceCell_becomesTwoNbsp();
    void html_background_data();
    void html_background();
    void html_sizeAndFaceGoInAsTyped();
    void html_blanksAndLineEndsAtTheEdges();
    void saveBytes_nonAsciiStyle_isWindows1252();

    // Format choice.
    void formatChoice_data();
    void formatChoice();

    // Windows-1252.
    void windows1252_data();
    void windows1252();
    void windows1252_everySpecialOfTheCodePage();

    // Name proposal and extension.
    void proposedFileName_data();
    void proposedFileName();
    void proposedFileName_leavesTitleForTheNextSave();
    void withExtension_data();
    void withExtension();

    // Appending to a file.
    void append_createsFileWithExactBytes();
    void append_twice_leavesDocumentTwice();
    void append_addsAfterExistingContent();
    void append_failure_data();
    void append_failure();
    void append_noPermission_reportsAndWritesNothing();
    void append_diskFull_reportsAndLeavesNothing();
};

// --- Clean text -------------------------------------------------------------

void DocumentsTests::cleanText_isArtUnchangedPlusCrLf() {
    const std::string art = "ab\rcd\r";
    QCOMPARE(Bytes(ComposeCleanText(art)), Bytes(art));
    QCOMPARE(Bytes(SaveBytes(OutputFormat::CleanText, art, Style("000000", "8", "Tahoma"))),
             QByteArray("ab\rcd\r\r\n"));
}

// --- RTF --------------------------------------------------------------------

void DocumentsTests::rtf_tahoma8_fullBytes() {
    const std::string expected = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1053{\\fonttbl{\\f0"
                                 "\\fswiss\\fcharset0Tahoma;}}\r\n"
                                 "{\\*\\generator OrvanelLumetra2.0;}\\viewkind4\\uc1\\pard\\f0"
                                 "\\fs16\r\n"
                                 "ab\\par\rcd\\par\r\r\n"
                                 "}\r\n";
    QCOMPARE(Bytes(SaveBytes(OutputFormat::Rtf, "ab\rcd\r", Style("000000", "8", "Tahoma"))),
             Bytes(expected));
}

void DocumentsTests::rtf_sizeInHalfPoints_data() {
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("controlWord");
    QTest::addRow("eight_gives16") << "8"
                                   << "\\fs16\r\n";
    QTest::addRow("eightAndAHalf_gives17") << "8.5"
                                           << "\\fs17\r\n";
    QTest::addRow("sevenAndAQuarter_gives14point5") << "7.25"
                                                    << "\\fs14.5\r\n";
    QTest::addRow("five_gives10") << "5"
                                  << "\\fs10\r\n";
    QTest::addRow("blanksAround_areRead") << " 9 "
                                          << "\\fs18\r\n";
}

void DocumentsTests::rtf_sizeInHalfPoints() {
    QFETCH(QString, size);
    QFETCH(QString, controlWord);
    const std::string rtf = ComposeRtf("x\r", Style("000000", size.toStdString(), "Arial"));
    const std::string expectedStart = kRtfHeader + "Arial;}}\r\n" + kRtfGenerator;
    QVERIFY(rtf.starts_with(expectedStart));
    QCOMPARE(QString::fromStdString(rtf.substr(expectedStart.size() - 3)),
             controlWord + "x\\par\r\r\n}");
}

void DocumentsTests::rtf_unusableSize_composesTwelvePoint_data() {
    QTest::addColumn<QString>("size");
    QTest::addRow("notANumber") << "big";
    QTest::addRow("empty") << "";
    QTest::addRow("zero") << "0";
    QTest::addRow("negative") << "-4";
}

void DocumentsTests::rtf_unusableSize_composesTwelvePoint() {
    // An odd size still gives an RTF document, not the bare art text.
    QFETCH(QString, size);
    const std::string rtf = ComposeRtf("ab\r", Style("000000", size.toStdString(), "Tahoma"));
    QCOMPARE(Bytes(rtf),
             Bytes(kRtfHeader + "Tahoma;}}\r\n" + kRtfGenerator + "24\r\nab\\par\r\r\n}"));
}

void DocumentsTests::rtf_artCharactersAreNotEscaped() {
    const std::string rtf = ComposeRtf("\\{}\r", Style("000000", "8", "A;B"));
    QVERIFY(rtf.find("fcharset0A;B;}}") != std::string::npos);
    QVERIFY(rtf.ends_with("\\fs16\r\n\\{}\\par\r\r\n}"));
}

void DocumentsTests::rtf_emptyAndBlankLines() {
    const std::string start = kRtfHeader + "Arial;}}\r\n" + kRtfGenerator + "10\r\n";
    QCOMPARE(Bytes(ComposeRtf("", Style("000000", "5", "Arial"))), Bytes(start + "\r\n}"));
    QCOMPARE(Bytes(ComposeRtf("\r\r", Style("000000", "5", "Arial"))),
             Bytes(start + "\\par\r\\par\r\r\n}"));
}

// --- HTML -------------------------------------------------------------------

void DocumentsTests::html_standardText_fullBytes() {
    const std::string page = ComposeHtml("ab\rcd\r", Style("FFFFFF", "5", "Arial"), false);
    QCOMPARE(Bytes(page), Bytes(HtmlPage("FFFFFF", "5", "Arial", "ab<BR>cd<BR>")));
    QCOMPARE(Bytes(SaveBytes(OutputFormat::HtmlText, "ab\rcd\r", Style("FFFFFF", "5", "Arial"))),
             Bytes(page + "\r\n"));
}

void DocumentsTests::html_emptyArt_stillThirteenLines() {
    const std::string page = ComposeHtml("", Style("000000", "8", "Tahoma"), false);
    QCOMPARE(Bytes(page), Bytes(HtmlPage("000000", "8", "Tahoma", "")));
    QCOMPARE(QByteArray::fromStdString(page).count("\r\n"), 12);
}

void DocumentsTests::html_colouredText_keepsSpaces() {
    const std::string art = "<font color=\"#FF0000\">A</font><font color=\"#00FF00\">B</font>\r"
                            "<font color=\"#0000FF\">A</font><font color=\"#FFFFFF\"></font>\r";
    const std::string page = ComposeHtml(art, Style("000000", "8", "Tahoma"), true);
    QCOMPARE(Bytes(page),
             Bytes(HtmlPage("000000", "8", "Tahoma",
                            "<font color=\"#FF0000\">A</font><font color=\"#00FF00\">B</font><BR>"
                            "<font color=\"#0000FF\">A</font><font color=\"#FFFFFF\"></font>"
                            "<BR>")));
    QCOMPARE(
        Bytes(ComposeDocument(OutputFormat::HtmlColoredText, art, Style("000000", "8", "Tahoma"))),
        Bytes(page));
}

void DocumentsTests::html_twoSpaceCell_becomesTwoNbsp() {
    const std::string page = ComposeHtml("9  ;;\r  \r", Style("FFFFFF", "5", "Arial"), false);
    QCOMPARE(Bytes(page),
             Bytes(HtmlPage("FFFFFF", "5", "Arial", "9&nbsp;&nbsp;;;<BR>&nbsp;&nbsp;<BR>")));
}

void DocumentsTests::html_background_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("written");
    QTest::addRow("white") << "FFFFFF"
                           << "#FFFFFF;";
    QTest::addRow("black") << "000000"
                           << "#000000;";
    QTest::addRow("emptyCode_isBlack") << ""
                                       << "#000000;";
}

void DocumentsTests::html_background() {
    QFETCH(QString, code);
    QFETCH(QString, written);
    const std::string page = ComposeHtml("x\r", Style(code.toStdString(), "8", "Tahoma"), false);
    QVERIFY(page.find("body {background-color: " + written.toStdString() +
                      " font-size:8pt; line-height:8pt}\r\n") != std::string::npos);
}

void DocumentsTests::html_sizeAndFaceGoInAsTyped() {
    const std::string page = ComposeHtml("<&>\r", Style("00FF00", "big", "Comic \"Sans\""), false);
    QCOMPARE(Bytes(page), Bytes(HtmlPage("00FF00", "big", "Comic \"Sans\"", "<&><BR>")));
}

void DocumentsTests::html_blanksAndLineEndsAtTheEdges() {
    const std::string art = " \r\r  x";
    QCOMPARE(Bytes(ComposeHtml(art, Style("000000", "8", "Tahoma"), false)),
             Bytes(HtmlPage("000000", "8", "Tahoma", "&nbsp;<BR><BR>&nbsp;&nbsp;x")));
    QCOMPARE(Bytes(ComposeHtml(art, Style("000000", "8", "Tahoma"), true)),
             Bytes(HtmlPage("000000", "8", "Tahoma", " <BR><BR>  x")));
}

void DocumentsTests::saveBytes_nonAsciiStyle_isWindows1252() {
    const std::string bytes =
        SaveBytes(OutputFormat::HtmlColoredText, "<font color=\"#000000\">\xc3\x84</font>\r",
                  Style("000000", "8", "\xc3\x84rial \xe2\x80\x93 Bold"));
    QVERIFY(bytes.find("<font face=\"\xc4rial \x96 Bold\">\r\n") != std::string::npos);
    QVERIFY(bytes.find("<font color=\"#000000\">\xc4</font><BR>\r\n") != std::string::npos);
    QVERIFY(bytes.ends_with("</HTML>\r\n"));
}

// --- Format choice ----------------------------------------------------------

void DocumentsTests::formatChoice_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("documentStart");
    QTest::addRow("cleanText") << int(OutputFormat::CleanText) << "*.txt"
                               << ".txt"
                               << "a b\r";
    QTest::addRow("rtf") << int(OutputFormat::Rtf) << "*.rtf"
                         << ".rtf"
                         << "{\\rtf1";
    QTest::addRow("htmlText") << int(OutputFormat::HtmlText) << "*.html"
                              << ".html"
                              << "<HTML>";
    QTest::addRow("htmlColoured") << int(OutputFormat::HtmlColoredText) << "*.html"
                                  << ".html"
                                  << "<HTML>";
}

void DocumentsTests::formatChoice() {
    QFETCH(int, format);
    QFETCH(QString, filter);
    QFETCH(QString, extension);
    QFETCH(QString, documentStart);
    const auto f = static_cast<OutputFormat>(format);
    QCOMPARE(QString::fromStdString(FilterFor(f)), filter);
    QCOMPARE(QString::fromStdString(ExtensionFor(f)), extension);
    const std::string document = ComposeDocument(f, "a b\r", Style("000000", "8", "Tahoma"));
    QVERIFY(document.starts_with(documentStart.toStdString()));
    const bool standardText = f == OutputFormat::HtmlText;
    QCOMPARE(document.find("a&nbsp;b<BR>") != std::string::npos, standardText);
}

// --- Windows-1252 -----------------------------------------------------------

void DocumentsTests::windows1252_data() {
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("expected");
    QTest::addRow("ascii_unchanged") << QByteArray("Az09;:,. ") << QByteArray("Az09;:,. ");
    QTest::addRow("controlCharacters_unchanged")
        << QByteArray("\r\n\t\x01\x1f\x7f", 6) << QByteArray("\r\n\t\x01\x1f\x7f", 6);
    QTest::addRow("nul_unchanged") << QByteArray("a\0b", 3) << QByteArray("a\0b", 3);
    QTest::addRow("eAcute_isE9") << QByteArray("\xc3\xa9") << QByteArray("\xe9");
    QTest::addRow("latin1Range_edges") << QByteArray("\xc2\xa0\xc3\xbf") << QByteArray("\xa0\xff");
    QTest::addRow("euro_is80") << QByteArray("\xe2\x82\xac") << QByteArray("\x80");
    QTest::addRow("curlyQuotes_are93And94")
        << QByteArray("\xe2\x80\x9c\xe2\x80\x9d") << QByteArray("\x93\x94");
    QTest::addRow("cjk_isQuestionMark") << QByteArray("a\xe6\xbc\xa2z") << QByteArray("a?z");
    QTest::addRow("emoji_isOneQuestionMark") << QByteArray("\xf0\x9f\x98\x80") << QByteArray("?");
    QTest::addRow("c1Control_isQuestionMark") << QByteArray("\xc2\x81\xc2\x80") << QByteArray("??");
    QTest::addRow("loneContinuationByte") << QByteArray("a\x80z") << QByteArray("a?z");
    QTest::addRow("truncatedSequenceAtEnd") << QByteArray("a\xe2\x82") << QByteArray("a?");
    QTest::addRow("truncatedSequenceBeforeAscii") << QByteArray("\xe2\x82z") << QByteArray("?z");
    QTest::addRow("overlongSlash") << QByteArray("\xc0\xaf") << QByteArray("??");
    QTest::addRow("surrogate") << QByteArray("\xed\xa0\x80") << QByteArray("???");
    QTest::addRow("aboveUnicode") << QByteArray("\xf4\x90\x80\x80") << QByteArray("????");
    QTest::addRow("longAsciiThenAccent")
        << QByteArray(17, 'a') + "\xc3\xa9" + QByteArray(9, 'b') + "\xe2\x82\xac"
        << QByteArray(17, 'a') + "\xe9" + QByteArray(9, 'b') + "\x80";
    QTest::addRow("accentAtEighthByte") << QByteArray("1234567\xc3\xa9"
                                                      "89")
                                        << QByteArray("1234567\xe9"
                                                      "89");
    QTest::addRow("latin1Byte_notUtf8") << QByteArray("caf\xe9") << QByteArray("caf?");
}

void DocumentsTests::windows1252() {
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(ToWindows1252(utf8.toStdString())), expected);
}

void DocumentsTests::windows1252_everySpecialOfTheCodePage() {
    // The code page's own table for 0x80..0x9F, decoded by Qt independently:
    // every defined position must come back to its byte, the five undefined
    // ones have no character.
    const char16_t specials[32] = {
        u'\u20AC', 0,         u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
        u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', 0,         u'\u017D', 0,
        0,         u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
        u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', 0,         u'\u017E', u'\u0178',
    };
    int defined = 0;
    for (int i = 0; i < 32; ++i) {
        if (specials[i] == 0) {
            continue;
        }
        ++defined;
        const QByteArray utf8 = QString(QChar(specials[i])).toUtf8();
        QCOMPARE(Bytes(ToWindows1252(utf8.toStdString())), QByteArray(1, char(0x80 + i)));
    }
    QCOMPARE(defined, 27);
    QCOMPARE(Bytes(SaveBytes(OutputFormat::CleanText, "\xe2\x82\xac\xc3\xa9\r", {})),
             QByteArray("\x80\xe9\r\r\n"));
}

// --- Name proposal ----------------------------------------------------------

void DocumentsTests::proposedFileName_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("proposed");
    QTest::addRow("threeLetterExtension_dropped") << "photo.jpg"
                                                  << "photo";
    QTest::addRow("fourLetterExtension_leavesDotAsUnderscore") << "my.photo.jpeg"
                                                               << "my_photo_";
    QTest::addRow("shorterThanFour_keptWithDotsReplaced") << "a.b"
                                                          << "a_b";
    QTest::addRow("exactlyFour_empty") << "a.bc"
                                       << "";
    QTest::addRow("empty_empty") << ""
                                 << "";
    QTest::addRow("noExtension_losesFourCharacters") << "picture"
                                                     << "pic";
    QTest::addRow("nonAsciiCountsCharacters")
        << QString::fromUtf8("bild\xc3\xa9.png") << QString::fromUtf8("bild\xc3\xa9");
    QTest::addRow("nonAsciiInsideTheLastFour")
        << QString::fromUtf8("ab\xc3\xa9\xe2\x82\xac.x") << "ab";
    QTest::addRow("fiveNonAscii_keepsFirst") << QString::fromUtf8("\xc3\xa9\xc3\xa9\xc3\xa9\xc3"
                                                                  "\xa9\xc3\xa9")
                                             << QString::fromUtf8("\xc3\xa9");
}

void DocumentsTests::proposedFileName() {
    QFETCH(QString, title);
    QFETCH(QString, proposed);
    QCOMPARE(QString::fromStdString(ProposedFileName(title.toStdString())), proposed);
}

void DocumentsTests::proposedFileName_leavesTitleForTheNextSave() {
    const std::string title = "x.jpg";
    QCOMPARE(ProposedFileName(title), std::string("x"));
    QCOMPARE(ProposedFileName(title), std::string("x"));
    QCOMPARE(title, std::string("x.jpg"));
}

void DocumentsTests::withExtension_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("path");
    QTest::addRow("noExtension_added") << "/tmp/art"
                                       << ".rtf"
                                       << "/tmp/art.rtf";
    QTest::addRow("sameExtension_kept") << "/tmp/art.rtf"
                                        << ".rtf"
                                        << "/tmp/art.rtf";
    QTest::addRow("sameExtensionOtherCase_kept") << "/tmp/ART.RTF"
                                                 << ".rtf"
                                                 << "/tmp/ART.RTF";
    QTest::addRow("otherExtension_added") << "/tmp/art.txt"
                                          << ".rtf"
                                          << "/tmp/art.txt.rtf";
    QTest::addRow("htmPrefixOfHtml_added") << "/tmp/art.htm"
                                           << ".html"
                                           << "/tmp/art.htm.html";
    QTest::addRow("extensionWithoutDot_added") << "/tmp/artrtf"
                                               << ".rtf"
                                               << "/tmp/artrtf.rtf";
    QTest::addRow("html_kept") << "/tmp/Art.Html"
                               << ".html"
                               << "/tmp/Art.Html";
}

void DocumentsTests::withExtension() {
    QFETCH(QString, chosen);
    QFETCH(QString, extension);
    QFETCH(QString, path);
    QCOMPARE(QString::fromStdString(WithExtension(chosen.toStdString(), extension.toStdString())),
             path);
}

// --- Appending to a file ----------------------------------------------------

void DocumentsTests::append_createsFileWithExactBytes() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A name with a non-ASCII character: the path is UTF-8.
    const QString path = dir.filePath(QString::fromUtf8("bild\xc3\xa9.rtf"));
    const std::string bytes = SaveBytes(OutputFormat::Rtf, "ab\r", Style("000000", "8", "Tahoma"));
    QCOMPARE(AppendToFile(path.toStdString(), bytes), std::nullopt);
    QCOMPARE(ReadAll(path), Bytes(bytes));
}

void DocumentsTests::append_twice_leavesDocumentTwice() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string path = dir.filePath("photo.txt").toStdString();
    const std::string bytes = SaveBytes(OutputFormat::CleanText, "ab\rcd\r", {});
    QCOMPARE(AppendToFile(path, bytes), std::nullopt);
    QCOMPARE(AppendToFile(path, bytes), std::nullopt);
    QCOMPARE(ReadAll(QString::fromStdString(path)), QByteArray("ab\rcd\r\r\nab\rcd\r\r\n"));
}

void DocumentsTests::append_addsAfterExistingContent() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("notes.txt");
    QVERIFY(WriteFile(path, "before\n"));
    QCOMPARE(AppendToFile(path.toStdString(), "after"), std::nullopt);
    QCOMPARE(ReadAll(path), QByteArray("before\nafter"));
}

void DocumentsTests::append_failure_data() {
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QString>("message");
    QTest::addRow("missingFolder") << "no/such/folder/art.rtf"
                                   << "The folder does not exist.";
    QTest::addRow("aFolderGiven") << "sub"
                                  << "The name belongs to a folder, not a file.";
    QTest::addRow("fileUsedAsFolder") << "plain.txt/art.rtf"
                                      << "The folder does not exist.";
}

void DocumentsTests::append_failure() {
    QFETCH(QString, relativePath);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    QVERIFY(WriteFile(dir.filePath("plain.txt"), "keep"));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    const std::optional<std::string> error =
        AppendToFile(dir.filePath(relativePath).toStdString(), "document\r\n");
    QVERIFY(error.has_value());
    QCOMPARE(QString::fromStdString(*error), message);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(QDir(dir.filePath("sub")).isEmpty());
    QCOMPARE(ReadAll(dir.filePath("plain.txt")), QByteArray("keep"));
}

void DocumentsTests::append_noPermission_reportsAndWritesNothing() {
    if (::geteuid() == 0) {
        QSKIP("Running as root, which may write to any file.");
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("locked.txt");
    QVERIFY(WriteFile(path, "keep"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    const std::optional<std::string> error = AppendToFile(path.toStdString(), "document");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(error,
             std::optional<std::string>("You do not have permission to write to this file."));
    QCOMPARE(ReadAll(path), QByteArray("keep"));
}

void DocumentsTests::append_diskFull_reportsAndLeavesNothing() {
    // The device that is always full: every write fails for lack of space.
    if (!QFile::exists("/dev/full")) {
        QSKIP("This system has no /dev/full.");
    }
    const std::optional<std::string> error = AppendToFile("/dev/full", std::string(100000, 'x'));
    QCOMPARE(error, std::optional<std::string>("The disk is full."));
}

QTEST_GUILESS_MAIN(DocumentsTests)
#include "DocumentsTests.moc"
