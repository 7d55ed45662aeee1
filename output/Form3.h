#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace glimmora {

class ArtTextView;

// The viewer window "Glimmora - Ascii Art": the art in a read-only text
// view whose size the user sets in the box below it.
class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);

    // Replaces the shown art by artText (a lone CR, an LF or CR LF ends a
    // line); the text keeps the size in force.
    void SetArtText(const QString& artText);
    // The size in points the art is shown at: the size box's times the zoom.
    double TextPointSize() const;
    // How much larger than its size the art is shown: 1 at first, changed by
    // Ctrl with the wheel, plus, minus or 0. It changes the view only.
    double Zoom() const { return zoom_; }
    void SetZoom(double zoom);

    // Where the window opens on a screen whose free area is available: at
    // its own size, smaller where the area is smaller, with room for its
    // frame (title bar and borders) around it; centred.
    static QRect OpeningGeometry(const QRect& available, const QMargins& frame);

    // The largest size the box accepts, in points.
    static constexpr double kLargestPointSize = 1638.0;

signals:
    // The user closed the window.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Every change of the size box, each keystroke included: a usable size
    // applies to the whole text at once; anything else is passed over and
    // the last good size stays.
    void txtSize_Change();
    void PlaceControls();
    // Shows the art at the box's size times the zoom.
    void ApplyShownSize();
    bool eventFilter(QObject* watched, QEvent* event) override;

    ArtTextView* txtText;
    QLabel* Label1;
    QLineEdit* txtSize;
    double boxPoints_;
    double zoom_ = 1.0;
    bool placed_ = false;
};

} // namespace glimmora
