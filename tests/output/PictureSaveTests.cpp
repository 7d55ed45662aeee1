#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <string>

#include "output/ArtPicture.h"
#include "output/Outlets.h"
#include "output/PictureSave.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TestFiles.h"

namespace glimmora::testing {

namespace {

constexpr char kArt[] = "<font color=\"#FF8000\">A</font><font color=\"#00FF00\">B</font>\r";

SaveInputs ColouredInputs() {
    SaveInputs inputs;
    inputs.format = OutputFormat::HtmlColoredText;
    inputs.artText = kArt;
    inputs.style = DocumentStyle{"102030", "20", "DejaVu Sans"};
    inputs.imageFileTitle = "photo.jpg";
    return inputs;
}

QImage Expected() {
    std::string why;
    const std::optional<PictureLook> look =
        DocumentPictureLook(OutputFormat::HtmlColoredText, ColouredInputs().style, why);
    return look ? ArtImage(*look, kArt).convertToFormat(QImage::Format_RGB32) : QImage();
}

} // namespace

class PictureSaveTests : public QObject {
    Q_OBJECT

private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        platform_ = std::make_unique<ScriptedPlatform>();
        QVERIFY(folder_->isValid());
    }
    void save_offersThePictureBesideTheDocument();
    void save_writesThePictureAsDrawn_data();
    void save_writesThePictureAsDrawn();
    void save_failureSaysWhyAndWritesNothing();

private:
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedPlatform> platform_;
};

void PictureSaveTests::save_offersThePictureBesideTheDocument() {
    SaveArt(*platform_, nullptr, ColouredInputs());
    QCOMPARE(platform_->saveRequests.size(), std::size_t{1});
    QCOMPARE(platform_->saveRequests[0].filters,
             (QStringList{"*.html", QString::fromLatin1(kPictureSaveFilter)}));
    QCOMPARE(platform_->saveRequests[0].filter, QStringLiteral("*.html"));
}

void PictureSaveTests::save_writesThePictureAsDrawn_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("before");   // empty: no such file
    QTest::addColumn<QList<bool>>("answers"); // to "already exists"
    QTest::addColumn<bool>("replaced");
    QTest::addRow("newFile_extensionAdded") << "art" << QByteArray() << QList<bool>{} << true;
    QTest::addRow("extensionKept_anyCase") << "art.PNG" << QByteArray() << QList<bool>{} << true;
    QTest::addRow("existing_yesReplaces")
        << "art" << QByteArray("old") << QList<bool>{true} << true;
    QTest::addRow("existing_noKeeps") << "art" << QByteArray("old") << QList<bool>{false} << false;
}

void PictureSaveTests::save_writesThePictureAsDrawn() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, before);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, replaced);
    const QString file = folder_->filePath(typed.endsWith(".PNG") ? typed : typed + ".png");
    if (!before.isEmpty()) {
        QVERIFY(WriteFile(file, before));
    }
    platform_->saveAnswers.push_back(folder_->filePath(typed));
    platform_->saveTypeAnswers.push_back(1);
    platform_->questionAnswers.assign(answers.begin(), answers.end());
    SaveArt(*platform_, nullptr, ColouredInputs());

    QCOMPARE(platform_->questions.size(), std::size_t(answers.size()));
    if (!answers.isEmpty()) {
        QCOMPARE(platform_->questions[0].text,
                 QStringLiteral("art.png already exists. Replace it?"));
        QCOMPARE(platform_->questions[0].defaultAnswer, Platform::Answer::No);
    }
    QVERIFY(platform_->criticals.empty());
    if (!replaced) {
        QCOMPARE(ReadAll(file), before);
        return;
    }
    QImage saved;
    QVERIFY(saved.load(file, "PNG"));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), Expected());
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void PictureSaveTests::save_failureSaysWhyAndWritesNothing() {
    platform_->saveAnswers.push_back(folder_->filePath("missing/art"));
    platform_->saveTypeAnswers.push_back(1);
    SaveArt(*platform_, nullptr, ColouredInputs());
    QCOMPARE(platform_->criticals.size(), std::size_t{1});
    QCOMPARE(platform_->criticals[0].title, QStringLiteral("Save"));
    QVERIFY2(platform_->criticals[0].text.startsWith(
                 QStringLiteral("The file %1 could not be saved: ")
                     .arg(QDir::toNativeSeparators(folder_->filePath("missing/art.png")))),
             qPrintable(platform_->criticals[0].text));
    QVERIFY(QDir(folder_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

} // namespace glimmora::testing

QTEST_MAIN(glimmora::testing::PictureSaveTests)
#include "PictureSaveTests.moc"
