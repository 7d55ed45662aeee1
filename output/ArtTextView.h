#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QHash>
#include <QString>

#include <array>
#include <vector>

namespace glimmora {

// A read-only view of plain text that may run to tens of megabytes: the
// viewer's art. Lines end at a lone CR, an LF or a CR LF and are never
// wrapped; scroll bars show what does not fit. Only the visible part of the
// visible lines is laid out and painted, so showing, scrolling and a new
// font size cost the same for a large art as for a small one, apart from
// one pass over the text to find the lines and the widest of them.
//
// The text can be selected with the mouse or Ctrl+A and copied with Ctrl+C
// (lines joined by LF). The font is the widget's own (setFont).
class ArtTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ArtTextView(QWidget* parent = nullptr);

    // Replaces the whole text; the view goes back to the top left.
    void SetText(QString text);
    // The text with each line end written as LF.
    QString toPlainText() const;
    // Lines shown: one more than the line ends in the text.
    qsizetype LineCount() const { return static_cast<qsizetype>(lines_.size()); }
    // The selected text (lines joined by LF); empty without a selection.
    QString SelectedText() const;
    void SelectAll();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct Line {
        qsizetype start;  // index in text_ of the first character
        qsizetype length; // characters, without the line end
    };

    double Advance(QChar c) const {
        // Art is mostly ASCII: its advances come from the table without a
        // call, which matters when every character of a large art is
        // measured.
        const char16_t code = c.unicode();
        return code < asciiAdvance_.size() ? asciiAdvance_[code] : OtherAdvance(code);
    }
    double OtherAdvance(char16_t code) const;
    // Measures the font and the widest line, then sets the scroll ranges.
    void Measure();
    void UpdateScrollBars();
    // The place in text_ nearest to a point of the viewport.
    qsizetype PositionAt(QPoint point) const;

    QString text_;
    QFont paintFont_;
    std::vector<Line> lines_{Line{0, 0}};
    // Advances of the font in pixels: ASCII in a table, the rest looked up
    // once each.
    std::array<double, 128> asciiAdvance_{};
    mutable QHash<char16_t, double> otherAdvance_;
    double widest_ = 0.0;
    int lineHeight_ = 1;
    int ascent_ = 0;
    // The selection runs between these places of text_ (equal: none).
    qsizetype anchor_ = 0;
    qsizetype cursor_ = 0;
};

} // namespace glimmora
