// The painting helpers the artwork generators (glimmora-make-art and
// glimmora-make-shell-art) share: canvases, fonts, centred text, blurs and
// soft shadows, and the folder the PNGs are written to.

#pragma once

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <QString>

#include <initializer_list>

namespace glimmora::art {

inline constexpr double kPi = 3.14159265358979323846;

// The scale the pictures are painted at: 1, or 2 for screens of two device
// pixels per pixel. Painters work in pixels of scale 1 whatever it is.
void SetScale(int scale);

// A premultiplied canvas filled with `fill`, width x height pixels of scale
// 1: at scale 2 it holds twice as many each way and paints scaled.
QImage NewImage(int width, int height, const QColor& fill);

// Smooth lines, text and scaled pictures.
void Prepare(QPainter& p);

// The first of `names` that is installed, else the system's font of the
// `fallback` kind.
QString FirstFamily(std::initializer_list<const char*> names, QFontDatabase::SystemFont fallback);

// A fully hinted, antialiased font of `pixelSize` pixels (rounded).
QFont Font(const QString& family, double pixelSize, int weight = QFont::Normal);

// Draws text with its advance centred on x (the pen starting on a whole
// pixel) and its baseline on `baseline`.
void DrawCentred(QPainter& p, double x, double baseline, const QString& text);

// Draws text centred on a point: the cap height is centred vertically and
// the pen starts on a whole pixel so the stems stay crisp.
void DrawCentredText(QPainter& p, const QPointF& centre, const QString& text);

// What the blur reads beyond the picture's edges.
enum class BlurEdge {
    Clear,  // nothing: shapes near the edge fade out towards it
    Repeat, // the edge pixel again: colour touching the edge stays full there
};

// A separable box blur of a premultiplied image, run three times (close to a
// Gaussian), for glows and shadows.
QImage Blurred(const QImage& source, int radius, BlurEdge edge);

// Paints a soft shadow of a shape (in device coordinates) on a canvas of
// `canvas` size, whatever the painter's transformation.
void DrawShadow(QPainter& p, const QPainterPath& shape, const QPointF& offset, int radius,
                int alpha, const QSize& canvas, BlurEdge edge);

// Lets the generators paint without a screen, unless a platform is asked for.
void UseOffscreenPlatformUnlessSet();

// The folder the pictures go to: the first argument, else the source tree's
// assets/ folder.
QString OutputFolder(int argc, char** argv);

// Writes the pictures as PNG under one folder and counts the failures.
class ArtFolder {
public:
    explicit ArtFolder(QString folder);

    // Opaque pictures are stored as 24-bit PNGs; pictures with see-through
    // parts (the program icon) keep their alpha channel. `name` is relative
    // to the folder and may name subfolders, which are created. A picture
    // painted at scale 2 is saved as name@2x.png.
    void Save(const QImage& image, const QString& name, bool keepAlpha = false);

    bool AllSaved() const { return failures_ == 0; }

private:
    QString folder_;
    int failures_ = 0;
};

} // namespace glimmora::art
