// Every window of the program as a native Wayland client of a compositor
// (run by on-weston.sh): maximised through the compositor, it stays at its
// size and the program goes on. A compositor ends a client whose frame does
// not fill the maximised size it acknowledged, and with it this test.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

#include "output/ArtViewer.h"
#include "output/Form3.h"
#include "platform/Platform.h"
#include "shell/Form1.h"
#include "shell/Startup.h"
#include "shell/frmAbout.h"
#include "shell/frmEasterEgg.h"
#include "wizard/frmWizard.h"

using glimmora::Form1;
using glimmora::QtPlatform;

class WaylandTests : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void MaximisedWindowsGoOn();
    void MaximisedQuestionGoesOn();

private:
    QtPlatform platform_;
};

namespace {

// Shows window, maximises it as the title bar's maximise box does and lets
// the compositor answer and the window draw a few frames.
void Maximise(QWidget& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize before = window.size();
    window.windowHandle()->setWindowStates(Qt::WindowMaximized);
    for (int frame = 0; frame < 10; ++frame) {
        window.update();
        QTest::qWait(30);
    }
    const bool fixed = window.minimumSize() == window.maximumSize();
    if (fixed) {
        QCOMPARE(window.size(), before);
        QVERIFY(!window.isMaximized());
        QVERIFY(window.isVisible());
    }
}

} // namespace

void WaylandTests::initTestCase() {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        QSKIP("needs Qt's Wayland platform and a compositor");
    }
    glimmora::SetUpApplication();
}

void WaylandTests::MaximisedWindowsGoOn() {
    Form1 form(platform_, [] {});
    Maximise(form);
    form.cmdAbout_Click();
    // The About window may be sized: it takes the maximised size.
    Maximise(*form.About());
    QVERIFY(QTest::qWaitFor([&] { return form.About()->isMaximized(); }));
    form.cmdCreate_Click();
    Maximise(*form.Session().Wizard());
    form.Session().Viewer().Show(QStringLiteral("art\rart"));
    Maximise(*form.Session().Viewer().Window());
    glimmora::frmEasterEgg egg;
    Maximise(egg);
}

void WaylandTests::MaximisedQuestionGoesOn() {
    Form1 form(platform_, [] {});
    form.show();
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(QTest::qWaitFor([&] {
            box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            return box != nullptr && box->windowHandle() != nullptr && box->isVisible();
        }));
        Maximise(*box);
        answered = true;
        box->button(QMessageBox::No)->click();
    });
    QVERIFY(!platform_.AskYesNo(&form, QStringLiteral("Exit Glimmora Wizard"),
                                QStringLiteral("Are you sure that you want to exit the Wizard?")));
    QVERIFY(answered);
}

QTEST_MAIN(WaylandTests)
#include "WaylandTests.moc"
