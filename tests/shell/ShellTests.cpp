#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "platform/WindowLook.h"
#include "shell/Form1.h"
#include "shell/frmAbout.h"
#include "shell/frmEasterEgg.h"
#include "tests/support/ScriptedPlatform.h"
#include "wizard/ClickArea.h"
#include "wizard/WizardWidgets.h"
#include "wizard/frmWizard.h"

using glimmora::ClickArea;
using glimmora::Form1;
using glimmora::frmAbout;
using glimmora::frmEasterEgg;
using glimmora::frmWizard;
using glimmora::testing::ScriptedPlatform;

namespace {

const QString kPhrase = QStringLiteral("Maribel Oskarsen Vandertol");

// A start window whose Exit only counts, so the tests keep running.
struct Shell {
    ScriptedPlatform platform;
    int quits = 0;
    Form1 form{platform, [this] { ++quits; }};

    Shell() { form.show(); }
    ClickArea* Button(const char* name) { return form.findChild<ClickArea*>(name); }
    void Click(const char* name) {
        ClickArea* button = Button(name);
        QVERIFY(button != nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    frmWizard* Wizard() { return form.Session().Wizard(); }
};

QString StepNumber(frmWizard* wizard) {
    auto* label = wizard->findChild<QLabel*>(QStringLiteral("lblSteg"));
    return label != nullptr ? label->text() : QString();
}

int VisibleWizards() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<frmWizard*>(window) != nullptr && window->isVisible()) {
            ++count;
        }
    }
    return count;
}

} // namespace

class ShellTests : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { glimmora::RegisterLayoutFonts(); }

    void cleanup() {
        // Windows the session or a test left behind must not leak into the
        // next case's window counts.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<frmWizard*>(window) != nullptr) {
                window->hide();
                window->deleteLater();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void startWindow_isBorderlessPictureOfFixedSize() {
        Shell shell;
        QCOMPARE(shell.form.windowTitle(), QStringLiteral("Glimmora"));
        QVERIFY(shell.form.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(shell.form.size(), QSize(441, 529));
        QCOMPARE(shell.form.minimumSize(), shell.form.maximumSize());
        QCOMPARE(shell.form.grab().toImage().pixelColor(5, 5), QColor(Qt::black));
        const QRect screen = shell.form.screen()->availableGeometry();
        QVERIFY(qAbs(shell.form.frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(shell.form.frameGeometry().center().y() - screen.center().y()) <= 1);
    }

    void startWindow_draggedByItsPicture_follows() {
        Shell shell;
        const QPoint before = shell.form.pos();
        const QPoint grip(60, 60);
        const QPoint globalGrip = shell.form.mapToGlobal(grip);
        QMouseEvent press(QEvent::MouseButtonPress, grip, globalGrip, Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&shell.form, &press);
        QMouseEvent move(QEvent::MouseMove, grip + QPoint(30, 20), globalGrip + QPoint(30, 20),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&shell.form, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, grip + QPoint(30, 20),
                            globalGrip + QPoint(30, 20), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(&shell.form, &release);

        QCOMPARE(shell.form.pos(), before + QPoint(30, 20));
        QCOMPARE(shell.quits, 0);
        QCOMPARE(shell.Wizard(), nullptr);
    }

    void startWindow_buttons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("tip");
        QTest::addRow("create_overLetterA")
            << "cmdCreate" << QRect(138, 457, 48, 48) << QStringLiteral("Create New");
        QTest::addRow("about_overQuestionMark")
            << "cmdAbout" << QRect(194, 457, 48, 48) << QStringLiteral("About Glimmora...");
        QTest::addRow("exit_overRedCross")
            << "cmdExit" << QRect(249, 457, 48, 48) << QStringLiteral("Exit");
    }
    void startWindow_buttons() {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, tip);
        Shell shell;
        auto* button = shell.form.findChild<ClickArea*>(name);
        QVERIFY(button != nullptr);
        QCOMPARE(button->geometry(), place);
        QCOMPARE(button->toolTip(), tip);
        QCOMPARE(button->text(), QString());
        QCOMPARE(button->focusPolicy(), Qt::TabFocus);
        QVERIFY(button->isEnabled());
    }

    void startWindow_opensNothingElse() {
        Shell shell;
        QCOMPARE(shell.Wizard(), nullptr);
        QCOMPARE(shell.form.About(), nullptr);
        QCOMPARE(shell.form.EasterEgg(), nullptr);
        QCOMPARE(VisibleWizards(), 0);
    }

    void createNew_twice_opensOneWizard() {
        Shell shell;
        shell.Click("cmdCreate");
        QPointer<frmWizard> first = shell.Wizard();
        QVERIFY(first != nullptr);
        QVERIFY(first->isVisible());
        QVERIFY(!shell.Button("cmdCreate")->isEnabled());

        shell.Click("cmdCreate");
        shell.form.cmdCreate_Click();
        QCOMPARE(shell.Wizard(), first.data());
        QCOMPARE(VisibleWizards(), 1);
        QVERIFY(shell.form.isVisible());
    }

    void wizardClose_data() {
        QTest::addColumn<bool>("answer");
        QTest::addRow("yes_enablesCreateNew") << true;
        QTest::addRow("no_keepsCreateNewDisabled") << false;
    }
    void wizardClose() {
        QFETCH(bool, answer);
        Shell shell;
        shell.Click("cmdCreate");
        QPointer<frmWizard> wizard = shell.Wizard();
        QVERIFY(wizard != nullptr);
        shell.platform.questionAnswers = {answer};

        wizard->close();

        QCOMPARE(shell.platform.questions.size(), size_t{1});
        QCOMPARE(shell.Button("cmdCreate")->isEnabled(), answer);
        QCOMPARE(VisibleWizards(), answer ? 0 : 1);
    }

    void confirmedClose_thenCreateNew_opensFreshWizardOnPageOne() {
        Shell shell;
        shell.Click("cmdCreate");
        QPointer<frmWizard> first = shell.Wizard();
        QVERIFY(first != nullptr);
        auto* next = first->findChild<ClickArea*>(QStringLiteral("cmdNext"));
        QVERIFY(next != nullptr);
        shell.platform.questionAnswers = {true};
        first->close();
        QVERIFY(shell.Button("cmdCreate")->isEnabled());

        shell.Click("cmdCreate");
        frmWizard* second = shell.Wizard();
        QVERIFY(second != nullptr);
        QVERIFY(second != first);
        QVERIFY(second->isVisible());
        QCOMPARE(StepNumber(second), QStringLiteral("1."));
        QVERIFY(!shell.Button("cmdCreate")->isEnabled());
        QCOMPARE(VisibleWizards(), 1);
    }

    void restart_keepsCreateNewDisabled() {
        Shell shell;
        shell.Click("cmdCreate");
        QPointer<frmWizard> first = shell.Wizard();
        QVERIFY(first != nullptr);
        auto* restart = first->findChild<QWidget*>(QStringLiteral("Picture5"));
        QVERIFY(restart != nullptr);

        QTest::mouseClick(restart, Qt::LeftButton, {}, restart->rect().center());

        QVERIFY(shell.platform.questions.empty());
        frmWizard* fresh = shell.Wizard();
        QVERIFY(fresh != nullptr);
        QVERIFY(fresh != first);
        QVERIFY(fresh->isVisible());
        QCOMPARE(VisibleWizards(), 1);
        QVERIFY(!shell.Button("cmdCreate")->isEnabled());
        shell.Click("cmdCreate");
        QCOMPARE(shell.Wizard(), fresh);
    }

    void exit_withWizardOpen_endsWithoutQuestion_data() {
        QTest::addColumn<bool>("byCloseBox");
        QTest::addRow("exitButton") << false;
        QTest::addRow("closingStartWindow") << true;
    }
    void exit_withWizardOpen_endsWithoutQuestion() {
        QFETCH(bool, byCloseBox);
        Shell shell;
        shell.Click("cmdCreate");
        QVERIFY(shell.Wizard() != nullptr);

        if (byCloseBox) {
            shell.form.close();
        } else {
            shell.Click("cmdExit");
        }

        QCOMPARE(shell.quits, 1);
        QVERIFY(shell.platform.questions.empty());
    }

    void exit_leavesEventLoopWithoutClosingWizard() {
        // The real ending: the application's loop returns at once, and no
        // window is asked to close, so the wizard's question never comes,
        // not even when the windows are taken down afterwards.
        ScriptedPlatform platform;
        QPointer<frmWizard> wizard;
        {
            Form1 form(platform);
            form.show();
            form.cmdCreate_Click();
            wizard = form.Session().Wizard();
            QVERIFY(wizard != nullptr);
            QTimer::singleShot(0, &form, [&form] {
                auto* exit = form.findChild<ClickArea*>(QStringLiteral("cmdExit"));
                QTest::mouseClick(exit, Qt::LeftButton, {}, exit->rect().center());
            });
            QTimer watchdog;
            watchdog.setSingleShot(true);
            connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
            watchdog.start(10000);

            QCOMPARE(QApplication::exec(), 0);

            QVERIFY(platform.questions.empty());
            QVERIFY(wizard != nullptr);
        }
        QVERIFY(wizard == nullptr);
        QVERIFY(platform.questions.empty());
    }

    void about_twice_showsOneWindow() {
        Shell shell;
        shell.Click("cmdAbout");
        QPointer<frmAbout> about = shell.form.About();
        QVERIFY(about != nullptr);
        QVERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QStringLiteral("About Glimmora..."));

        shell.Click("cmdAbout");
        QCOMPARE(shell.form.About(), about.data());
        QCOMPARE(shell.form.findChildren<frmAbout*>().size(), 1);
        // The wizard is not involved.
        QCOMPARE(shell.Wizard(), nullptr);
    }

    void about_whileMinimised_comesBack() {
        Shell shell;
        shell.Click("cmdAbout");
        QPointer<frmAbout> about = shell.form.About();
        about->showMinimized();
        QVERIFY(about->isMinimized());
        shell.Click("cmdAbout");
        QCOMPARE(shell.form.About(), about.data());
        QVERIFY(!about->isMinimized());
        QVERIFY(about->isVisible());
    }

    void aboutOK_unloads_andNextAboutCreatesAnew() {
        Shell shell;
        shell.Click("cmdAbout");
        QPointer<frmAbout> about = shell.form.About();
        QVERIFY(about != nullptr);
        auto* ok = about->findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QVERIFY(ok != nullptr);
        QCOMPARE(ok->text(), QStringLiteral("&OK"));

        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!about->isVisible());
        QTRY_VERIFY(about == nullptr);
        QCOMPARE(shell.form.About(), nullptr);

        shell.Click("cmdAbout");
        QVERIFY(shell.form.About() != nullptr);
        QVERIFY(shell.form.About()->isVisible());
        QCOMPARE(shell.form.findChildren<frmAbout*>().size(), 1);
    }

    void aboutLabels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<bool>("bold");
        QTest::addRow("Label1_name") << "Label1"
                                     << "Glimmora" << QRect(88, 248, 113, 25) << true;
        QTest::addRow("Label2_version") << "Label2"
                                        << "version 2.0" << QRect(120, 272, 65, 17) << false;
        QTest::addRow("Label3_caption") << "Label3"
                                        << "Description:" << QRect(24, 304, 73, 17) << true;
        QTest::addRow("Label4_description")
            << "Label4"
            << "This software let you transform images into ASCII art. You just have to follow "
               "the instructions in the wizard!"
            << QRect(24, 320, 233, 41) << false;
    }
    void aboutLabels() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, place);
        QFETCH(bool, bold);
        frmAbout about;
        auto* label = about.findChild<QLabel*>(name);
        QVERIFY(label != nullptr);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->geometry(), place);
        QCOMPARE(label->font().bold(), bold);
    }

    void aboutWindow_isOrdinaryResizableWhiteWindow() {
        frmAbout about;
        about.show();
        QCOMPARE(about.size(), QSize(308, 462));
        QVERIFY(about.minimumSize() != about.maximumSize());
        QVERIFY(about.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(about.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!about.windowFlags().testFlag(Qt::FramelessWindowHint));
        auto* label1 = about.findChild<QLabel*>(QStringLiteral("Label1"));
        // 13.5 points at 96 dots per inch, whatever the screen's resolution.
        QCOMPARE(label1->font().pixelSize(), 18);
        // Below the logo the window is white.
        QCOMPARE(about.grab().toImage().pixelColor(300, 340), QColor(Qt::white));
        auto* label5 = about.findChild<QLabel*>(QStringLiteral("Label5"));
        QVERIFY(label5->text().contains(QStringLiteral("Glimmora")));
        QCOMPARE(label5->geometry(), QRect(24, 400, 289, 17));
    }

    void aboutTexts_fitTheirLabels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lines");
        QTest::addRow("Label1_oneLine") << "Label1" << 1;
        QTest::addRow("Label2_oneLine") << "Label2" << 1;
        QTest::addRow("Label3_oneLine") << "Label3" << 1;
        QTest::addRow("Label4_wrapsWithinItsHeight") << "Label4" << 3;
        QTest::addRow("Label5_rightsOnOneLine") << "Label5" << 1;
    }
    void aboutTexts_fitTheirLabels() {
        QFETCH(QString, name);
        QFETCH(int, lines);
        frmAbout about;
        auto* label = about.findChild<QLabel*>(name);
        QVERIFY(label != nullptr);
        const QFontMetrics metrics(label->font());
        if (lines == 1) {
            QVERIFY2(glimmora::LayoutTextWidth(label->text(), label->font()) <= label->width(),
                     qPrintable(label->text()));
        }
        const QRect needed = metrics.boundingRect(QRect(0, 0, label->width(), 1000),
                                                  Qt::TextWordWrap, label->text());
        QVERIFY(needed.height() <= label->height());
        QVERIFY(needed.height() <= lines * metrics.lineSpacing());
    }

    void aboutEscape_closesLikeOK() {
        Shell shell;
        shell.Click("cmdAbout");
        QPointer<frmAbout> about = shell.form.About();
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(about == nullptr);
    }

    void phrase_data() {
        QTest::addColumn<QStringList>("typing"); // each entry typed; "\b" is Backspace
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("left");
        QTest::addRow("exact_opensAndEmpties") << QStringList{kPhrase} << true << QString();
        QTest::addRow("lowerCase_nothing")
            << QStringList{kPhrase.toLower()} << false << kPhrase.toLower();
        QTest::addRow("upperCase_nothing")
            << QStringList{kPhrase.toUpper()} << false << kPhrase.toUpper();
        QTest::addRow("wrongFirstCharacter_nothing")
            << QStringList{"x" + kPhrase} << false << "x" + kPhrase;
        QTest::addRow("leadingSpace_nothing")
            << QStringList{" " + kPhrase} << false << " " + kPhrase;
        QTest::addRow("phraseWithoutLastLetter_nothing")
            << QStringList{kPhrase.chopped(1)} << false << kPhrase.chopped(1);
        QTest::addRow("wrongCharacterDeleted_opens")
            << QStringList{"x", "\b", kPhrase} << true << QString();
        QTest::addRow("wrongTextDeletedWhole_opens")
            << QStringList{"xyz", "\b", "\b", "\b", kPhrase} << true << QString();
    }
    void phrase() {
        QFETCH(QStringList, typing);
        QFETCH(bool, shown);
        QFETCH(QString, left);
        Shell shell;
        shell.Click("cmdCreate");
        QVERIFY(shell.Wizard() != nullptr);
        auto* egg = shell.Wizard()->findChild<QLineEdit*>(QStringLiteral("txtEgg"));
        QVERIFY(egg != nullptr);

        for (const QString& part : typing) {
            if (part == "\b") {
                QTest::keyClick(egg, Qt::Key_Backspace);
            } else {
                QTest::keyClicks(egg, part);
            }
        }

        QCOMPARE(egg->text(), left);
        QCOMPARE(shell.form.EasterEgg() != nullptr && shell.form.EasterEgg()->isVisible(), shown);
    }

    void hiddenWindow_isBorderlessToolCentredWithPicture() {
        Shell shell;
        emit shell.form.Session().secretPhraseEntered();
        frmEasterEgg* egg = shell.form.EasterEgg();
        QVERIFY(egg != nullptr);
        QVERIFY(egg->isVisible());
        QVERIFY(egg->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(egg->windowType(), Qt::Tool);
        QCOMPARE(egg->size(), QSize(423, 484));
        auto* picture = egg->findChild<QLabel*>(QStringLiteral("Picture1"));
        QVERIFY(picture != nullptr);
        QCOMPARE(picture->geometry(), QRect(8, 336, 107, 141));
        QVERIFY(!picture->pixmap().isNull());
        const QRect screen = egg->screen()->availableGeometry();
        QVERIFY(qAbs(egg->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(egg->frameGeometry().center().y() - screen.center().y()) <= 1);
    }

    void hiddenWindow_clicks_data() {
        QTest::addColumn<bool>("onPicture");
        QTest::addColumn<bool>("staysVisible");
        QTest::addRow("background_hides") << false << false;
        QTest::addRow("picture_nothing") << true << true;
    }
    void hiddenWindow_clicks() {
        QFETCH(bool, onPicture);
        QFETCH(bool, staysVisible);
        Shell shell;
        emit shell.form.Session().secretPhraseEntered();
        QPointer<frmEasterEgg> egg = shell.form.EasterEgg();
        QVERIFY(egg != nullptr);
        auto* picture = egg->findChild<QLabel*>(QStringLiteral("Picture1"));

        if (onPicture) {
            QTest::mouseClick(picture, Qt::LeftButton, {}, picture->rect().center());
            QTest::mouseDClick(picture, Qt::LeftButton, {}, picture->rect().center());
        } else {
            QTest::mouseClick(egg, Qt::LeftButton, {}, QPoint(300, 100));
        }

        QCOMPARE(egg->isVisible(), staysVisible);
        QVERIFY(egg != nullptr); // hidden, not unloaded
    }

    void hiddenWindow_phraseAgain_showsSameWindowAgain() {
        Shell shell;
        shell.Click("cmdCreate");
        QVERIFY(shell.Wizard() != nullptr);
        auto* box = shell.Wizard()->findChild<QLineEdit*>(QStringLiteral("txtEgg"));
        QVERIFY(box != nullptr);
        QTest::keyClicks(box, kPhrase);
        QPointer<frmEasterEgg> egg = shell.form.EasterEgg();
        QVERIFY(egg != nullptr);
        QTest::mouseClick(egg, Qt::LeftButton, {}, QPoint(300, 100));
        QVERIFY(!egg->isVisible());

        QTest::keyClicks(box, kPhrase);

        QCOMPARE(shell.form.EasterEgg(), egg.data());
        QVERIFY(egg->isVisible());
        QCOMPARE(box->text(), QString());
    }

    void hiddenWindow_outlivesWizard() {
        Shell shell;
        shell.Click("cmdCreate");
        QVERIFY(shell.Wizard() != nullptr);
        auto* box = shell.Wizard()->findChild<QLineEdit*>(QStringLiteral("txtEgg"));
        QVERIFY(box != nullptr);
        QTest::keyClicks(box, kPhrase);
        QPointer<frmEasterEgg> egg = shell.form.EasterEgg();
        QVERIFY(egg != nullptr);
        shell.platform.questionAnswers = {true};

        shell.Wizard()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QVERIFY(egg != nullptr);
        QVERIFY(egg->isVisible());
    }
};

QTEST_MAIN(ShellTests)
#include "ShellTests.moc"
