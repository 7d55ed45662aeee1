#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <new>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "output/Documents.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestDocuments.h"
#include "tests/support/TestFiles.h"

using namespace glimmora;
using glimmora::testing::Bytes;
using glimmora::testing::ChildExit;
using glimmora::testing::ChildOptions;
using glimmora::testing::HandToUnprivileged;
using glimmora::testing::ReadAll;
using glimmora::testing::RunInChild;
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

// A whole RTF save: header with the face as written, the size control word's
// value, the art as written.
std::string RtfSave(const std::string& face, const std::string& halfPoints,
                    const std::string& art) {
    return kRtfHeader + face + ";}}\r\n" + kRtfGenerator + halfPoints + "\r\n" + art + "\r\n}\r\n";
}

std::string HtmlSave(const std::string& size, const std::string& face, const std::string& art) {
    return HtmlPage("000000", size, face, art) + "\r\n";
}

// The save bytes with the art handed over in pieces cut at the given places.
std::string SaveInPieces(OutputFormat format, std::string_view art, const DocumentStyle& style,
                         const std::vector<std::size_t>& cuts, std::size_t* questionMarks) {
    std::string bytes;
    DocumentWriter writer(format, style, [&bytes, art](std::string_view piece) {
        // Bounded pieces, or a stretch of the art itself, not a copy.
        const bool inArt =
            piece.data() >= art.data() && piece.data() + piece.size() <= art.data() + art.size();
        QVERIFY(!piece.empty());
        QVERIFY(piece.size() <= DocumentWriter::kPieceSize || inArt);
        bytes += piece;
    });
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        writer.WriteArt(art.substr(from, cut - from));
        from = cut;
    }
    writer.WriteArt(art.substr(from));
    writer.Finish();
    *questionMarks = writer.QuestionMarks();
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(OutputFormat)

class DocumentsTests : public QObject {
    Q_OBJECT

private slots:
    // Clean text and the save bytes.
    void cleanText_isArtUnchangedPlusCrLf();

    // RTF.
    void rtf_tahoma8_fullBytes();
    void rtf_sizeInHalfPoints_data();
    void rtf_sizeInHalfPoints();
    void rtf_emptyAndBlankLines();

    // HTML.
    void html_standardText_fullBytes();
    void html_emptyArt_stillThirteenLines();
    void html_colouredText_keepsSpaces();
    void html_twoSpaceCell_becomesTwoNbsp();
    void html_background_data();
    void html_background();
    void html_blanksAndLineEndsAtTheEdges();
    void saveBytes_nonAsciiStyle_isWindows1252();

    // What the documents escape, and how they write what Windows-1252
    // cannot hold.
    void escaping_data();
    void escaping();

    // Written in pieces.
    void pieces_sameBytesWhereverTheArtIsCut_data();
    void pieces_sameBytesWhereverTheArtIsCut();
    void pieces_longArt_sameBytesInBoundedPieces();

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
    void append_failsHalfWay_leavesTheFileAsItWas_data();
    void append_failsHalfWay_leavesTheFileAsItWas();
};

// --- Clean text -------------------------------------------------------------

void DocumentsTests::cleanText_isArtUnchangedPlusCrLf() {
    const std::string art = "ab\rcd\r";
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
    // Doubled, rounded half up, 1 to 3276; a size that is not a positive
    // number gives 12 pt.
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("halfPoints");
    QTest::addRow("eight") << "8"
                           << "16";
    QTest::addRow("eightAndAHalf") << "8.5"
                                   << "17";
    QTest::addRow("sevenAndAQuarter_roundsUp") << "7.25"
                                               << "15";
    QTest::addRow("twoAndThreeQuarters_roundsUp") << "2.75"
                                                  << "6";
    QTest::addRow("justBelowAHalf_roundsDown") << "7.2499"
                                               << "14";
    QTest::addRow("five") << "5"
                          << "10";
    QTest::addRow("blanksAround_areRead") << " 9 "
                                          << "18";
    QTest::addRow("tiny_isOne") << "0.1"
                                << "1";
    QTest::addRow("quarter_isOne") << "0.25"
                                   << "1";
    QTest::addRow("largest") << "1638"
                             << "3276";
    QTest::addRow("aboveLargest_isLargest") << "1638.5"
                                            << "3276";
    QTest::addRow("huge_noExponent") << "1e16"
                                     << "3276";
    QTest::addRow("notANumber") << "big"
                                << "24";
    QTest::addRow("empty") << ""
                           << "24";
    QTest::addRow("zero") << "0"
                          << "24";
    QTest::addRow("negative") << "-4"
                              << "24";
    QTest::addRow("beyondDouble") << "1e400"
                                  << "24";
}

void DocumentsTests::rtf_sizeInHalfPoints() {
    QFETCH(QString, size);
    QFETCH(QString, halfPoints);
    QCOMPARE(
        Bytes(SaveBytes(OutputFormat::Rtf, "x\r", Style("000000", size.toStdString(), "Arial"))),
        Bytes(RtfSave("Arial", halfPoints.toStdString(), "x\\par\r")));
}

void DocumentsTests::rtf_emptyAndBlankLines() {
    const DocumentStyle style = Style("000000", "5", "Arial");
    QCOMPARE(Bytes(SaveBytes(OutputFormat::Rtf, "", style)), Bytes(RtfSave("Arial", "10", "")));
    QCOMPARE(Bytes(SaveBytes(OutputFormat::Rtf, "\r\r", style)),
             Bytes(RtfSave("Arial", "10", "\\par\r\\par\r")));
}

// --- HTML -------------------------------------------------------------------

void DocumentsTests::html_standardText_fullBytes() {
    QCOMPARE(Bytes(SaveBytes(OutputFormat::HtmlText, "ab\rcd\r", Style("FFFFFF", "5", "Arial"))),
             Bytes(HtmlPage("FFFFFF", "5", "Arial", "ab<BR>cd<BR>") + "\r\n"));
}

void DocumentsTests::html_emptyArt_stillThirteenLines() {
    const std::string page = SaveBytes(OutputFormat::HtmlText, "", Style("000000", "8", "Tahoma"));
    QCOMPARE(Bytes(page), Bytes(HtmlSave("8", "Tahoma", "")));
    QCOMPARE(QByteArray::fromStdString(page).count("\r\n"), 13);
}

void DocumentsTests::html_colouredText_keepsSpaces() {
    const std::string art = "<font color=\"#FF0000\">A</font><font color=\"#00FF00\">B</font>\r"
                            "<font color=\"#0000FF\">A</font><font color=\"#FFFFFF\"></font>\r";
    QCOMPARE(Bytes(SaveBytes(OutputFormat::HtmlColoredText, art, Style("000000", "8", "Tahoma"))),
             Bytes(HtmlSave("8", "Tahoma",
                            "<font color=\"#FF0000\">A</font><font color=\"#00FF00\">B</font><BR>"
                            "<font color=\"#0000FF\">A</font><font color=\"#FFFFFF\"></font>"
                            "<BR>")));
}

void DocumentsTests::html_twoSpaceCell_becomesTwoNbsp() {
    QCOMPARE(Bytes(SaveBytes(OutputFormat::HtmlText, "9  ;;\r  \r", Style("000000", "5", "Arial"))),
             Bytes(HtmlSave("5", "Arial", "9&nbsp;&nbsp;;;<BR>&nbsp;&nbsp;<BR>")));
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
    const std::string page =
        SaveBytes(OutputFormat::HtmlText, "x\r", Style(code.toStdString(), "8", "Tahoma"));
    QVERIFY(page.find("body {background-color: " + written.toStdString() +
                      " font-size:8pt; line-height:8pt}\r\n") != std::string::npos);
}

void DocumentsTests::html_blanksAndLineEndsAtTheEdges() {
    const std::string art = " \r\r  x";
    const DocumentStyle style = Style("000000", "8", "Tahoma");
    QCOMPARE(Bytes(SaveBytes(OutputFormat::HtmlText, art, style)),
             Bytes(HtmlSave("8", "Tahoma", "&nbsp;<BR><BR>&nbsp;&nbsp;x")));
    QCOMPARE(Bytes(SaveBytes(OutputFormat::HtmlColoredText, art, style)),
             Bytes(HtmlSave("8", "Tahoma", " <BR><BR>  x")));
}

void DocumentsTests::saveBytes_nonAsciiStyle_isWindows1252() {
    const std::string bytes =
        SaveBytes(OutputFormat::HtmlColoredText, "<font color=\"#000000\">\xc3\x84</font>\r",
                  Style("000000", "8", "\xc3\x84rial \xe2\x80\x93 Bold"));
    QVERIFY(bytes.find("<font face=\"&#196;rial &#8211; Bold\">\r\n") != std::string::npos);
    QVERIFY(bytes.find("<font color=\"#000000\">&#196;</font><BR>\r\n") != std::string::npos);
    QVERIFY(bytes.ends_with("</HTML>\r\n"));
    const std::string rtf = SaveBytes(OutputFormat::Rtf, "\xc3\x84\r", Style("000000", "8", "A"));
    QVERIFY(rtf.find("\xc4\\par\r") != std::string::npos);
}

// --- Escaping ---------------------------------------------------------------

void DocumentsTests::escaping_data() {
    // Each row: one save, exactly. Omega (U+03A9) and the emoji (U+1F600)
    // have no Windows-1252 byte, the euro and e acute have.
    QTest::addColumn<OutputFormat>("format");
    QTest::addColumn<QByteArray>("art");
    QTest::addColumn<QByteArray>("size");
    QTest::addColumn<QByteArray>("face");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("questionMarks");
    const auto rtf = [](const char* name, QByteArray art, QByteArray face, std::string artOut,
                        std::string faceOut, int questionMarks = 0) {
        QTest::addRow("rtf_%s", name) << OutputFormat::Rtf << art << QByteArray("8") << face
                                      << Bytes(RtfSave(faceOut, "16", artOut)) << questionMarks;
    };
    rtf("backslashAndBraces_escaped", "\\{}\r", "Arial", "\\\\\\{\\}\\par\r", "Arial");
    rtf("faceBracesAndBackslash_escapedSemicolonLeftOut", "x", "A;B{c}\\", "x", "AB\\{c\\}\\\\");
    rtf("unheldCharacter_unicodeControlWord", "\xce\xa9\r", "Arial", "\\u937?\\par\r", "Arial");
    rtf("aboveFFFF_twoSignedUnits", "\xf0\x9f\x98\x80", "Arial", "\\u-10179?\\u-8704?", "Arial");
    rtf("replacementCharacter_negative", "\xef\xbf\xbd", "Arial", "\\u-3?", "Arial");
    rtf("undefinedPositionOfTheCodePage", "\xc2\x81", "Arial", "\\u129?", "Arial");
    rtf("heldCharacters_oneByteEach", "\xe2\x82\xac\xc3\xa9", "\xc3\x84rial", "\x80\xe9",
        "\xc4rial");
    rtf("unheldInFace_unicodeControlWord", "x", "\xce\xa9", "x", "\\u937?");
    rtf("notUtf8_questionMark", "a\x80z", "Arial", "a?z", "Arial", 1);

    const auto html = [](const char* name, OutputFormat format, QByteArray art, QByteArray size,
                         QByteArray face, std::string artOut, std::string sizeOut,
                         std::string faceOut, int questionMarks = 0) {
        QTest::addRow("%s", name) << format << art << size << face
                                  << Bytes(HtmlSave(sizeOut, faceOut, artOut)) << questionMarks;
    };
    const OutputFormat text = OutputFormat::HtmlText;
    const OutputFormat coloured = OutputFormat::HtmlColoredText;
    html("htmlText_markupCharacters_entitiesBeforeLineEndsAndBlanks", text, "<&> a\r", "8",
         "Tahoma", "&lt;&amp;&gt;&nbsp;a<BR>", "8", "Tahoma");
    html("htmlText_unheld_numericReferences", text, "\xce\xa9\xf0\x9f\x98\x80\r", "8", "Tahoma",
         "&#937;&#128512;<BR>", "8", "Tahoma");
    // Even what Windows-1252 holds: the page is plain ASCII.
    html("htmlText_everyCharacterAboveAscii_numericReference", text,
         "\xe2\x82\xac\xc3\xa9\xc2\xa0\xc2\x81\x7f\r", "8", "Tahoma",
         "&#8364;&#233;&#160;&#129;\x7f<BR>", "8", "Tahoma");
    html("htmlText_notUtf8_questionMark", text, "\xff\r", "8", "Tahoma", "?<BR>", "8", "Tahoma", 1);
    html("htmlFace_quoteAndMarkup_entities", text, "x", "8", "Comic \"Sans\" & <b>", "x", "8",
         "Comic &quot;Sans&quot; &amp; &lt;b&gt;");
    html("htmlFace_scriptStaysText", text, "x", "8", "\"><script>", "x", "8",
         "&quot;&gt;&lt;script&gt;");
    html("htmlFace_unheld_numericReference", text, "x", "8", "\xce\xa9", "x", "8", "&#937;");
    html("htmlFace_held_numericReference", text, "x", "8", "\xc3\x84rial", "x", "8", "&#196;rial");
    html("htmlSize_declarationAndElementEnders_leftOut", text, "x", "8;}</style>{\"&", "Tahoma",
         "x", "8/style", "Tahoma");
    html("htmlSize_unheld_numericReference", text, "x", "8\xce\xa9", "Tahoma", "x", "8&#937;",
         "Tahoma");
    html("htmlColoured_cellTagsAndEscapedLettersKept", coloured,
         "<font color=\"#FF0000\">&amp;</font><font color=\"#00FF00\">&lt;</font>\r", "8", "Tahoma",
         "<font color=\"#FF0000\">&amp;</font><font color=\"#00FF00\">&lt;</font><BR>", "8",
         "Tahoma");
    html("htmlColoured_unheldLetter_numericReference", coloured,
         "<font color=\"#FF0000\">\xce\xa9</font>\r", "8", "Tahoma",
         "<font color=\"#FF0000\">&#937;</font><BR>", "8", "Tahoma");

    QTest::addRow("clean_unchanged_unheldIsQuestionMark")
        << OutputFormat::CleanText << QByteArray("\\{}<&> \xce\xa9\xe2\x82\xac\r")
        << QByteArray("8") << QByteArray("Tahoma") << QByteArray("\\{}<&> ?\x80\r\r\n") << 1;
}

void DocumentsTests::escaping() {
    QFETCH(OutputFormat, format);
    QFETCH(QByteArray, art);
    QFETCH(QByteArray, size);
    QFETCH(QByteArray, face);
    QFETCH(QByteArray, expected);
    QFETCH(int, questionMarks);
    std::string bytes;
    const std::size_t marks = WriteSaveBytes(
        format, art.toStdString(), Style("000000", size.toStdString(), face.toStdString()),
        [&bytes](std::string_view piece) { bytes += piece; });
    QCOMPARE(Bytes(bytes), expected);
    QCOMPARE(marks, std::size_t(questionMarks));
}

// --- Pieces -----------------------------------------------------------------

void DocumentsTests::pieces_sameBytesWhereverTheArtIsCut_data() {
    QTest::addColumn<OutputFormat>("format");
    QTest::addRow("cleanText") << OutputFormat::CleanText;
    QTest::addRow("rtf") << OutputFormat::Rtf;
    QTest::addRow("htmlText") << OutputFormat::HtmlText;
    QTest::addRow("htmlColoured") << OutputFormat::HtmlColoredText;
}

void DocumentsTests::pieces_sameBytesWhereverTheArtIsCut() {
    // Characters of two, three and four bytes, broken ones, markup and
    // cells' tags: cut once at every place, and into single bytes.
    QFETCH(OutputFormat, format);
    const std::string art = "<font color=\"#FF0000\">\xc3\xa9</font> \xe2\x82\xac\r"
                            "{\\}&<>\xce\xa9\xf0\x9f\x98\x80\xe2\x82\r\xf0\x9f\x98z\xc3";
    const DocumentStyle style = Style("FFFFFF", "8", "Ta\xc3\xa9oma");
    const std::string whole = SaveBytes(format, art, style);
    std::size_t wholeMarks = 0;
    QCOMPARE(Bytes(SaveInPieces(format, art, style, {}, &wholeMarks)), Bytes(whole));
    QCOMPARE(wholeMarks, std::size_t(format == OutputFormat::CleanText ? 5 : 3));
    std::vector<std::size_t> everyByte;
    for (std::size_t cut = 1; cut < art.size(); ++cut) {
        std::size_t marks = 0;
        QCOMPARE(Bytes(SaveInPieces(format, art, style, {cut}, &marks)), Bytes(whole));
        QCOMPARE(marks, wholeMarks);
        everyByte.push_back(cut);
    }
    std::size_t marks = 0;
    QCOMPARE(Bytes(SaveInPieces(format, art, style, everyByte, &marks)), Bytes(whole));
    QCOMPARE(marks, wholeMarks);
}

void DocumentsTests::pieces_longArt_sameBytesInBoundedPieces() {
    // Long enough for many pieces, with a long unchanged stretch that goes
    // to the sink as it lies.
    std::string art;
    for (int line = 0; line < 3000; ++line) {
        art += "9=ue;;::  \xc3\xa9..&\r";
    }
    art += std::string(200000, 'x');
    const DocumentStyle style = Style("000000", "5", "Arial");
    for (const OutputFormat format : {OutputFormat::CleanText, OutputFormat::Rtf,
                                      OutputFormat::HtmlText, OutputFormat::HtmlColoredText}) {
        std::vector<std::size_t> cuts;
        for (std::size_t cut = 4093; cut < art.size(); cut += 4093) {
            cuts.push_back(cut);
        }
        std::size_t marks = 0;
        const QByteArray whole = Bytes(SaveBytes(format, art, style));
        QCOMPARE(Bytes(SaveInPieces(format, art, style, cuts, &marks)), whole);
        QCOMPARE(Bytes(SaveInPieces(format, art, style, {}, &marks)), whole);
    }
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
    const std::string document = SaveBytes(f, "a b\r", Style("000000", "8", "Tahoma"));
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
    QTest::addRow("overlong3_eAcute") << QByteArray("\xe0\x83\xa9") << QByteArray("???");
    QTest::addRow("overlong4_euro") << QByteArray("\xf0\x82\x82\xac") << QByteArray("????");
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
    // In a child run as an ordinary user: root may write to any file.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("locked.txt");
    QVERIFY(WriteFile(path, "keep"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    QVERIFY(HandToUnprivileged(dir.path()) && HandToUnprivileged(path));
    const ChildExit child = RunInChild(
        [&] {
            return AppendToFile(path.toStdString(), "document") ==
                   std::optional<std::string>("You do not have permission to write to this file.");
        },
        ChildOptions::Unprivileged());
    QVERIFY(child.Passed());
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

void DocumentsTests::append_failsHalfWay_leavesTheFileAsItWas_data() {
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("throws");
    QTest::addRow("existingFile_writeRefused") << true << false;
    QTest::addRow("newFile_writeRefused") << false << false;
    QTest::addRow("existingFile_composingThrows") << true << true;
    QTest::addRow("newFile_composingThrows") << false << true;
}

void DocumentsTests::append_failsHalfWay_leavesTheFileAsItWas() {
    // A document written in pieces, of which the later ones fail: the file
    // size limit refuses writes past 64 KiB, as a full disk would.
    QFETCH(bool, existing);
    QFETCH(bool, throws);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("art.txt");
    if (existing) {
        QVERIFY(WriteFile(path, "before"));
    }
    rlimit old{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
    rlimit limited = old;
    limited.rlim_cur = 64 * 1024;
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &limited) == 0);
    std::optional<std::string> error;
    bool thrown = false;
    try {
        error = AppendToFile(path.toStdString(), [throws](const ByteSink& sink) {
            const std::string piece(10000, 'x');
            for (int i = 0; i < 20; ++i) {
                sink(piece);
                if (throws && i == 2) {
                    throw std::bad_alloc();
                }
            }
        });
    } catch (const std::bad_alloc&) {
        thrown = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    QCOMPARE(thrown, throws);
    QCOMPARE(error.has_value(), !throws);
    QCOMPARE(QFile::exists(path), existing);
    if (existing) {
        QCOMPARE(ReadAll(path), QByteArray("before"));
    }
}

QTEST_GUILESS_MAIN(DocumentsTests)
#include "DocumentsTests.moc"
