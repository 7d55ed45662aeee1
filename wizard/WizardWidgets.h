#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace glimmora {

// Draws text in font; a bold font whose family has no bold face (the bitmap
// MS Sans Serif) is drawn as the classic desktop does: the regular letters
// twice, one pixel apart, each letter one pixel wider.
void DrawLayoutText(QPainter& painter, const QRect& rect, int flags, const QString& text,
                    const QFont& font);

// The width of one line of text as DrawLayoutText draws it.
int LayoutTextWidth(const QString& text, const QFont& font);

// A label that draws bold text as DrawLayoutText does.
class LayoutLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A frame: an etched border with its caption in bold at the top left, over
// the background colour. Without border it is a plain opaque panel.
class WizardFrame : public QWidget {
    Q_OBJECT
public:
    WizardFrame(const QString& name, const QString& caption, bool bordered, QWidget* parent);

    QString Caption() const { return caption_; }
    bool IsBordered() const { return bordered_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    bool bordered_;
};

// A rectangle shape: an optional solid fill inside a one-pixel border.
class ColourShape : public QWidget {
    Q_OBJECT
public:
    ColourShape(const QString& name, QColor border, QWidget* parent);

    // An invalid colour leaves the inside transparent.
    void SetFill(QColor fill);
    QColor Fill() const { return fill_; }
    QColor Border() const { return border_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
    QColor border_;
};

// The preview box: black, with a flat one-pixel border, showing either its
// placeholder picture or a picture stretched over its inside.
class ThumbnailBox : public QWidget {
    Q_OBJECT
public:
    ThumbnailBox(const QString& name, QPixmap placeholder, QWidget* parent);

    // Draws picture smoothly stretched to insideSize (the box's inside once
    // it has been given its new size).
    void DrawPicture(const QImage& picture, QSize insideSize);
    // Clears the drawing, so the placeholder shows again.
    void ClearDrawing();
    bool HasDrawing() const { return !drawing_.isNull(); }
    const QPixmap& Drawing() const { return drawing_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap placeholder_;
    QPixmap drawing_;
};

} // namespace glimmora
