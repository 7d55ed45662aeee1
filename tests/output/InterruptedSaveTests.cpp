#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <string>

#include "output/Documents.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestFiles.h"

using namespace glimmora;
using glimmora::testing::ChildExit;
using glimmora::testing::ReadAll;
using glimmora::testing::RunInChild;
using glimmora::testing::WriteFile;

// The wizard's Save ended by a signal half-way (the desktop session ending,
// a kill): the file it appends to is left as it was, and the program ends as
// the signal would end it.
class InterruptedSaveTests : public QObject {
    Q_OBJECT

private slots:
    void endedHalfWay_fileAsItWas_data() {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("signal");
        QTest::addRow("existingFile_SIGTERM") << true << SIGTERM;
        QTest::addRow("existingFile_SIGHUP") << true << SIGHUP;
        QTest::addRow("existingFile_SIGINT") << true << SIGINT;
        QTest::addRow("newFile_SIGTERM") << false << SIGTERM;
        QTest::addRow("newFile_SIGHUP") << false << SIGHUP;
    }
    void endedHalfWay_fileAsItWas() {
        QFETCH(bool, existing);
        QFETCH(int, signal);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("art.html");
        if (existing) {
            QVERIFY(WriteFile(path, "the art saved before\r\n"));
        }
        const ChildExit exit = RunInChild([&] {
            // The test framework's own handler, which reports a crash, is not the
            // program's.
            std::signal(signal, SIG_DFL);
            AppendToFile(path.toStdString(), [signal](const ByteSink& sink) {
                DocumentWriter writer(OutputFormat::HtmlText, {}, sink);
                writer.WriteArt(std::string(1 << 20, '9'));
                ::raise(signal); // only noted while the file is written
                writer.WriteArt(std::string(1 << 20, '9'));
                writer.Finish();
            });
            return false; // the program should have ended
        });
        QCOMPARE(exit.signal, signal);
        if (existing) {
            QCOMPARE(ReadAll(path), QByteArray("the art saved before\r\n"));
        } else {
            QVERIFY(!QFile::exists(path));
        }
    }

    // A signal the program ignores stays ignored, and the save completes.
    void ignoredSignal_saveCompletes() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("art.txt");
        const ChildExit exit = RunInChild([&] {
            std::signal(SIGHUP, SIG_IGN);
            const auto error = AppendToFile(path.toStdString(), [](const ByteSink& sink) {
                sink("ab");
                ::raise(SIGHUP);
                sink("cd");
            });
            return !error;
        });
        QVERIFY(exit.Passed());
        QCOMPARE(ReadAll(path), QByteArray("abcd"));
    }
};

QTEST_GUILESS_MAIN(InterruptedSaveTests)
#include "InterruptedSaveTests.moc"
