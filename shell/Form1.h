#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

#include "wizard/WizardSession.h"

namespace glimmora {

class ClickArea;
class Platform;
class frmAbout;
class frmEasterEgg;

// Moves a window, frame included, to the middle of its screen.
void CentreOnScreen(QWidget& window);

// The start window: a borderless picture with three icon buttons. Create
// New opens the wizard, About the About window, Exit ends the program. It
// also owns what outlives a wizard window: the session, the About window
// and the hidden picture window.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // quit ends the program at once, without any window's closing question;
    // the program passes EndProgramNow, tests pass a recorder.
    explicit Form1(Platform& platform, std::function<void()> quit = EndProgramNow,
                   QWidget* parent = nullptr);
    ~Form1() override;

    // Leaves every event loop with exit code 0. Unlike QApplication::quit it
    // does not close the other windows first, so their closing questions
    // are not asked.
    static void EndProgramNow();

    void cmdCreate_Click();
    // As Create New followed by choosing path on the wizard's first page,
    // an unreadable picture reported as there. Nothing while a wizard is
    // open already.
    void OpenWithPicture(const QString& path);
    void cmdAbout_Click();
    void cmdExit_Click();

    WizardSession& Session() { return session_; }
    // The About window while it is loaded, else null.
    frmAbout* About() const;
    // The hidden picture window once it has been shown, else null.
    frmEasterEgg* EasterEgg() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Form_QueryUnload: however the start window is closed, the program ends.
    void closeEvent(QCloseEvent* event) override;
    // Return takes Create New.
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The window has no title bar, so its picture is the handle to move it.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowEasterEgg();

    std::function<void()> quit_;
    WizardSession session_;
    QPixmap background_;
    ClickArea* cmdCreate;
    ClickArea* cmdAbout;
    ClickArea* cmdExit;
    QPointer<frmAbout> about_;
    QPointer<frmEasterEgg> easterEgg_;
    // Offset of the grab point from the window's corner while the window is
    // moved by hand (when the window system does not move it for us).
    std::optional<QPoint> dragOffset_;
};

} // namespace glimmora
