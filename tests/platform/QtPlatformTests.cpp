#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "platform/Platform.h"

using namespace glimmora;

Q_DECLARE_METATYPE(Platform::Answer)

namespace {

// Runs `look` on the modal message box once it is open (the call that opens
// it does not return before it is answered), then lets `answer` close it.
void WhenBoxOpens(const std::function<void(QMessageBox&)>& look,
                  const std::function<void(QMessageBox&)>& answer) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, look, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            return;
        }
        poll->deleteLater();
        poll->stop();
        look(*box);
        answer(*box);
    });
    poll->start(5);
}

struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

Box Look(QMessageBox& box) {
    QPushButton* defaultButton = box.defaultButton();
    return {box.windowTitle(), box.text(), box.icon(), box.standardButtons(),
            defaultButton ? box.standardButton(defaultButton) : QMessageBox::NoButton};
}

// Counts ticks; the handler may do more.
struct Ticks {
    std::unique_ptr<TickSource> source = QtPlatform().CreateTickSource();
    int count = 0;
    std::function<void()> also;

    explicit Ticks(int interval) {
        source->SetInterval(interval);
        source->SetHandler([this] {
            ++count;
            if (also) {
                also();
            }
        });
    }
};

} // namespace

class QtPlatformTests : public QObject {
    Q_OBJECT

private slots:
    // --- Face list ------------------------------------------------------------

    // The face list shows each family once, by the name other programs know.
    void distinctNames_data() {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("plain") << QStringList{"Tahoma", "Arial"} << QStringList{"Tahoma", "Arial"};
        QTest::addRow("twoFoundries") << QStringList{"Arial", "C059 [UKWN]", "C059 [URW]", "Tahoma"}
                                      << QStringList{"Arial", "C059", "Tahoma"};
        QTest::addRow("plainAfterFoundry")
            << QStringList{"Nimbus [URW]", "Nimbus"} << QStringList{"Nimbus"};
        QTest::addRow("bracketInsideName")
            << QStringList{"Odd [x] Sans"} << QStringList{"Odd [x] Sans"};
    }
    void distinctNames() {
        QFETCH(QStringList, families);
        QFETCH(QStringList, expected);
        QCOMPARE(DistinctFamilyNames(families), expected);
    }

    // --- Message boxes --------------------------------------------------------

    // The question as the windows ask it, through Platform (whose default
    // answer the callers get): Return takes the default.
    void askYesNo_data() {
        QTest::addColumn<bool>("defaultGiven");
        QTest::addColumn<Platform::Answer>("defaultAnswer");
        QTest::addColumn<bool>("pressReturn"); // else click the other button
        QTest::addColumn<bool>("expected");
        QTest::addRow("defaultLeftOut_returnIsYes")
            << false << Platform::Answer::Yes << true << true;
        QTest::addRow("defaultNo_returnIsNo") << true << Platform::Answer::No << true << false;
        QTest::addRow("defaultNo_clickYes") << true << Platform::Answer::No << false << true;
        QTest::addRow("defaultYes_clickNo") << true << Platform::Answer::Yes << false << false;
    }
    void askYesNo() {
        QFETCH(bool, defaultGiven);
        QFETCH(Platform::Answer, defaultAnswer);
        QFETCH(bool, pressReturn);
        QFETCH(bool, expected);
        QtPlatform qtPlatform;
        Platform& platform = qtPlatform;
        Box seen;
        WhenBoxOpens([&seen](QMessageBox& box) { seen = Look(box); },
                     [pressReturn, defaultAnswer](QMessageBox& box) {
                         if (pressReturn) {
                             QTest::keyClick(&box, Qt::Key_Return);
                         } else {
                             box.button(defaultAnswer == Platform::Answer::Yes ? QMessageBox::No
                                                                               : QMessageBox::Yes)
                                 ->click();
                         }
                     });
        const QString title = QStringLiteral("Exit Glimmora Wizard");
        const QString text = QStringLiteral("Are you sure that you want to exit the Wizard?");
        const bool answer = defaultGiven ? platform.AskYesNo(nullptr, title, text, defaultAnswer)
                                         : platform.AskYesNo(nullptr, title, text);
        QCOMPARE(answer, expected);
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.text, text);
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(seen.defaultButton,
                 defaultAnswer == Platform::Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    }

    void showCritical_titleTextIconAndOk() {
        QtPlatform platform;
        Box seen;
        WhenBoxOpens([&seen](QMessageBox& box) { seen = Look(box); },
                     [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
        platform.ShowCritical(nullptr, QStringLiteral("Save"), QStringLiteral("The disk is full."));
        QCOMPARE(seen.title, QStringLiteral("Save"));
        QCOMPARE(seen.text, QStringLiteral("The disk is full."));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttons, QMessageBox::Ok);
    }

    // --- Tick source ----------------------------------------------------------

    // Once disabled, from inside a tick or from the event loop between two,
    // no tick runs again: a tick after the finish would take the finished
    // art once more and leave it empty. 1 ms runs in slices of back-to-back
    // ticks.
    void tickSource_disabled_noTickAfter_data() {
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("insideTick");
        QTest::addRow("sliced_insideTick") << 1 << true;
        QTest::addRow("sliced_fromEventLoop") << 1 << false;
        QTest::addRow("timed_insideTick") << 2 << true;
        QTest::addRow("timed_fromEventLoop") << 2 << false;
    }
    void tickSource_disabled_noTickAfter() {
        QFETCH(int, interval);
        QFETCH(bool, insideTick);
        Ticks ticks(interval);
        int countWhenDisabled = -1;
        const auto disable = [&ticks, &countWhenDisabled] {
            ticks.source->SetEnabled(false);
            countWhenDisabled = ticks.count;
        };
        if (insideTick) {
            ticks.also = [&ticks, &disable] {
                if (ticks.count == 5) {
                    disable();
                }
            };
        } else {
            ticks.also = [&ticks, &disable] {
                if (ticks.count == 5) {
                    QTimer::singleShot(0, disable);
                }
            };
        }
        ticks.source->SetEnabled(true);
        QTRY_VERIFY(countWhenDisabled >= 5);
        QVERIFY(!ticks.source->IsEnabled());
        QTest::qWait(3 * interval + 30);
        QCOMPARE(ticks.count, countWhenDisabled);
    }

    // Back-to-back ticks return to the event loop now and then (the window
    // repaints and takes Cancel) and go on ticking after it.
    void tickSource_sliced_givesWayToEventLoop() {
        Ticks ticks(1);
        int countWhenLoopRan = -1;
        ticks.also = [&ticks, &countWhenLoopRan] {
            if (ticks.count == 1) {
                QTimer::singleShot(0,
                                   [&ticks, &countWhenLoopRan] { countWhenLoopRan = ticks.count; });
            }
        };
        ticks.source->SetEnabled(true);
        QTRY_VERIFY(countWhenLoopRan >= 1);
        QTRY_VERIFY(ticks.count > countWhenLoopRan);
        ticks.source->SetEnabled(false);
    }
};

QTEST_MAIN(QtPlatformTests)
#include "QtPlatformTests.moc"
