#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdint>
#include <string>

#include <sys/stat.h>
#include <sys/xattr.h>

#include "cli/OutputTarget.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestFiles.h"

using namespace glimmora;
using glimmora::testing::ChildExit;
using glimmora::testing::ChildOptions;
using glimmora::testing::ReadAll;
using glimmora::testing::RunInChild;
using glimmora::testing::WriteFile;

namespace {

enum class Kind { Replaced, InPlace, NewFile };

// An access control list as the system keeps it: the file's owner,
// user 65534 and the mask read-write, the group and others read-only.
QByteArray AccessControlList() {
    QByteArray acl;
    const auto add = [&acl](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            acl.append(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    add(2, 4); // the format's version
    const std::uint32_t kNoId = 0xFFFFFFFF;
    const std::uint32_t entries[][3] = {
        {0x01, 6, kNoId}, {0x02, 6, 65534}, {0x04, 4, kNoId}, {0x10, 6, kNoId}, {0x20, 4, kNoId}};
    for (const auto& entry : entries) {
        add(entry[0], 2);
        add(entry[1], 2);
        add(entry[2], 4);
    }
    return acl;
}

} // namespace

class OutputTargetTests : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir_.emplace();
        QVERIFY(dir_->isValid());
    }
    void cleanup() {
        ::chmod(QFile::encodeName(dir_->path()).constData(), 0700);
        dir_.reset();
    }

    // A signal that ends the program, half-way through a document: the file
    // is left as it was, nothing beside it, and the program ends by the
    // signal.
    void signalHalfWay_fileAsItWas_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("signal");
        for (const auto& [name, signal] :
             {std::pair{"SIGINT", SIGINT}, std::pair{"SIGTERM", SIGTERM},
              std::pair{"SIGHUP", SIGHUP}, std::pair{"SIGPIPE", SIGPIPE}}) {
            QTest::addRow("replaced_%s", name) << int(Kind::Replaced) << signal;
            QTest::addRow("inPlace_%s", name) << int(Kind::InPlace) << signal;
        }
        QTest::addRow("newFile_SIGTERM") << int(Kind::NewFile) << SIGTERM;
    }
    void signalHalfWay_fileAsItWas() {
        QFETCH(int, kind);
        QFETCH(int, signal);
        const QString path = dir_->filePath("art.html");
        const QByteArray old = QByteArray("the old art ").repeated(1000);
        ChildOptions options;
        if (Kind(kind) != Kind::NewFile) {
            QVERIFY(WriteFile(path, old));
        }
        if (Kind(kind) == Kind::InPlace) {
            // No new file can be made in the folder.
            options = ChildOptions::Unprivileged();
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0666) == 0);
            QVERIFY(::chmod(QFile::encodeName(dir_->path()).constData(), 0555) == 0);
        }
        const ChildExit exit = RunInChild(
            [&] {
                // The test framework's own handler, which reports a crash, is not the
                // program's.
                std::signal(signal, SIG_DFL);
                std::string reason;
                const auto target = OutputTarget::Open(path.toStdString(), reason);
                if (!target) {
                    return false;
                }
                target->Write(std::string(200000, 'x'));
                ::raise(signal); // only noted while the file is written
                target->Write("more");
                return false; // the program should have ended
            },
            options);
        QCOMPARE(exit.code, -1);
        QCOMPARE(exit.signal, signal);
        const QStringList left =
            QDir(dir_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        if (Kind(kind) == Kind::NewFile) {
            QCOMPARE(left, QStringList());
        } else {
            QCOMPARE(left, QStringList{"art.html"});
            QVERIFY(ReadAll(path) == old);
        }
    }

    // Extended attributes and access control lists stay with a replaced
    // file, as they would with the file written in place.
    void replaced_keepsAttributes_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("inPlace");
        QTest::addRow("userAttribute")
            << QByteArray("user.glimmora.note") << QByteArray("kept") << false;
        QTest::addRow("accessControlList")
            << QByteArray("system.posix_acl_access") << AccessControlList() << false;
        // Only root may set it: an ordinary user writes the file in place.
        QTest::addRow("securityAttribute_ordinaryUser_writtenInPlace")
            << QByteArray("security.glimmora") << QByteArray("kept") << true;
    }
    void replaced_keepsAttributes() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, value);
        QFETCH(bool, inPlace);
        if (inPlace && !glimmora::testing::UnprivilegedUser()) {
            QSKIP("an ordinary user cannot set the attribute to begin with");
        }
        const QString path = dir_->filePath("art.rtf");
        QVERIFY(WriteFile(path, "old"));
        const QByteArray file = QFile::encodeName(path);
        if (::setxattr(file.constData(), name.constData(), value.constData(),
                       std::size_t(value.size()), 0) != 0) {
            QSKIP("the file system here keeps no such attribute");
        }
        if (inPlace) {
            QVERIFY(::chmod(QFile::encodeName(dir_->path()).constData(), 0777) == 0);
            QVERIFY(::chmod(file.constData(), 0666) == 0);
        }
        struct stat before {};
        QVERIFY(::stat(file.constData(), &before) == 0);

        const auto write = [&path] {
            std::string reason;
            const auto target = OutputTarget::Open(path.toStdString(), reason);
            if (target) {
                target->Write("new document");
            }
            return target && !target->Finish();
        };
        if (inPlace) {
            QVERIFY(RunInChild(write, ChildOptions::Unprivileged()).Passed());
        } else {
            QVERIFY(write());
        }

        QCOMPARE(ReadAll(path), QByteArray("new document"));
        QByteArray kept(value.size() + 16, '\0');
        const ssize_t size =
            ::getxattr(file.constData(), name.constData(), kept.data(), std::size_t(kept.size()));
        QCOMPARE(kept.left(size < 0 ? 0 : size), value);
        struct stat after {};
        QVERIFY(::stat(file.constData(), &after) == 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino == before.st_ino, inPlace);
    }

private:
    std::optional<QTemporaryDir> dir_;
};

QTEST_GUILESS_MAIN(OutputTargetTests)
#include "OutputTargetTests.moc"
