#include "Form3.h"

#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <optional>

#include "ArtTextView.h"
#include "assets/Assets.h"
#include "platform/Twips.h"
#include "platform/WindowLook.h"

namespace glimmora {

namespace {

// The window's client area and the text view's share of it, in twips. The
// view fills the window above a strip that holds the size box.
constexpr int kClientWidth = 13590;
constexpr int kClientHeight = 10860;
constexpr int kTextWidth = 13575;
constexpr int kTextHeight = 10455;
constexpr double kInitialPointSize = 5.25;
// The zoom goes in steps of a quarter between an eighth and 16 times.
constexpr double kZoomStep = 1.25;
constexpr double kSmallestZoom = 0.125;
constexpr double kLargestZoom = 16.0;

// A size the text can be shown at, or nothing for an entry that is not one.
std::optional<double> UsablePointSize(const QString& entry) {
    const QString text = entry.trimmed();
    bool ok = false;
    double points = QLocale::c().toDouble(text, &ok);
    if (!ok) {
        points = QLocale().toDouble(text, &ok);
    }
    if (!ok || !std::isfinite(points) || points <= 0.0 || points > Form3::kLargestPointSize) {
        return std::nullopt;
    }
    return points;
}

// The viewer's own colours, whatever the desktop's theme: black art on
// white in a light grey window, selected text white on dark blue.
QPalette ViewerPalette() {
    // Every role set, so nothing of the desktop's theme shows through.
    QPalette colours = FixedPalette();
    const QColor black(0x00, 0x00, 0x00);
    const QColor white(0xFF, 0xFF, 0xFF);
    const QColor grey(0xE0, 0xE0, 0xE0);
    const QColor highlight(0x00, 0x00, 0x80);
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Window, grey);
        colours.setColor(group, QPalette::Button, grey);
        colours.setColor(group, QPalette::WindowText, black);
        colours.setColor(group, QPalette::ButtonText, black);
        colours.setColor(group, QPalette::Base, white);
        colours.setColor(group, QPalette::Text, black);
        colours.setColor(group, QPalette::Highlight, highlight);
        colours.setColor(group, QPalette::HighlightedText, white);
    }
    return colours;
}

} // namespace

Form3::Form3(QWidget* parent)
    : QWidget(parent, Qt::Window), txtText(new ArtTextView(this)), Label1(new QLabel(this)),
      txtSize(new QLineEdit(this)), boxPoints_(kInitialPointSize) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Glimmora - Ascii Art"));
    setWindowIcon(ProgramIcon());
    setPalette(ViewerPalette());
    setAutoFillBackground(true);
    setFont(LayoutFace(QStringLiteral("MS Sans Serif"), 8.25));

    txtText->setObjectName(QStringLiteral("txtText"));
    txtText->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtText->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont artFont(QStringLiteral("Arial"));
    artFont.setWeight(QFont::Normal);
    artFont.setStyle(QFont::StyleNormal);
    artFont.setPointSizeF(kInitialPointSize);
    txtText->setFont(artFont);

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setText(QStringLiteral("Size:"));

    txtSize->setObjectName(QStringLiteral("txtSize"));
    txtSize->setText(QStringLiteral("5"));
    txtSize->setAccessibleName(QStringLiteral("Size"));
    // Created last, so the box lies above the label's right end.
    connect(txtSize, &QLineEdit::textChanged, this, &Form3::txtSize_Change);

    // Zoom keys anywhere in the window, Ctrl with the wheel over the art.
    const auto zoomKey = [this](const QKeySequence& keys, auto change) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, change);
    };
    zoomKey(QKeySequence::ZoomIn, [this] { SetZoom(zoom_ * kZoomStep); });
    zoomKey(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { SetZoom(zoom_ * kZoomStep); });
    zoomKey(QKeySequence::ZoomOut, [this] { SetZoom(zoom_ / kZoomStep); });
    zoomKey(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { SetZoom(1.0); });
    txtText->viewport()->installEventFilter(this);

    // Until the window system tells, a frame as most desktops draw it.
    const int border = 4;
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(OpeningGeometry(screen->availableGeometry(),
                                    QMargins(border, title + border, border, border)));
    } else {
        resize(Twips(kClientWidth), Twips(kClientHeight));
    }
    PlaceControls();
}

QRect Form3::OpeningGeometry(const QRect& available, const QMargins& frame) {
    const QRect room = available.marginsRemoved(frame);
    const QSize design(Twips(kClientWidth), Twips(kClientHeight));
    QRect place(QPoint(0, 0), design.boundedTo(room.size()).expandedTo(QSize(1, 1)));
    place.moveCenter(room.center());
    return place;
}

void Form3::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) {
        return;
    }
    placed_ = true;
    // The first showing tells the real frame, where the window system
    // knows it already.
    const QMargins frame(x() - frameGeometry().x(), y() - frameGeometry().y(),
                         frameGeometry().right() - geometry().right(),
                         frameGeometry().bottom() - geometry().bottom());
    const QScreen* screen = this->screen();
    if (screen != nullptr && !frame.isNull() &&
        !screen->availableGeometry().contains(frameGeometry())) {
        setGeometry(OpeningGeometry(screen->availableGeometry(), frame));
    }
}

void Form3::SetZoom(double zoom) {
    zoom = std::clamp(zoom, kSmallestZoom, kLargestZoom);
    // Steps from 1 land on 1 again, whatever rounding gathered.
    if (std::abs(zoom - 1.0) < 1e-9) {
        zoom = 1.0;
    }
    if (zoom == zoom_) {
        return;
    }
    // The middle of the view stays in the middle.
    QScrollBar* across = txtText->horizontalScrollBar();
    QScrollBar* down = txtText->verticalScrollBar();
    const QSize view = txtText->viewport()->size();
    // The middle of the view as a share of the whole art.
    const auto share = [](const QScrollBar* bar, int viewLength) {
        const double whole = bar->maximum() + bar->pageStep();
        return whole > 0 ? (bar->value() + viewLength / 2.0) / whole : 0.0;
    };
    const double shareAcross = share(across, view.width());
    const double shareDown = share(down, view.height());
    zoom_ = zoom;
    ApplyShownSize();
    const auto restore = [](QScrollBar* bar, double middle, int viewLength) {
        const double whole = bar->maximum() + bar->pageStep();
        bar->setValue(static_cast<int>(std::lround(middle * whole - viewLength / 2.0)));
    };
    restore(across, shareAcross, view.width());
    restore(down, shareDown, view.height());
}

void Form3::ApplyShownSize() {
    QFont artFont = txtText->font();
    artFont.setPointSizeF(boxPoints_ * zoom_);
    txtText->setFont(artFont);
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtText->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            // One notch is 120; a touchpad sends smaller parts of one.
            const double notches = wheel->angleDelta().y() / 120.0;
            if (notches != 0.0) {
                SetZoom(zoom_ * std::pow(kZoomStep, notches));
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form3::SetArtText(const QString& artText) {
    txtText->SetText(artText);
}

double Form3::TextPointSize() const {
    return txtText->font().pointSizeF();
}

void Form3::txtSize_Change() {
    const std::optional<double> points = UsablePointSize(txtSize->text());
    if (!points) {
        return;
    }
    // The text has no font of its own: one change resizes all of it.
    boxPoints_ = *points;
    ApplyShownSize();
}

void Form3::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

void Form3::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceControls();
}

void Form3::PlaceControls() {
    // At the window's own size the controls sit where they were drawn; a
    // larger or smaller window stretches the view and keeps the size box in
    // the strip along the bottom edge.
    const int extraWidth = width() - Twips(kClientWidth);
    const int extraHeight = height() - Twips(kClientHeight);
    const QRect text = TwipsRect(0, 0, kTextWidth, kTextHeight);
    txtText->setGeometry(text.adjusted(0, 0, extraWidth, extraHeight));
    Label1->setGeometry(TwipsRect(180, 10560, 615, 255).translated(0, extraHeight));
    txtSize->setGeometry(TwipsRect(645, 10515, 615, 285).translated(0, extraHeight));
}

} // namespace glimmora
