#include "ArtTextView.h"

#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>

namespace glimmora {

namespace {

// Blank room around the text, in pixels, as a rich-text view leaves it.
constexpr int kMargin = 4;
// Pixels one click of the horizontal scroll bar's arrows moves.
constexpr int kColumnStep = 20;

int ClampToInt(double value) {
    return static_cast<int>(std::clamp(value, 0.0, static_cast<double>(INT_MAX)));
}

} // namespace

ArtTextView::ArtTextView(QWidget* parent) : QAbstractScrollArea(parent) {
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    paintFont_ = font();
    Measure();
}

void ArtTextView::SetText(QString text) {
    text_ = std::move(text);
    lines_.clear();
    const QChar* const chars = text_.constData();
    const qsizetype size = text_.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = chars[i].unicode();
        if (c != u'\r' && c != u'\n') {
            continue;
        }
        lines_.push_back(Line{start, i - start});
        if (c == u'\r' && i + 1 < size && chars[i + 1] == u'\n') {
            ++i;
        }
        start = i + 1;
    }
    lines_.push_back(Line{start, size - start});
    anchor_ = 0;
    cursor_ = 0;
    Measure();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

QString ArtTextView::toPlainText() const {
    QString plain;
    plain.reserve(text_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i != 0) {
            plain += QLatin1Char('\n');
        }
        plain += QStringView(text_).mid(lines_[i].start, lines_[i].length);
    }
    return plain;
}

QString ArtTextView::SelectedText() const {
    QString selected = text_.mid(std::min(anchor_, cursor_), std::abs(cursor_ - anchor_));
    selected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    selected.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return selected;
}

void ArtTextView::SelectAll() {
    anchor_ = 0;
    cursor_ = text_.size();
    viewport()->update();
}

double ArtTextView::OtherAdvance(char16_t code) const {
    const auto found = otherAdvance_.constFind(code);
    if (found != otherAdvance_.constEnd()) {
        return *found;
    }
    const double advance = QFontMetricsF(paintFont_).horizontalAdvance(QChar(code));
    otherAdvance_.insert(code, advance);
    return advance;
}

void ArtTextView::Measure() {
    // Each glyph is placed by its own advance: no kerning, so a line drawn
    // from its middle lands where the whole line would put it.
    paintFont_ = font();
    paintFont_.setKerning(false);
    const QFontMetricsF metrics(paintFont_);
    for (std::size_t c = 0; c < asciiAdvance_.size(); ++c) {
        asciiAdvance_[c] = metrics.horizontalAdvance(QChar(static_cast<char16_t>(c)));
    }
    otherAdvance_.clear();
    lineHeight_ = std::max(1, static_cast<int>(std::ceil(metrics.lineSpacing())));
    ascent_ = static_cast<int>(std::ceil(metrics.ascent()));
    widest_ = 0.0;
    const QChar* const chars = text_.constData();
    for (const Line& line : lines_) {
        // Four sums side by side: one sum waits for each addition before
        // the next, and large art has tens of millions of characters.
        std::array<double, 4> widths{};
        const qsizetype end = line.start + line.length;
        qsizetype i = line.start;
        for (; i + 4 <= end; i += 4) {
            widths[0] += Advance(chars[i]);
            widths[1] += Advance(chars[i + 1]);
            widths[2] += Advance(chars[i + 2]);
            widths[3] += Advance(chars[i + 3]);
        }
        for (; i < end; ++i) {
            widths[0] += Advance(chars[i]);
        }
        widest_ = std::max(widest_, (widths[0] + widths[1]) + (widths[2] + widths[3]));
    }
    UpdateScrollBars();
}

void ArtTextView::UpdateScrollBars() {
    const QSize view = viewport()->size();
    const double height = static_cast<double>(lines_.size()) * lineHeight_ + 2 * kMargin;
    verticalScrollBar()->setRange(0, ClampToInt(height - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(lineHeight_);
    horizontalScrollBar()->setRange(0, ClampToInt(std::ceil(widest_) + 2 * kMargin - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(kColumnStep);
}

void ArtTextView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setFont(paintFont_);
    const QPalette& colours = palette();
    const QRect area = event->rect();
    const int left = horizontalScrollBar()->value();
    const int top = verticalScrollBar()->value();
    const qsizetype count = LineCount();
    const auto first =
        std::clamp<qsizetype>((top + area.top() - kMargin) / lineHeight_, 0, count - 1);
    const auto last =
        std::clamp<qsizetype>((top + area.bottom() - kMargin) / lineHeight_, 0, count - 1);
    const double viewLeft = left + area.left() - kMargin;
    const double viewRight = left + area.right() + 1 - kMargin;
    const qsizetype selectionStart = std::min(anchor_, cursor_);
    const qsizetype selectionEnd = std::max(anchor_, cursor_);
    const QChar* const chars = text_.constData();

    for (qsizetype i = first; i <= last; ++i) {
        const Line& line = lines_[static_cast<std::size_t>(i)];
        // The visible stretch of the line: from the first character that
        // reaches into the view to the first that starts beyond it.
        double x = 0.0;
        qsizetype from = line.start;
        const qsizetype end = line.start + line.length;
        while (from < end && x + Advance(chars[from]) <= viewLeft) {
            x += Advance(chars[from]);
            ++from;
        }
        double toX = x;
        qsizetype to = from;
        while (to < end && toX < viewRight) {
            toX += Advance(chars[to]);
            ++to;
        }
        if (to == from) {
            continue;
        }
        const QString stretch = text_.mid(from, to - from);
        const double lineTop = kMargin + static_cast<double>(i) * lineHeight_ - top;
        const QPointF origin(kMargin + x - left, lineTop + ascent_);
        painter.setPen(colours.color(QPalette::Text));
        const qsizetype selectedFrom = std::max(selectionStart, from);
        const qsizetype selectedTo = std::min(selectionEnd, to);
        if (selectedFrom >= selectedTo) {
            painter.drawText(origin, stretch);
            continue;
        }
        double selectedLeft = x;
        for (qsizetype c = from; c < selectedFrom; ++c) {
            selectedLeft += Advance(chars[c]);
        }
        double selectedRight = selectedLeft;
        for (qsizetype c = selectedFrom; c < selectedTo; ++c) {
            selectedRight += Advance(chars[c]);
        }
        const QRectF selected(kMargin + selectedLeft - left, lineTop, selectedRight - selectedLeft,
                              lineHeight_);
        painter.fillRect(selected, colours.color(QPalette::Highlight));
        painter.drawText(origin, stretch);
        painter.save();
        painter.setClipRect(selected);
        painter.setPen(colours.color(QPalette::HighlightedText));
        painter.drawText(origin, stretch);
        painter.restore();
    }
}

void ArtTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void ArtTextView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        Measure();
        viewport()->update();
    }
}

void ArtTextView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        if (anchor_ != cursor_) {
            QGuiApplication::clipboard()->setText(SelectedText());
        }
        return;
    }
    if (event == QKeySequence::SelectAll) {
        SelectAll();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

qsizetype ArtTextView::PositionAt(QPoint point) const {
    const qsizetype lineIndex = std::clamp<qsizetype>(
        (point.y() + verticalScrollBar()->value() - kMargin) / lineHeight_, 0, LineCount() - 1);
    const Line& line = lines_[static_cast<std::size_t>(lineIndex)];
    const double x = point.x() + horizontalScrollBar()->value() - kMargin;
    const QChar* const chars = text_.constData();
    double reached = 0.0;
    for (qsizetype c = line.start; c < line.start + line.length; ++c) {
        const double advance = Advance(chars[c]);
        if (x < reached + advance / 2) {
            return c;
        }
        reached += advance;
    }
    return line.start + line.length;
}

void ArtTextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    cursor_ = PositionAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier)) {
        anchor_ = cursor_;
    }
    viewport()->update();
}

void ArtTextView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    // Dragging past an edge scrolls the text along.
    const QPoint point = event->position().toPoint();
    const QRect view = viewport()->rect();
    if (point.y() < view.top() || point.y() > view.bottom()) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                      (point.y() < view.top() ? -lineHeight_ : lineHeight_));
    }
    if (point.x() < view.left() || point.x() > view.right()) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() +
                                        (point.x() < view.left() ? -kColumnStep : kColumnStep));
    }
    cursor_ = PositionAt(point);
    viewport()->update();
}

} // namespace glimmora
