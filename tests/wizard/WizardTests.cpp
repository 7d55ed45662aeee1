#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/ConversionJob.h"
#include "output/ArtViewer.h"
#include "output/Form3.h"
#include "picture/SampledDecoder.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "platform/WindowLook.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TestPictures.h"
#include "wizard/ClickArea.h"
#include "wizard/ProgramState.h"
#include "wizard/WizardSession.h"
#include "wizard/WizardWidgets.h"
#include "wizard/frmWizard.h"

using glimmora::ClickArea;
using glimmora::ColourShape;
using glimmora::frmWizard;
using glimmora::ThumbnailBox;
using glimmora::Twips;
using glimmora::TwipsRect;
using glimmora::WizardFrame;
using glimmora::WizardSession;
using glimmora::testing::ManualTickSource;
using glimmora::testing::SavePng;
using glimmora::testing::ScriptedPlatform;

namespace {

constexpr const char* kPageGroups[] = {
    "Frame1", "Frame2", "Frame3", "Picture1", "Label6", "Picture2", "Label7", "Frame4",
    "Frame5", "Frame6", "Frame7", "Frame8",   "Frame9", "lblTip",   "picTip", "Frame10"};

QImage Solid(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QColor Grey(int level) {
    return QColor(level, level, level);
}

int CountWizards() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<frmWizard*>(window)) {
            ++count;
        }
    }
    return count;
}

// Runs action inside the application's event loop, where closing the last
// window is noticed, and leaves the loop once the events it caused are done.
void InEventLoop(const std::function<void()>& action) {
    QTimer::singleShot(0, qApp, [action] {
        action();
        // exit, not quit: quit would first try to close the windows.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    });
    QCoreApplication::exec();
}

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A mouse move over a widget, delivered as the window system would: a
// widget without mouse tracking keeps it, a disabled one passes it on.
void MoveMouseOver(QWidget* widget) {
    const QPointF at(2, 2);
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// One wizard opened by a session on a scripted platform.
struct Fixture {
    ScriptedPlatform platform;
    WizardSession session{platform};
    QTemporaryDir dir;

    explicit Fixture(bool realTicks = false) {
        platform.realTicks = realTicks;
        session.Open();
    }

    frmWizard* W() const { return session.Wizard(); }
    glimmora::ProgramState& State() { return session.State(); }

    template <typename T = QWidget> T* Get(const char* name) const {
        T* child = W()->findChild<T*>(QString::fromLatin1(name));
        if (!child) {
            qFatal("no control %s", name);
        }
        return child;
    }
    QString Text(const char* name) const {
        if (auto* box = W()->findChild<QLineEdit*>(QString::fromLatin1(name))) {
            return box->text();
        }
        return Get<QLabel>(name)->text();
    }
    bool Visible(const char* name) const { return Get(name)->isVisible(); }
    void Click(const char* name) { QTest::mouseClick(Get(name), Qt::LeftButton, {}, QPoint(2, 2)); }
    void Type(const char* name, const QString& text) {
        auto* box = Get<QLineEdit>(name);
        box->selectAll();
        box->del();
        QTest::keyClicks(box, text);
    }

    QString Save(const QString& name, const QImage& image) { return SavePng(dir, name, image); }
    // A picture too large to decode at once is checked in slices.
    void Choose(const std::optional<QString>& answer) {
        platform.openAnswers.push_back(answer);
        Click("cmdBrowse");
        FinishDecoding();
    }
    void ChoosePicture(const QImage& image, const QString& name = QStringLiteral("pic.png")) {
        Choose(Save(name, image));
    }

    ManualTickSource& Timer1() { return static_cast<ManualTickSource&>(W()->Timer1()); }
    ManualTickSource& Clock() { return static_cast<ManualTickSource&>(W()->tmrTid()); }
    ManualTickSource& DecodeTimer() { return static_cast<ManualTickSource&>(W()->DecodeTimer()); }
    // Real ticks decode on their own in the event loop.
    void FinishDecoding() {
        if (!platform.realTicks) {
            DecodeTimer().FireUntilStopped();
        }
    }

    // From page 1 with a picture chosen on to page 4, with a format label.
    void ToScalePage(const char* formatLabel = "Label21") {
        Click("cmdNext");
        Click(formatLabel);
        Click("cmdNext");
        Click("cmdNext");
    }
    // From page 4 on to page 5 at the given steps.
    void Convert(const QString& across, const QString& down) {
        Type("txtScaleWidth", across);
        Type("txtScaleHeight", down);
        Click("cmdNext");
        FinishDecoding();
    }
    bool NextEnabled() const { return Get("cmdNext")->isEnabled(); }
    bool PreviousEnabled() const { return Get("cmdPre")->isEnabled(); }
    QStringList ShownGroups() const {
        QStringList shown;
        for (const char* name : kPageGroups) {
            if (Visible(name)) {
                shown << QString::fromLatin1(name);
            }
        }
        return shown;
    }
};

} // namespace

class WizardTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { glimmora::RegisterLayoutFonts(); }
    void cleanup() {
        FlushDeletes();
        QVERIFY2(QApplication::topLevelWidgets().isEmpty(), "a window was left open");
    }

    // The window and page 1 as opened.
    void open_showsPageOneWithBothButtonsGreyed();
    void open_windowIsFixedWithCloseBoxOnly();
    void open_styleFieldsHoldTheirInitialValues();

    // Page flow.
    void next_disabledWithoutPicture_ignoresClicks();
    void nextAndPrevious_walkPagesOneToFour();
    void previousToPageOne_redrawsThumbnailAndKeepsNext();

    // Page 1.
    void browse_showsPathSizeAndTitle();
    void browse_textFile_reportsInvalidPicture();
    void browse_notARegularFile_refusedAtOnce_data();
    void browse_notARegularFile_refusedAtOnce();
    void browse_failureAfterGoodPicture_keepsOldSize();
    void browse_cancelWithNothingChosen_staysEmptyWithoutMessage();
    void browse_cancelAfterChoice_loadsSameFileAgain();
    void browse_secondPicture_replacesFirst();
    void sizeFields_refuseTyping();
    void thumbnail_fitsAndCentres_data();
    void thumbnail_fitsAndCentres();

    // Pages 2 and 3.
    void formatLabels_selectTheirButtonExclusively();
    void styleDefaults_perFormat_data();
    void styleDefaults_perFormat();
    void stylePage_reenteredFromPageFour_rewritesDefaults();
    void colourDialog_choiceSetsSwatchAndCode();
    void colourDialog_cancelBeforeAnyChoice_appliesBlack();

    // Page 4.
    void scaleProposal_byPixelCountAndFormat_data();
    void scaleProposal_byPixelCountAndFormat();
    void scalePage_recordsStyleValues();
    void scalePage_reentered_proposesAgain();
    void scaleSteps_unusable_disableNext_data();
    void scaleSteps_unusable_disableNext();
    void pauseLabel_onScalePage_changesNothingShown();

    // Page 5.
    void conversion_signMode_exactArtText();
    void conversion_cleanText_oneCharacterRamp();
    void conversion_colouredMode_exactArtText();
    void conversion_oneStepPerTick();
    void conversion_realTimer_keepsTheFinishedArt();
    void largePicture_decodedInSlices();
    void conversion_outOfMemory_saysSoAndGoesBackToScale();
    void lineEnd_showsCounterBarAndTimeLeft();
    void lineEnd_lastLineOvershoots_barCutAndDone();
    void done_stateAndPageSix();
    void pathLabel_cutAfterFortyCharacters_data();
    void pathLabel_cutAfterFortyCharacters();

    // Page 6.
    void pageSix_outletsGetTheArt();

    // Closing and restarting.
    void cancel_answeredNo_conversionGoesOn();
    void cancel_answeredYes_closesAndKeepsArt();
    void cancel_answeredYesDuringConversion_stopsIt();
    void closeBox_asksLikeCancel();
    void restart_duringConversion_freshWizardWithoutQuestion();

    // Hover.
    void hover_lightsOneButtonAtATime();
    void hover_disabledButtonNeverLights();
    void hover_nextDisabledWhileLit_losesItsLight();
    void hover_browseButtonAndListedLabels();
    void hover_controlWithoutHandler_keepsButtonLit();
    void hover_pageChange_leavesNothingLit();
    void hover_separatorLines_leaveTheMouseToWhatLiesBeneath();

    // Hidden phrase.
    void egg_boxLiesBelowVisibleAreaOutOfTabOrder();
    void egg_doubleClickOnExample_focusesBox();
    void egg_phrase_data();
    void egg_phrase();

    // Pictures of every page, when asked for.
    void screenshots();
};

// ---------------------------------------------------------------------------
// The window and page 1 as opened

void WizardTests::open_showsPageOneWithBothButtonsGreyed() {
    Fixture f;
    QCOMPARE(f.W()->CurrentStep(), 1);
    QCOMPARE(f.Text("lblSteg"), QStringLiteral("1."));
    QCOMPARE(f.Text("lblDesc"),
             QStringLiteral("Select an image that you want to transform to ASCII art."));
    QCOMPARE(f.ShownGroups(), (QStringList{"Frame1", "Frame2"}));
    QVERIFY(!f.PreviousEnabled());
    QVERIFY(!f.NextEnabled());
    QVERIFY(f.Visible("imgPrevious2"));
    QVERIFY(f.Visible("imgNext2"));
    QVERIFY(f.Get("cmdCancel")->isEnabled());
    QVERIFY(f.Get("Picture5")->isEnabled());
    for (const char* face : {"imgPrevious", "imgNext", "imgCancel", "imgBrowse2"}) {
        QVERIFY2(!f.Visible(face), face);
    }
    QVERIFY(f.Visible("imgBrowse"));
    QVERIFY(!f.Get("lblProgressBar")->isVisibleTo(f.W()));
    QCOMPARE(f.Get("picThumbNail")->geometry(), TwipsRect(120, 240, 1515, 1935));
    QCOMPARE(f.W()->ThumbMaxWidth(), 1515.0f);
    QCOMPARE(f.W()->ThumbMaxHeight(), 1935.0f);
    QCOMPARE(f.State().BackgroundColorCode, std::string("000000"));
    QCOMPARE(f.Timer1().Interval(), 1);
    QCOMPARE(f.Clock().Interval(), 1000);
    QVERIFY(!f.Timer1().IsEnabled());
    QVERIFY(!f.Clock().IsEnabled());
    // Tab reaches the buttons; a click leaves the focus where it is.
    for (const char* button : {"cmdPre", "cmdNext", "cmdCancel", "cmdBrowse"}) {
        QCOMPARE(f.Get(button)->focusPolicy(), Qt::TabFocus);
    }
}

void WizardTests::open_windowIsFixedWithCloseBoxOnly() {
    Fixture f;
    QCOMPARE(f.W()->windowTitle(), QStringLiteral("Glimmora - Wizard"));
    QCOMPARE(f.W()->size(), QSize(561, 365));
    QCOMPARE(f.W()->minimumSize(), f.W()->maximumSize());
    const Qt::WindowFlags flags = f.W()->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(f.W()->palette().color(QPalette::Window), QColor(0xE0, 0xE0, 0xE0));
}

void WizardTests::open_styleFieldsHoldTheirInitialValues() {
    Fixture f;
    QVERIFY(f.Get<QRadioButton>("optRtf")->isChecked());
    const QStringList ramp{"9", "=", "u", "e", ";;", "::", ",,", "..", "  "};
    const char* cells[] = {"txtBlack",  "txtColor2", "txtColor3", "txtColor4", "txtColor5",
                           "txtColor6", "txtColor7", "txtColor8", "txtWhite"};
    for (int i = 0; i < 9; ++i) {
        QCOMPARE(f.Text(cells[i]), ramp[i]);
        QCOMPARE(f.Get(cells[i])->isEnabled(), i != 8);
    }
    auto* face = f.Get<QComboBox>("cbFace");
    QCOMPARE(face->currentText(), QStringLiteral("Tahoma"));
    QStringList listed;
    for (int i = 0; i < face->count(); ++i) {
        listed << face->itemText(i);
    }
    QCOMPARE(listed, f.platform.fonts);
    QCOMPARE(f.Text("txtSize"), QStringLiteral("8"));
    QCOMPARE(f.Text("txtWord"), QString());
    QCOMPARE(f.Text("txtScaleWidth"), QString());
    QCOMPARE(f.Get<ColourShape>("ShpColor")->Fill(), QColor(Qt::black));
}

// ---------------------------------------------------------------------------
// Page flow

void WizardTests::next_disabledWithoutPicture_ignoresClicks() {
    Fixture f;
    f.Click("cmdNext");
    f.Click("cmdPre");
    QCOMPARE(f.W()->CurrentStep(), 1);
    QCOMPARE(f.ShownGroups(), (QStringList{"Frame1", "Frame2"}));
}

void WizardTests::nextAndPrevious_walkPagesOneToFour() {
    Fixture f;
    f.ChoosePicture(Solid(10, 10, Qt::gray));
    QVERIFY(f.NextEnabled());

    f.Click("cmdNext");
    QCOMPARE(f.W()->CurrentStep(), 2);
    QCOMPARE(f.Text("lblSteg"), QStringLiteral("2."));
    QCOMPARE(f.Text("lblDesc"), QStringLiteral("Which format do you want to use?"));
    QCOMPARE(f.ShownGroups(), (QStringList{"Frame3", "Picture1", "Label6", "Picture2", "Label7"}));
    QVERIFY(f.PreviousEnabled());
    QVERIFY(!f.Visible("imgPrevious2"));
    QVERIFY(f.NextEnabled());

    f.Click("cmdNext");
    QCOMPARE(f.W()->CurrentStep(), 3);
    QCOMPARE(f.Text("lblSteg"), QStringLiteral("3."));
    QVERIFY(f.PreviousEnabled());
    QVERIFY(f.NextEnabled());

    f.Click("cmdNext");
    QCOMPARE(f.W()->CurrentStep(), 4);
    QCOMPARE(f.Text("lblSteg"), QStringLiteral("4."));
    QCOMPARE(f.Text("lblDesc"), QStringLiteral("Set the scale of the new picture."));
    QCOMPARE(f.ShownGroups(), (QStringList{"Frame8", "lblTip", "picTip"}));
    QCOMPARE(f.Text("lblTip"),
             QStringLiteral("The program calculate the scale for you so you only need to change "
                            "the scale if you not are happy with the size."));
    QVERIFY(f.PreviousEnabled());
    QVERIFY(f.NextEnabled());
    QVERIFY(!f.Visible("imgNext2"));

    f.Click("cmdPre");
    QCOMPARE(f.W()->CurrentStep(), 3);
    f.Click("cmdPre");
    QCOMPARE(f.W()->CurrentStep(), 2);
    f.Click("cmdPre");
    QCOMPARE(f.W()->CurrentStep(), 1);
    QVERIFY(!f.PreviousEnabled());
    QVERIFY(f.Visible("imgPrevious2"));
}

void WizardTests::previousToPageOne_redrawsThumbnailAndKeepsNext() {
    Fixture f;
    f.ChoosePicture(Solid(640, 480, Qt::red));
    const QRect shown = f.Get("picThumbNail")->geometry();
    f.Click("cmdNext");
    f.Click("cmdPre");
    QCOMPARE(f.W()->CurrentStep(), 1);
    QVERIFY(f.NextEnabled());
    QVERIFY(!f.Visible("imgNext2"));
    QCOMPARE(f.Get("picThumbNail")->geometry(), shown);
    QVERIFY(f.Get<ThumbnailBox>("picThumbNail")->HasDrawing());
}

// ---------------------------------------------------------------------------
// Page 1

void WizardTests::browse_showsPathSizeAndTitle() {
    Fixture f;
    const QString path = f.Save(QStringLiteral("cat.png"), Solid(37, 21, Qt::blue));
    f.Choose(path);
    QCOMPARE(f.platform.openDialogs, 1);
    QVERIFY(f.platform.criticals.empty());
    QCOMPARE(f.Text("txtImage"), path);
    QCOMPARE(f.Text("txtWidth"), QStringLiteral("37"));
    QCOMPARE(f.Text("txtHeight"), QStringLiteral("21"));
    QCOMPARE(f.State().ImageFileTitle, std::string("cat.png"));
    QVERIFY(f.NextEnabled());
    QVERIFY(!f.Visible("imgNext2"));
    QVERIFY(f.W()->Picture() != nullptr);
    QCOMPARE(glimmora::DecodeSampled(*f.W()->Picture(), 1, 1).picture->GetPixel(36, 20),
             glimmora::Colour(0xFF0000));
    QVERIFY(f.Get<ThumbnailBox>("picThumbNail")->HasDrawing());
}

void WizardTests::browse_textFile_reportsInvalidPicture() {
    Fixture f;
    const QString path = f.dir.filePath(QStringLiteral("notes.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture\n");
    file.close();
    f.Choose(path);
    QCOMPARE(f.platform.criticals.size(), std::size_t{1});
    QCOMPARE(f.platform.criticals[0].title, QStringLiteral("Load picture"));
    QCOMPARE(f.platform.criticals[0].text, QStringLiteral("Invalid picture!"));
    QCOMPARE(f.Text("txtImage"), QString());
    QVERIFY(!f.NextEnabled());
    QVERIFY(f.Visible("imgNext2"));
    QCOMPARE(f.State().ImageFileTitle, std::string("notes.txt"));
    QCOMPARE(f.Get("picThumbNail")->geometry(), TwipsRect(120, 240, 1515, 1935));
    QVERIFY(!f.Get<ThumbnailBox>("picThumbNail")->HasDrawing());
}

void WizardTests::browse_notARegularFile_refusedAtOnce_data() {
    QTest::addColumn<QString>("kind");
    QTest::addRow("fifo") << "fifo";        // nobody writes into it: a read would wait for ever
    QTest::addRow("device") << "/dev/zero"; // a read would never end
    QTest::addRow("folder") << "folder";
}

void WizardTests::browse_notARegularFile_refusedAtOnce() {
    QFETCH(QString, kind);
    Fixture f;
    QString path = kind;
    if (kind == "fifo") {
        path = f.dir.filePath(kind);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "folder") {
        path = f.dir.filePath(kind);
        QVERIFY(QDir().mkdir(path));
    }
    f.Choose(path);
    QCOMPARE(f.platform.criticals.size(), std::size_t{1});
    QCOMPARE(f.platform.criticals[0].text, QStringLiteral("Invalid picture!"));
    QCOMPARE(f.Text("txtImage"), QString());
    QVERIFY(!f.NextEnabled());
}

void WizardTests::browse_failureAfterGoodPicture_keepsOldSize() {
    Fixture f;
    f.ChoosePicture(Solid(640, 480, Qt::green));
    f.Choose(f.dir.filePath(QStringLiteral("missing.png")));
    QCOMPARE(f.platform.criticals.size(), std::size_t{1});
    QCOMPARE(f.Text("txtImage"), QString());
    QCOMPARE(f.Text("txtWidth"), QStringLiteral("640"));
    QCOMPARE(f.Text("txtHeight"), QStringLiteral("480"));
    QVERIFY(!f.NextEnabled());
    QCOMPARE(f.W()->ThumbLeft(), 120.0f);
    QCOMPARE(f.W()->ThumbTop(), 240.0f);
    QCOMPARE(f.Get("picThumbNail")->geometry(), TwipsRect(120, 240, 1515, 1935));
}

void WizardTests::browse_cancelWithNothingChosen_staysEmptyWithoutMessage() {
    Fixture f;
    f.Choose(std::nullopt);
    QCOMPARE(f.platform.openDialogs, 1);
    QVERIFY(f.platform.criticals.empty());
    QCOMPARE(f.Text("txtImage"), QString());
    QVERIFY(!f.NextEnabled());
    QVERIFY(f.Visible("imgNext2"));
    QVERIFY(f.W()->Picture() == nullptr);
}

void WizardTests::browse_cancelAfterChoice_loadsSameFileAgain() {
    Fixture f;
    const QString path = f.Save(QStringLiteral("dog.png"), Solid(12, 8, Qt::yellow));
    f.Choose(path);
    const auto* first = f.W()->Picture();
    f.Choose(std::nullopt);
    QVERIFY(f.platform.criticals.empty());
    QCOMPARE(f.Text("txtImage"), path);
    QCOMPARE(f.Text("txtWidth"), QStringLiteral("12"));
    QVERIFY(f.NextEnabled());
    QVERIFY(f.W()->Picture() != nullptr);
    QVERIFY(f.W()->Picture() != first); // decoded afresh
}

void WizardTests::browse_secondPicture_replacesFirst() {
    Fixture f;
    f.ChoosePicture(Solid(20, 10, Qt::red), QStringLiteral("one.png"));
    f.ChoosePicture(Solid(30, 40, Qt::blue), QStringLiteral("two.png"));
    QCOMPARE(f.Text("txtWidth"), QStringLiteral("30"));
    QCOMPARE(f.Text("txtHeight"), QStringLiteral("40"));
    QCOMPARE(f.State().ImageFileTitle, std::string("two.png"));
    QCOMPARE(glimmora::DecodeSampled(*f.W()->Picture(), 1, 1).picture->GetPixel(0, 0),
             glimmora::Colour(0xFF0000));
}

void WizardTests::sizeFields_refuseTyping() {
    Fixture f;
    f.ChoosePicture(Solid(64, 32, Qt::white));
    QTest::keyClicks(f.Get("txtWidth"), QStringLiteral("9"));
    QTest::keyClicks(f.Get("txtHeight"), QStringLiteral("x"));
    QTest::keyClicks(f.Get("txtImage"), QStringLiteral("y"));
    QCOMPARE(f.Text("txtWidth"), QStringLiteral("64"));
    QCOMPARE(f.Text("txtHeight"), QStringLiteral("32"));
    QVERIFY(f.Text("txtImage").endsWith(QStringLiteral("pic.png")));
}

void WizardTests::thumbnail_fitsAndCentres_data() {
    QTest::addColumn<int>("pixelsWide");
    QTest::addColumn<int>("pixelsHigh");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("tolerance");
    QTest::addRow("640x480_186divisions")
        << 640 << 480 << 1513.0 << 1136.0 << 121.0 << 619.5 << 0.5;
    QTest::addRow("99x127_exactFit_notReduced")
        << 99 << 127 << 1515.0 << 1935.0 << 120.0 << 220.0 << 0.0;
    QTest::addRow("100x120_oneDivision")
        << 100 << 120 << 1514.85 << 1811.88 << 120.07 << 281.56 << 0.01;
    QTest::addRow("98x126_neverEnlarged") << 98 << 126 << 1500.0 << 1920.0 << 127.5 << 227.5 << 0.0;
    QTest::addRow("100x127_oneDivision")
        << 100 << 127 << 1530 / 1.01 << 1935 / 1.01 << (1755 - 1530 / 1.01) / 2
        << (2295 - 1935 / 1.01) / 2 + 40 << 0.01;
}

void WizardTests::thumbnail_fitsAndCentres() {
    QFETCH(int, pixelsWide);
    QFETCH(int, pixelsHigh);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, tolerance);
    Fixture f;
    f.ChoosePicture(Solid(pixelsWide, pixelsHigh, Qt::darkCyan));
    const frmWizard* w = f.W();
    QVERIFY2(std::abs(w->ThumbWidth() - width) <= tolerance,
             qPrintable(QString::number(w->ThumbWidth())));
    QVERIFY2(std::abs(w->ThumbHeight() - height) <= tolerance,
             qPrintable(QString::number(w->ThumbHeight())));
    QVERIFY2(std::abs(w->ThumbLeft() - left) <= tolerance,
             qPrintable(QString::number(w->ThumbLeft())));
    QVERIFY2(std::abs(w->ThumbTop() - top) <= tolerance,
             qPrintable(QString::number(w->ThumbTop())));
    QCOMPARE(f.Get("picThumbNail")->geometry(),
             TwipsRect(w->ThumbLeft(), w->ThumbTop(), w->ThumbWidth(), w->ThumbHeight()));
}

// ---------------------------------------------------------------------------
// Pages 2 and 3

void WizardTests::formatLabels_selectTheirButtonExclusively() {
    Fixture f;
    f.ChoosePicture(Solid(4, 4, Qt::white));
    f.Click("cmdNext");
    const std::pair<const char*, const char*> pairs[] = {{"Label20", "optClnTxt"},
                                                         {"Label24", "optHtmlTxt"},
                                                         {"Label23", "optHtmlCldTxt"},
                                                         {"Label21", "optRtf"}};
    for (const auto& [label, option] : pairs) {
        f.Click(label);
        for (const auto& [otherLabel, other] : pairs) {
            Q_UNUSED(otherLabel);
            QCOMPARE(f.Get<QRadioButton>(other)->isChecked(), other == option);
        }
    }
    f.Click("optHtmlTxt");
    QCOMPARE(f.W()->SelectedFormat(), glimmora::OutputFormat::HtmlText);
    QVERIFY(!f.Get<QRadioButton>("optRtf")->isChecked());
}

void WizardTests::styleDefaults_perFormat_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QPoint>("frame4");
    QTest::addColumn<int>("frame5Left");
    QTest::addColumn<int>("frame6Left");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("face");
    QTest::addColumn<QColor>("swatch");
    QTest::addColumn<QStringList>("ramp");
    QTest::addColumn<QString>("description");
    const QStringList two{"9", "=", "u", "e", ";;", "::", ",,", "..", "  "};
    // Page 3 was shown for HTML text before, with red chosen: formats without
    // a default for a field keep what it holds.
    QTest::addRow("colored_wordFontColourAndTip")
        << "Label23" << QStringList{"Frame5", "Frame6", "Frame7", "lblTip", "picTip"} << QPoint()
        << 960 << 3240 << "8"
        << "Tahoma" << QColor(Qt::black) << two
        << "Select background color and font that you want in your HTML file. You must also "
           "choose a word that will build your picture.";
    QTest::addRow("htmlText_signsFontAndWhite")
        << "Label24" << QStringList{"Frame4", "Frame5", "Frame6"} << QPoint(240, 3360) << 2040
        << 4320 << "5"
        << "Arial" << QColor(Qt::white) << two
        << "Select background color and font that you want in your HTML file and type in which "
           "ASCII signs that you want to use.";
    QTest::addRow("rtf_signsAndFontKeepsColour")
        << "Label21" << QStringList{"Frame4", "Frame5"} << QPoint(240, 3360) << 3000 << -1 << "5"
        << "Arial" << QColor(Qt::red) << two
        << "Select font and which ASCII signs that you want to use.";
    QTest::addRow("cleanText_signsOnlyOneCharacterRamp")
        << "Label20" << QStringList{"Frame4"} << QPoint(240, 2160) << -1 << -1 << "5"
        << "Arial" << QColor(Qt::red) << QStringList{"9", "=", "u", "e", ";", ":", ",", ".", " "}
        << "Select which ASCII signs that you want to use.";
}

void WizardTests::styleDefaults_perFormat() {
    QFETCH(QString, label);
    QFETCH(QStringList, shown);
    QFETCH(QPoint, frame4);
    QFETCH(int, frame5Left);
    QFETCH(int, frame6Left);
    QFETCH(QString, size);
    QFETCH(QString, face);
    QFETCH(QColor, swatch);
    QFETCH(QStringList, ramp);
    QFETCH(QString, description);
    Fixture f;
    f.ChoosePicture(Solid(4, 4, Qt::white));
    f.platform.colorAnswers.push_back(QColor(Qt::red));
    f.Click("cmdNext");
    f.Click("cmdNext");
    // RTF first: no colour frame, so pick red through the HTML text page.
    f.Click("cmdPre");
    f.Click("Label24");
    f.Click("cmdNext");
    f.Click("lblColor");
    QCOMPARE(f.Get<ColourShape>("ShpColor")->Fill(), QColor(Qt::red));
    f.Click("cmdPre");
    f.Click(label.toLatin1().constData());
    f.Click("cmdNext");

    QCOMPARE(f.Text("lblSteg"), QStringLiteral("3."));
    QCOMPARE(f.Text("lblDesc"), description);
    QCOMPARE(f.ShownGroups(), shown);
    if (!frame4.isNull()) {
        QCOMPARE(f.Get("Frame4")->pos(), QPoint(Twips(frame4.x()), Twips(frame4.y())));
    }
    if (frame5Left >= 0) {
        QCOMPARE(f.Get("Frame5")->pos(), QPoint(Twips(frame5Left), Twips(1680)));
    }
    if (frame6Left >= 0) {
        QCOMPARE(f.Get("Frame6")->pos(), QPoint(Twips(frame6Left), Twips(1680)));
    }
    QCOMPARE(f.Text("txtSize"), size);
    QCOMPARE(f.Get<QComboBox>("cbFace")->currentText(), face);
    QCOMPARE(f.Get<ColourShape>("ShpColor")->Fill(), swatch);
    const char* cells[] = {"txtBlack",  "txtColor2", "txtColor3", "txtColor4", "txtColor5",
                           "txtColor6", "txtColor7", "txtColor8", "txtWhite"};
    for (int i = 0; i < 9; ++i) {
        QCOMPARE(f.Text(cells[i]), ramp[i]);
    }
    if (shown.contains(QStringLiteral("lblTip"))) {
        QCOMPARE(f.Text("lblTip"), QStringLiteral("We recommend you to write your word in "
                                                  "capitals only. It looks more beautiful then!"));
    }
}

void WizardTests::stylePage_reenteredFromPageFour_rewritesDefaults() {
    Fixture f;
    f.ChoosePicture(Solid(4, 4, Qt::white));
    f.Click("cmdNext");
    f.Click("cmdNext");
    f.Type("txtSize", QStringLiteral("12"));
    f.Get<QComboBox>("cbFace")->setEditText(QStringLiteral("Courier New"));
    f.Type("txtColor5", QStringLiteral("#"));
    f.Type("txtBlack", QStringLiteral("@"));
    f.Click("cmdNext");
    QCOMPARE(f.State().FontSizeText, std::string("12"));
    QCOMPARE(f.State().FontFaceText, std::string("Courier New"));
    f.Click("cmdPre");
    QCOMPARE(f.Text("txtSize"), QStringLiteral("5"));
    QCOMPARE(f.Get<QComboBox>("cbFace")->currentText(), QStringLiteral("Arial"));
    QCOMPARE(f.Text("txtColor5"), QStringLiteral(";;"));
    QCOMPARE(f.Text("txtBlack"), QStringLiteral("@")); // never written by the program
}

void WizardTests::colourDialog_choiceSetsSwatchAndCode() {
    Fixture f;
    f.ChoosePicture(Solid(4, 4, Qt::white));
    f.Click("cmdNext");
    f.Click("Label24");
    f.Click("cmdNext");
    f.platform.colorAnswers.push_back(QColor(0x12, 0x34, 0x56));
    f.Click("lblColor");
    QCOMPARE(f.platform.colorDialogs, 1);
    QCOMPARE(f.Get<ColourShape>("ShpColor")->Fill(), QColor(0x12, 0x34, 0x56));
    QCOMPARE(f.State().BackgroundColorCode, std::string("123456"));
    // Cancelled: the colour reported last is applied again.
    f.Click("lblColor");
    QCOMPARE(f.Get<ColourShape>("ShpColor")->Fill(), QColor(0x12, 0x34, 0x56));
    QCOMPARE(f.State().BackgroundColorCode, std::string("123456"));
    f.Click("cmdNext");
    QCOMPARE(f.State().BackgroundColorCode, std::string("123456"));
}

void WizardTests::colourDialog_cancelBeforeAnyChoice_appliesBlack() {
    Fixture f;
    f.ChoosePicture(Solid(4, 4, Qt::white));
    f.Click("cmdNext");
    f.Click("Label24");
    f.Click("cmdNext");
    QCOMPARE(f.Get<ColourShape>("ShpColor")->Fill(), QColor(Qt::white));
    f.Click("lblColor");
    QCOMPARE(f.Get<ColourShape>("ShpColor")->Fill(), QColor(Qt::black));
    QCOMPARE(f.State().BackgroundColorCode, std::string("000000"));
}

// ---------------------------------------------------------------------------
// Page 4

void WizardTests::scaleProposal_byPixelCountAndFormat_data() {
    QTest::addColumn<int>("pixelsWide");
    QTest::addColumn<int>("pixelsHigh");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("across");
    QTest::addColumn<QString>("down");
    QTest::addRow("rtf_40000_firstBand") << 200 << 200 << "Label21"
                                         << "1"
                                         << "2";
    QTest::addRow("rtf_40200_secondBand") << 200 << 201 << "Label21"
                                          << "2"
                                          << "4";
    QTest::addRow("htmlText_thirdBand") << 1000 << 501 << "Label24"
                                        << "4"
                                        << "8";
    QTest::addRow("clean_500000_secondBand") << 1000 << 500 << "Label20"
                                             << "6"
                                             << "6";
    QTest::addRow("clean_small_firstBand") << 10 << 10 << "Label20"
                                           << "4"
                                           << "4";
    QTest::addRow("coloured_500500_thirdBand") << 1000 << 501 << "Label23"
                                               << "4"
                                               << "4";
}

void WizardTests::scaleProposal_byPixelCountAndFormat() {
    QFETCH(int, pixelsWide);
    QFETCH(int, pixelsHigh);
    QFETCH(QString, label);
    QFETCH(QString, across);
    QFETCH(QString, down);
    Fixture f;
    f.ChoosePicture(Solid(pixelsWide, pixelsHigh, Qt::white));
    f.ToScalePage(label.toLatin1().constData());
    QCOMPARE(f.Text("txtScaleWidth"), across);
    QCOMPARE(f.Text("txtScaleHeight"), down);
    QVERIFY(f.NextEnabled());
}

void WizardTests::scalePage_recordsStyleValues() {
    Fixture f;
    f.ChoosePicture(Solid(4, 4, Qt::white));
    f.Click("cmdNext");
    f.Click("Label24");
    f.Click("cmdNext");
    f.platform.colorAnswers.push_back(QColor(255, 0, 0));
    f.Click("lblColor");
    f.State().BackgroundColorCode = "changed";
    f.Type("txtSize", QStringLiteral("7"));
    f.Get<QComboBox>("cbFace")->setEditText(QStringLiteral("No Such Face"));
    f.Click("cmdNext");
    QCOMPARE(f.State().BackgroundColorCode, std::string("FF0000"));
    QCOMPARE(f.State().FontSizeText, std::string("7"));
    QCOMPARE(f.State().FontFaceText, std::string("No Such Face"));
}

void WizardTests::scalePage_reentered_proposesAgain() {
    Fixture f;
    f.ChoosePicture(Solid(200, 201, Qt::white));
    f.ToScalePage();
    f.Type("txtScaleWidth", QStringLiteral("3"));
    f.Type("txtScaleHeight", QStringLiteral("3"));
    f.Click("cmdPre");
    f.Click("cmdPre");
    f.Click("Label20");
    f.Click("cmdNext");
    f.Click("cmdNext");
    QCOMPARE(f.Text("txtScaleWidth"), QStringLiteral("6"));
    QCOMPARE(f.Text("txtScaleHeight"), QStringLiteral("6"));
}

void WizardTests::scaleSteps_unusable_disableNext_data() {
    QTest::addColumn<QString>("across");
    QTest::addColumn<QString>("down");
    QTest::addRow("emptyAcross") << ""
                                 << "2";
    QTest::addRow("zeroDown") << "1"
                              << "0";
    QTest::addRow("lettersAcross") << "abc"
                                   << "2";
    QTest::addRow("fractionDown") << "1"
                                  << "2.5";
    QTest::addRow("tooLargeAcross") << "40000"
                                    << "2";
    QTest::addRow("negativeDown") << "3"
                                  << "-1";
}

void WizardTests::scaleSteps_unusable_disableNext() {
    QFETCH(QString, across);
    QFETCH(QString, down);
    Fixture f;
    f.ChoosePicture(Solid(8, 8, Qt::white));
    f.ToScalePage();
    f.Type("txtScaleWidth", across);
    f.Type("txtScaleHeight", down);
    QVERIFY(!f.NextEnabled());
    QVERIFY(f.Visible("imgNext2"));
    f.Click("cmdNext");
    QCOMPARE(f.W()->CurrentStep(), 4);
    QVERIFY(!f.Timer1().IsEnabled());
    // Leaving the page gives every earlier page its own rule back.
    for (const int page : {3, 2, 1}) {
        f.Click("cmdPre");
        QCOMPARE(f.W()->CurrentStep(), page);
        QVERIFY(f.NextEnabled());
    }
    for (int i = 0; i < 3; ++i) {
        f.Click("cmdNext");
    }
    QCOMPARE(f.W()->CurrentStep(), 4);
    QVERIFY(f.NextEnabled()); // a fresh proposal
    f.Type("txtScaleWidth", across);
    f.Type("txtScaleHeight", down);
    // Mended as it is typed.
    f.Type("txtScaleWidth", QStringLiteral("2"));
    f.Type("txtScaleHeight", QStringLiteral("32767"));
    QVERIFY(f.NextEnabled());
    QVERIFY(!f.Visible("imgNext2"));
    QVERIFY(f.PreviousEnabled());
}

void WizardTests::pauseLabel_onScalePage_changesNothingShown() {
    Fixture f;
    f.ChoosePicture(Solid(3, 2, Qt::black));
    f.ToScalePage();
    f.Click("Label19");
    QCOMPARE(f.W()->CurrentStep(), 4);
    QVERIFY(!f.Visible("Frame9"));
    QVERIFY(f.NextEnabled());
    f.Convert(QStringLiteral("1"), QStringLiteral("1"));
    QCOMPARE(f.Text("Label22"), QStringLiteral("Scanning line"));
    QVERIFY(f.Timer1().IsEnabled());
    f.Timer1().FireUntilStopped();
    QCOMPARE(f.State().ArtBuffer, std::string("999\r999\r"));
}

// ---------------------------------------------------------------------------
// Page 5

void WizardTests::conversion_signMode_exactArtText() {
    Fixture f;
    // Grey levels 0, 30, 56, 100 and 255: one per ramp band they fall in.
    QImage image(5, 2, QImage::Format_RGB32);
    const int levels[] = {0, 30, 56, 100, 255};
    for (int x = 0; x < 5; ++x) {
        image.setPixelColor(x, 0, Grey(levels[x]));
        image.setPixelColor(x, 1, Grey(levels[4 - x]));
    }
    f.ChoosePicture(image);
    f.ToScalePage();
    f.Convert(QStringLiteral("1"), QStringLiteral("1"));
    QCOMPARE(f.W()->CurrentStep(), 5);
    QVERIFY(f.Timer1().IsEnabled());
    QVERIFY(f.Clock().IsEnabled());
    QCOMPARE(f.Timer1().FireUntilStopped(), 10L);
    QCOMPARE(f.State().ArtBuffer, std::string("9=e::  \r  ::e=9\r"));
}

void WizardTests::conversion_cleanText_oneCharacterRamp() {
    Fixture f;
    // 4 x 2, dark left half, white right half, at scale 2 x 1.
    QImage image = Solid(4, 2, Qt::white);
    for (int y = 0; y < 2; ++y) {
        image.setPixelColor(0, y, Qt::black);
        image.setPixelColor(1, y, Qt::black);
    }
    f.ChoosePicture(image);
    f.ToScalePage("Label20");
    f.Convert(QStringLiteral("2"), QStringLiteral("1"));
    f.Timer1().FireUntilStopped();
    QCOMPARE(f.State().ArtBuffer, std::string("9 \r9 \r"));
}

void WizardTests::conversion_colouredMode_exactArtText() {
    Fixture f;
    QImage image(3, 2, QImage::Format_RGB32);
    image.setPixelColor(0, 0, QColor(255, 0, 0));
    image.setPixelColor(1, 0, QColor(0, 255, 0));
    image.setPixelColor(2, 0, QColor(0, 0, 255));
    image.setPixelColor(0, 1, QColor(0x12, 0x34, 0x56));
    image.setPixelColor(1, 1, QColor(0x0F, 0, 0));
    image.setPixelColor(2, 1, QColor(255, 255, 255));
    f.ChoosePicture(image);
    f.Click("cmdNext");
    f.Click("Label23");
    f.Click("cmdNext");
    f.Type("txtWord", QStringLiteral("Ab"));
    f.Click("cmdNext");
    QCOMPARE(f.Text("txtScaleWidth"), QStringLiteral("1"));
    f.Click("cmdNext");
    f.Timer1().FireUntilStopped();
    const std::string expected = "<font color=\"#FF0000\">A</font>"
                                 "<font color=\"#00FF00\">b</font>"
                                 "<font color=\"#0000FF\">A</font>\r"
                                 "<font color=\"#123456\">b</font>"
                                 "<font color=\"#0F0000\">A</font>"
                                 "<font color=\"#FFFFFF\">b</font>\r";
    QCOMPARE(f.State().ArtBuffer, expected);
}

void WizardTests::conversion_oneStepPerTick() {
    Fixture f;
    f.ChoosePicture(Solid(7, 3, Qt::white));
    f.ToScalePage();
    f.Convert(QStringLiteral("1"), QStringLiteral("1"));
    const glimmora::ConversionEngine* engine = f.W()->Engine();
    QVERIFY(engine);
    for (int tick = 1; tick <= 6; ++tick) {
        QVERIFY(f.Timer1().Fire());
        QCOMPARE(engine->CellColumn(), tick);
    }
    QVERIFY(f.Timer1().Fire());
    QCOMPARE(engine->CellColumn(), 0);
    QCOMPARE(engine->CellRow(), 1);
    QCOMPARE(f.Text("lblLine"), QStringLiteral("1 of 3"));
    QCOMPARE(f.Timer1().FireUntilStopped(), 14L);
}

void WizardTests::conversion_realTimer_keepsTheFinishedArt() {
    // On the program's own timer, whose ticks come back to back: no tick
    // after the last one finishes the art again (which would empty it).
    Fixture f(true);
    f.ChoosePicture(Solid(3, 2, Qt::black));
    f.ToScalePage();
    QSignalSpy finished(f.W(), &frmWizard::conversionFinished);
    f.Convert(QStringLiteral("1"), QStringLiteral("1"));
    QTRY_COMPARE(finished.count(), 1);
    QTest::qWait(30);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(f.State().ArtBuffer, std::string("999\r999\r"));
}

void WizardTests::largePicture_decodedInSlices() {
    // Over two million pixels: the preview and the samples are decoded on
    // the decode timer, Next and the conversion waiting for them.
    Fixture f;
    const QString path = f.Save(QStringLiteral("large.png"), Solid(2000, 1001, Qt::red));
    f.platform.openAnswers.push_back(path);
    f.Click("cmdBrowse");
    QVERIFY(f.DecodeTimer().IsEnabled());
    QVERIFY(!f.NextEnabled());
    QVERIFY(!f.Get<ThumbnailBox>("picThumbNail")->HasDrawing());
    QVERIFY(f.DecodeTimer().FireUntilStopped() >= 1);
    QVERIFY(f.NextEnabled());
    QCOMPARE(f.Text("txtWidth"), QStringLiteral("2000"));
    QVERIFY(f.Get<ThumbnailBox>("picThumbNail")->HasDrawing());

    f.ToScalePage();
    f.Type("txtScaleWidth", QStringLiteral("500"));
    f.Type("txtScaleHeight", QStringLiteral("500"));
    f.Click("cmdNext");
    QVERIFY(!f.Timer1().IsEnabled());
    QVERIFY(f.Clock().IsEnabled());
    QVERIFY(f.DecodeTimer().FireUntilStopped() >= 1);
    QVERIFY(f.Timer1().IsEnabled());
    f.Timer1().FireUntilStopped();
    // Pure red is grey level 84, the fifth band: 4 x 3 cells of ";;".
    QCOMPARE(f.State().ArtBuffer, std::string(";;;;;;;;\r;;;;;;;;\r;;;;;;;;\r"));

    // Damage past the header shows when the check reaches it.
    Fixture g;
    QFile whole(path);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    const QString cut = g.dir.filePath(QStringLiteral("cut.png"));
    QFile file(cut);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(whole.read(whole.size() / 2));
    file.close();
    g.Choose(cut);
    QCOMPARE(g.platform.criticals.size(), std::size_t{1});
    QCOMPARE(g.platform.criticals[0].text, QStringLiteral("Invalid picture!"));
    QCOMPARE(g.Text("txtImage"), QString());
    QVERIFY(!g.NextEnabled());
}

void WizardTests::conversion_outOfMemory_saysSoAndGoesBackToScale() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer needs more address space than the limit leaves");
#else
    Fixture f;
    f.ChoosePicture(Solid(3000, 2000, Qt::white));
    f.ToScalePage("Label23"); // coloured: about 30 bytes a cell, 180 MB of art at 1 x 1
    // The art outgrows the memory left in a child process; the test's own
    // process keeps all it has.
    const pid_t child = fork();
    if (child == 0) {
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1) {
                pages = 0;
            }
            std::fclose(statm);
        }
        const rlim_t room = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (64 << 20);
        const rlimit limit{room, room};
        if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0) {
            _exit(2);
        }
        f.Convert(QStringLiteral("1"), QStringLiteral("1"));
        f.Timer1().FireUntilStopped();
        const bool told =
            f.platform.criticals.size() == 1 &&
            f.platform.criticals[0].title == QStringLiteral("Convert") &&
            f.platform.criticals[0].text ==
                QStringLiteral("Not enough memory to build this art; a larger scale needs less.");
        const bool usable = f.W()->CurrentStep() == 4 && f.W()->Engine() == nullptr &&
                            !f.Timer1().IsEnabled() && !f.Clock().IsEnabled() && f.NextEnabled() &&
                            f.PreviousEnabled() && f.State().ArtBuffer.empty() &&
                            // page 5 is gone: its frame would cover the scale boxes
                            f.Visible("Frame8") && !f.Visible("Frame9");
        _exit(told && usable ? 0 : 1);
    }
    QVERIFY(child > 0);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
#endif
}

void WizardTests::lineEnd_showsCounterBarAndTimeLeft() {
    Fixture f;
    f.ChoosePicture(Solid(2, 300, Qt::white));
    f.ToScalePage();
    f.Convert(QStringLiteral("1"), QStringLiteral("60"));
    QCOMPARE(f.W()->ProgressBarWidth(), 0.0f);
    QCOMPARE(f.Get("lblProgressBar")->width(), 0);
    QVERIFY(f.Visible("lblProgressBar"));
    QCOMPARE(f.Get("lblProgressBar")->height(), Twips(135));
    QCOMPARE(f.Text("lblLine"), QStringLiteral("0"));
    for (int second = 0; second < 30; ++second) {
        QVERIFY(f.Clock().Fire());
    }
    QCOMPARE(f.W()->ElapsedSeconds(), 30);
    QVERIFY(f.Timer1().Fire());
    QCOMPARE(f.Text("lblLine"), QStringLiteral("0")); // mid-line: nothing changes
    QVERIFY(f.Timer1().Fire());
    QCOMPARE(f.Text("lblLine"), QStringLiteral("60 of 300"));
    QCOMPARE(f.W()->ProgressBarWidth(), 795.0f);
    QCOMPARE(f.Get("lblProgressBar")->width(), Twips(795));
    QCOMPARE(f.Text("lblTime"), QStringLiteral("0 h, 2 min, 0 sek"));
    QCOMPARE(f.Text("Label22"), QStringLiteral("Scanning line"));
}

void WizardTests::lineEnd_lastLineOvershoots_barCutAndDone() {
    Fixture f;
    f.ChoosePicture(Solid(1, 100, Qt::white));
    f.ToScalePage();
    f.Convert(QStringLiteral("1"), QStringLiteral("3"));
    QCOMPARE(f.Timer1().FireUntilStopped(33), 33L);
    QCOMPARE(f.Text("lblLine"), QStringLiteral("99 of 100"));
    QCOMPARE(f.W()->ProgressBarWidth(), 3935.25f);
    QCOMPARE(f.Text("lblTime"), QStringLiteral("0 h, 0 min, 0 sek"));
    QVERIFY(!f.NextEnabled());
    QVERIFY(f.Timer1().Fire());
    QVERIFY(!f.Timer1().IsEnabled());
    QCOMPARE(f.W()->ProgressBarWidth(), 3975.0f);
    QCOMPARE(f.Text("lblTime"), QStringLiteral("0 h, 0 min, 0 sek."));
    QCOMPARE(f.State().ArtBuffer.size(), std::size_t{34 * 3});
}

void WizardTests::done_stateAndPageSix() {
    Fixture f;
    QSignalSpy finished(f.W(), &frmWizard::conversionFinished);
    f.ChoosePicture(Solid(6, 6, Qt::black));
    f.ToScalePage();
    QCOMPARE(f.Text("txtScaleHeight"), QStringLiteral("2"));
    f.Click("cmdNext");
    QCOMPARE(f.Text("lblSteg"), QStringLiteral("5."));
    QCOMPARE(f.Text("lblDesc"),
             QStringLiteral("Please wait while the program create your ASCII art..."));
    QCOMPARE(f.ShownGroups(), QStringList{"Frame9"});
    QVERIFY(!f.NextEnabled());
    QVERIFY(!f.PreviousEnabled());
    QVERIFY(f.Visible("imgNext2"));
    QVERIFY(f.Visible("imgPrevious2"));
    QCOMPARE(f.Text("Label28"), QStringLiteral("Building ASCII art..."));
    QVERIFY(f.Visible("Label22"));
    QVERIFY(f.Visible("lblLine"));

    f.Timer1().FireUntilStopped();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(f.Text("Label28"), QStringLiteral("Done! Press \"Next >\" to continue."));
    QVERIFY(!f.Visible("lblLine"));
    QVERIFY(!f.Visible("Label22"));
    QCOMPARE(f.Text("lblTime"), QStringLiteral("0 h, 0 min, 0 sek."));
    QVERIFY(f.Visible("lblProgressBar"));
    QCOMPARE(f.Get("lblProgressBar")->width(), Twips(3975));
    QVERIFY(!f.Timer1().IsEnabled());
    QVERIFY(!f.Clock().IsEnabled());
    QVERIFY(f.NextEnabled());
    QVERIFY(!f.Visible("imgNext2"));
    QVERIFY(!f.PreviousEnabled());
    QCOMPARE(f.State().ArtBuffer, std::string("999999\r999999\r999999\r"));

    f.Click("cmdPre");
    QCOMPARE(f.W()->CurrentStep(), 5);
    f.Click("cmdNext");
    QCOMPARE(f.W()->CurrentStep(), 6);
    QCOMPARE(f.Text("lblSteg"), QStringLiteral("6."));
    QCOMPARE(f.Text("lblDesc"), QStringLiteral("What do you want to do with your picture?"));
    QCOMPARE(f.ShownGroups(), QStringList{"Frame10"});
    QVERIFY(!f.NextEnabled());
    QVERIFY(!f.PreviousEnabled());
    QVERIFY(f.Visible("imgNext2"));
    QVERIFY(f.Visible("imgPrevious2"));
    QCOMPARE(
        f.Text("Label25"),
        QStringLiteral("OBS! You can not go back to here after you have clicked \"Cancel\"! "));
    f.Click("cmdNext");
    f.Click("cmdPre");
    QCOMPARE(f.W()->CurrentStep(), 6);
}

void WizardTests::pathLabel_cutAfterFortyCharacters_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("cut");
    QTest::addRow("forty_shownWhole") << 40 << false;
    QTest::addRow("fortyOne_cut") << 41 << true;
}

void WizardTests::pathLabel_cutAfterFortyCharacters() {
    QFETCH(int, length);
    QFETCH(bool, cut);
    Fixture f;
    const QString folder = f.dir.path() + QLatin1Char('/');
    const int nameLength = length - static_cast<int>(folder.size());
    if (nameLength < 5) {
        QSKIP("the temporary folder's path is too long");
    }
    const QString name = QString(nameLength - 4, QLatin1Char('p')) + QStringLiteral(".png");
    const QString path = f.Save(name, Solid(2, 2, Qt::white));
    QCOMPARE(path.size(), length);
    f.Choose(path);
    f.ToScalePage();
    f.Click("cmdNext");
    QCOMPARE(f.Text("lblDir"), cut ? path.left(40) + QStringLiteral("...") : path);
}

// ---------------------------------------------------------------------------
// Page 6

void WizardTests::pageSix_outletsGetTheArt() {
    Fixture f;
    f.ChoosePicture(Solid(2, 1, Qt::black), QStringLiteral("photo.jpg.png"));
    f.ToScalePage();
    f.Convert(QStringLiteral("1"), QStringLiteral("1"));
    f.Timer1().FireUntilStopped();
    f.Click("cmdNext");

    f.Click("cmdCopy");
    QCOMPARE(f.platform.clipboard, QStringList{QStringLiteral("99\r")});
    f.Click("cmdPrint");
    QCOMPARE(f.platform.printed.size(), 1);
    f.Click("cmdSave");
    QCOMPARE(f.platform.saveRequests.size(), std::size_t{1});
    QCOMPARE(f.platform.saveRequests[0].filter, QStringLiteral("*.rtf"));
    QCOMPARE(f.platform.saveRequests[0].proposedName, QStringLiteral("photo_jpg"));
    f.Click("cmdArt");
    QVERIFY(f.session.Viewer().Window() != nullptr);
    QVERIFY(f.session.Viewer().Window()->isVisible());
}

// ---------------------------------------------------------------------------
// Closing and restarting

void WizardTests::cancel_answeredNo_conversionGoesOn() {
    Fixture f;
    QSignalSpy closed(&f.session, &WizardSession::closed);
    f.ChoosePicture(Solid(4, 4, Qt::black));
    f.ToScalePage();
    f.Convert(QStringLiteral("1"), QStringLiteral("1"));
    f.Timer1().Fire();
    f.platform.questionAnswers.push_back(false);
    // The conversion runs on while the question is open.
    f.platform.duringQuestion = [&f] { f.Timer1().FireUntilStopped(5); };
    QPointer<frmWizard> wizard = f.W();
    f.Click("cmdCancel");
    QCOMPARE(f.platform.questions.size(), std::size_t{1});
    QCOMPARE(f.platform.questions[0].title, QStringLiteral("Exit Glimmora Wizard"));
    QCOMPARE(f.platform.questions[0].text,
             QStringLiteral("Are you sure that you want to exit the Wizard?"));
    QCOMPARE(f.platform.questions[0].defaultAnswer, glimmora::Platform::Answer::Yes);
    FlushDeletes();
    QVERIFY(wizard);
    QVERIFY(wizard->isVisible());
    QCOMPARE(closed.count(), 0);
    QCOMPARE(f.W()->CurrentStep(), 5);
    QVERIFY(f.Timer1().IsEnabled());
    QCOMPARE(f.W()->Engine()->CellRow(), 1);
    QCOMPARE(f.W()->Engine()->CellColumn(), 2);
    f.platform.duringQuestion = nullptr;
    QCOMPARE(f.Timer1().FireUntilStopped(), 10L);
    QCOMPARE(f.State().ArtBuffer, std::string("9999\r9999\r9999\r9999\r"));
}

void WizardTests::cancel_answeredYes_closesAndKeepsArt() {
    Fixture f;
    QSignalSpy closed(&f.session, &WizardSession::closed);
    f.ChoosePicture(Solid(2, 2, Qt::black));
    f.ToScalePage();
    f.Convert(QStringLiteral("1"), QStringLiteral("1"));
    f.Timer1().FireUntilStopped();
    f.Click("cmdNext");
    QPointer<frmWizard> wizard = f.W();
    f.platform.questionAnswers.push_back(true);
    f.Click("cmdCancel");
    QCOMPARE(closed.count(), 1);
    QVERIFY(!wizard->isVisible());
    FlushDeletes();
    QVERIFY(!wizard);
    QVERIFY(f.session.Wizard() == nullptr);
    QCOMPARE(f.State().ArtBuffer, std::string("99\r99\r"));
    QCOMPARE(CountWizards(), 0);

    // A new wizard starts on page 1 with its initial values.
    f.session.Open();
    QCOMPARE(f.W()->CurrentStep(), 1);
    QCOMPARE(f.Text("txtImage"), QString());
    QVERIFY(f.Get<QRadioButton>("optRtf")->isChecked());
}

void WizardTests::cancel_answeredYesDuringConversion_stopsIt() {
    Fixture f;
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    f.ChoosePicture(Solid(4, 4, Qt::black));
    f.ToScalePage();
    f.Convert(QStringLiteral("1"), QStringLiteral("1"));
    f.Timer1().FireUntilStopped(6);
    f.State().ArtBuffer = "kept";
    ManualTickSource& timer = f.Timer1();
    ManualTickSource& clock = f.Clock();
    QPointer<frmWizard> wizard = f.W();
    // The conversion goes on while the question is open; once it is
    // answered Yes, no tick runs again. The timers go with the wizard, so
    // they are looked at when it closes, before it is deleted.
    bool tickedDuringQuestion = false;
    f.platform.duringQuestion = [&] { tickedDuringQuestion = timer.Fire() && clock.Fire(); };
    bool stoppedOnClose = false;
    QObject::connect(&f.session, &WizardSession::closed,
                     [&] { stoppedOnClose = wizard && !timer.IsEnabled() && !clock.IsEnabled(); });
    f.platform.questionAnswers.push_back(true);
    InEventLoop([&f] { f.Click("cmdCancel"); });
    QVERIFY(tickedDuringQuestion);
    QVERIFY(stoppedOnClose);
    QVERIFY(!wizard); // deleted in the loop
    QCOMPARE(f.State().ArtBuffer, std::string("kept"));
    QCOMPARE(lastClosed.count(), 1);
}

void WizardTests::closeBox_asksLikeCancel() {
    Fixture f;
    QSignalSpy closed(&f.session, &WizardSession::closed);
    f.platform.questionAnswers = {false, true};
    QVERIFY(!f.W()->close());
    QCOMPARE(f.platform.questions.size(), std::size_t{1});
    QVERIFY(f.W()->isVisible());
    QPointer<frmWizard> wizard = f.W();
    QVERIFY(wizard->close());
    QCOMPARE(f.platform.questions.size(), std::size_t{2});
    QCOMPARE(closed.count(), 1);
    FlushDeletes();
    QVERIFY(!wizard);
}

void WizardTests::restart_duringConversion_freshWizardWithoutQuestion() {
    Fixture f;
    QSignalSpy closed(&f.session, &WizardSession::closed);
    // The wizard is the only window: the program must not see its last
    // window close between the old wizard and the new one.
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    f.ChoosePicture(Solid(5, 5, Qt::black));
    f.ToScalePage("Label20");
    f.Convert(QStringLiteral("1"), QStringLiteral("1"));
    f.Timer1().FireUntilStopped(7);
    QPointer<frmWizard> old = f.W();
    ManualTickSource& oldTimer = f.Timer1();
    ManualTickSource& oldClock = f.Clock();
    bool oldTimersRan = false;
    InEventLoop([&] {
        f.Click("Picture5");
        oldTimersRan = oldTimer.IsEnabled() || oldClock.IsEnabled();
        QVERIFY(old);
        QVERIFY(!old->isVisible());
    });
    QVERIFY(f.platform.questions.empty());
    QCOMPARE(closed.count(), 0);
    QCOMPARE(lastClosed.count(), 0);
    QVERIFY(!oldTimersRan);
    QVERIFY(!old); // deleted in the loop
    QVERIFY(f.W()->isVisible());
    QCOMPARE(CountWizards(), 1);

    QCOMPARE(f.W()->CurrentStep(), 1);
    QCOMPARE(f.Text("txtImage"), QString());
    QCOMPARE(f.Text("txtScaleWidth"), QString());
    QVERIFY(f.Get<QRadioButton>("optRtf")->isChecked());
    QCOMPARE(f.Text("txtColor5"), QStringLiteral(";;"));
    QVERIFY(!f.NextEnabled());
    QVERIFY(!f.Timer1().IsEnabled());
}

// ---------------------------------------------------------------------------
// Hover

void WizardTests::hover_lightsOneButtonAtATime() {
    Fixture f;
    f.ChoosePicture(Solid(4, 4, Qt::white));
    f.Click("cmdNext");
    MoveMouseOver(f.Get("cmdNext"));
    QVERIFY(f.Visible("imgNext"));
    MoveMouseOver(f.Get("cmdCancel"));
    QVERIFY(f.Visible("imgCancel"));
    QVERIFY(!f.Visible("imgNext"));
    MoveMouseOver(f.Get("cmdPre"));
    QVERIFY(f.Visible("imgPrevious"));
    QVERIFY(!f.Visible("imgCancel"));
    MoveMouseOver(f.W());
    QVERIFY(!f.Visible("imgPrevious"));
}

void WizardTests::hover_disabledButtonNeverLights() {
    Fixture f;
    MoveMouseOver(f.Get("cmdCancel"));
    QVERIFY(f.Visible("imgCancel"));
    MoveMouseOver(f.Get("cmdNext"));
    QVERIFY(!f.Visible("imgNext"));
    QVERIFY(f.Visible("imgNext2"));
    MoveMouseOver(f.Get("cmdPre"));
    QVERIFY(!f.Visible("imgPrevious"));
    QVERIFY(f.Visible("imgPrevious2"));
}

void WizardTests::hover_nextDisabledWhileLit_losesItsLight() {
    Fixture f;
    f.ChoosePicture(Solid(8, 8, Qt::white));
    f.ToScalePage();
    MoveMouseOver(f.Get("cmdNext"));
    MoveMouseOver(f.Get("txtScaleWidth")); // no handler: Next stays lit
    QVERIFY(f.Visible("imgNext"));
    f.Type("txtScaleWidth", QStringLiteral("0"));
    QVERIFY(!f.Visible("imgNext"));
    QVERIFY(f.Visible("imgNext2"));
}

void WizardTests::hover_browseButtonAndListedLabels() {
    Fixture f;
    const char* resetting[] = {"Label9",   "Label5",   "Label2",    "Label4",  "Label3",
                               "txtImage", "txtWidth", "txtHeight", "lblSteg", "lblDesc",
                               "Picture3", "Frame1",   "Frame10"};
    for (const char* control : resetting) {
        MoveMouseOver(f.Get("cmdBrowse"));
        QVERIFY(f.Visible("imgBrowse2"));
        QVERIFY(!f.Visible("imgBrowse"));
        MoveMouseOver(f.Get(control));
        QVERIFY2(!f.Visible("imgBrowse2"), control);
        QVERIFY2(f.Visible("imgBrowse"), control);
    }
}

void WizardTests::hover_controlWithoutHandler_keepsButtonLit() {
    Fixture f;
    f.ChoosePicture(Solid(4, 4, Qt::white));
    f.Click("cmdNext");
    MoveMouseOver(f.Get("cmdCancel"));
    for (const char* control : {"Frame3", "Label6", "Picture1", "Label20", "Label1"}) {
        MoveMouseOver(f.Get(control));
        QVERIFY2(f.Visible("imgCancel"), control);
    }
}

void WizardTests::hover_separatorLines_leaveTheMouseToWhatLiesBeneath() {
    // The lines are drawing: the mouse over them is over the background (or
    // Frame1), which puts a lit button back.
    Fixture f;
    for (const char* name : {"Line1", "Line2", "Line3", "Line4"}) {
        QWidget* line = f.Get(name);
        QWidget* beneath = line->parentWidget();
        const QPoint centre = line->geometry().center();
        QWidget* hit = beneath->childAt(centre);
        QVERIFY2(hit == nullptr || hit == beneath, name);
    }
}

void WizardTests::hover_pageChange_leavesNothingLit() {
    Fixture f;
    f.ChoosePicture(Solid(4, 4, Qt::white));
    MoveMouseOver(f.Get("cmdNext"));
    QVERIFY(f.Visible("imgNext"));
    f.Click("cmdNext");
    QVERIFY(!f.Visible("imgNext"));
    MoveMouseOver(f.Get("cmdNext"));
    QVERIFY(f.Visible("imgNext"));
}

// ---------------------------------------------------------------------------
// Hidden phrase

void WizardTests::egg_boxLiesBelowVisibleAreaOutOfTabOrder() {
    Fixture f;
    auto* egg = f.Get<QLineEdit>("txtEgg");
    QCOMPARE(egg->geometry(), TwipsRect(1800, 5600, 1335, 285));
    QVERIFY(egg->y() >= f.W()->height());
    QVERIFY(egg->isVisible());
    QVERIFY(egg->isEnabled());
    // Out of sight, it is no stop of Tab.
    QCOMPARE(egg->focusPolicy(), Qt::ClickFocus);
}

void WizardTests::egg_doubleClickOnExample_focusesBox() {
    Fixture f;
    f.ChoosePicture(Solid(4, 4, Qt::white));
    f.Click("cmdNext");
    QTest::mouseDClick(f.Get("Picture1"), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.W()->focusWidget(), f.Get("txtEgg"));
}

void WizardTests::egg_phrase_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("opens");
    QTest::addRow("exactPhrase_opens") << "Maribel Oskarsen Vandertol" << true;
    QTest::addRow("otherCase_staysShut") << "maribel oskarsen vandertol" << false;
    QTest::addRow("wrongFirstCharacter_staysShut") << "xMaribel Oskarsen Vandertol" << false;
    QTest::addRow("leadingBlank_staysShut") << " Maribel Oskarsen Vandertol" << false;
}

void WizardTests::egg_phrase() {
    QFETCH(QString, typed);
    QFETCH(bool, opens);
    Fixture f;
    QSignalSpy phrase(&f.session, &WizardSession::secretPhraseEntered);
    auto* egg = f.Get<QLineEdit>("txtEgg");
    QTest::keyClicks(egg, typed);
    QCOMPARE(phrase.count(), opens ? 1 : 0);
    QCOMPARE(egg->text(), opens ? QString() : typed);
    if (!opens) {
        // Emptying the box and typing the phrase afresh opens it.
        egg->clear();
        QTest::keyClicks(egg, frmWizard::kSecretPhrase);
        QCOMPARE(phrase.count(), 1);
        QCOMPARE(egg->text(), QString());
    }
}

// ---------------------------------------------------------------------------
// Pictures of every page

void WizardTests::screenshots() {
    const QString folder = qEnvironmentVariable("GLIMMORA_WIZARD_SHOTS");
    if (folder.isEmpty()) {
        QSKIP("set GLIMMORA_WIZARD_SHOTS to a folder to get pictures of every page");
    }
    Fixture f;
    const auto shot = [&](const QString& name) {
        QVERIFY(f.W()->grab().save(QDir(folder).filePath(QStringLiteral("wiz-%1.png").arg(name))));
    };
    shot(QStringLiteral("1-empty"));
    QImage photo(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x) {
            photo.setPixelColor(x, y, QColor(x * 255 / 640, y * 255 / 480, 128));
        }
    }
    f.ChoosePicture(photo, QStringLiteral("a-rather-long-file-name-for-the-path.png"));
    MoveMouseOver(f.Get("cmdNext"));
    shot(QStringLiteral("1-picture-hover-next"));
    MoveMouseOver(f.Get("cmdBrowse"));
    shot(QStringLiteral("1-hover-browse"));
    f.Click("cmdNext");
    shot(QStringLiteral("2-format"));
    const std::pair<const char*, const char*> formats[] = {{"Label23", "3-colored"},
                                                           {"Label24", "3-htmltext"},
                                                           {"Label20", "3-clean"},
                                                           {"Label21", "3-rtf"}};
    for (const auto& [label, name] : formats) {
        f.Click(label);
        f.Click("cmdNext");
        shot(QString::fromLatin1(name));
        f.Click("cmdPre");
    }
    f.Click("cmdNext");
    f.Click("cmdNext");
    shot(QStringLiteral("4-scale"));
    f.Click("cmdNext");
    f.Clock().Fire();
    f.Timer1().FireUntilStopped(640 / 4 * 20);
    shot(QStringLiteral("5-running"));
    f.Timer1().FireUntilStopped();
    shot(QStringLiteral("5-done"));
    f.Click("cmdNext");
    shot(QStringLiteral("6-result"));
}

QTEST_MAIN(WizardTests)
#include "WizardTests.moc"
