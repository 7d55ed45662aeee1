#include "frmAbout.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "assets/Assets.h"
#include "platform/Twips.h"
#include "platform/WindowLook.h"
#include "wizard/WizardWidgets.h"

namespace glimmora {

namespace {

QLabel* MakeLabel(const QString& name, const QString& text, QRect place, QWidget* parent,
                  double points = 8.25, bool bold = false) {
    // Bold in the bitmap MS Sans Serif is drawn as the wizard draws it.
    auto* label = new LayoutLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setFont(LayoutFace(QStringLiteral("MS Sans Serif"), points, bold));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAutoFillBackground(false);
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint),
      logo_(AssetPixmap(QStringLiteral("shell/about_logo.png"))) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Glimmora..."));
    setWindowIcon(ProgramIcon());
    setFont(LayoutFace(QStringLiteral("MS Sans Serif"), 8.25));
    QPalette white = FixedPalette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    setPalette(white);
    setAutoFillBackground(true);
    resize(Twips(4620), Twips(6930));

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(TwipsRect(360, 3720, 705, 585));
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setPixmap(AssetPixmap(QStringLiteral("app/icon.png")));

    Label1 = MakeLabel(QStringLiteral("Label1"), QStringLiteral("Glimmora"),
                       TwipsRect(1320, 3720, 1695, 375), this, 13.5, true);
    Label2 = MakeLabel(QStringLiteral("Label2"), QStringLiteral("version 2.0"),
                       TwipsRect(1800, 4080, 975, 255), this);
    Label3 = MakeLabel(QStringLiteral("Label3"), QStringLiteral("Description:"),
                       TwipsRect(360, 4560, 1095, 255), this, 8.25, true);
    Label4 = MakeLabel(QStringLiteral("Label4"),
                       QStringLiteral("This software let you transform images into ASCII art. "
                                      "You just have to follow the instructions in the wizard!"),
                       TwipsRect(360, 4800, 3495, 615), this);
    Label4->setWordWrap(true);
    Label5 = MakeLabel(QStringLiteral("Label5"),
                       QStringLiteral("\u00A9 2026 the Glimmora developers. "
                                      "All rights reserved."),
                       TwipsRect(360, 6000, 4335, 255), this);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(TwipsRect(2760, 6480, 1455, 375));
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    cmdOK->setFocus();
    FitCaptionsToBoxes(*this);
}

void frmAbout::cmdOK_Click() {
    close();
}

void frmAbout::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!logo_.isNull()) {
        QPainter(this).drawPixmap(0, 0, logo_);
    }
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    // OK is the window's default button, and Escape dismisses the window
    // like OK, as in any message window.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        cmdOK->click();
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

} // namespace glimmora
