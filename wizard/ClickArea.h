#pragma once

#include <QLabel>

namespace glimmora {

// A transparent, captionless click area laid over button artwork. It takes
// no keyboard focus; while disabled it takes no clicks and no mouse moves.
class ClickArea : public QLabel {
    Q_OBJECT
public:
    explicit ClickArea(const QString& name, QWidget* parent);

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

private:
    bool pressed_ = false;
};

} // namespace glimmora
