#include "WizardWidgets.h"

#include <QPainter>

namespace glimmora {

namespace {

// True when asking for bold changes nothing: the family has no bold face
// and the font engine does not make one up.
bool NeedsOverstrike(const QFont& font) {
    if (!font.bold()) {
        return false;
    }
    QFont regular = font;
    regular.setBold(false);
    static const QString kSample = QStringLiteral("Wide Mmmw bold 0123");
    return QFontMetrics(font).horizontalAdvance(kSample) ==
           QFontMetrics(regular).horizontalAdvance(kSample);
}

} // namespace

namespace {

QFont OverstrikeFont(const QFont& font) {
    QFont regular = font;
    regular.setBold(false);
    regular.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    return regular;
}

} // namespace

int LayoutTextWidth(const QString& text, const QFont& font) {
    if (!NeedsOverstrike(font)) {
        return QFontMetrics(font).horizontalAdvance(text);
    }
    return QFontMetrics(OverstrikeFont(font)).horizontalAdvance(text) + 1;
}

void DrawLayoutText(QPainter& painter, const QRect& rect, int flags, const QString& text,
                    const QFont& font) {
    if (!NeedsOverstrike(font)) {
        painter.setFont(font);
        painter.drawText(rect, flags, text);
        return;
    }
    painter.setFont(OverstrikeFont(font));
    painter.drawText(rect, flags, text);
    painter.drawText(rect.translated(1, 0), flags, text);
}

void LayoutLabel::paintEvent(QPaintEvent* event) {
    if (!NeedsOverstrike(font()) || !pixmap().isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    if (autoFillBackground()) {
        painter.fillRect(rect(), palette().color(backgroundRole()));
    }
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    const int flags = static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
    DrawLayoutText(painter, contentsRect(), flags, text(), font());
}

WizardFrame::WizardFrame(const QString& name, const QString& caption, bool bordered,
                         QWidget* parent)
    : QWidget(parent), caption_(caption), bordered_(bordered) {
    setObjectName(name);
    setAutoFillBackground(true);
}

void WizardFrame::paintEvent(QPaintEvent*) {
    if (!bordered_) {
        return;
    }
    QPainter painter(this);
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    // The border runs through the middle of the caption's line.
    const int top = caption_.isEmpty() ? 0 : metrics.height() / 2;
    const int w = width();
    const int h = height() - top;
    // Etched: a shadow rectangle with a white one one pixel down and right.
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(0, top, w - 2, h - 2);
    painter.setPen(Qt::white);
    painter.drawRect(1, top + 1, w - 2, h - 2);
    if (caption_.isEmpty()) {
        return;
    }
    const QRect captionRect(6, 0, LayoutTextWidth(caption_, bold) + 4, metrics.height());
    painter.fillRect(captionRect, palette().window());
    painter.setPen(palette().windowText().color());
    DrawLayoutText(painter, captionRect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   caption_, bold);
}

ColourShape::ColourShape(const QString& name, QColor border, QWidget* parent)
    : QWidget(parent), border_(border) {
    setObjectName(name);
}

void ColourShape::SetFill(QColor fill) {
    fill_ = fill;
    update();
}

void ColourShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (fill_.isValid()) {
        painter.fillRect(rect(), fill_);
    }
    painter.setPen(border_);
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

ThumbnailBox::ThumbnailBox(const QString& name, QPixmap placeholder, QWidget* parent)
    : QWidget(parent), placeholder_(std::move(placeholder)) {
    setObjectName(name);
}

void ThumbnailBox::DrawPicture(const QImage& picture, QSize insideSize) {
    if (picture.isNull() || insideSize.isEmpty()) {
        drawing_ = QPixmap();
    } else {
        // Drawn at the screen's device pixels.
        const double ratio = devicePixelRatioF();
        drawing_ =
            QPixmap::fromImage(picture.scaled((QSizeF(insideSize) * ratio).toSize(),
                                              Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        drawing_.setDevicePixelRatio(ratio);
    }
    update();
}

void ThumbnailBox::ClearDrawing() {
    drawing_ = QPixmap();
    update();
}

void ThumbnailBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    painter.setClipRect(inside);
    if (!drawing_.isNull()) {
        painter.drawPixmap(inside.topLeft(), drawing_);
    } else if (!placeholder_.isNull()) {
        painter.drawPixmap(inside.topLeft(), placeholder_);
    }
    painter.setClipping(false);
    // The flat border, in the window-frame colour.
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

} // namespace glimmora
