// glimmora-screenshots: walks the whole road of a user through the real
// program (start window, About, Create New, a picture through all six pages,
// Show art, Save, Exit) on a real window system, answering the real file
// dialogs, and grabs every window on the way as PNG. It writes the pictures
// and the saved document into the given folder. Run it under a virtual X
// server:
//   xvfb-run -a glimmora-screenshots OUT_DIR [PICTURE] [text|rtf|html|colour]
// Without a picture it paints one of its own to convert.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>

#include "shell/Form1.h"
#include "shell/Startup.h"
#include "shell/frmAbout.h"
#include "shell/frmEasterEgg.h"
#include "output/ArtViewer.h"
#include "output/Form3.h"
#include "platform/Platform.h"
#include "wizard/ClickArea.h"
#include "wizard/frmWizard.h"

namespace glimmora {
namespace {

QDir gOut;
int gFailures = 0;

void Note(const QString& text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

void Fail(const QString& text) {
    std::fprintf(stderr, "FAILED: %s\n", qPrintable(text));
    ++gFailures;
}

bool WaitFor(const std::function<bool()>& done, int milliseconds = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void Settle() {
    QTest::qWait(150);
}

void Grab(QWidget* window, const QString& name) {
    if (window == nullptr) {
        Fail(QStringLiteral("no window for ") + name);
        return;
    }
    Settle();
    const QString path = gOut.filePath(name);
    if (!window->grab().save(path)) {
        Fail(QStringLiteral("could not write ") + path);
        return;
    }
    Note(QStringLiteral("  grabbed %1 (%2 x %3)")
             .arg(name)
             .arg(window->width())
             .arg(window->height()));
}

void GrabScreen(const QString& name, QRect area = QRect()) {
    Settle();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QString path = gOut.filePath(name);
    if (area.isNull() && screen != nullptr) {
        area = screen->geometry();
    }
    if (screen == nullptr ||
        !screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(path)) {
        Fail(QStringLiteral("could not grab the screen into ") + path);
        return;
    }
    Note(QStringLiteral("  grabbed the screen into ") + name);
}

void Click(QWidget* parent, const char* name) {
    auto* target = parent != nullptr ? parent->findChild<QWidget*>(QLatin1String(name)) : nullptr;
    if (target == nullptr) {
        Fail(QStringLiteral("no control ") + QLatin1String(name));
        return;
    }
    QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
}

// Answers the next file dialog that opens with the given path, once it is
// on screen; grabs it first.
void AnswerNextFileDialog(const QString& path, const QString& shot) {
    auto poll = std::make_shared<QTimer>();
    poll->setInterval(50);
    QObject::connect(poll.get(), &QTimer::timeout, [poll, path, shot] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        poll->stop();
        QTimer::singleShot(300, dialog, [dialog, path, shot] {
            Grab(dialog, shot);
            // Typed into the file name box and confirmed with Enter, as a
            // user would.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name == nullptr) {
                Fail(QStringLiteral("no file name box in the dialog"));
                dialog->reject();
                return;
            }
            name->clear();
            QTest::keyClicks(name, path);
            QTest::keyClick(name, Qt::Key_Return);
        });
    });
    poll->start();
}

// Any message box that turns up where none should: it is recorded and
// answered No.
void WatchForQuestions(int& questions) {
    auto* watch = new QTimer(qApp);
    watch->setInterval(50);
    QObject::connect(watch, &QTimer::timeout, [&questions] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++questions;
            Note(QStringLiteral("  message box: ") + box->text());
            box->reject();
        }
    });
    watch->start();
}

// A ringed planet against the night to convert: a lit sphere runs through
// every shade from white to black, which comes out well in letters.
QString PaintPlanet() {
    QImage image(300, 210, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QPointF centre(150, 105);
    const QRectF ring(centre.x() - 135, centre.y() - 26, 270, 52);
    // The back half of the ring, behind the planet.
    QPainterPath back;
    back.addEllipse(ring);
    QPainterPath hole;
    hole.addEllipse(ring.adjusted(22, 7, -22, -7));
    p.setBrush(QColor(0x9A, 0x86, 0x6A));
    p.drawPath(back.subtracted(hole));
    QRadialGradient body(centre + QPointF(-32, -34), 120);
    body.setColorAt(0.0, QColor(0xFF, 0xF8, 0xE8));
    body.setColorAt(0.35, QColor(0xE0, 0xA8, 0x60));
    body.setColorAt(0.75, QColor(0x6A, 0x36, 0x1C));
    body.setColorAt(1.0, QColor(0x08, 0x04, 0x02));
    p.setBrush(body);
    p.drawEllipse(centre, 78, 78);
    // The front half of the ring, over the planet.
    QPainterPath front = back.subtracted(hole);
    QPainterPath lower;
    lower.addRect(QRectF(0, centre.y(), 300, 120));
    QLinearGradient shine(ring.topLeft(), ring.topRight());
    shine.setColorAt(0.0, QColor(0xF0, 0xE0, 0xC0));
    shine.setColorAt(1.0, QColor(0x50, 0x44, 0x38));
    p.setBrush(shine);
    p.drawPath(front.intersected(lower));
    p.setBrush(Qt::white);
    for (const QPointF& star : {QPointF(20, 20), QPointF(270, 30), QPointF(250, 180),
                                QPointF(40, 170), QPointF(210, 12)}) {
        p.drawEllipse(star, 2.5, 2.5);
    }
    p.end();
    const QString path = gOut.filePath(QStringLiteral("planet.png"));
    image.save(path);
    return path;
}

struct Road {
    QString picture;
    QString format; // text, rtf, html, colour
};

void WalkTheRoad(Form1& start, const Road& road, int& questions) {
    Note(QStringLiteral("start window"));
    if (!WaitFor([&] { return start.isVisible(); })) {
        Fail(QStringLiteral("start window not shown"));
    }
    Grab(&start, QStringLiteral("start-window.png"));

    Note(QStringLiteral("About"));
    Click(&start, "cmdAbout");
    Click(&start, "cmdAbout");
    WaitFor([&] { return start.About() != nullptr && start.About()->isVisible(); });
    Grab(start.About(), QStringLiteral("about.png"));
    Click(start.About(), "cmdOK");
    if (!WaitFor([&] { return start.About() == nullptr; })) {
        Fail(QStringLiteral("About did not unload on OK"));
    }

    Note(QStringLiteral("Create New"));
    Click(&start, "cmdCreate");
    frmWizard* wizard = start.Session().Wizard();
    if (wizard == nullptr || !WaitFor([&] { return wizard->isVisible(); })) {
        Fail(QStringLiteral("no wizard"));
        return;
    }
    Grab(wizard, QStringLiteral("wizard-1-empty.png"));

    Note(QStringLiteral("page 1: ") + road.picture);
    AnswerNextFileDialog(road.picture, QStringLiteral("open-dialog.png"));
    Click(wizard, "cmdBrowse");
    auto* next = wizard->findChild<ClickArea*>(QStringLiteral("cmdNext"));
    if (next == nullptr || !WaitFor([&] { return next->isEnabled(); })) {
        Fail(QStringLiteral("Next not enabled after choosing the picture"));
        return;
    }
    Grab(wizard, QStringLiteral("wizard-1.png"));

    Click(wizard, "cmdNext");
    const char* option = road.format == QLatin1String("text")     ? "optClnTxt"
                         : road.format == QLatin1String("html")   ? "optHtmlTxt"
                         : road.format == QLatin1String("colour") ? "optHtmlCldTxt"
                                                                  : "optRtf";
    Click(wizard, option);
    Grab(wizard, QStringLiteral("wizard-2.png"));

    Note(QStringLiteral("hidden picture"));
    auto* example = wizard->findChild<QWidget*>(QStringLiteral("Picture1"));
    if (example != nullptr) {
        // Without a window manager nobody activates a window on a click.
        wizard->activateWindow();
        WaitFor([&] { return wizard->isActiveWindow(); }, 3000);
        QTest::mouseDClick(example, Qt::LeftButton, {}, example->rect().center());
        if (QApplication::focusWidget() != nullptr) {
            QTest::keyClicks(QApplication::focusWidget(), frmWizard::kSecretPhrase);
        }
    }
    if (start.EasterEgg() == nullptr || !WaitFor([&] { return start.EasterEgg()->isVisible(); })) {
        Fail(QStringLiteral("the hidden picture did not open"));
    } else {
        Grab(start.EasterEgg(), QStringLiteral("hidden-picture.png"));
        QTest::mouseClick(start.EasterEgg(), Qt::LeftButton, {}, QPoint(300, 80));
    }

    Click(wizard, "cmdNext");
    if (road.format == QLatin1String("colour")) {
        auto* word = wizard->findChild<QLineEdit*>(QStringLiteral("txtWord"));
        if (word == nullptr) {
            Fail(QStringLiteral("no word box on page 3"));
        } else {
            word->clear();
            QTest::keyClicks(word, QStringLiteral("GLIMMORA"));
        }
    }
    Grab(wizard, QStringLiteral("wizard-3.png"));
    Click(wizard, "cmdNext");
    Grab(wizard, QStringLiteral("wizard-4.png"));

    Note(QStringLiteral("page 5: converting"));
    QElapsedTimer clock;
    clock.start();
    Click(wizard, "cmdNext");
    QTest::qWait(600);
    Grab(wizard, QStringLiteral("wizard-5-running.png"));
    if (!WaitFor([&] { return next->isEnabled(); }, 600000)) {
        Fail(QStringLiteral("the conversion did not finish"));
        return;
    }
    Note(QStringLiteral("  converted in %1 ms").arg(clock.elapsed()));
    Grab(wizard, QStringLiteral("wizard-5-done.png"));

    Click(wizard, "cmdNext");
    Grab(wizard, QStringLiteral("wizard-6.png"));

    Note(QStringLiteral("Show art"));
    Click(wizard, "cmdArt");
    Form3* viewer = start.Session().Viewer().Window();
    if (viewer == nullptr || !WaitFor([&] { return viewer->isVisible(); })) {
        Fail(QStringLiteral("no viewer"));
    } else {
        Grab(viewer, QStringLiteral("viewer.png"));
        // Wizard and viewer side by side, as the user sees them.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        start.move(screen.bottomRight() - QPoint(start.width(), start.height()));
        wizard->move(screen.topLeft() + QPoint(8, 8));
        viewer->move(wizard->frameGeometry().topRight() + QPoint(8, 0));
        viewer->resize(640, 480);
        Settle();
        GrabScreen(QStringLiteral("page6-and-viewer.png"),
                   wizard->frameGeometry().united(viewer->frameGeometry()).adjusted(-8, -8, 8, 8));
    }

    Note(QStringLiteral("Save"));
    const QString extension = road.format == QLatin1String("text")  ? QStringLiteral("txt")
                              : road.format == QLatin1String("rtf") ? QStringLiteral("rtf")
                                                                    : QStringLiteral("html");
    const QString saved = gOut.filePath(QStringLiteral("saved-art"));
    QFile::remove(saved + QLatin1Char('.') + extension);
    AnswerNextFileDialog(saved, QStringLiteral("save-dialog.png"));
    Click(wizard, "cmdSave");
    const QString document = saved + QLatin1Char('.') + extension;
    if (!WaitFor([&] { return QFileInfo(document).size() > 0; })) {
        Fail(QStringLiteral("nothing saved at ") + document);
    } else {
        Note(QStringLiteral("  saved %1 (%2 bytes)").arg(document).arg(QFileInfo(document).size()));
    }
    if (extension == QLatin1String("html")) {
        QFile file(document);
        if (file.open(QIODevice::ReadOnly)) {
            QTextBrowser page;
            page.setLineWrapMode(QTextEdit::NoWrap);
            page.setHtml(QString::fromLatin1(file.readAll()));
            page.resize(900, 700);
            page.show();
            Grab(&page, QStringLiteral("saved-document.png"));
        }
    }

    Note(QStringLiteral("Exit with the wizard open"));
    if (questions != 0) {
        Fail(QStringLiteral("a message box came up on the way"));
    }
    Click(&start, "cmdExit");
}

} // namespace
} // namespace glimmora

int main(int argc, char** argv) {
    using namespace glimmora;
    QApplication app(argc, argv);
    SetUpApplication();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR [PICTURE] [text|rtf|html|colour]\n", argv[0]);
        return 2;
    }
    // GLIMMORA_DARK_DESKTOP=1 stands in for a desktop with a dark theme: the
    // windows must keep their own colours under it.
    if (qEnvironmentVariableIntValue("GLIMMORA_DARK_DESKTOP") == 1) {
        QPalette dark(QColor(0x35, 0x35, 0x35));
        dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
        dark.setColor(QPalette::Text, Qt::white);
        dark.setColor(QPalette::WindowText, Qt::white);
        dark.setColor(QPalette::ButtonText, Qt::white);
        QApplication::setPalette(dark);
    }
    QDir().mkpath(QString::fromLocal8Bit(argv[1]));
    gOut = QDir(QString::fromLocal8Bit(argv[1]));
    Road road;
    road.picture =
        argc > 2 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath() : PaintPlanet();
    road.format = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("rtf");

    QtPlatform platform;
    Form1 start(platform);
    start.show();
    int questions = 0;
    WatchForQuestions(questions);
    QTimer::singleShot(300, &start, [&] { WalkTheRoad(start, road, questions); });
    // Exit must end the loop; a second timer would report a hang.
    QTimer::singleShot(qEnvironmentVariableIntValue("GLIMMORA_ROAD_LIMIT_MS") > 0
                           ? qEnvironmentVariableIntValue("GLIMMORA_ROAD_LIMIT_MS")
                           : 900000,
                       [] {
                           Fail(QStringLiteral("Exit did not end the program"));
                           QCoreApplication::exit(3);
                       });
    const int code = QApplication::exec();
    if (questions != 0) {
        Fail(QStringLiteral("the wizard's question was asked on Exit"));
    }
    Note(QStringLiteral("program ended with code %1").arg(code));
    return gFailures == 0 && code == 0 ? 0 : 1;
}
