#include "Form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "assets/Assets.h"
#include "frmAbout.h"
#include "frmEasterEgg.h"
#include "platform/FixedSizeWindow.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "platform/WindowLook.h"
#include "wizard/ClickArea.h"
#include "wizard/frmWizard.h"

namespace glimmora {

namespace {

ClickArea* MakeButton(const QString& name, const QString& tip, QRect place, QWidget* parent) {
    auto* area = new ClickArea(name, parent);
    area->setToolTip(tip);
    area->setAccessibleName(tip);
    area->setGeometry(place);
    area->MakeKeyboardButton();
    return area;
}

} // namespace

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame(QPoint(0, 0), window.size());
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

Form1::Form1(Platform& platform, std::function<void()> quit, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), quit_(std::move(quit)),
      session_(platform), background_(AssetPixmap(QStringLiteral("shell/start.png"))) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Glimmora"));
    setWindowIcon(ProgramIcon());
    UseFixedColours(*this);
    // A picture dropped on the window opens the wizard with it.
    setAcceptDrops(true);
    setFixedSize(Twips(6615), Twips(7935));
    KeepFixedSize(*this);

    cmdCreate = MakeButton(QStringLiteral("cmdCreate"), QStringLiteral("Create New"),
                           TwipsRect(2070, 6855, 720, 720), this);
    cmdAbout = MakeButton(QStringLiteral("cmdAbout"), QStringLiteral("About Glimmora..."),
                          TwipsRect(2910, 6855, 720, 720), this);
    cmdExit = MakeButton(QStringLiteral("cmdExit"), QStringLiteral("Exit"),
                         TwipsRect(3735, 6855, 720, 720), this);
    connect(cmdCreate, &ClickArea::clicked, this, &Form1::cmdCreate_Click);
    connect(cmdAbout, &ClickArea::clicked, this, &Form1::cmdAbout_Click);
    connect(cmdExit, &ClickArea::clicked, this, &Form1::cmdExit_Click);
    cmdCreate->setFocus();

    // The wizard gives Create New back only when the user confirmed leaving
    // it; a restart replaces the wizard and Create New stays disabled.
    connect(&session_, &WizardSession::closed, cmdCreate, [this] { cmdCreate->setEnabled(true); });
    connect(&session_, &WizardSession::secretPhraseEntered, this, &Form1::ShowEasterEgg);

    CentreOnScreen(*this);
}

Form1::~Form1() = default;

void Form1::EndProgramNow() {
    QCoreApplication::exit(0);
}

void Form1::cmdCreate_Click() {
    if (!cmdCreate->isEnabled()) {
        return;
    }
    cmdCreate->setEnabled(false);
    session_.Open();
}

void Form1::OpenWithPicture(const QString& path) {
    if (!cmdCreate->isEnabled()) {
        return;
    }
    cmdCreate_Click();
    if (frmWizard* wizard = session_.Wizard()) {
        wizard->ChoosePicture(path);
    }
}

void Form1::cmdAbout_Click() {
    if (about_ == nullptr) {
        about_ = new frmAbout(this);
    }
    // Open already: brought to the front, out of the task bar if minimised.
    if (about_->isMinimized()) {
        about_->showNormal();
    } else {
        about_->show();
    }
    about_->raise();
    about_->activateWindow();
}

void Form1::cmdExit_Click() {
    quit_();
}

frmAbout* Form1::About() const {
    return about_;
}

frmEasterEgg* Form1::EasterEgg() const {
    return easterEgg_;
}

void Form1::ShowEasterEgg() {
    if (easterEgg_ == nullptr) {
        // Owned by the start window, not the wizard: it stays when the
        // wizard closes and ends with the program.
        easterEgg_ = new frmEasterEgg(this);
        CentreOnScreen(*easterEgg_);
    }
    if (easterEgg_->isVisible()) {
        easterEgg_->raise();
    } else {
        easterEgg_->show();
    }
}

void Form1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (background_.isNull()) {
        painter.fillRect(rect(), Qt::black);
    } else {
        painter.drawPixmap(0, 0, background_);
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    quit_();
}

void Form1::keyPressEvent(QKeyEvent* event) {
    // Create New is the window's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        cmdCreate_Click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    // Taken only while Create New could be chosen: an open wizard takes its
    // pictures on its own first page.
    if (cmdCreate->isEnabled() && !DroppedFile(*event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void Form1::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(*event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    OpenWithPicture(path);
}

void Form1::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    // Let the window manager move the window where it can; otherwise follow
    // the mouse ourselves.
    if (windowHandle() != nullptr && windowHandle()->startSystemMove()) {
        dragOffset_.reset();
        return;
    }
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    if (dragOffset_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - *dragOffset_);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    dragOffset_.reset();
    QWidget::mouseReleaseEvent(event);
}

} // namespace glimmora
