// Every caption of every window fits its box and is drawn crisp. The suite
// runs once for each desktop scale (QT_SCALE_FACTOR 1, 1.25, 1.5 and 2).
#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>

#include "output/ArtViewer.h"
#include "output/Form3.h"
#include "platform/WindowLook.h"
#include "shell/Form1.h"
#include "shell/frmAbout.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TestPictures.h"
#include "wizard/frmWizard.h"

using glimmora::frmWizard;
using glimmora::testing::ManualTickSource;
using glimmora::testing::ScriptedPlatform;

namespace {

void Click(QWidget* window, const char* name) {
    auto* area = window->findChild<QWidget*>(QString::fromLatin1(name));
    QVERIFY(area != nullptr);
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(2, 2));
}

// What of window's captions is cut off or blurred: one line per fault.
QStringList CaptionFaults(const QWidget& window) {
    QStringList faults;
    const bool scaled = !qFuzzyCompare(qApp->devicePixelRatio(), 1.0);
    const auto check = [&](const QWidget& control, const QString& text, int room) {
        const QFontMetricsF metrics(control.font());
        const QString where = window.objectName() + QLatin1Char('/') + control.objectName();
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            if (metrics.horizontalAdvance(line) > room + 0.5) {
                faults << QStringLiteral("%1 \"%2\" is %3 wide in %4")
                              .arg(where, line)
                              .arg(metrics.horizontalAdvance(line))
                              .arg(room);
            }
        }
        if (scaled && glimmora::IsBitmapFace(control.font())) {
            faults << where + QStringLiteral(" in a bitmap face on a scaled screen");
        }
    };
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->pixmap().isNull()) {
            continue;
        }
        if (label->wordWrap()) {
            const QRect box = label->contentsRect();
            const QRectF needed = QFontMetricsF(label->font())
                                      .boundingRect(QRectF(box), Qt::TextWordWrap, label->text());
            if (needed.height() > box.height() + 0.5) {
                faults << label->objectName() + QStringLiteral(" wraps past its box");
            }
            continue;
        }
        check(*label, label->text(), label->contentsRect().width());
    }
    for (const QRadioButton* button : window.findChildren<QRadioButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const int mark =
            button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, button);
        if (!button->text().isEmpty()) {
            check(*button, button->text(), button->width() - mark);
        } else if (button->width() < mark || button->height() < mark) {
            // The round mark alone: cut at the right and bottom.
            faults << window.objectName() + QLatin1Char('/') + button->objectName() +
                          QStringLiteral(" cuts its %1-pixel mark").arg(mark);
        }
    }
    return faults;
}

} // namespace

class ScaleTests : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { glimmora::RegisterLayoutFonts(); }

    void everyWindow_captionsFitTheirBoxes() {
        ScriptedPlatform platform;
        glimmora::Form1 start(platform, [] {});
        start.show();
        glimmora::frmAbout about;
        QStringList faults = CaptionFaults(start) + CaptionFaults(about);

        QTemporaryDir dir;
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkGray);
        start.OpenWithPicture(glimmora::testing::SavePng(dir, QStringLiteral("p.png"), image));
        frmWizard* wizard = start.Session().Wizard();
        QVERIFY(wizard != nullptr);
        // Each page as it is shown, with the texts it sets on entry.
        for (int page = 1; page <= 6; ++page) {
            faults += CaptionFaults(*wizard);
            if (page == 4) {
                wizard->findChild<QLineEdit*>(QStringLiteral("txtScaleWidth"))->setText("1");
                wizard->findChild<QLineEdit*>(QStringLiteral("txtScaleHeight"))->setText("1");
            }
            if (page == 5) {
                QVERIFY(static_cast<ManualTickSource&>(wizard->Timer1()).FireUntilStopped() > 0);
                faults += CaptionFaults(*wizard);
            }
            Click(wizard, "cmdNext");
        }
        QCOMPARE(wizard->CurrentStep(), 6);
        Click(wizard, "cmdArt");
        glimmora::Form3* viewer = start.Session().Viewer().Window();
        QVERIFY(viewer != nullptr);
        faults += CaptionFaults(*viewer);
        faults.removeDuplicates();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        viewer->close();
    }

    // The artwork at twice the size on a scaled desktop; the icon and the examples of signs exist at one size only.
    void artwork_byDevicePixelRatio() {
        ScriptedPlatform platform;
        glimmora::Form1 start(platform, [] {});
        start.cmdCreate_Click();
        frmWizard* wizard = start.Session().Wizard();
        const double twice = qApp->devicePixelRatio() > 1.0 ? 2.0 : 1.0;
        const std::pair<const char*, double> pictures[] = {
            {"Picture3", twice},  {"Picture5", twice},    {"imgPrevious2", twice},
            {"imgNext2", twice},  {"imgPrevious", twice}, {"imgNext", twice},
            {"imgCancel", twice}, {"imgBrowse", twice},   {"imgBrowse2", twice},
            {"picTip", twice},    {"Image1", twice},      {"Picture4", 1.0},
            {"Picture1", 1.0},    {"Picture2", 1.0}};
        for (const auto& [name, ratio] : pictures) {
            const auto* label = wizard->findChild<QLabel*>(QString::fromLatin1(name));
            QVERIFY2(label != nullptr && !label->pixmap().isNull(), name);
            QVERIFY2(qFuzzyCompare(label->pixmap().devicePixelRatio(), ratio), name);
        }
    }
};

QTEST_MAIN(ScaleTests)
#include "ScaleTests.moc"
