#include "FixedSizeWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace glimmora {

bool OnWayland();

namespace {

// Watches the window's native window from its first showing on.
class FixedSizeGuard : public QObject {
public:
    explicit FixedSizeGuard(QWidget& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
        Watch();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ &&
            (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)) {
            Watch();
        }
        return false;
    }

private:
    void Watch() {
        QWindow* handle = window_.windowHandle();
        if (handle == nullptr || handle == watched_) {
            return;
        }
        watched_ = handle;
        connect(handle, &QWindow::windowStateChanged, this, &FixedSizeGuard::StateChanged);
    }

    void StateChanged(Qt::WindowState state) {
        if (state != Qt::WindowMaximized && state != Qt::WindowFullScreen) {
            return;
        }
        if (restoring_) {
            return;
        }
        restoring_ = true;
        if (OnWayland()) {
            // A new surface in the normal state; the one the compositor
            // maximised goes before it commits a frame of the wrong size.
            window_.hide();
            window_.windowHandle()->setWindowStates(Qt::WindowNoState);
            window_.show();
        } else {
            window_.windowHandle()->setWindowStates(Qt::WindowNoState);
        }
        restoring_ = false;
    }

    QWidget& window_;
    QPointer<QWindow> watched_;
    bool restoring_ = false;
};

} // namespace

void KeepFixedSize(QWidget& window) {
    if (window.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowFullscreenButtonHint)) {
        window.setWindowFlags(window.windowFlags() &
                              ~(Qt::WindowMaximizeButtonHint | Qt::WindowFullscreenButtonHint));
    }
    // Owned by the window.
    new FixedSizeGuard(window);
}

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace glimmora
