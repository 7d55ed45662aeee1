// glimmora-make-shell-art: paints the pictures of the start window, the About
// window and the hidden picture window, and writes them as PNG under
// assets/shell/ (or under the folder given as the first argument). All of it
// is drawn here with QPainter; the logo is a cut gem turned into coloured
// letters, the way Glimmora itself turns a picture into ASCII art.

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
#include <QPolygonF>
#include <QRadialGradient>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "ArtKit.h"

namespace {

namespace art = glimmora::art;
using art::BlurEdge;
using art::DrawCentred;
using art::DrawShadow;
using art::Font;
using art::kPi;
using art::NewImage;
using art::Prepare;

QString gTitleFamily;
QString gSansFamily;
QString gMonoFamily;

// ---------------------------------------------------------------------------
// Basics

void ChooseFonts() {
    gTitleFamily = art::FirstFamily({"URW Gothic", "DejaVu Sans", "Liberation Sans"},
                                    QFontDatabase::TitleFont);
    gSansFamily = art::FirstFamily({"DejaVu Sans", "Liberation Sans"}, QFontDatabase::GeneralFont);
    gMonoFamily =
        art::FirstFamily({"DejaVu Sans Mono", "Liberation Mono"}, QFontDatabase::FixedFont);
}

// A small deterministic random source, so every run paints the same stars.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : state_(seed) {}
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return (state_ % 100000) / 100000.0;
    }
    double Between(double low, double high) { return low + (high - low) * Next(); }

private:
    std::uint32_t state_;
};

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// ---------------------------------------------------------------------------
// The gem: a brilliant cut seen from the side, its facets in the blue to
// violet to rose of the logo.

QImage GemPicture(int width, int height) {
    QImage image = NewImage(width, height, Qt::transparent);
    QPainter p(&image);
    Prepare(p);
    const double w = width;
    const double h = height;
    const double girdle = h * 0.34;
    const QPointF culet(w * 0.5, h * 0.995);
    // Corners of the table and of the girdle, left to right.
    const std::vector<QPointF> table{
        {w * 0.27, h * 0.02}, {w * 0.42, h * 0.02}, {w * 0.58, h * 0.02}, {w * 0.73, h * 0.02}};
    const std::vector<QPointF> rim{{w * 0.005, girdle}, {w * 0.17, girdle}, {w * 0.34, girdle},
                                   {w * 0.5, girdle},   {w * 0.66, girdle}, {w * 0.83, girdle},
                                   {w * 0.995, girdle}};
    const QColor cyan(0x55, 0xE6, 0xFF);
    const QColor blue(0x3D, 0x7B, 0xFF);
    const QColor violet(0x8E, 0x4B, 0xF5);
    const QColor rose(0xF0, 0x4E, 0xC8);
    const QColor white(0xF4, 0xFC, 0xFF);
    // Light falls from the upper left: the colour runs across the stone and
    // each facet is lit by how much it faces that way.
    auto facet = [&](const QPolygonF& shape, double across, double light) {
        const QColor base = across < 0.35  ? Mix(cyan, blue, across / 0.35)
                            : across < 0.7 ? Mix(blue, violet, (across - 0.35) / 0.35)
                                           : Mix(violet, rose, (across - 0.7) / 0.3);
        const QColor shade = light >= 0 ? Mix(base, white, light) : Mix(base, Qt::black, -light);
        const QRectF box = shape.boundingRect();
        QLinearGradient fill(box.topLeft(), box.bottomRight());
        fill.setColorAt(0.0, Mix(shade, white, 0.18));
        fill.setColorAt(1.0, Mix(shade, Qt::black, 0.12));
        p.setBrush(fill);
        // Dark seams between the facets keep the cut readable in letters.
        p.setPen(
            QPen(QColor(0x10, 0x0C, 0x30), w / 110.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolygon(shape);
    };
    // Table.
    facet(QPolygonF({table[0], table[3], rim[4], rim[2]}), 0.35, 0.35);
    // Crown: the facets between the table and the girdle.
    facet(QPolygonF({table[0], rim[2], rim[1]}), 0.12, 0.45);
    facet(QPolygonF({table[0], rim[1], rim[0]}), 0.02, 0.25);
    facet(QPolygonF({table[3], rim[5], rim[4]}), 0.7, 0.05);
    facet(QPolygonF({table[3], rim[6], rim[5]}), 0.95, -0.15);
    facet(QPolygonF({table[0], table[1], rim[3], rim[2]}), 0.3, 0.6);
    facet(QPolygonF({table[1], table[2], rim[3]}), 0.45, 0.75);
    facet(QPolygonF({table[2], table[3], rim[4], rim[3]}), 0.58, 0.3);
    // Pavilion: long facets down to the culet.
    for (size_t i = 0; i + 1 < rim.size(); ++i) {
        const double across = (i + 0.5) / (rim.size() - 1);
        const double light = 0.25 - across * 0.75 + ((i % 2) != 0 ? 0.12 : 0.0);
        facet(QPolygonF({rim[i], rim[i + 1], culet}), across, light);
    }
    // A sharp glint across the table.
    QLinearGradient glint(QPointF(w * 0.3, 0), QPointF(w * 0.55, girdle));
    glint.setColorAt(0.0, QColor(255, 255, 255, 0));
    glint.setColorAt(0.45, QColor(255, 255, 255, 200));
    glint.setColorAt(0.55, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glint);
    p.drawPolygon(QPolygonF({table[0], table[2], rim[3], rim[1]}));
    return image;
}

// Turns a picture into coloured letters: one letter per cell, its density
// from the cell's brightness and its colour from the cell's average colour.
// Cells that are mostly see-through stay empty.
void DrawAsAscii(QPainter& p, const QImage& source, QRectF target, int columns, int rows,
                 const QFont& font, bool onDark) {
    // Darkest to lightest, as the letters look on a dark ground.
    const QString ramp = QStringLiteral(".:-=+*o%#@");
    const QImage picture = source.convertToFormat(QImage::Format_ARGB32);
    const double cellW = target.width() / columns;
    const double cellH = target.height() / rows;
    p.setFont(font);
    const QFontMetricsF metrics(font);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int x0 = column * picture.width() / columns;
            const int x1 = std::max(x0 + 1, (column + 1) * picture.width() / columns);
            const int y0 = row * picture.height() / rows;
            const int y1 = std::max(y0 + 1, (row + 1) * picture.height() / rows);
            double r = 0;
            double g = 0;
            double b = 0;
            double a = 0;
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    const QRgb c = picture.pixel(x, y);
                    const double alpha = qAlpha(c) / 255.0;
                    r += qRed(c) * alpha;
                    g += qGreen(c) * alpha;
                    b += qBlue(c) * alpha;
                    a += alpha;
                }
            }
            const double count = static_cast<double>((x1 - x0) * (y1 - y0));
            if (a / count < 0.35) {
                continue;
            }
            r /= a;
            g /= a;
            b /= a;
            const double level = (0.299 * r + 0.587 * g + 0.114 * b) / 255.0;
            // Dark cells are the seams between facets: they stay empty. On a
            // light ground the rest is drawn with dense letters.
            if (level < 0.16) {
                continue;
            }
            const double density = onDark ? level : 0.55 + level * 0.45;
            const int index = std::clamp(static_cast<int>(density * ramp.size()), 2,
                                         static_cast<int>(ramp.size()) - 1);
            QColor colour(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b));
            if (!onDark) {
                colour = Mix(colour, Qt::black, 0.3);
            }
            p.setPen(colour);
            const QString letter = ramp.mid(index, 1);
            const double x =
                target.left() + column * cellW + (cellW - metrics.horizontalAdvance(letter)) / 2.0;
            const double y = target.top() + row * cellH + (cellH + metrics.capHeight()) / 2.0;
            p.drawText(QPointF(x, y), letter);
        }
    }
}

// A four-pointed sparkle with curved sides and a soft halo.
void DrawSparkle(QPainter& p, QPointF centre, double radius, const QColor& colour) {
    QRadialGradient halo(centre, radius * 1.6);
    QColor glow = colour;
    glow.setAlpha(90);
    halo.setColorAt(0.0, glow);
    glow.setAlpha(0);
    halo.setColorAt(1.0, glow);
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(centre, radius * 1.6, radius * 1.6);
    QPainterPath star;
    const double waist = radius * 0.16;
    star.moveTo(centre + QPointF(0, -radius));
    star.quadTo(centre + QPointF(waist, -waist), centre + QPointF(radius, 0));
    star.quadTo(centre + QPointF(waist, waist), centre + QPointF(0, radius));
    star.quadTo(centre + QPointF(-waist, waist), centre + QPointF(-radius, 0));
    star.quadTo(centre + QPointF(-waist, -waist), centre + QPointF(0, -radius));
    p.setBrush(colour);
    p.drawPath(star);
}

// The logo: the gem in letters with a glow behind it and sparkles about it.
void DrawLogo(QPainter& p, QRectF area, int columns, int rows, bool onDark, QSize canvas) {
    const QImage gem = GemPicture(520, 440);
    // Glow behind the stone.
    {
        QImage glowLayer = NewImage(canvas.width(), canvas.height(), Qt::transparent);
        QPainter g(&glowLayer);
        Prepare(g);
        g.setOpacity(onDark ? 0.55 : 0.22);
        g.drawImage(area.adjusted(area.width() * 0.06, area.height() * 0.06, -area.width() * 0.06,
                                  -area.height() * 0.06),
                    gem);
        g.end();
        p.drawImage(0, 0, art::Blurred(glowLayer, onDark ? 14 : 10, BlurEdge::Repeat));
    }
    const double cell = area.width() / columns;
    DrawAsAscii(p, gem, area, columns, rows, Font(gMonoFamily, cell * 1.45, QFont::Bold), onDark);
    const QColor spark = onDark ? QColor(0xFF, 0xFF, 0xFF) : QColor(0x7A, 0x5C, 0xF0);
    DrawSparkle(p, area.topLeft() + QPointF(area.width() * 0.86, area.height() * 0.02),
                area.width() * 0.07, spark);
    DrawSparkle(p, area.topLeft() + QPointF(area.width() * 0.08, area.height() * 0.16),
                area.width() * 0.04, spark);
    DrawSparkle(p, area.topLeft() + QPointF(area.width() * 0.9, area.height() * 0.55),
                area.width() * 0.03, spark);
}

// ---------------------------------------------------------------------------
// Start window

const QColor kBarTop(0xF3, 0xF4, 0xF7);
const QColor kBarBottom(0xCF, 0xD3, 0xDB);

// The face of one icon button of the start window's bar.
QPainterPath ButtonShape(QRectF box) {
    QPainterPath shape;
    shape.addRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
    return shape;
}

void DrawButtonFace(QPainter& p, QRectF box) {
    const QPainterPath shape = ButtonShape(box);
    QLinearGradient face(box.topLeft(), box.bottomLeft());
    face.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    face.setColorAt(0.55, QColor(0xF0, 0xF2, 0xF6));
    face.setColorAt(1.0, QColor(0xD8, 0xDD, 0xE6));
    p.setBrush(face);
    p.setPen(QPen(QColor(0x8D, 0x95, 0xA5), 1.0));
    p.drawPath(shape);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.0));
    p.drawPath(ButtonShape(box.adjusted(1, 1, -1, -1)));
}

void DrawLetterA(QPainter& p, QRectF box) {
    QFont font = Font(gTitleFamily, 34, QFont::Bold);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const QString letter = QStringLiteral("A");
    const QRectF bounds = metrics.tightBoundingRect(letter);
    const QPointF origin(box.center().x() - bounds.center().x(),
                         box.center().y() - bounds.center().y());
    QPainterPath path;
    path.addText(origin, font, letter);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawPath(path.translated(1, 1.5));
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0.0, QColor(0x3D, 0x8B, 0xFF));
    fill.setColorAt(1.0, QColor(0x6A, 0x3D, 0xD8));
    p.setBrush(fill);
    p.drawPath(path);
}

void DrawQuestionMark(QPainter& p, QRectF box) {
    const QPointF centre = box.center();
    const double radius = 15.5;
    QRadialGradient disc(centre - QPointF(5, 6), radius * 1.5);
    disc.setColorAt(0.0, QColor(0x6F, 0xB4, 0xFF));
    disc.setColorAt(1.0, QColor(0x1F, 0x5F, 0xD0));
    p.setPen(QPen(QColor(0x17, 0x4A, 0xA8), 1.0));
    p.setBrush(disc);
    p.drawEllipse(centre, radius, radius);
    QFont font = Font(gSansFamily, 24, QFont::Bold);
    const QString mark = QStringLiteral("?");
    const QRectF bounds = QFontMetricsF(font).tightBoundingRect(mark);
    QPainterPath path;
    path.addText(QPointF(centre.x() - bounds.center().x(), centre.y() - bounds.center().y()), font,
                 mark);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(path);
}

void DrawRedCross(QPainter& p, QRectF box) {
    const QPointF c = box.center();
    const double arm = 11.5;
    QPainterPath cross;
    cross.moveTo(c + QPointF(-arm, -arm));
    cross.lineTo(c + QPointF(arm, arm));
    cross.moveTo(c + QPointF(arm, -arm));
    cross.lineTo(c + QPointF(-arm, arm));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x8E, 0x10, 0x10), 10.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cross);
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0.0, QColor(0xFF, 0x5A, 0x4F));
    fill.setColorAt(1.0, QColor(0xD0, 0x18, 0x18));
    p.setPen(QPen(QBrush(fill), 8.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cross);
}

QImage StartWindow() {
    const QSize size(441, 529);
    QImage image = NewImage(size.width(), size.height(), Qt::black);
    QPainter p(&image);
    Prepare(p);
    const double barTop = 440;

    // A faint night-blue haze at the top of the black.
    QRadialGradient haze(QPointF(220, 160), 260);
    haze.setColorAt(0.0, QColor(0x14, 0x12, 0x2E));
    haze.setColorAt(1.0, QColor(0, 0, 0));
    p.fillRect(QRectF(0, 0, size.width(), barTop), haze);

    DrawLogo(p, QRectF(80, 28, 280, 238), 46, 28, true, size);

    // Name and slogan.
    QFont title = Font(gTitleFamily, 52, QFont::Bold);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    const QString name = QStringLiteral("Glimmora");
    const QFontMetricsF titleMetrics(title);
    const double titleWidth = titleMetrics.horizontalAdvance(name);
    const QPointF titleOrigin(std::round((size.width() - titleWidth) / 2.0), 344);
    QPainterPath titlePath;
    titlePath.addText(titleOrigin, title, name);
    {
        QImage glowLayer = NewImage(size.width(), size.height(), Qt::transparent);
        QPainter g(&glowLayer);
        Prepare(g);
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(0x8E, 0x4B, 0xF5, 170));
        g.drawPath(titlePath);
        g.end();
        p.drawImage(0, 0, art::Blurred(glowLayer, 6, BlurEdge::Repeat));
    }
    QLinearGradient titleFill(titleOrigin.x(), 0, titleOrigin.x() + titleWidth, 0);
    titleFill.setColorAt(0.0, QColor(0x7F, 0xEE, 0xFF));
    titleFill.setColorAt(0.5, QColor(0xB9, 0x9B, 0xFF));
    titleFill.setColorAt(1.0, QColor(0xFF, 0x8A, 0xDC));
    p.setPen(Qt::NoPen);
    p.setBrush(titleFill);
    p.drawPath(titlePath);

    QFont slogan = Font(gSansFamily, 15);
    slogan.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
    p.setFont(slogan);
    p.setPen(QColor(0xC9, 0xCD, 0xE0));
    DrawCentred(p, size.width() / 2.0, 378, QStringLiteral("Pictures into ASCII art"));

    // A thin rule of letters above the bar, fading at both ends.
    QFont rule = Font(gMonoFamily, 10);
    p.setFont(rule);
    const QString dots = QStringLiteral(". : - = + * # % @ % # * + = - : .");
    const double ruleWidth = QFontMetricsF(rule).horizontalAdvance(dots);
    QLinearGradient ruleFill(220 - ruleWidth / 2, 0, 220 + ruleWidth / 2, 0);
    ruleFill.setColorAt(0.0, QColor(0x55, 0x5A, 0x80, 0));
    ruleFill.setColorAt(0.5, QColor(0x8E, 0x90, 0xC0));
    ruleFill.setColorAt(1.0, QColor(0x55, 0x5A, 0x80, 0));
    p.setPen(QPen(QBrush(ruleFill), 1));
    DrawCentred(p, size.width() / 2.0, 412, dots);

    // The light bar with the three buttons.
    const QRectF bar(0, barTop, size.width(), size.height() - barTop);
    QLinearGradient barFill(bar.topLeft(), bar.bottomLeft());
    barFill.setColorAt(0.0, kBarTop);
    barFill.setColorAt(1.0, kBarBottom);
    p.fillRect(bar, barFill);
    p.fillRect(QRectF(0, barTop, size.width(), 1), QColor(0x9A, 0xA2, 0xB5));
    p.fillRect(QRectF(0, barTop + 1, size.width(), 1), Qt::white);

    const QRectF buttons[] = {{138, 457, 48, 48}, {194, 457, 48, 48}, {249, 457, 48, 48}};
    for (const QRectF& box : buttons) {
        DrawShadow(p, ButtonShape(box), QPointF(0, 1.5), 2, 70, size, BlurEdge::Repeat);
        DrawButtonFace(p, box);
    }
    DrawLetterA(p, buttons[0]);
    DrawQuestionMark(p, buttons[1]);
    DrawRedCross(p, buttons[2]);

    QFont small = Font(gSansFamily, 10);
    p.setFont(small);
    p.setPen(QColor(0x5C, 0x64, 0x78));
    p.drawText(QRectF(12, 508, 110, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("version 2.0"));
    return image;
}

// ---------------------------------------------------------------------------
// About window logo

QImage AboutLogo() {
    const QSize size(309, 309);
    QImage image = NewImage(size.width(), size.height(), Qt::white);
    QPainter p(&image);
    Prepare(p);
    // The window's labels begin 248 pixels down, inside the picture's
    // height, so the seal keeps above them.
    const QPointF centre(154.5, 121);

    // A pale disc with a ring of text around it, like a seal.
    QRadialGradient disc(centre, 114);
    disc.setColorAt(0.0, QColor(0xF6, 0xF3, 0xFF));
    disc.setColorAt(0.85, QColor(0xEC, 0xE8, 0xFB));
    disc.setColorAt(1.0, QColor(0xE2, 0xDD, 0xF7));
    p.setPen(QPen(QColor(0xC9, 0xC0, 0xEE), 1.5));
    p.setBrush(disc);
    p.drawEllipse(centre, 114, 114);
    p.setPen(QPen(QColor(0xD6, 0xCF, 0xF3), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 91, 91);

    QFont ringFont = Font(gTitleFamily, 12, QFont::Bold);
    const QString ring = QStringLiteral("GLIMMORA \u2022 PICTURES INTO ASCII ART \u2022 ");
    const QFontMetricsF ringMetrics(ringFont);
    const double ringRadius = 98;
    const double total = ringMetrics.horizontalAdvance(ring);
    const double circumference = 2 * kPi * ringRadius;
    const double spread = circumference / total;
    // The name sits centred at the top of the ring.
    double along = -ringMetrics.horizontalAdvance(QStringLiteral("GLIMMORA")) * spread / 2.0;
    p.setFont(ringFont);
    p.setPen(QColor(0x6B, 0x55, 0xC8));
    for (const QChar letter : ring) {
        const double advance = ringMetrics.horizontalAdvance(letter) * spread;
        const double angle = (along + advance / 2.0) / ringRadius - kPi / 2.0;
        p.save();
        p.translate(centre + QPointF(std::cos(angle), std::sin(angle)) * ringRadius);
        p.rotate((angle + kPi / 2.0) * 180.0 / kPi);
        const double width = ringMetrics.horizontalAdvance(letter);
        p.drawText(QPointF(-width / 2.0, ringMetrics.capHeight() / 2.0), QString(letter));
        p.restore();
        along += advance;
    }

    DrawLogo(p, QRectF(centre.x() - 76, centre.y() - 64, 152, 128), 26, 16, false, size);
    return image;
}

// ---------------------------------------------------------------------------
// Hidden picture window

// The frame around the small picture, which the window places at (8, 336)
// in a box of 107 x 141.
const QRectF kSmallPictureBox(8, 336, 107, 141);

QImage EggBackground() {
    const QSize size(422, 484);
    QImage image = NewImage(size.width(), size.height(), Qt::black);
    QPainter p(&image);
    Prepare(p);

    // Night sky.
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0.0, QColor(0x06, 0x0A, 0x24));
    sky.setColorAt(0.6, QColor(0x1C, 0x15, 0x4A));
    sky.setColorAt(1.0, QColor(0x3A, 0x1E, 0x5C));
    p.fillRect(QRect(QPoint(), image.deviceIndependentSize().toSize()), sky);

    // Stars, a few of them as letters.
    Dice dice(20260214u);
    p.setPen(Qt::NoPen);
    const QRectF textArea(16, 206, 250, 82);
    for (int i = 0; i < 140; ++i) {
        const QPointF at(dice.Between(0, size.width()), dice.Between(0, 330));
        if (textArea.contains(at)) {
            continue;
        }
        const double r = dice.Between(0.35, 1.3);
        p.setBrush(QColor(255, 255, 255, static_cast<int>(dice.Between(90, 255))));
        p.drawEllipse(at, r, r);
    }
    QFont starFont = Font(gMonoFamily, 11, QFont::Bold);
    p.setFont(starFont);
    const QString starLetters = QStringLiteral("*+.'");
    for (int i = 0; i < 24; ++i) {
        const QPointF at(dice.Between(10, size.width() - 10), dice.Between(12, 300));
        if (textArea.contains(at)) {
            continue;
        }
        p.setPen(QColor(0xD8, 0xD2, 0xFF, static_cast<int>(dice.Between(110, 220))));
        p.drawText(at, starLetters.mid(static_cast<int>(dice.Between(0, 3.99)), 1));
    }
    DrawSparkle(p, QPointF(64, 58), 9, QColor(0xFF, 0xF6, 0xD8));
    DrawSparkle(p, QPointF(356, 214), 6, QColor(0xFF, 0xF6, 0xD8));
    DrawSparkle(p, QPointF(222, 298), 4.5, QColor(0xFF, 0xF6, 0xD8));

    // The moon, drawn in letters, with its glow.
    {
        const QPointF moonCentre(300, 118);
        const double moonRadius = 62;
        QRadialGradient glow(moonCentre, moonRadius * 2.2);
        glow.setColorAt(0.0, QColor(0xFF, 0xEE, 0xB0, 90));
        glow.setColorAt(1.0, QColor(0xFF, 0xEE, 0xB0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(moonCentre, moonRadius * 2.2, moonRadius * 2.2);

        QImage moon = NewImage(240, 240, Qt::transparent);
        {
            QPainter m(&moon);
            Prepare(m);
            QRadialGradient face(QPointF(95, 95), 150);
            face.setColorAt(0.0, QColor(0xFF, 0xFB, 0xE8));
            face.setColorAt(1.0, QColor(0xE8, 0xCF, 0x8A));
            m.setPen(Qt::NoPen);
            m.setBrush(face);
            m.drawEllipse(QPointF(120, 120), 118, 118);
            m.setBrush(QColor(0xC9, 0xAE, 0x6E));
            m.drawEllipse(QPointF(80, 90), 22, 18);
            m.drawEllipse(QPointF(150, 150), 30, 24);
            m.drawEllipse(QPointF(150, 70), 12, 10);
            m.drawEllipse(QPointF(75, 160), 14, 12);
        }
        DrawAsAscii(p, moon,
                    QRectF(moonCentre.x() - moonRadius, moonCentre.y() - moonRadius, moonRadius * 2,
                           moonRadius * 2),
                    18, 11, Font(gMonoFamily, 10.5, QFont::Bold), true);
    }

    // Hills at the bottom, with a path of letters on the nearest one.
    QPainterPath farHill;
    farHill.moveTo(0, 360);
    farHill.cubicTo(110, 318, 190, 330, 270, 352);
    farHill.cubicTo(330, 368, 380, 340, 422, 330);
    farHill.lineTo(422, 484);
    farHill.lineTo(0, 484);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x24, 0x1B, 0x4E));
    p.drawPath(farHill);
    // A few pines on the far hill.
    p.setBrush(QColor(0x1A, 0x13, 0x3C));
    for (const QPointF& foot : {QPointF(318, 362), QPointF(336, 358), QPointF(352, 356),
                                QPointF(392, 346), QPointF(150, 338)}) {
        const double height = 20 + std::fmod(foot.x(), 7.0) * 2.0;
        for (int tier = 0; tier < 3; ++tier) {
            const double top = foot.y() - height + tier * height * 0.22;
            const double half = height * (0.18 + tier * 0.07);
            p.drawPolygon(
                QPolygonF({QPointF(foot.x(), top), QPointF(foot.x() + half, top + height * 0.42),
                           QPointF(foot.x() - half, top + height * 0.42)}));
        }
        p.drawRect(QRectF(foot.x() - 1.2, foot.y() - height * 0.2, 2.4, height * 0.25));
    }
    QPainterPath nearHill;
    nearHill.moveTo(0, 420);
    nearHill.cubicTo(120, 388, 230, 398, 300, 410);
    nearHill.cubicTo(360, 420, 400, 404, 422, 398);
    nearHill.lineTo(422, 484);
    nearHill.lineTo(0, 484);
    p.setBrush(QColor(0x12, 0x0D, 0x2C));
    p.drawPath(nearHill);

    // Text.
    QFont heading = Font(gTitleFamily, 24, QFont::Bold);
    p.setFont(heading);
    p.setPen(QColor(0xFF, 0xE9, 0xA8));
    p.drawText(QRectF(24, 212, 380, 34), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("You found it!"));
    QFont body = Font(gSansFamily, 13);
    p.setFont(body);
    p.setPen(QColor(0xDC, 0xD8, 0xF2));
    p.drawText(QRectF(24, 250, 370, 60), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Glimmora keeps one little secret.\nNow it is yours, too."));

    // Frame for the small picture.
    const QRectF frame = kSmallPictureBox.adjusted(-4, -4, 4, 4);
    DrawShadow(
        p,
        [&] {
            QPainterPath path;
            path.addRect(frame);
            return path;
        }(),
        QPointF(2, 3), 4, 150, size, BlurEdge::Repeat);
    QLinearGradient gold(frame.topLeft(), frame.bottomRight());
    gold.setColorAt(0.0, QColor(0xF7, 0xDB, 0x8B));
    gold.setColorAt(0.5, QColor(0xB8, 0x86, 0x2E));
    gold.setColorAt(1.0, QColor(0xE9, 0xC2, 0x6A));
    p.setPen(Qt::NoPen);
    p.setBrush(gold);
    p.drawRect(frame);
    p.setBrush(QColor(0x0B, 0x08, 0x1C));
    p.drawRect(kSmallPictureBox);

    QFont hint = Font(gSansFamily, 11);
    p.setFont(hint);
    p.setPen(QColor(0x9C, 0x94, 0xC8));
    p.drawText(QRectF(140, 446, 268, 24), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Click anywhere to hide this window."));
    return image;
}

// The small picture: an owl on a branch under the moon, the keeper of the
// secret.
QImage EggSmall() {
    const QSize size(105, 139);
    QImage image = NewImage(size.width(), size.height(), Qt::black);
    QPainter p(&image);
    Prepare(p);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0.0, QColor(0x0E, 0x15, 0x3A));
    sky.setColorAt(1.0, QColor(0x3B, 0x22, 0x5E));
    p.fillRect(QRect(QPoint(), image.deviceIndependentSize().toSize()), sky);
    Dice dice(7u);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 30; ++i) {
        p.setBrush(QColor(255, 255, 255, static_cast<int>(dice.Between(80, 230))));
        const double r = dice.Between(0.3, 0.9);
        p.drawEllipse(QPointF(dice.Between(0, 105), dice.Between(0, 80)), r, r);
    }
    // Moon behind the owl.
    QRadialGradient moon(QPointF(52, 52), 34);
    moon.setColorAt(0.0, QColor(0xFF, 0xF6, 0xD6));
    moon.setColorAt(0.8, QColor(0xF2, 0xDC, 0x96));
    moon.setColorAt(1.0, QColor(0xF2, 0xDC, 0x96, 0));
    p.setBrush(moon);
    p.drawEllipse(QPointF(52, 52), 34, 34);

    // Branch.
    QPainterPath branch;
    branch.moveTo(-2, 112);
    branch.cubicTo(30, 104, 70, 110, 108, 100);
    branch.lineTo(108, 107);
    branch.cubicTo(70, 117, 30, 111, -2, 120);
    branch.closeSubpath();
    p.setBrush(QColor(0x4A, 0x2E, 0x1E));
    p.drawPath(branch);
    p.setBrush(QColor(0x3C, 0x6E, 0x3A));
    p.drawEllipse(QPointF(88, 101), 7, 3.5);
    p.drawEllipse(QPointF(14, 111), 6, 3);

    // Body.
    const QPointF c(52, 74);
    QPainterPath body;
    body.moveTo(c + QPointF(-24, -22));
    body.lineTo(c + QPointF(-20, -36)); // left ear
    body.lineTo(c + QPointF(-8, -26));
    body.quadTo(c + QPointF(0, -28), c + QPointF(8, -26));
    body.lineTo(c + QPointF(20, -36)); // right ear
    body.lineTo(c + QPointF(24, -22));
    body.cubicTo(c + QPointF(34, 0), c + QPointF(28, 30), c + QPointF(0, 34));
    body.cubicTo(c + QPointF(-28, 30), c + QPointF(-34, 0), c + QPointF(-24, -22));
    QLinearGradient feathers(c + QPointF(-30, -30), c + QPointF(30, 34));
    feathers.setColorAt(0.0, QColor(0x9A, 0x6B, 0x45));
    feathers.setColorAt(1.0, QColor(0x5B, 0x3A, 0x24));
    p.setBrush(feathers);
    p.drawPath(body);
    // Belly with feather marks.
    p.setBrush(QColor(0xD9, 0xBF, 0x96));
    p.drawEllipse(c + QPointF(0, 12), 15, 19);
    p.setPen(QPen(QColor(0x9A, 0x7A, 0x55), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < 3; ++row) {
        for (int col = -1; col <= 1; ++col) {
            const QPointF at = c + QPointF(col * 7.0 + (row % 2) * 3.5 - 1.5, 4 + row * 8.0);
            p.drawArc(QRectF(at.x() - 3, at.y() - 2, 6, 4), 200 * 16, 140 * 16);
        }
    }
    // Eyes.
    p.setPen(Qt::NoPen);
    for (int side : {-1, 1}) {
        const QPointF eye = c + QPointF(side * 10.5, -12);
        p.setBrush(QColor(0xEF, 0xE2, 0xC4));
        p.drawEllipse(eye, 10, 10);
        p.setBrush(QColor(0xF4, 0xB8, 0x2A));
        p.drawEllipse(eye, 6.5, 6.5);
        p.setBrush(QColor(0x15, 0x10, 0x0C));
        p.drawEllipse(eye, 3.6, 3.6);
        p.setBrush(Qt::white);
        p.drawEllipse(eye + QPointF(-1.4, -1.6), 1.2, 1.2);
    }
    // Beak.
    p.setBrush(QColor(0xE8, 0x9A, 0x2C));
    p.drawPolygon(QPolygonF({c + QPointF(-3.5, -5), c + QPointF(3.5, -5), c + QPointF(0, 2.5)}));
    // Feet.
    p.setBrush(QColor(0xE8, 0x9A, 0x2C));
    for (int side : {-1, 1}) {
        for (int toe = -1; toe <= 1; ++toe) {
            p.drawEllipse(c + QPointF(side * 8 + toe * 3.0, 34.5), 1.6, 2.4);
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    art::UseOffscreenPlatformUnlessSet();
    QGuiApplication app(argc, argv);
    art::ArtFolder folder(art::OutputFolder(argc, argv));
    ChooseFonts();
    std::printf("fonts: %s, %s, %s\n", qPrintable(gTitleFamily), qPrintable(gSansFamily),
                qPrintable(gMonoFamily));
    // Each picture at scale 1 and 2.
    for (const int scale : {1, 2}) {
        art::SetScale(scale);
        folder.Save(StartWindow(), QStringLiteral("shell/start.png"));
        folder.Save(AboutLogo(), QStringLiteral("shell/about_logo.png"));
        folder.Save(EggBackground(), QStringLiteral("shell/egg_background.png"));
        folder.Save(EggSmall(), QStringLiteral("shell/egg_small.png"));
    }
    return folder.AllSaved() ? 0 : 1;
}
