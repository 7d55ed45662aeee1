#pragma once

class QWidget;

namespace glimmora {

// Keeps a window of fixed size (equal minimum and maximum size) out of the
// maximised and full-screen states. The window system learns of the fixed
// size from the equal minimum and maximum; a desktop that maximises it
// anyway (a Wayland compositor asked by a title bar's maximise box) is
// answered by returning to the normal state. On Wayland the window is
// shown anew at once, before it draws again: a compositor ends a client
// whose next frame does not fill the maximised size it acknowledged.
// Not for a dialog run in a loop of its own: hiding it would end the loop.
void KeepFixedSize(QWidget& window);

// True when the windows run natively on Wayland.
bool OnWayland();

} // namespace glimmora
