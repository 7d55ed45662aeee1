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
    // The size in points the art is shown at.
    double TextPointSize() const;

    // The largest size the box accepts, in points.
    static constexpr double kLargestPointSize = 1638.0;

signals:
    // The user closed the window.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Every change of the size box, each keystroke included: a usable size
    // applies to the whole text at once; anything else is passed over and
    // the last good size stays.
    void txtSize_Change();
    void PlaceControls();

    ArtTextView* txtText;
    QLabel* Label1;
    QLineEdit* txtSize;
};

} // namespace glimmora
