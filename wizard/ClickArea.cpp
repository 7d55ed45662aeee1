#include "ClickArea.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace glimmora {

namespace {

// A screen reader hears a click area as the button it is drawn as: named by
// its accessible name (or else its tool tip), greyed while disabled, and
// pressed as a click.
class AccessibleClickArea : public QAccessibleWidget {
public:
    explicit AccessibleClickArea(QWidget* area) : QAccessibleWidget(area, QAccessible::Button) {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            return widget()->accessibleName().isEmpty() ? widget()->toolTip()
                                                        : widget()->accessibleName();
        }
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override {
        return widget()->isEnabled() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& action) override {
        if (action == pressAction() && widget()->isEnabled()) {
            emit static_cast<ClickArea*>(widget())->clicked();
        }
    }
};

// Only click areas with a name are buttons; a clickable caption stays the
// text it shows, and an unnamed picture stays a picture.
QAccessibleInterface* ClickAreaInterface(const QString& className, QObject* object) {
    if (className != QLatin1String("glimmora::ClickArea") || !object->isWidgetType()) {
        return nullptr;
    }
    auto* area = static_cast<QWidget*>(object);
    if (area->accessibleName().isEmpty() && area->toolTip().isEmpty()) {
        return nullptr;
    }
    // Owned by Qt's accessibility cache, as every interface a factory makes.
    return new AccessibleClickArea(area);
}

} // namespace

ClickArea::ClickArea(const QString& name, QWidget* parent) : QLabel(parent) {
    static const bool accessible = [] {
        QAccessible::installFactory(ClickAreaInterface);
        return true;
    }();
    Q_UNUSED(accessible);
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void ClickArea::MakeKeyboardButton() {
    setFocusPolicy(Qt::TabFocus);
}

void ClickArea::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (focusPolicy() == Qt::NoFocus ||
        (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) ||
        event->modifiers() != Qt::NoModifier) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat() && isEnabled()) {
        emit clicked();
    }
}

void ClickArea::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    // Black dots on white, seen on light and dark artwork alike.
    QPainter painter(this);
    const QRect mark = rect().adjusted(1, 1, -2, -2);
    painter.setPen(Qt::white);
    painter.drawRect(mark);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(mark);
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
