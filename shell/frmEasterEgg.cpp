#include "frmEasterEgg.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "assets/Assets.h"
#include "platform/FixedSizeWindow.h"
#include "platform/Twips.h"
#include "platform/WindowLook.h"

namespace glimmora {

namespace {

// Takes the clicks on the small picture so that they do not reach the
// window's background, which would hide the window.
class PictureBox : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }
};

} // namespace

frmEasterEgg::frmEasterEgg(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint),
      background_(AssetPixmap(QStringLiteral("shell/egg_background.png"))) {
    setObjectName(QStringLiteral("frmEasterEgg"));
    setWindowIcon(ProgramIcon());
    UseFixedColours(*this);
    setFixedSize(Twips(6345), Twips(7260));
    KeepFixedSize(*this);

    Picture1 = new PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(TwipsRect(120, 5040, 1605, 2115));
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setPixmap(AssetPixmap(QStringLiteral("shell/egg_small.png")));
}

void frmEasterEgg::Form_Click() {
    hide();
}

void frmEasterEgg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!background_.isNull()) {
        painter.drawPixmap(0, 0, background_);
    }
}

void frmEasterEgg::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void frmEasterEgg::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) {
        Form_Click();
    }
}

} // namespace glimmora
