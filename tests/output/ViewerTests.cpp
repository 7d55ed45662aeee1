// The viewer on a screen smaller than its own size, and its zoom.
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "output/ArtTextView.h"
#include "output/ArtViewer.h"
#include "output/Form3.h"
#include "platform/Twips.h"

using glimmora::ArtTextView;
using glimmora::ArtViewer;
using glimmora::Form3;

class ViewerTests : public QObject {
    Q_OBJECT
private slots:
    void openingGeometry_data() {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("expected");
        const int w = glimmora::Twips(13590);
        const int h = glimmora::Twips(10860);
        QTest::addRow("large: own size, centred")
            << QRect(0, 0, 1920, 1200) << QRect((1920 - w) / 2, 30 + (1170 - h) / 2, w, h);
        QTest::addRow("second screen, panel on top")
            << QRect(1920, 32, 1920, 1048)
            << QRect(1920 + (1920 - w) / 2, 62 + (1018 - h) / 2, w, h);
        QTest::addRow("scale 2 on 1200 rows: title bar above")
            << QRect(0, 0, 960, 600) << QRect(27, 30, 906, 570);
        QTest::addRow("both smaller") << QRect(0, 0, 900, 600) << QRect(0, 30, 900, 570);
        QTest::addRow("1080p at 1.5, panel at the bottom")
            << QRect(0, 0, 1280, 690) << QRect((1280 - w) / 2, 30, w, 660);
        QTest::addRow("narrow") << QRect(0, 0, 640, 900) << QRect(0, 30 + (870 - h) / 2, 640, h);
    }
    void openingGeometry() {
        QFETCH(QRect, available);
        QFETCH(QRect, expected);
        QCOMPARE(Form3::OpeningGeometry(available, QMargins(0, 30, 0, 0)), expected);
    }

    // Qt's offscreen screen (800 x 800) is narrower than the viewer.
    void viewer_opensWithinTheScreen() {
        ArtViewer viewer;
        viewer.Show(QStringLiteral("art\r"));
        const QRect available = QApplication::primaryScreen()->availableGeometry();
        QVERIFY(available.width() < glimmora::Twips(13590));
        QVERIFY(available.contains(viewer.Window()->frameGeometry()));
        // The size box stays in its strip along the bottom edge.
        auto* box = viewer.Window()->findChild<QLineEdit*>(QStringLiteral("txtSize"));
        QCOMPARE(box->geometry(),
                 glimmora::TwipsRect(645, 10515, 615, 285)
                     .translated(0, viewer.Window()->height() - glimmora::Twips(10860)));
    }

    void zoom_data() {
        QTest::addColumn<QList<QKeySequence>>("keys");
        QTest::addColumn<int>("wheelNotches"); // with Ctrl, after the keys
        QTest::addColumn<double>("zoom");
        using Keys = QList<QKeySequence>;
        const QKeySequence in(QKeySequence::ZoomIn);
        const QKeySequence out(QKeySequence::ZoomOut);
        const QKeySequence reset(Qt::CTRL | Qt::Key_0);
        QTest::addRow("none") << Keys{} << 0 << 1.0;
        QTest::addRow("in") << Keys{in} << 0 << 1.25;
        QTest::addRow("ctrl =") << Keys{QKeySequence(Qt::CTRL | Qt::Key_Equal)} << 0 << 1.25;
        QTest::addRow("in in") << Keys{in, in} << 0 << 1.5625;
        QTest::addRow("out") << Keys{out} << 0 << 0.8;
        QTest::addRow("in out back to 1") << Keys{in, in, out, out} << 0 << 1.0;
        QTest::addRow("reset") << Keys{in, in, in, reset} << 0 << 1.0;
        QTest::addRow("smallest") << Keys(20, out) << 0 << 0.125;
        QTest::addRow("largest") << Keys(20, in) << 0 << 16.0;
        QTest::addRow("wheel up") << Keys{} << 1 << 1.25;
        QTest::addRow("wheel down twice") << Keys{} << -2 << 0.64;
        QTest::addRow("reset then wheel") << Keys{in, reset} << 1 << 1.25;
    }
    void zoom() {
        QFETCH(QList<QKeySequence>, keys);
        QFETCH(int, wheelNotches);
        QFETCH(double, zoom);
        ArtViewer viewer;
        const QString art = QStringLiteral("@@##\r..::\r");
        viewer.Show(art);
        Form3* form = viewer.Window();
        QVERIFY(QTest::qWaitForWindowActive(form));
        auto* text = form->findChild<ArtTextView*>(QStringLiteral("txtText"));
        auto* box = form->findChild<QLineEdit*>(QStringLiteral("txtSize"));
        text->setFocus();
        for (const QKeySequence& key : keys) {
            QTest::keySequence(form, key);
        }
        if (wheelNotches != 0) {
            const QPointF at(5, 5);
            QWheelEvent wheel(at, text->viewport()->mapToGlobal(at), QPoint(),
                              QPoint(0, 120 * wheelNotches), Qt::NoButton, Qt::ControlModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(text->viewport(), &wheel);
        }
        QVERIFY(qAbs(form->Zoom() - zoom) < 1e-9);
        QVERIFY(qAbs(form->TextPointSize() - 5.25 * zoom) < 1e-6);
        // The view only: the size box and the art stay as they were.
        QCOMPARE(box->text(), QStringLiteral("5"));
        QCOMPARE(text->toPlainText(), QStringLiteral("@@##\n..::\n"));
        // A new size in the box is shown zoomed as well.
        box->setText(QStringLiteral("10"));
        QVERIFY(qAbs(form->TextPointSize() - 10 * zoom) < 1e-6);
    }

    void wheelWithoutCtrl_scrollsAndLeavesZoom() {
        ArtViewer viewer;
        viewer.Show(QString(QStringLiteral("art\r")).repeated(2000));
        Form3* form = viewer.Window();
        auto* text = form->findChild<ArtTextView*>(QStringLiteral("txtText"));
        const QPointF at(5, 5);
        QWheelEvent wheel(at, text->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(text->viewport(), &wheel);
        QCOMPARE(form->Zoom(), 1.0);
        QVERIFY(text->verticalScrollBar()->value() > 0);
    }
};

QTEST_MAIN(ViewerTests)
#include "ViewerTests.moc"
