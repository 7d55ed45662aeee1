// glimmora-make-art: paints every picture of the program's artwork and
// writes it as PNG under assets/ (or under the folder given as the first
// argument). Everything is drawn here with QPainter; the two example pictures
// of the format page are real output of the conversion engine, rendered as
// text.

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "ArtKit.h"
#include "core/ConversionJob.h"
#include "core/PixelSource.h"

namespace {

namespace art = glimmora::art;
using art::BlurEdge;
using art::DrawCentredText;
using art::DrawShadow;
using art::kPi;
using art::NewImage;
using art::Prepare;

// The wizard's face colour; pictures that sit on it are painted on it.
const QColor kWizardGrey(0xE0, 0xE0, 0xE0);
// The step number's green, echoed in the header strip.
const QColor kStepGreen(0x00, 0xC0, 0x00);

QString gUiFamily;
QString gMonoFamily;

// ---------------------------------------------------------------------------
// Fonts

// The wizard's own faces, Tahoma first, come with Debian's wine fonts.
void RegisterFonts() {
    const QDir wine(QStringLiteral("/usr/share/wine/fonts"));
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"}) {
        const QString path = wine.filePath(QString::fromLatin1(file));
        if (QFileInfo::exists(path)) {
            QFontDatabase::addApplicationFont(path);
        }
    }
    gUiFamily =
        art::FirstFamily({"Tahoma", "Liberation Sans", "DejaVu Sans"}, QFontDatabase::GeneralFont);
    gMonoFamily = art::FirstFamily({"DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono"},
                                   QFontDatabase::FixedFont);
}

QFont UiFont(int pixelSize, bool bold = false) {
    return art::Font(gUiFamily, pixelSize, bold ? QFont::Bold : QFont::Normal);
}

QFont MonoFont(int pixelSize, bool bold = false) {
    return art::Font(gMonoFamily, pixelSize, bold ? QFont::Bold : QFont::Normal);
}

// ---------------------------------------------------------------------------
// Button faces: the navigation buttons and the "..." button share one look.

enum class Face { Idle, Hover, Grey };

struct FaceColours {
    QColor top, upper, lower, bottom, border, text, shine;
    int shadowAlpha;
};

FaceColours ColoursOf(Face face) {
    switch (face) {
    case Face::Hover:
        return {QColor(0xF3, 0xFD, 0xEC),   QColor(0xD9, 0xF5, 0xC6),
                QColor(0xB4, 0xE8, 0x96),   QColor(0x8E, 0xD6, 0x6A),
                QColor(0x3F, 0x8F, 0x25),   QColor(0x12, 0x3B, 0x06),
                QColor(255, 255, 255, 210), 60};
    case Face::Grey:
        return {QColor(0xF1, 0xF1, 0xF1),   QColor(0xEC, 0xEC, 0xEC),
                QColor(0xE8, 0xE8, 0xE8),   QColor(0xE3, 0xE3, 0xE3),
                QColor(0xB8, 0xB8, 0xB8),   QColor(0xA3, 0xA3, 0xA3),
                QColor(255, 255, 255, 150), 22};
    case Face::Idle:
        break;
    }
    return {QColor(0xFF, 0xFF, 0xFF),   QColor(0xF4, 0xF4, 0xF4),
            QColor(0xE4, 0xE4, 0xE4),   QColor(0xD3, 0xD3, 0xD3),
            QColor(0x84, 0x84, 0x84),   QColor(0x10, 0x10, 0x10),
            QColor(255, 255, 255, 230), 50};
}

// The face fills `area`; its bottom pixel row holds a soft drop shadow.
void PaintFaceBody(QPainter& p, const QRect& area, Face face, double radius) {
    const FaceColours c = ColoursOf(face);
    const QRectF body(area.x() + 0.5, area.y() + 0.5, area.width() - 1.0, area.height() - 2.0);

    p.save();
    Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, c.shadowAlpha));
    p.drawRoundedRect(body.translated(0, 1.0).adjusted(0.5, 0, -0.5, 0), radius, radius);

    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0.0, c.top);
    fill.setColorAt(0.48, c.upper);
    fill.setColorAt(0.52, c.lower);
    fill.setColorAt(1.0, c.bottom);
    p.setBrush(fill);
    p.setPen(QPen(c.border, 1.0));
    p.drawRoundedRect(body, radius, radius);

    // A bright inner rim, strongest along the top edge.
    QLinearGradient rim(body.topLeft(), body.bottomLeft());
    rim.setColorAt(0.0, c.shine);
    rim.setColorAt(0.6, QColor(255, 255, 255, c.shine.alpha() / 4));
    rim.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), 1.0));
    p.drawRoundedRect(body.adjusted(1, 1, -1, -1), radius - 1.0, radius - 1.0);
    p.restore();
}

void PaintFaceCaption(QPainter& p, const QRect& area, Face face, const QString& caption) {
    const FaceColours c = ColoursOf(face);
    const QPointF centre(area.x() + area.width() / 2.0, area.y() + (area.height() - 1) / 2.0);
    p.save();
    p.setFont(UiFont(11));
    if (face == Face::Grey) {
        p.setPen(QColor(255, 255, 255, 230));
        DrawCentredText(p, centre + QPointF(1, 1), caption);
    }
    p.setPen(c.text);
    DrawCentredText(p, centre, caption);
    p.restore();
}

void PaintNavigationFace(QPainter& p, const QRect& area, Face face, const QString& caption) {
    PaintFaceBody(p, area, face, 4.0);
    PaintFaceCaption(p, area, face, caption);
}

QImage NavigationFace(Face face, const QString& caption) {
    QImage image = NewImage(99, 27, kWizardGrey);
    QPainter p(&image);
    PaintNavigationFace(p, QRect(QPoint(), image.deviceIndependentSize().toSize()), face, caption);
    return image;
}

QImage BrowseFace(Face face) {
    QImage image = NewImage(31, 17, kWizardGrey);
    QPainter p(&image);
    PaintFaceBody(p, QRect(QPoint(), image.deviceIndependentSize().toSize()), face, 3.0);
    // Three square dots sitting on the caption's baseline, drawn by hand:
    // a font's full stops are blurred at this size.
    const QColor dot = ColoursOf(face).text;
    for (int i = 0; i < 3; ++i) {
        p.fillRect(QRect(10 + i * 4, 9, 2, 2), dot);
    }
    return image;
}

// ---------------------------------------------------------------------------
// Wizard background: the face colour, and the idle faces of the three
// navigation buttons at the places of their hover pictures.

const QRect kPreviousFace(248, 334, 99, 27);
const QRect kNextFace(353, 334, 99, 27);
const QRect kCancelFace(458, 334, 99, 27);

QImage WizardBackground() {
    QImage image = NewImage(561, 365, kWizardGrey);
    QPainter p(&image);
    PaintNavigationFace(p, kPreviousFace, Face::Idle, QStringLiteral("< Previous"));
    PaintNavigationFace(p, kNextFace, Face::Idle, QStringLiteral("Next >"));
    PaintNavigationFace(p, kCancelFace, Face::Idle, QStringLiteral("Cancel"));
    return image;
}

// ---------------------------------------------------------------------------
// Restart: a red circular arrow above the word "Restart".

QPainterPath CircularArrow(const QPointF& centre, double radius, double thickness, double startDeg,
                           double sweepDeg) {
    // The band of the arc (clockwise on screen for a negative sweep).
    QPainterPath arc;
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    arc.arcMoveTo(circle, startDeg);
    arc.arcTo(circle, startDeg, sweepDeg);
    QPainterPathStroker stroker;
    stroker.setWidth(thickness);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath band = stroker.createStroke(arc);

    // The head at the end of the arc, pointing along the direction of travel.
    const double endRad = (startDeg + sweepDeg) * kPi / 180.0;
    const QPointF radial(std::cos(endRad), -std::sin(endRad));
    const double turn = sweepDeg < 0 ? 1.0 : -1.0;
    const QPointF tangent(turn * std::sin(endRad), turn * std::cos(endRad));
    const QPointF end = centre + radial * radius;
    const double half = thickness * 1.25;
    QPainterPath head;
    head.moveTo(end + radial * half - tangent * 0.4);
    head.lineTo(end + tangent * thickness * 1.45);
    head.lineTo(end - radial * half - tangent * 0.4);
    head.closeSubpath();
    return band.united(head).simplified();
}

QImage Restart() {
    QImage image = NewImage(58, 48, kWizardGrey);
    QPainter p(&image);
    Prepare(p);
    const QPointF centre(29.0, 17.0);
    const QPainterPath arrow = CircularArrow(centre, 11.5, 5.0, 20.0, -295.0);

    DrawShadow(p, arrow, QPointF(0.6, 1.2), 1, 70, image.deviceIndependentSize().toSize(),
               BlurEdge::Clear);

    QLinearGradient fill(centre + QPointF(-10, -12), centre + QPointF(8, 13));
    fill.setColorAt(0.0, QColor(0xFF, 0x7A, 0x5E));
    fill.setColorAt(0.45, QColor(0xE5, 0x2B, 0x1A));
    fill.setColorAt(1.0, QColor(0xA8, 0x12, 0x08));
    p.setBrush(fill);
    p.setPen(QPen(QColor(0x86, 0x10, 0x08), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(arrow);

    // A thin highlight along the upper-left of the ring.
    QPainterPath shine;
    const QRectF inner(centre.x() - 11.5, centre.y() - 11.5, 23.0, 23.0);
    shine.arcMoveTo(inner.adjusted(-1.2, -1.2, 1.2, 1.2), 200.0);
    shine.arcTo(inner.adjusted(-1.2, -1.2, 1.2, 1.2), 200.0, -110.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(shine);

    p.setFont(UiFont(11));
    p.setPen(QColor(0x20, 0x20, 0x20));
    DrawCentredText(p, QPointF(29.0, 40.5), QStringLiteral("Restart"));
    return image;
}

// ---------------------------------------------------------------------------
// The light bulb of the tips.

QImage Bulb() {
    QImage image = NewImage(42, 52, kWizardGrey);
    QPainter p(&image);
    Prepare(p);
    // Drawn 2 pixels lower than its coordinates, so the top ray clears the
    // edge.
    p.translate(0, 2);

    const QPointF centre(21.0, 18.0);
    const double r = 12.5;

    // Glow behind the glass.
    QRadialGradient glow(centre, 21.0);
    glow.setColorAt(0.0, QColor(255, 236, 120, 150));
    glow.setColorAt(0.55, QColor(255, 230, 110, 60));
    glow.setColorAt(1.0, QColor(255, 230, 110, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, 21.0, 21.0);

    // Short rays.
    p.setPen(QPen(QColor(0xF0, 0xB0, 0x10, 200), 1.4, Qt::SolidLine, Qt::RoundCap));
    for (double deg : {150.0, 120.0, 90.0, 60.0, 30.0}) {
        const double a = deg * kPi / 180.0;
        const QPointF dir(std::cos(a), -std::sin(a));
        p.drawLine(centre + dir * (r + 3.0), centre + dir * (r + 6.5));
    }

    // Glass: a round bulb narrowing into the neck.
    QPainterPath glass;
    const QRectF ball(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    glass.arcMoveTo(ball, -40.0);
    glass.arcTo(ball, -40.0, 260.0);
    glass.cubicTo(QPointF(12.0, 27.0), QPointF(15.0, 29.0), QPointF(15.5, 33.5));
    glass.lineTo(QPointF(26.5, 33.5));
    glass.cubicTo(QPointF(27.0, 29.0), QPointF(30.0, 27.0),
                  ball.center() + QPointF(r * std::cos(-40.0 * kPi / 180.0),
                                          -r * std::sin(-40.0 * kPi / 180.0)));
    glass.closeSubpath();

    QRadialGradient lit(centre + QPointF(-4.0, -5.0), 17.0, centre + QPointF(-4.5, -5.5));
    lit.setColorAt(0.0, QColor(0xFF, 0xFF, 0xF2));
    lit.setColorAt(0.35, QColor(0xFF, 0xF0, 0x8A));
    lit.setColorAt(0.75, QColor(0xFF, 0xD2, 0x2E));
    lit.setColorAt(1.0, QColor(0xF0, 0xA8, 0x00));
    p.setBrush(lit);
    p.setPen(QPen(QColor(0xB0, 0x7A, 0x00), 1.0));
    p.drawPath(glass);

    // Filament: a coil held by two wires.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x9A, 0x6A, 0x10, 200), 0.9));
    p.drawLine(QPointF(18.5, 33.0), QPointF(17.0, 22.5));
    p.drawLine(QPointF(23.5, 33.0), QPointF(25.0, 22.5));
    QPainterPath coil;
    coil.moveTo(17.0, 22.5);
    for (int i = 0; i < 5; ++i) {
        const double x0 = 17.0 + i * 1.6;
        coil.cubicTo(QPointF(x0 + 0.2, 19.6), QPointF(x0 + 1.4, 19.6), QPointF(x0 + 1.6, 22.5));
    }
    p.setPen(QPen(QColor(0xE0, 0x60, 0x00), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(coil);

    // Highlight on the glass.
    QPainterPath gleam;
    gleam.arcMoveTo(ball.adjusted(3.0, 3.0, -3.0, -3.0), 160.0);
    gleam.arcTo(ball.adjusted(3.0, 3.0, -3.0, -3.0), 160.0, -55.0);
    p.setPen(QPen(QColor(255, 255, 255, 220), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(gleam);

    // Screw base: three metal rings and the contact.
    const QRectF base(15.0, 33.5, 12.0, 11.0);
    QLinearGradient metal(base.topLeft(), base.topRight());
    metal.setColorAt(0.0, QColor(0x8A, 0x8F, 0x96));
    metal.setColorAt(0.35, QColor(0xF2, 0xF4, 0xF6));
    metal.setColorAt(1.0, QColor(0x6A, 0x70, 0x78));
    p.setPen(QPen(QColor(0x55, 0x5A, 0x62), 1.0));
    p.setBrush(metal);
    for (int i = 0; i < 3; ++i) {
        p.drawRoundedRect(QRectF(14.5, 33.5 + i * 3.5, 13.0, 3.5), 1.6, 1.6);
    }
    QPainterPath tip;
    tip.moveTo(17.0, 44.0);
    tip.lineTo(25.0, 44.0);
    tip.quadTo(24.0, 48.0, 21.0, 48.0);
    tip.quadTo(18.0, 48.0, 17.0, 44.0);
    p.setBrush(QColor(0x3A, 0x3E, 0x44));
    p.setPen(Qt::NoPen);
    p.drawPath(tip);
    return image;
}

// ---------------------------------------------------------------------------
// Preview placeholder: no picture chosen yet.

QImage ThumbPlaceholder() {
    QImage image = NewImage(99, 127, QColor(0x0C, 0x0C, 0x0C));
    QPainter p(&image);
    Prepare(p);

    QLinearGradient dark(0, 0, 0, 127);
    dark.setColorAt(0.0, QColor(0x1C, 0x1E, 0x22));
    dark.setColorAt(1.0, QColor(0x08, 0x08, 0x0A));
    p.fillRect(QRect(QPoint(), image.deviceIndependentSize().toSize()), dark);

    // A dashed drop zone.
    p.setPen(QPen(QColor(0x4A, 0x4E, 0x55), 1.0, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(5.5, 5.5, 88.0, 116.0), 5.0, 5.0);

    // A picture symbol: frame, sun and two hills.
    const QRectF frame(27.5, 30.5, 44.0, 34.0);
    QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
    sky.setColorAt(0.0, QColor(0x2C, 0x33, 0x3D));
    sky.setColorAt(1.0, QColor(0x1E, 0x22, 0x28));
    p.setBrush(sky);
    p.setPen(QPen(QColor(0x6E, 0x74, 0x7E), 1.0));
    p.drawRoundedRect(frame, 3.0, 3.0);
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
    p.setClipPath(clip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8A, 0x90, 0x99));
    p.drawEllipse(QPointF(59.5, 40.5), 4.0, 4.0);
    QPainterPath hills;
    hills.moveTo(frame.left(), 62.0);
    hills.lineTo(39.0, 46.0);
    hills.lineTo(49.0, 56.0);
    hills.lineTo(55.0, 50.0);
    hills.lineTo(frame.right() + 1, 64.0);
    hills.lineTo(frame.right() + 1, frame.bottom() + 1);
    hills.lineTo(frame.left(), frame.bottom() + 1);
    hills.closeSubpath();
    QLinearGradient ground(0, 46, 0, 65);
    ground.setColorAt(0.0, QColor(0x5E, 0x66, 0x70));
    ground.setColorAt(1.0, QColor(0x3A, 0x40, 0x48));
    p.setBrush(ground);
    p.drawPath(hills);
    p.restore();

    p.setFont(UiFont(11));
    p.setPen(QColor(0x9A, 0x9E, 0xA6));
    DrawCentredText(p, QPointF(49.5, 82.0), QStringLiteral("No picture"));
    DrawCentredText(p, QPointF(49.5, 96.0), QStringLiteral("chosen yet"));
    return image;
}

// ---------------------------------------------------------------------------
// A tiny 3 x 5 pixel font for texture characters where a real font would
// blur (the small renderings of the program icon).

const std::array<const char*, 8> kPixelGlyphs = {
    // ' . : - = + * #' as five rows of three bits
    "000000000000000", "000000000000010", "000010000010000", "000000111000000",
    "000111000111000", "000010111010000", "000101010101000", "101111101111101",
};

void DrawPixelGlyph(QPainter& p, int glyph, const QPoint& at, const QColor& colour, int scale) {
    const char* bits = kPixelGlyphs[static_cast<size_t>(glyph)];
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 3; ++col) {
            if (bits[row * 3 + col] == '1') {
                p.fillRect(QRect(at.x() + col * scale, at.y() + row * scale, scale, scale), colour);
            }
        }
    }
}

// ---------------------------------------------------------------------------
// The program icon: a golden letter A on a dark tile, a sparkle at its upper
// right, and on larger renderings a faint ramp of characters behind it, as
// if the glow of the letter had been turned into text.

QPointF InBox(const QRectF& box, double u, double v) {
    return QPointF(box.left() + u * box.width(), box.top() + v * box.height());
}

// The outline of the letter A, counter not cut out.
QPainterPath LetterHull(const QRectF& box) {
    QPainterPath outer;
    outer.moveTo(InBox(box, 0.00, 1.00));
    outer.lineTo(InBox(box, 0.355, 0.00));
    outer.lineTo(InBox(box, 0.645, 0.00));
    outer.lineTo(InBox(box, 1.00, 1.00));
    outer.lineTo(InBox(box, 0.765, 1.00));
    outer.lineTo(InBox(box, 0.694, 0.80));
    outer.lineTo(InBox(box, 0.306, 0.80));
    outer.lineTo(InBox(box, 0.235, 1.00));
    outer.closeSubpath();
    return outer;
}

QPainterPath LetterA(const QRectF& box) {
    // The counter's flanks run parallel to the outer flanks.
    QPainterPath counter;
    counter.moveTo(InBox(box, 0.370, 0.62));
    counter.lineTo(InBox(box, 0.50, 0.254));
    counter.lineTo(InBox(box, 0.630, 0.62));
    counter.closeSubpath();
    return LetterHull(box).subtracted(counter);
}

QPainterPath Sparkle(const QPointF& c, double longRadius, double shortRadius) {
    QPainterPath star;
    for (int i = 0; i < 4; ++i) {
        const double a = i * kPi / 2.0;
        const double b = a + kPi / 4.0;
        const QPointF tip(c.x() + std::sin(a) * longRadius, c.y() - std::cos(a) * longRadius);
        const QPointF waist(c.x() + std::sin(b) * shortRadius, c.y() - std::cos(b) * shortRadius);
        const double next = a + kPi / 2.0;
        const QPointF nextTip(c.x() + std::sin(next) * longRadius,
                              c.y() - std::cos(next) * longRadius);
        if (i == 0) {
            star.moveTo(tip);
        }
        star.quadTo(waist, nextTip);
    }
    star.closeSubpath();
    return star;
}

// Paints the icon into `area` (device pixels, whole numbers).
void PaintIcon(QPainter& p, const QRect& area) {
    Prepare(p);
    const double w = area.width();
    const double h = area.height();
    const double s = std::min(w, h);
    const bool tiny = s < 24;

    // Tile.
    const double inset = s >= 64 ? std::round(s / 32.0) : 0.0;
    const QRectF tile(area.x() + inset + 0.5, area.y() + inset + 0.5, w - 2 * inset - 1.0,
                      h - 2 * inset - 1.0);
    const double radius = std::max(2.5, s * (tiny ? 0.19 : 0.16));
    QPainterPath tileShape;
    tileShape.addRoundedRect(tile, radius, radius);
    if (s >= 64) {
        DrawShadow(p, tileShape, QPointF(0, s / 64.0), static_cast<int>(s / 64.0 + 0.5), 90,
                   p.device() ? QSize(p.device()->width(), p.device()->height()) : QSize(),
                   BlurEdge::Clear);
    }
    QLinearGradient night(tile.topLeft(), tile.bottomLeft());
    night.setColorAt(0.0, QColor(0x33, 0x41, 0x5E));
    night.setColorAt(1.0, QColor(0x10, 0x16, 0x26));
    p.setBrush(night);
    p.setPen(QPen(QColor(0x0A, 0x0E, 0x18), 1.0));
    p.drawPath(tileShape);

    // Letter and sparkle geometry, in proportion to the tile.
    const double letterH = tile.height() * (tiny ? 0.68 : 0.64);
    const double letterW = letterH * 1.0;
    const QPointF letterCentre(tile.center().x() - tile.width() * 0.06,
                               tile.center().y() + tile.height() * 0.07);
    QRectF letterBox(letterCentre.x() - letterW / 2.0, letterCentre.y() - letterH / 2.0, letterW,
                     letterH);
    if (s < 40) {
        // Keep the flat top and the foot on whole pixels.
        letterBox.moveTop(std::round(letterBox.top()));
        letterBox.setHeight(std::round(letterBox.height()));
        letterBox.moveLeft(std::round(letterBox.left()));
    }
    const QPainterPath letter = LetterA(letterBox);
    const QPointF sparkleCentre(tile.right() - tile.width() * (tiny ? 0.20 : 0.21),
                                tile.top() + tile.height() * (tiny ? 0.22 : 0.24));
    const double sparkleR = s * (tiny ? 0.24 : 0.2);

    p.save();
    p.setClipPath(tileShape);

    // Background texture: the letter's glow as a ramp of characters.
    if (s >= 37) {
        const double cellW = s >= 64 ? s / 11.0 : 4.0;
        const double cellH = s >= 64 ? s / 7.5 : 6.0;
        const int cols = static_cast<int>(std::ceil(tile.width() / cellW));
        const int rows = static_cast<int>(std::ceil(tile.height() / cellH));
        const QString ramp = QStringLiteral(" .:-=+*#");
        const QPainterPath hull = LetterHull(letterBox);
        QFont font = MonoFont(static_cast<int>(std::round(cellH * 0.78)), true);
        p.setFont(font);
        const QFontMetricsF metrics(font);
        for (int row = 0; row < rows; ++row) {
            for (int col = 0; col < cols; ++col) {
                const QPointF cell(tile.left() + (col + 0.5) * cellW,
                                   tile.top() + (row + 0.5) * cellH + 1.0);
                const double dx = (cell.x() - letterCentre.x()) / (tile.width() * 0.55);
                const double dy = (cell.y() - letterCentre.y()) / (tile.height() * 0.6);
                const double sx = (cell.x() - sparkleCentre.x()) / (tile.width() * 0.3);
                const double sy = (cell.y() - sparkleCentre.y()) / (tile.height() * 0.3);
                if (hull.intersects(
                        QRectF(cell.x() - cellW / 2.0, cell.y() - cellH / 2.0, cellW, cellH))) {
                    continue; // under the letter, or peeping through its counter
                }
                const double v = std::max(0.0, 1.0 - std::sqrt(dx * dx + dy * dy)) +
                                 0.6 * std::max(0.0, 1.0 - std::sqrt(sx * sx + sy * sy));
                const int level = std::clamp(static_cast<int>(v * 9.0), 0, 7);
                if (level == 0) {
                    continue;
                }
                const QColor ink(0x4F, 0xD1, 0xA8, 40 + level * 14);
                if (s >= 64) {
                    p.setPen(ink);
                    const QString ch = ramp.mid(level, 1);
                    p.drawText(QPointF(cell.x() - metrics.horizontalAdvance(ch) / 2.0,
                                       cell.y() + metrics.capHeight() / 2.0),
                               ch);
                } else {
                    DrawPixelGlyph(p, level,
                                   QPoint(static_cast<int>(tile.left() + col * cellW + 0.5),
                                          static_cast<int>(tile.top() + row * cellH + 0.5)),
                                   ink, 1);
                }
            }
        }
    }

    // Glow around the letter.
    {
        const double ratio = p.device()->devicePixelRatio();
        QImage glowMask = NewImage(static_cast<int>(p.device()->width() / ratio),
                                   static_cast<int>(p.device()->height() / ratio), Qt::transparent);
        QPainter g(&glowMask);
        Prepare(g);
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(255, 200, 60, tiny ? 110 : 150));
        g.drawPath(letter);
        g.drawPath(Sparkle(sparkleCentre, sparkleR, sparkleR * 0.2));
        g.end();
        p.drawImage(
            0, 0, art::Blurred(glowMask, std::max(1, static_cast<int>(s / 22.0)), BlurEdge::Clear));
    }
    p.restore();

    // The letter.
    QLinearGradient gold(letterBox.topLeft(), letterBox.bottomLeft());
    gold.setColorAt(0.0, QColor(0xFF, 0xFB, 0xDC));
    gold.setColorAt(0.35, QColor(0xFF, 0xDE, 0x5A));
    gold.setColorAt(1.0, QColor(0xF0, 0x8C, 0x10));
    p.setBrush(gold);
    if (s >= 64) {
        p.setPen(QPen(QColor(0x7A, 0x40, 0x00, 160), s / 64.0));
    } else {
        p.setPen(Qt::NoPen);
    }
    p.drawPath(letter);

    // The sparkle.
    QRadialGradient white(sparkleCentre, sparkleR);
    white.setColorAt(0.0, QColor(255, 255, 255));
    white.setColorAt(0.6, QColor(255, 250, 220));
    white.setColorAt(1.0, QColor(255, 230, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawPath(Sparkle(sparkleCentre, sparkleR, sparkleR * (tiny ? 0.28 : 0.2)));
    if (s >= 37) {
        p.drawPath(
            Sparkle(QPointF(tile.left() + tile.width() * 0.14, tile.top() + tile.height() * 0.2),
                    sparkleR * 0.38, sparkleR * 0.08));
    }

    // Glass edge on the tile.
    QLinearGradient edge(tile.topLeft(), tile.bottomLeft());
    edge.setColorAt(0.0, QColor(255, 255, 255, 70));
    edge.setColorAt(0.5, QColor(255, 255, 255, 0));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(edge), 1.0));
    p.drawRoundedRect(tile.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
}

QImage Icon(int width, int height) {
    QImage image = NewImage(width, height, Qt::transparent);
    QPainter p(&image);
    PaintIcon(p, QRect(QPoint(), image.deviceIndependentSize().toSize()));
    return image;
}

// ---------------------------------------------------------------------------
// Page 6: four icons with captions.

void DocumentLines(QPainter& p, const QRectF& area, const QColor& ink, int seed) {
    // Lines of text as runs of one-pixel "characters".
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    int state = seed;
    for (double y = area.top(); y + 1 <= area.bottom(); y += 3.0) {
        state = (state * 37 + 11) % 97;
        const double length = area.width() * (0.55 + (state % 45) / 100.0);
        for (double x = area.left(); x < area.left() + length; x += 2.0) {
            state = (state * 31 + 7) % 89;
            if (state % 7 == 0) {
                continue;
            }
            p.fillRect(QRectF(x, y, 1.0, 1.0), ink);
        }
    }
    p.restore();
}

void PaintShowArtIcon(QPainter& p) {
    // A monitor whose screen shows coloured characters.
    const QRectF bezel(3.5, 3.5, 32.0, 25.0);
    QPainterPath bezelShape;
    bezelShape.addRoundedRect(bezel, 3.0, 3.0);
    DrawShadow(p, bezelShape, QPointF(0.5, 1.0), 1, 70, QSize(39, 38), BlurEdge::Clear);
    QLinearGradient frame(bezel.topLeft(), bezel.bottomLeft());
    frame.setColorAt(0.0, QColor(0x6A, 0x72, 0x80));
    frame.setColorAt(1.0, QColor(0x2E, 0x33, 0x3C));
    p.setBrush(frame);
    p.setPen(QPen(QColor(0x20, 0x24, 0x2A), 1.0));
    p.drawPath(bezelShape);

    const QRect screen(6, 6, 27, 19);
    QLinearGradient glass(screen.topLeft(), screen.bottomLeft());
    glass.setColorAt(0.0, QColor(0x10, 0x22, 0x36));
    glass.setColorAt(1.0, QColor(0x06, 0x0E, 0x18));
    p.fillRect(screen, glass);
    // Characters: a rainbow ball of coloured letters in a dim blue field,
    // the way coloured-text art looks.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int row = 0; row < 6; ++row) {
        for (int col = 0; col < 13; ++col) {
            const int x = screen.left() + 1 + col * 2;
            const int y = screen.top() + 1 + row * 3;
            const double dx = (x + 0.5 - 19.5) / 8.0;
            const double dy = (y + 1.0 - 15.5) / 8.0;
            const double d2 = dx * dx + dy * dy;
            QColor ink(0x1C, 0x28, 0x58);
            if (d2 <= 1.0) {
                const double lit = std::clamp(
                    0.55 - 0.45 * (dx + dy) * 0.7 + 0.3 * std::sqrt(1.0 - d2), 0.35, 1.0);
                ink = QColor::fromHsvF(std::clamp((dx + 1.0) * 0.3, 0.0, 0.6), 0.85, lit);
            }
            p.fillRect(QRect(x, y, 1, 2), ink);
        }
    }
    p.restore();
    QPainterPath sheen;
    sheen.moveTo(screen.left(), screen.top());
    sheen.lineTo(screen.left() + 17, screen.top());
    sheen.lineTo(screen.left(), screen.top() + 12);
    sheen.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 28));
    p.drawPath(sheen);

    // Stand.
    QPainterPath neck;
    neck.moveTo(16.0, 29.0);
    neck.lineTo(23.0, 29.0);
    neck.lineTo(24.5, 33.0);
    neck.lineTo(14.5, 33.0);
    neck.closeSubpath();
    p.setBrush(QColor(0x4A, 0x50, 0x5A));
    p.drawPath(neck);
    QLinearGradient foot(0, 32.5, 0, 35.5);
    foot.setColorAt(0.0, QColor(0xB8, 0xBE, 0xC6));
    foot.setColorAt(1.0, QColor(0x5A, 0x60, 0x6A));
    p.setBrush(foot);
    p.setPen(QPen(QColor(0x3A, 0x3E, 0x46), 1.0));
    p.drawRoundedRect(QRectF(9.5, 32.5, 20.0, 3.0), 1.5, 1.5);
}

void PaintPrintIcon(QPainter& p) {
    // Sheet waiting at the back.
    p.setPen(QPen(QColor(0x8A, 0x8E, 0x96), 1.0));
    p.setBrush(QColor(0xFA, 0xFA, 0xFA));
    p.drawRect(QRectF(10.5, 3.5, 18.0, 13.0));
    DocumentLines(p, QRectF(13, 6, 12, 8), QColor(0xA0, 0xA4, 0xAC), 3);

    // Body.
    const QRectF body(3.5, 13.5, 32.0, 14.0);
    QPainterPath bodyShape;
    bodyShape.addRoundedRect(body, 3.0, 3.0);
    DrawShadow(p, bodyShape, QPointF(0.5, 1.0), 1, 70, QSize(39, 38), BlurEdge::Clear);
    QLinearGradient shell(body.topLeft(), body.bottomLeft());
    shell.setColorAt(0.0, QColor(0xF6, 0xF7, 0xF9));
    shell.setColorAt(0.5, QColor(0xD4, 0xD8, 0xDE));
    shell.setColorAt(1.0, QColor(0xA4, 0xAA, 0xB4));
    p.setBrush(shell);
    p.setPen(QPen(QColor(0x56, 0x5C, 0x66), 1.0));
    p.drawPath(bodyShape);
    // Paper slot and light.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3A, 0x3E, 0x46));
    p.drawRoundedRect(QRectF(8.0, 16.0, 23.0, 2.0), 1.0, 1.0);
    QRadialGradient led(QPointF(31.5, 20.5), 2.5);
    led.setColorAt(0.0, QColor(0xB8, 0xFF, 0xA0));
    led.setColorAt(0.6, QColor(0x30, 0xC8, 0x20));
    led.setColorAt(1.0, QColor(0x30, 0xC8, 0x20, 0));
    p.setBrush(led);
    p.drawEllipse(QPointF(31.5, 20.5), 2.5, 2.5);

    // Printed sheet coming out at the front.
    p.setPen(QPen(QColor(0x7A, 0x7E, 0x86), 1.0));
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    QPainterPath sheet;
    sheet.moveTo(9.5, 24.5);
    sheet.lineTo(29.5, 24.5);
    sheet.lineTo(30.5, 35.5);
    sheet.lineTo(8.5, 35.5);
    sheet.closeSubpath();
    p.drawPath(sheet);
    DocumentLines(p, QRectF(12, 27, 16, 7), QColor(0x30, 0x34, 0x3C), 17);
}

void PaintSheet(QPainter& p, const QRectF& sheet, const QColor& paperTop, int seed) {
    const double fold = 5.0;
    QPainterPath shape;
    shape.moveTo(sheet.topLeft());
    shape.lineTo(sheet.right() - fold, sheet.top());
    shape.lineTo(sheet.right(), sheet.top() + fold);
    shape.lineTo(sheet.bottomRight());
    shape.lineTo(sheet.bottomLeft());
    shape.closeSubpath();
    DrawShadow(p, shape, QPointF(0.5, 1.0), 1, 60, QSize(39, 38), BlurEdge::Clear);
    QLinearGradient paper(sheet.topLeft(), sheet.bottomRight());
    paper.setColorAt(0.0, paperTop);
    paper.setColorAt(1.0, QColor(0xE6, 0xEC, 0xF4));
    p.setBrush(paper);
    p.setPen(QPen(QColor(0x5E, 0x70, 0x8C), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(shape);
    QPainterPath ear;
    ear.moveTo(sheet.right() - fold, sheet.top());
    ear.lineTo(sheet.right() - fold, sheet.top() + fold);
    ear.lineTo(sheet.right(), sheet.top() + fold);
    p.setBrush(QColor(0xC8, 0xD2, 0xE0));
    p.drawPath(ear);
    DocumentLines(
        p,
        QRectF(sheet.left() + 3.5, sheet.top() + 7.5, sheet.width() - 6.0, sheet.height() - 10.0),
        QColor(0x4A, 0x5A, 0x74), seed);
}

void PaintCopyIcon(QPainter& p) {
    PaintSheet(p, QRectF(4.5, 2.5, 19.0, 24.0), QColor(0xFF, 0xFF, 0xFF), 5);
    PaintSheet(p, QRectF(14.5, 10.5, 19.0, 24.0), QColor(0xFF, 0xFF, 0xFF), 23);
}

void PaintSaveIcon(QPainter& p) {
    // A diskette.
    const QRectF disk(4.5, 4.5, 30.0, 30.0);
    QPainterPath shape;
    shape.moveTo(disk.left() + 2.0, disk.top());
    shape.lineTo(disk.right() - 4.0, disk.top());
    shape.lineTo(disk.right(), disk.top() + 4.0);
    shape.lineTo(disk.right(), disk.bottom() - 2.0);
    shape.quadTo(disk.right(), disk.bottom(), disk.right() - 2.0, disk.bottom());
    shape.lineTo(disk.left() + 2.0, disk.bottom());
    shape.quadTo(disk.left(), disk.bottom(), disk.left(), disk.bottom() - 2.0);
    shape.lineTo(disk.left(), disk.top() + 2.0);
    shape.quadTo(disk.left(), disk.top(), disk.left() + 2.0, disk.top());
    shape.closeSubpath();
    DrawShadow(p, shape, QPointF(0.5, 1.0), 1, 70, QSize(39, 38), BlurEdge::Clear);
    QLinearGradient plastic(disk.topLeft(), disk.bottomRight());
    plastic.setColorAt(0.0, QColor(0x52, 0x86, 0xD8));
    plastic.setColorAt(1.0, QColor(0x1C, 0x3C, 0x84));
    p.setBrush(plastic);
    p.setPen(QPen(QColor(0x12, 0x28, 0x5A), 1.0));
    p.drawPath(shape);

    // Metal shutter with its window.
    const QRectF shutter(11.5, 4.5, 16.0, 10.0);
    QLinearGradient metal(shutter.topLeft(), shutter.topRight());
    metal.setColorAt(0.0, QColor(0xB4, 0xBA, 0xC2));
    metal.setColorAt(0.4, QColor(0xF4, 0xF6, 0xF8));
    metal.setColorAt(1.0, QColor(0x90, 0x96, 0xA0));
    p.setBrush(metal);
    p.setPen(QPen(QColor(0x4A, 0x50, 0x5A), 1.0));
    p.drawRect(shutter);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2A, 0x2E, 0x36));
    p.drawRect(QRectF(21.0, 6.0, 3.0, 7.0));

    // Label.
    const QRectF label(9.5, 19.5, 20.0, 15.0);
    p.setBrush(QColor(0xF8, 0xF8, 0xF2));
    p.setPen(QPen(QColor(0x9A, 0xA2, 0xB0), 1.0));
    p.drawRoundedRect(label, 1.0, 1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE0, 0x40, 0x30));
    p.drawRect(QRectF(10.0, 20.0, 19.0, 2.0));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(12, 25, 15, 1), QColor(0x8A, 0x94, 0xA6));
    p.fillRect(QRect(12, 28, 12, 1), QColor(0x8A, 0x94, 0xA6));
    p.fillRect(QRect(12, 31, 14, 1), QColor(0x8A, 0x94, 0xA6));
    p.restore();
}

QImage Page6Icons() {
    QImage image = NewImage(238, 90, kWizardGrey);
    QPainter p(&image);
    struct Entry {
        QPoint at;
        void (*paint)(QPainter&);
        const char* caption;
    };
    const std::array<Entry, 4> entries = {{
        {QPoint(6, 5), PaintShowArtIcon, "Show art"},
        {QPoint(137, 5), PaintPrintIcon, "Print"},
        {QPoint(6, 47), PaintCopyIcon, "Copy"},
        {QPoint(137, 47), PaintSaveIcon, "Save"},
    }};
    for (const Entry& entry : entries) {
        // Each icon is painted on its own 39 x 38 square, then placed.
        QImage square = NewImage(39, 38, kWizardGrey);
        {
            QPainter s(&square);
            Prepare(s);
            entry.paint(s);
        }
        p.drawImage(entry.at, square);
        Prepare(p);
        p.setFont(UiFont(11));
        p.setPen(QColor(0x10, 0x10, 0x10));
        const QFontMetricsF metrics(p.font());
        const double baseline = std::round(entry.at.y() + 19.0 + metrics.capHeight() / 2.0);
        p.drawText(QPointF(entry.at.x() + 39 + 6, baseline), QString::fromLatin1(entry.caption));
    }
    return image;
}

// ---------------------------------------------------------------------------
// Header strip: a band of characters on white: sparkles written as a field of
// light with a ramp of characters, in a dust of dots, grey where faint and
// the step number's green where bright. Only its left 140 pixels show in the
// wizard (the window ends there), so the main sparkle sits in that part.

struct StripCell {
    QChar ch = QLatin1Char(' ');
    double strength = 0.0; // 0 faint .. 1 brightest
};

QImage HeaderStrip() {
    QImage image = NewImage(196, 54, Qt::white);
    QPainter p(&image);
    Prepare(p);
    const int cellW = 5;
    const int cellH = 7;
    const int cols = 196 / cellW;
    const int rows = 54 / cellH;
    const int top = (54 - rows * cellH) / 2;
    const int left = (196 - cols * cellW) / 2;
    std::vector<std::vector<StripCell>> grid(static_cast<size_t>(rows),
                                             std::vector<StripCell>(static_cast<size_t>(cols)));

    // Glimmer dust: scattered dots, thicker near the sparkles (placed below).
    auto hash = [](int col, int row) {
        unsigned int h = static_cast<unsigned int>(col) * 374761393u +
                         static_cast<unsigned int>(row) * 668265263u;
        h = (h ^ (h >> 13)) * 1274126177u;
        return static_cast<double>((h ^ (h >> 16)) & 0xFFFFu) / 65536.0;
    };
    // Sparkles as a field of light, written with a ramp of characters.
    struct Glint {
        double col, row, reachH, reachV, strength;
    };
    const std::array<Glint, 5> glints = {{{15, 3, 9.5, 7.0, 1.0},
                                          {5, 1, 3.5, 2.6, 0.75},
                                          {24, 5, 4.5, 3.2, 0.8},
                                          {31, 1, 4.0, 2.0, 0.75},
                                          {36, 4, 3.0, 1.6, 0.6}}};
    const QString ramp = QStringLiteral(" .:-=+*#%@");
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            double v = 0.0;
            double near = 0.0;
            for (const Glint& g : glints) {
                const double dx = std::abs(col - g.col) / g.reachH;
                const double dy = std::abs(row - g.row) / g.reachV;
                // An astroid: four thin rays with curved flanks.
                const double star = 1.0 - (std::sqrt(dx) + std::sqrt(dy));
                // The halo is round on screen, whatever the rays' lengths.
                const double radius = g.reachH * cellW * 0.6;
                const double hx = (col - g.col) * cellW / radius;
                const double hy = (row - g.row) * cellH / radius;
                const double distance = std::sqrt(hx * hx + hy * hy);
                const double halo = 0.3 * (1.0 - distance);
                near = std::max(near, g.strength * (1.0 - distance / 2.2));
                v = std::max(v, g.strength * std::max(star * 1.25, halo));
            }
            if (v <= 0.08) {
                const double dust = 0.04 + 0.45 * std::max(near, 0.0);
                const double r = hash(col, row);
                if (r < dust) {
                    grid[row][col] = {r < dust * 0.3 ? QLatin1Char('\'') : QLatin1Char('.'), 0.1};
                }
                continue;
            }
            const int level =
                std::clamp(static_cast<int>(v * ramp.size()), 1, static_cast<int>(ramp.size()) - 1);
            grid[row][col] = {ramp[level], v};
        }
    }

    const QFont font = MonoFont(8, true);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const QColor faint(0xB4, 0xC4, 0xB4);
    const QColor bright = kStepGreen;
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            const StripCell& cell = grid[row][col];
            if (cell.ch == QLatin1Char(' ')) {
                continue;
            }
            // Fade in from the left, where the page description ends.
            const double fade = std::clamp((col - 0.5) / 4.0, 0.0, 1.0);
            const double t = std::clamp(cell.strength, 0.0, 1.0) * fade;
            const QColor ink = QColor::fromRgbF(
                (faint.redF() * (1 - t) + bright.redF() * t) * fade + (1 - fade),
                (faint.greenF() * (1 - t) + bright.greenF() * t) * fade + (1 - fade),
                (faint.blueF() * (1 - t) + bright.blueF() * t) * fade + (1 - fade));
            p.setPen(ink);
            const QString ch(cell.ch);
            p.drawText(QPointF(left + col * cellW + (cellW - metrics.horizontalAdvance(ch)) / 2.0,
                               top + row * cellH + cellH - 1.0),
                       ch);
        }
    }
    return image;
}

// ---------------------------------------------------------------------------
// The two examples of the format page: a picture painted here, converted by
// the program's conversion engine, and the art text drawn as text.

glimmora::Colour ToColour(QRgb rgb) {
    return static_cast<glimmora::Colour>(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

glimmora::PixelBuffer ToPixelBuffer(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    glimmora::PixelBuffer buffer(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            buffer.SetPixel(x, y, ToColour(line[x]));
        }
    }
    return buffer;
}

std::string Convert(const QImage& picture, glimmora::ConversionInputs inputs) {
    const glimmora::PixelBuffer buffer = ToPixelBuffer(picture);
    inputs.widthText = std::to_string(picture.width());
    inputs.heightText = std::to_string(picture.height());
    glimmora::ConversionEngine engine(std::move(inputs), &buffer);
    while (engine.Step() != glimmora::StepResult::Finished) {
    }
    return engine.TakeArtText();
}

std::vector<std::string> SplitLines(const std::string& art) {
    std::vector<std::string> lines;
    std::string line;
    for (char ch : art) {
        if (ch == '\r') {
            lines.push_back(line);
            line.clear();
        } else {
            line += ch;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

struct ColouredCell {
    QColor colour;
    QString letter;
};

// Reads one line of coloured art: <font color="#RRGGBB">L</font> cells.
std::vector<ColouredCell> ParseColouredLine(const std::string& line) {
    std::vector<ColouredCell> cells;
    const std::string open = "<font color=\"#";
    const std::string close = "</font>";
    size_t at = 0;
    while ((at = line.find(open, at)) != std::string::npos) {
        const size_t codeAt = at + open.size();
        const size_t textAt = line.find("\">", codeAt);
        const size_t endAt = textAt == std::string::npos ? textAt : line.find(close, textAt);
        if (endAt == std::string::npos) {
            break;
        }
        // Six hex digits, red pair first.
        unsigned int code = 0;
        const char* digits = line.data() + codeAt;
        std::from_chars(digits, digits + (textAt - codeAt), code, 16);
        ColouredCell cell;
        cell.colour = QColor((code >> 16) & 0xFF, (code >> 8) & 0xFF, code & 0xFF);
        cell.letter = QString::fromStdString(line.substr(textAt + 2, endAt - textAt - 2));
        cells.push_back(cell);
        at = endAt + close.size();
    }
    return cells;
}

// A hot-air balloon with rainbow gores in a night sky, for the coloured
// example. The sky is a deep blue rather than black, so its letters stay
// faintly visible and the whole picture reads as text.
QImage BalloonPicture(int width, int height) {
    QImage image = NewImage(width, height, Qt::black);
    QPainter p(&image);
    Prepare(p);
    const double w = width;
    const double h = height;

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(0x04, 0x07, 0x1C));
    sky.setColorAt(0.7, QColor(0x0E, 0x18, 0x42));
    sky.setColorAt(1.0, QColor(0x1A, 0x22, 0x4C));
    p.fillRect(QRectF(0, 0, w, h), sky);

    // Stars, each large enough to be sampled.
    const std::array<QPointF, 7> stars = {{{0.1, 0.05},
                                           {0.88, 0.09},
                                           {0.06, 0.5},
                                           {0.94, 0.44},
                                           {0.14, 0.8},
                                           {0.86, 0.86},
                                           {0.62, 0.02}}};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xF4, 0xC0));
    for (const QPointF& star : stars) {
        p.drawEllipse(QPointF(star.x() * w, star.y() * h), w * 0.03, w * 0.03);
    }

    // Envelope: round above, narrowing to the mouth.
    const double rx = w * 0.44;
    const double ry = h * 0.25;
    const QPointF centre(w * 0.5, h * 0.05 + ry);
    const double mouthY = h * 0.7;
    const double mouthHalf = w * 0.1;
    QPainterPath envelope;
    envelope.moveTo(centre.x(), centre.y() - ry);
    envelope.cubicTo(centre.x() + rx * 0.56, centre.y() - ry, centre.x() + rx,
                     centre.y() - ry * 0.55, centre.x() + rx, centre.y());
    envelope.cubicTo(centre.x() + rx, centre.y() + ry * 0.62, centre.x() + mouthHalf * 1.6,
                     mouthY - h * 0.07, centre.x() + mouthHalf, mouthY);
    envelope.lineTo(centre.x() - mouthHalf, mouthY);
    envelope.cubicTo(centre.x() - mouthHalf * 1.6, mouthY - h * 0.07, centre.x() - rx,
                     centre.y() + ry * 0.62, centre.x() - rx, centre.y());
    envelope.cubicTo(centre.x() - rx, centre.y() - ry * 0.55, centre.x() - rx * 0.56,
                     centre.y() - ry, centre.x(), centre.y() - ry);
    envelope.closeSubpath();

    p.save();
    p.setClipPath(envelope);
    const std::array<QColor, 7> gores = {QColor(0xFF, 0x2E, 0x3A), QColor(0xFF, 0x8A, 0x10),
                                         QColor(0xFF, 0xE0, 0x1A), QColor(0x3C, 0xE0, 0x3C),
                                         QColor(0x20, 0xC8, 0xE8), QColor(0x3A, 0x7A, 0xFF),
                                         QColor(0xC0, 0x48, 0xF8)};
    const int goreCount = static_cast<int>(gores.size());
    for (int i = 0; i < goreCount; ++i) {
        // Gores bend with the envelope: narrow at the sides, wide in the middle.
        auto xAt = [&](double k) {
            const double u = -1.0 + 2.0 * k / goreCount;
            return centre.x() + rx * std::sin(u * kPi / 2.0);
        };
        p.setBrush(gores[static_cast<size_t>(i)]);
        p.drawRect(QRectF(QPointF(xAt(i), 0), QPointF(xAt(i + 1), h)));
    }
    // Light from the upper left, a gentle shade at the lower right.
    QRadialGradient light(centre + QPointF(-rx * 0.35, -ry * 0.4), rx * 1.6);
    light.setColorAt(0.0, QColor(255, 255, 255, 120));
    light.setColorAt(0.4, QColor(255, 255, 255, 0));
    light.setColorAt(0.85, QColor(0, 0, 0, 60));
    light.setColorAt(1.0, QColor(0, 0, 0, 110));
    p.setBrush(light);
    p.drawRect(QRectF(0, 0, w, h));
    p.restore();

    // Burner glow in the mouth, cords and the basket.
    const double basketTop = h * 0.8;
    p.setPen(QPen(QColor(0xC8, 0x9C, 0x60), w * 0.035));
    p.drawLine(QPointF(centre.x() - mouthHalf * 0.9, mouthY),
               QPointF(centre.x() - w * 0.075, basketTop));
    p.drawLine(QPointF(centre.x() + mouthHalf * 0.9, mouthY),
               QPointF(centre.x() + w * 0.075, basketTop));
    p.setPen(Qt::NoPen);
    QRadialGradient flame(QPointF(centre.x(), mouthY + h * 0.02), w * 0.09);
    flame.setColorAt(0.0, QColor(0xFF, 0xFF, 0xC8));
    flame.setColorAt(0.5, QColor(0xFF, 0xB8, 0x28));
    flame.setColorAt(1.0, QColor(0xFF, 0x60, 0x00, 0));
    p.setBrush(flame);
    p.drawEllipse(QPointF(centre.x(), mouthY + h * 0.02), w * 0.09, h * 0.04);
    QLinearGradient wicker(0, basketTop, 0, basketTop + h * 0.08);
    wicker.setColorAt(0.0, QColor(0xE8, 0xA8, 0x50));
    wicker.setColorAt(1.0, QColor(0x98, 0x58, 0x20));
    p.setBrush(wicker);
    p.drawRoundedRect(QRectF(centre.x() - w * 0.12, basketTop, w * 0.24, h * 0.075), w * 0.02,
                      w * 0.02);
    return image;
}

QImage ExampleColoured() {
    // Cells of 5 x 8 pixels: 24 columns, 24 lines.
    const int cellW = 5;
    const int cellH = 8;
    const int cols = 120 / cellW;
    const int rows = 196 / cellH;
    const int top = (196 - rows * cellH) / 2;
    // The picture is painted at twice the example's size; the scale picks
    // one pixel per cell.
    const QImage picture = BalloonPicture(cols * cellW * 2, rows * cellH * 2);
    glimmora::ConversionInputs inputs;
    inputs.coloured = true;
    inputs.word = "GLIMMORA";
    inputs.scaleWidthText = std::to_string(cellW * 2);
    inputs.scaleHeightText = std::to_string(cellH * 2);
    const std::vector<std::string> lines = SplitLines(Convert(picture, inputs));

    QImage image = NewImage(120, 196, Qt::black);
    QPainter p(&image);
    Prepare(p);
    const QFont font = MonoFont(9, true);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    for (size_t row = 0; row < lines.size(); ++row) {
        const std::vector<ColouredCell> cells = ParseColouredLine(lines[row]);
        for (size_t col = 0; col < cells.size(); ++col) {
            p.setPen(cells[col].colour);
            const double x =
                col * cellW +
                std::round((cellW - metrics.horizontalAdvance(cells[col].letter)) / 2.0);
            p.drawText(QPointF(x, top + static_cast<double>(row) * cellH + cellH - 1.0),
                       cells[col].letter);
        }
    }
    return image;
}

// A lit sphere resting on a floor, for the standard-text example. Its tones
// run through all nine bands of the sign ramp.
QImage SpherePicture(int width, int height) {
    QImage image = NewImage(width, height, Qt::white);
    QPainter p(&image);
    Prepare(p);
    const double w = width;
    const double h = height;
    const double horizon = h * 0.62;

    QLinearGradient wall(0, 0, 0, horizon);
    wall.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    wall.setColorAt(1.0, QColor(0xDA, 0xDA, 0xDA));
    p.fillRect(QRectF(0, 0, w, horizon), wall);
    QLinearGradient floor(0, horizon, 0, h);
    floor.setColorAt(0.0, QColor(0xB4, 0xB4, 0xB4));
    floor.setColorAt(1.0, QColor(0x88, 0x88, 0x88));
    p.fillRect(QRectF(0, horizon, w, h - horizon), floor);

    const double r = h * 0.4;
    const QPointF centre(w * 0.44, h * 0.86 - r);

    // Cast shadow on the floor, to the right.
    QRadialGradient shadow(QPointF(centre.x() + r * 0.75, h * 0.86), r * 1.2);
    shadow.setColorAt(0.0, QColor(0x40, 0x40, 0x40, 200));
    shadow.setColorAt(0.6, QColor(0x60, 0x60, 0x60, 110));
    shadow.setColorAt(1.0, QColor(0x80, 0x80, 0x80, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.save();
    p.translate(centre.x() + r * 0.75, h * 0.86);
    p.scale(1.0, 0.22);
    p.translate(-(centre.x() + r * 0.75), -h * 0.86);
    p.drawEllipse(QPointF(centre.x() + r * 0.75, h * 0.86), r * 1.25, r * 1.25);
    p.restore();

    p.end();

    // The sphere, lit from the upper left: diffuse light, a little ambient
    // light and a highlight, worked out for every pixel.
    const double lx = -0.45;
    const double ly = -0.5;
    const double lz = 0.74;
    const double norm = std::sqrt(lx * lx + ly * ly + lz * lz);
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double nx = (x + 0.5 - centre.x()) / r;
            const double ny = (y + 0.5 - centre.y()) / r;
            const double d2 = nx * nx + ny * ny;
            if (d2 > 1.0) {
                continue;
            }
            const double nz = std::sqrt(1.0 - d2);
            const double diffuse = std::max(0.0, (nx * lx + ny * ly + nz * lz) / norm);
            const double highlight = std::pow(diffuse, 90.0);
            // Darker towards the outline, so the lit side still shows a rim.
            const double value = std::clamp(
                (0.08 + 0.64 * diffuse) * (0.65 + 0.35 * nz) + 0.25 * highlight, 0.0, 1.0);
            // Soften the outline against the background by a pixel.
            const double edge = std::clamp((1.0 - std::sqrt(d2)) * r, 0.0, 1.0);
            const QColor under = QColor::fromRgb(line[x]);
            const int grey = static_cast<int>(std::round(value * 255.0));
            const int mixed = static_cast<int>(std::round(grey * edge + under.red() * (1 - edge)));
            line[x] = qRgb(mixed, mixed, mixed);
        }
    }
    return image;
}

QImage ExampleStandard() {
    // Cells of 5 x 8 pixels: 40 columns, 17 lines.
    const int cellW = 5;
    const int cellH = 8;
    const int cols = 201 / cellW;
    const int rows = 136 / cellH;
    const int left = (201 - cols * cellW) / 2;
    const int top = (136 - rows * cellH) / 2;
    const QImage picture = SpherePicture(cols * cellW * 2, rows * cellH * 2);
    glimmora::ConversionInputs inputs;
    // The clean-text ramp that the style page proposes.
    inputs.ramp = {"9", "=", "u", "e", ";", ":", ",", ".", " "};
    inputs.scaleWidthText = std::to_string(cellW * 2);
    inputs.scaleHeightText = std::to_string(cellH * 2);
    const std::vector<std::string> lines = SplitLines(Convert(picture, inputs));

    QImage image = NewImage(201, 136, Qt::white);
    QPainter p(&image);
    Prepare(p);
    const QFont font = MonoFont(8);
    p.setFont(font);
    p.setPen(QColor(0x18, 0x18, 0x18));
    const QFontMetricsF metrics(font);
    for (size_t row = 0; row < lines.size(); ++row) {
        const QString line = QString::fromStdString(lines[row]);
        for (int col = 0; col < line.size(); ++col) {
            const QString ch = line.mid(col, 1);
            const double x =
                left + col * cellW + std::round((cellW - metrics.horizontalAdvance(ch)) / 2.0);
            p.drawText(QPointF(x, top + static_cast<double>(row) * cellH + cellH - 1.0), ch);
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    glimmora::art::UseOffscreenPlatformUnlessSet();
    QGuiApplication app(argc, argv);
    glimmora::art::ArtFolder folder(glimmora::art::OutputFolder(argc, argv));
    RegisterFonts();
    std::printf("UI font: %s, text font: %s\n", qPrintable(gUiFamily), qPrintable(gMonoFamily));

    folder.Save(Icon(45, 37), QStringLiteral("app/icon.png"), true);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        folder.Save(Icon(size, size), QStringLiteral("app/icon-%1.png").arg(size), true);
    }

    // The window artwork at scale 1 and 2; the examples are art of signs
    // drawn at scale 1 only.
    for (const int scale : {1, 2}) {
        glimmora::art::SetScale(scale);
        folder.Save(WizardBackground(), QStringLiteral("wizard/background.png"));
        folder.Save(NavigationFace(Face::Grey, QStringLiteral("< Previous")),
                    QStringLiteral("wizard/previous_grey.png"));
        folder.Save(NavigationFace(Face::Grey, QStringLiteral("Next >")),
                    QStringLiteral("wizard/next_grey.png"));
        folder.Save(NavigationFace(Face::Hover, QStringLiteral("< Previous")),
                    QStringLiteral("wizard/previous_hover.png"));
        folder.Save(NavigationFace(Face::Hover, QStringLiteral("Next >")),
                    QStringLiteral("wizard/next_hover.png"));
        folder.Save(NavigationFace(Face::Hover, QStringLiteral("Cancel")),
                    QStringLiteral("wizard/cancel_hover.png"));
        folder.Save(BrowseFace(Face::Idle), QStringLiteral("wizard/browse.png"));
        folder.Save(BrowseFace(Face::Hover), QStringLiteral("wizard/browse_hover.png"));
        folder.Save(Restart(), QStringLiteral("wizard/restart.png"));
        folder.Save(HeaderStrip(), QStringLiteral("wizard/header_strip.png"));
        folder.Save(Bulb(), QStringLiteral("wizard/bulb.png"));
        folder.Save(ThumbPlaceholder(), QStringLiteral("wizard/thumb_placeholder.png"));
        folder.Save(Page6Icons(), QStringLiteral("wizard/page6_icons.png"));
    }
    glimmora::art::SetScale(1);
#ifndef GLIMMORA_ART_WITHOUT_ENGINE
    folder.Save(ExampleColoured(), QStringLiteral("wizard/example_colored.png"));
    folder.Save(ExampleStandard(), QStringLiteral("wizard/example_standard.png"));
#endif
    return folder.AllSaved() ? 0 : 1;
}
