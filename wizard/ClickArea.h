#pragma once

#include <QLabel>

namespace glimmora {

// A transparent, captionless click area laid over button artwork. While
// disabled it takes no clicks and no mouse moves. It takes no keyboard focus
// unless made a keyboard button.
class ClickArea : public QLabel {
    Q_OBJECT
public:
    explicit ClickArea(const QString& name, QWidget* parent);

    // Tab reaches the area, which then shows a dotted focus mark and is
    // clicked by Space or Return. A mouse click leaves the focus where it
    // is, as before.
    void MakeKeyboardButton();

signals:
    void clicked();
    void doubleClicked();
    // The mouse moved over the area (with or without a button held).
    void mouseMoved();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace glimmora
