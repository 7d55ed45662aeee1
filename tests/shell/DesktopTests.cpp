// The program as a desktop opens and reaches it: the picture on the command
// line, a dropped file, the keyboard, screen readers, a dark desktop palette
// and the window icon.
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "output/Form3.h"
#include "platform/WindowLook.h"
#include "shell/Form1.h"
#include "shell/Startup.h"
#include "shell/frmAbout.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TestPictures.h"
#include "wizard/ClickArea.h"
#include "wizard/frmWizard.h"

using glimmora::ClickArea;
using glimmora::Form1;
using glimmora::frmWizard;
using glimmora::StartRequest;
using glimmora::testing::ScriptedPlatform;

namespace {

struct Shell {
    ScriptedPlatform platform;
    int quits = 0;
    Form1 form{platform, [this] { ++quits; }};
    QTemporaryDir dir;

    Shell() { form.show(); }
    frmWizard* Wizard() { return form.Session().Wizard(); }
    QWidget* Get(QWidget* window, const char* name) {
        auto* child = window->findChild<QWidget*>(QString::fromLatin1(name));
        if (child == nullptr) {
            qFatal("no control %s", name);
        }
        return child;
    }
    bool Enabled(const char* name) { return Get(&form, name)->isEnabled(); }
    QString Picture() {
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::gray);
        return glimmora::testing::SavePng(dir, QStringLiteral("pic.png"), image);
    }
    QString NotAPicture() {
        const QString path = dir.filePath(QStringLiteral("notes.png"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("not a picture");
        return path;
    }
};

// Drags path over target and drops it there, as a file manager does; true
// when target took the drag.
bool DropFile(QWidget* target, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

void Click(QWidget* window, const char* name) {
    auto* area = window->findChild<QWidget*>(QString::fromLatin1(name));
    QVERIFY(area != nullptr);
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(2, 2));
}

QString StepNumber(frmWizard* wizard) {
    return wizard->findChild<QLabel*>(QStringLiteral("lblSteg"))->text();
}

QString ChosenPicture(frmWizard* wizard) {
    return wizard->findChild<QLineEdit*>(QStringLiteral("txtImage"))->text();
}

// Opens the wizard with a picture and goes on to page (6: through the
// conversion) with the format whose label is given.
frmWizard* ToPage(Shell& shell, int page, const QString& formatLabel) {
    shell.form.OpenWithPicture(shell.Picture());
    frmWizard* wizard = shell.Wizard();
    for (int step = 1; step < page && step < 5; ++step) {
        if (step == 2) {
            Click(wizard, formatLabel.toLatin1().constData());
        }
        Click(wizard, "cmdNext");
    }
    auto& decode = static_cast<glimmora::testing::ManualTickSource&>(wizard->DecodeTimer());
    auto& cells = static_cast<glimmora::testing::ManualTickSource&>(wizard->Timer1());
    if (page == 6) {
        while (decode.Fire() || cells.Fire()) {
        }
        Click(wizard, "cmdNext");
    }
    if (StepNumber(wizard) != QStringLiteral("%1.").arg(page)) {
        qFatal("page %d not reached", page);
    }
    return wizard;
}

} // namespace

class DesktopTests : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { glimmora::RegisterLayoutFonts(); }

    void cleanup() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            window->hide();
            window->deleteLater();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void startArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("picture");
        using A = StartRequest::Action;
        QTest::addRow("none_runs") << QStringList{} << int(A::Run) << QString();
        QTest::addRow("picture") << QStringList{"a b.png"} << int(A::Run) << "a b.png";
        QTest::addRow("help") << QStringList{"x.png", "--help"} << int(A::ShowHelp) << QString();
        QTest::addRow("shortVersion") << QStringList{"-v"} << int(A::ShowVersion) << QString();
        QTest::addRow("dashedPictureAfterEnd")
            << QStringList{"--", "-x.png"} << int(A::Run) << "-x.png";
        QTest::addRow("unknownOption") << QStringList{"--bogus"} << int(A::UsageError) << QString();
        QTest::addRow("twoPictures")
            << QStringList{"a.png", "b.png"} << int(A::UsageError) << QString();
    }
    void startArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, picture);
        const StartRequest request = glimmora::ReadStartArguments(arguments);
        QCOMPARE(int(request.action), action);
        QCOMPARE(request.picture, picture);
        QCOMPARE(request.message.isEmpty(), action != int(StartRequest::Action::UsageError));
    }

    // The argument, a drop on the start window and a drop on page 1 all
    // choose the picture as "..." does.
    void pictureHandedOver_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("readable");
        for (const char* way : {"argument", "dropOnStart", "dropOnPage1"}) {
            QTest::addRow("%s_picture", way) << way << true;
            QTest::addRow("%s_unreadable", way) << way << false;
        }
    }
    void pictureHandedOver() {
        QFETCH(QString, way);
        QFETCH(bool, readable);
        Shell shell;
        const QString path = readable ? shell.Picture() : shell.NotAPicture();
        if (way == QLatin1String("argument")) {
            shell.form.OpenWithPicture(path);
        } else if (way == QLatin1String("dropOnStart")) {
            QVERIFY(DropFile(&shell.form, path));
        } else {
            shell.form.cmdCreate_Click();
            QVERIFY(DropFile(shell.Wizard(), path));
        }
        frmWizard* wizard = shell.Wizard();
        QVERIFY(wizard != nullptr && wizard->isVisible());
        QVERIFY(!shell.Enabled("cmdCreate"));
        QCOMPARE(StepNumber(wizard), QStringLiteral("1."));
        QCOMPARE(ChosenPicture(wizard), readable ? path : QString());
        QCOMPARE(shell.Get(wizard, "cmdNext")->isEnabled(), readable);
        QCOMPARE(shell.platform.criticals.size(), readable ? 0u : 1u);
        if (!readable) {
            QCOMPARE(shell.platform.criticals.front().text, QStringLiteral("Invalid picture!"));
        }
    }

    void drop_refused_data() {
        QTest::addColumn<QString>("where");
        QTest::addRow("startWithWizardOpen") << "start";
        QTest::addRow("wizardPage2") << "page2";
    }
    void drop_refused() {
        QFETCH(QString, where);
        Shell shell;
        shell.form.OpenWithPicture(shell.Picture());
        frmWizard* wizard = shell.Wizard();
        if (where == QLatin1String("page2")) {
            Click(wizard, "cmdNext");
        }
        QVERIFY(
            !DropFile(where == QLatin1String("start") ? static_cast<QWidget*>(&shell.form) : wizard,
                      shell.NotAPicture()));
        QVERIFY(shell.platform.criticals.empty());
        QCOMPARE(shell.Wizard(), wizard);
    }

    void keys_returnAndEscape() {
        Shell shell;
        QTest::keyClick(&shell.form, Qt::Key_Return);
        frmWizard* wizard = shell.Wizard();
        QVERIFY(wizard != nullptr);
        // Next is greyed until a picture is chosen: Return does nothing.
        QTest::keyClick(wizard, Qt::Key_Return);
        QCOMPARE(StepNumber(wizard), QStringLiteral("1."));
        wizard->ChoosePicture(shell.Picture());
        QTest::keyClick(wizard, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(StepNumber(wizard), QStringLiteral("2."));
        QVERIFY(shell.platform.questions.empty());
        shell.platform.questionAnswers = {false};
        QTest::keyClick(wizard, Qt::Key_Escape);
        QCOMPARE(shell.platform.questions.size(), 1u);
        QCOMPARE(shell.platform.questions.front().title, QStringLiteral("Exit Glimmora Wizard"));
        QCOMPARE(shell.Wizard(), wizard);
    }

    void keys_returnWhileFaceListOpen_staysOnPage() {
        Shell shell;
        shell.form.OpenWithPicture(shell.Picture());
        frmWizard* wizard = shell.Wizard();
        Click(wizard, "cmdNext");
        Click(wizard, "cmdNext");
        QCOMPARE(StepNumber(wizard), QStringLiteral("3."));
        auto* faces = wizard->findChild<QComboBox*>(QStringLiteral("cbFace"));
        faces->showPopup();
        QTest::keyClick(faces->view(), Qt::Key_Return);
        QCOMPARE(StepNumber(wizard), QStringLiteral("3."));
    }

    // Tab from the control that has the focus after the page change, once
    // round the window.
    void keys_tabOrder_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("stops");
        const QStringList frame{"cmdPre", "cmdNext", "cmdCancel", "Picture5"};
        const QStringList signs{"txtBlack",  "txtColor2", "txtColor3", "txtColor4",
                                "txtColor5", "txtColor6", "txtColor7", "txtColor8"};
        QTest::addRow("1") << 1 << "Label21"
                           << QStringList{"txtImage", "cmdBrowse", "txtWidth", "txtHeight",
                                          "cmdNext",  "cmdCancel", "Picture5"};
        QTest::addRow("2") << 2 << "Label21"
                           << QStringList{"optClnTxt", "optRtf", "optHtmlTxt", "optHtmlCldTxt"} +
                                  frame;
        QTest::addRow("3 clean") << 3 << "Label20" << signs + frame;
        QTest::addRow("3 rtf") << 3 << "Label21"
                               << QStringList{"cbFace", "txtSize"} + signs + frame;
        QTest::addRow("3 html") << 3 << "Label24"
                                << QStringList{"cbFace", "txtSize", "lblColor"} + signs + frame;
        QTest::addRow("3 coloured")
            << 3 << "Label23" << QStringList{"cbFace", "txtSize", "lblColor", "txtWord"} + frame;
        QTest::addRow("4") << 4 << "Label21"
                           << QStringList{"txtScaleWidth", "txtScaleHeight"} + frame;
        QTest::addRow("6") << 6 << "Label21" << QStringList{"cmdArt",  "cmdPrint",  "cmdCopy",
                                                            "cmdSave", "cmdCancel", "Picture5"};
    }
    void keys_tabOrder() {
        QFETCH(int, page);
        QFETCH(QString, format);
        QFETCH(QStringList, stops);
        Shell shell;
        frmWizard* wizard = ToPage(shell, page, format);
        QStringList reached;
        for (int i = 0; i <= stops.size(); ++i) {
            QWidget* focus = wizard->focusWidget();
            QVERIFY(focus != nullptr);
            reached << focus->objectName();
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        QCOMPARE(reached, stops + QStringList{stops.front()});
    }

    // Page 5 has no control of its own: Return once the art is done goes on
    // to page 6; it never asks the exit question.
    void keys_returnAfterConversion_isNext() {
        Shell shell;
        frmWizard* wizard = ToPage(shell, 5, QStringLiteral("Label21"));
        auto& decode = static_cast<glimmora::testing::ManualTickSource&>(wizard->DecodeTimer());
        auto& cells = static_cast<glimmora::testing::ManualTickSource&>(wizard->Timer1());
        while (decode.Fire() || cells.Fire()) {
        }
        QWidget* focus = wizard->focusWidget();
        QTest::keyClick(focus != nullptr ? focus : wizard, Qt::Key_Return);
        QCOMPARE(StepNumber(wizard), QStringLiteral("6."));
        QVERIFY(shell.platform.questions.empty());
    }

    // Each picture button and the colour swatch: Space and Return click it.
    void keys_pictureButtons_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        for (const int key : {int(Qt::Key_Space), int(Qt::Key_Return)}) {
            const char* k = key == Qt::Key_Space ? "space" : "return";
            QTest::addRow("browse %s", k) << 1 << "cmdBrowse" << key;
            QTest::addRow("next %s", k) << 1 << "cmdNext" << key;
            QTest::addRow("previous %s", k) << 2 << "cmdPre" << key;
            QTest::addRow("cancel %s", k) << 2 << "cmdCancel" << key;
            QTest::addRow("restart %s", k) << 2 << "Picture5" << key;
            QTest::addRow("swatch %s", k) << 3 << "lblColor" << key;
            QTest::addRow("art %s", k) << 6 << "cmdArt" << key;
            QTest::addRow("print %s", k) << 6 << "cmdPrint" << key;
            QTest::addRow("copy %s", k) << 6 << "cmdCopy" << key;
            QTest::addRow("save %s", k) << 6 << "cmdSave" << key;
        }
    }
    void keys_pictureButtons() {
        QFETCH(int, page);
        QFETCH(QString, button);
        QFETCH(int, key);
        Shell shell;
        // HTML text: page 3 has the swatch.
        frmWizard* wizard = ToPage(shell, page, QStringLiteral("Label24"));
        auto* area = wizard->findChild<ClickArea*>(button);
        QVERIFY(area->focusPolicy() & Qt::TabFocus);
        area->setFocus();
        QSignalSpy clicks(area, &ClickArea::clicked);
        shell.platform.questionAnswers = {false};
        QTest::keyClick(area, Qt::Key(key));
        QCOMPARE(clicks.size(), 1);
        // Nothing else took the key: Return on Cancel is not also Next.
        QCOMPARE(StepNumber(shell.Wizard()),
                 QStringLiteral("%1.").arg(button == "cmdNext"    ? page + 1
                                           : button == "cmdPre"   ? page - 1
                                           : button == "Picture5" ? 1
                                                                  : page));
    }

    void keys_startWindowButtons() {
        Shell shell;
        QCOMPARE(shell.form.focusWidget()->objectName(), QStringLiteral("cmdCreate"));
        QTest::keyClick(shell.form.focusWidget(), Qt::Key_Tab);
        QCOMPARE(shell.form.focusWidget()->objectName(), QStringLiteral("cmdAbout"));
        QTest::keyClick(shell.form.focusWidget(), Qt::Key_Space);
        QVERIFY(shell.form.About() != nullptr);
        QTest::keyClick(shell.form.focusWidget(), Qt::Key_Tab);
        QTest::keyClick(shell.form.focusWidget(), Qt::Key_Return);
        QCOMPARE(shell.quits, 1);
        QCOMPARE(shell.Wizard(), nullptr);
    }

    void accessible_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("enabled");
        const int button = QAccessible::Button;
        QTest::addRow("createNew") << "cmdCreate" << button << "Create New" << false;
        QTest::addRow("about") << "cmdAbout" << button << "About Glimmora..." << true;
        QTest::addRow("exit") << "cmdExit" << button << "Exit" << true;
        QTest::addRow("previous") << "cmdPre" << button << "< Previous" << false;
        QTest::addRow("next") << "cmdNext" << button << "Next >" << true;
        QTest::addRow("cancel") << "cmdCancel" << button << "Cancel" << true;
        QTest::addRow("browse") << "cmdBrowse" << button << "Browse" << true;
        QTest::addRow("restart") << "Picture5" << button << "Restart" << true;
        QTest::addRow("showArt") << "cmdArt" << button << "Show art" << true;
        QTest::addRow("print") << "cmdPrint" << button << "Print" << true;
        QTest::addRow("copy") << "cmdCopy" << button << "Copy" << true;
        QTest::addRow("save") << "cmdSave" << button << "Save" << true;
        QTest::addRow("picture") << "txtImage" << int(QAccessible::EditableText)
                                 << "Image to transform" << true;
        QTest::addRow("rtf") << "optRtf" << int(QAccessible::RadioButton) << "RTF" << true;
        QTest::addRow("faceList") << "cbFace" << int(QAccessible::ComboBox) << "Font face" << true;
    }
    void accessible() {
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(bool, enabled);
        Shell shell;
        shell.form.OpenWithPicture(shell.Picture());
        QWidget* widget = shell.form.findChild<QWidget*>(control);
        if (widget == nullptr) {
            widget = shell.Wizard()->findChild<QWidget*>(control);
        }
        QVERIFY(widget != nullptr);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(face != nullptr);
        QCOMPARE(int(face->role()), role);
        // A face list is named, on Linux, by the label it is labelled by.
        const auto labels = face->relations(QAccessible::Label);
        QCOMPARE(role == QAccessible::ComboBox ? labels.value(0).first->text(QAccessible::Name)
                                               : face->text(QAccessible::Name),
                 role == QAccessible::ComboBox ? name + QLatin1Char(':') : name);
        QCOMPARE(!face->state().disabled, enabled);
        if (role == QAccessible::Button && enabled && control == QLatin1String("cmdNext")) {
            // Pressing it through the screen reader acts as a click.
            face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(StepNumber(shell.Wizard()), QStringLiteral("2."));
        }
    }

    // Whatever the desktop's palette, text boxes stay black on white, option
    // captions black, and the art black on white.
    void darkPalette_windowsKeepTheirColours() {
        const QPalette before = QApplication::palette();
        QPalette dark(QColor(0x30, 0x30, 0x30));
        dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::Text, Qt::white);
        dark.setColor(QPalette::WindowText, Qt::white);
        dark.setColor(QPalette::ButtonText, Qt::white);
        QApplication::setPalette(dark);
        Shell shell;
        shell.form.OpenWithPicture(shell.Picture());
        glimmora::Form3 viewer;
        glimmora::frmAbout about;
        QApplication::setPalette(dark); // also after the windows were made
        const auto blackOnWhite = [](QWidget* w) {
            return w->palette().color(QPalette::Base) == QColor(Qt::white) &&
                   w->palette().color(QPalette::Text) == QColor(Qt::black);
        };
        QVERIFY(blackOnWhite(shell.Get(shell.Wizard(), "txtImage")));
        QVERIFY(blackOnWhite(shell.Get(shell.Wizard(), "txtWord")));
        QVERIFY(blackOnWhite(shell.Get(shell.Wizard(), "cbFace")));
        QVERIFY(blackOnWhite(viewer.findChild<QWidget*>(QStringLiteral("txtText"))));
        QCOMPARE(shell.Get(shell.Wizard(), "optRtf")->palette().color(QPalette::WindowText),
                 QColor(Qt::black));
        QCOMPARE(about.palette().color(QPalette::WindowText), QColor(Qt::black));
        QApplication::setPalette(before);
    }

    void everyWindow_carriesEverySquareIcon() {
        Shell shell;
        shell.form.OpenWithPicture(shell.Picture());
        glimmora::Form3 viewer;
        glimmora::frmAbout about;
        for (QWidget* window :
             std::initializer_list<QWidget*>{&shell.form, shell.Wizard(), &viewer, &about}) {
            const QList<QSize> sizes = window->windowIcon().availableSizes();
            for (int side : {16, 32, 48, 64, 128, 256}) {
                QVERIFY2(sizes.contains(QSize(side, side)),
                         qPrintable(window->objectName() + QString::number(side)));
            }
        }
    }
};

QTEST_MAIN(DesktopTests)
#include "DesktopTests.moc"
