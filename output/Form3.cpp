#include "Form3.h"

#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>

#include <cmath>
#include <optional>

#include "ArtTextView.h"
#include "assets/Assets.h"
#include "platform/Twips.h"
#include "platform/WindowLook.h"

namespace glimmora {

namespace {

// The window's client area and the text view's share of it, in twips. The
// view fills the window above a strip that holds the size box.
constexpr int kClientWidth = 13590;
constexpr int kClientHeight = 10860;
constexpr int kTextWidth = 13575;
constexpr int kTextHeight = 10455;
constexpr double kInitialPointSize = 5.25;

// A size the text can be shown at, or nothing for an entry that is not one.
std::optional<double> UsablePointSize(const QString& entry) {
    const QString text = entry.trimmed();
    bool ok = false;
    double points = QLocale::c().toDouble(text, &ok);
    if (!ok) {
        points = QLocale().toDouble(text, &ok);
    }
    if (!ok || !std::isfinite(points) || points <= 0.0 || points > Form3::kLargestPointSize) {
        return std::nullopt;
    }
    return points;
}

// The viewer's own colours, whatever the desktop's theme: black art on
// white in a light grey window, selected text white on dark blue.
QPalette ViewerPalette() {
    // Every role set, so nothing of the desktop's theme shows through.
    QPalette colours = FixedPalette();
    const QColor black(0x00, 0x00, 0x00);
    const QColor white(0xFF, 0xFF, 0xFF);
    const QColor grey(0xE0, 0xE0, 0xE0);
    const QColor highlight(0x00, 0x00, 0x80);
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Window, grey);
        colours.setColor(group, QPalette::Button, grey);
        colours.setColor(group, QPalette::WindowText, black);
        colours.setColor(group, QPalette::ButtonText, black);
        colours.setColor(group, QPalette::Base, white);
        colours.setColor(group, QPalette::Text, black);
        colours.setColor(group, QPalette::Highlight, highlight);
        colours.setColor(group, QPalette::HighlightedText, white);
    }
    return colours;
}

} // namespace

Form3::Form3(QWidget* parent)
    : QWidget(parent, Qt::Window), txtText(new ArtTextView(this)), Label1(new QLabel(this)),
      txtSize(new QLineEdit(this)) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Glimmora - Ascii Art"));
    setWindowIcon(ProgramIcon());
    setPalette(ViewerPalette());
    setAutoFillBackground(true);
    setFont(LayoutFace(QStringLiteral("MS Sans Serif"), 8.25));

    txtText->setObjectName(QStringLiteral("txtText"));
    txtText->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtText->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont artFont(QStringLiteral("Arial"));
    artFont.setWeight(QFont::Normal);
    artFont.setStyle(QFont::StyleNormal);
    artFont.setPointSizeF(kInitialPointSize);
    txtText->setFont(artFont);

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setText(QStringLiteral("Size:"));

    txtSize->setObjectName(QStringLiteral("txtSize"));
    txtSize->setText(QStringLiteral("5"));
    txtSize->setAccessibleName(QStringLiteral("Size"));
    // Created last, so the box lies above the label's right end.
    connect(txtSize, &QLineEdit::textChanged, this, &Form3::txtSize_Change);

    resize(Twips(kClientWidth), Twips(kClientHeight));
    PlaceControls();
}

void Form3::SetArtText(const QString& artText) {
    txtText->SetText(artText);
}

double Form3::TextPointSize() const {
    return txtText->font().pointSizeF();
}

void Form3::txtSize_Change() {
    const std::optional<double> points = UsablePointSize(txtSize->text());
    if (!points) {
        return;
    }
    // The text has no font of its own: one change resizes all of it.
    QFont artFont = txtText->font();
    artFont.setPointSizeF(*points);
    txtText->setFont(artFont);
}

void Form3::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

void Form3::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceControls();
}

void Form3::PlaceControls() {
    // At the window's own size the controls sit where they were drawn; a
    // larger or smaller window stretches the view and keeps the size box in
    // the strip along the bottom edge.
    const int extraWidth = width() - Twips(kClientWidth);
    const int extraHeight = height() - Twips(kClientHeight);
    const QRect text = TwipsRect(0, 0, kTextWidth, kTextHeight);
    txtText->setGeometry(text.adjusted(0, 0, extraWidth, extraHeight));
    Label1->setGeometry(TwipsRect(180, 10560, 615, 255).translated(0, extraHeight));
    txtSize->setGeometry(TwipsRect(645, 10515, 615, 285).translated(0, extraHeight));
}

} // namespace glimmora
