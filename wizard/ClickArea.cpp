#include "ClickArea.h"

#include <QMouseEvent>

namespace glimmora {

ClickArea::ClickArea(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void ClickArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
    }
    event->accept();
}

void ClickArea::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click && isEnabled()) {
        emit clicked();
    }
}

void ClickArea::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (isEnabled()) {
        emit doubleClicked();
    }
}

void ClickArea::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (isEnabled()) {
        emit mouseMoved();
    }
}

} // namespace glimmora
