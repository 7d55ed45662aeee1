#include "ViewerBench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/ConversionJob.h"
#include "core/PixelSource.h"
#include "output/ArtTextView.h"
#include "output/ArtViewer.h"
#include "output/Form3.h"

namespace glimmora {

namespace {

constexpr int kScrollSteps = 40;

// Soft waves of colour, so every band of the ramp and many colour codes
// occur.
PixelBuffer MakePicture(int width, int height) {
    PixelBuffer picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double fx = static_cast<double>(x) / width;
            const double fy = static_cast<double>(y) / height;
            const auto part = [](double value) {
                return static_cast<Colour>(std::clamp(value, 0.0, 255.0));
            };
            const Colour red = part(128 + 120 * std::sin(fx * 23 + fy * 5));
            const Colour green = part(128 + 120 * std::cos(fy * 17 - fx * 3));
            const Colour blue = part(255 * fx * fy + ((x * 7 + y * 13) % 29));
            picture.SetPixel(x, y, red | (green << 8) | (blue << 16));
        }
    }
    return picture;
}

std::string ArtOf(const PixelBuffer& picture, bool coloured, const std::string& word) {
    const std::string step = "1";
    ConversionInputs inputs;
    inputs.widthText = std::to_string(picture.Width());
    inputs.heightText = std::to_string(picture.Height());
    inputs.scaleWidthText = step;
    inputs.scaleHeightText = step;
    inputs.coloured = coloured;
    inputs.word = word;
    ConversionEngine engine(std::move(inputs), &picture);
    while (engine.Step() != StepResult::Finished) {
    }
    return engine.TakeArtText();
}

double Milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

ViewerFigures RunOnce(const char* what, const std::string& art) {
    ArtViewer viewer;
    QElapsedTimer timer;
    timer.start();
    // What Show art does with the art buffer.
    viewer.Show(QString::fromStdString(art));
    Form3* window = viewer.Window();
    window->grab(); // paints the whole window

    const double show = Milliseconds(timer);

    auto* view = window->findChild<ArtTextView*>(QStringLiteral("txtText"));
    QScrollBar* down = view->verticalScrollBar();
    QScrollBar* across = view->horizontalScrollBar();
    double slowest = 0.0;
    double total = 0.0;
    for (int step = 1; step <= kScrollSteps; ++step) {
        timer.restart();
        down->setValue(down->maximum() * step / kScrollSteps);
        across->setValue(across->maximum() * step / kScrollSteps);
        view->viewport()->grab();
        const double repaint = Milliseconds(timer);
        slowest = std::max(slowest, repaint);
        total += repaint;
    }

    timer.restart();
    window->findChild<QLineEdit*>(QStringLiteral("txtSize"))->setText(QStringLiteral("8"));
    view->viewport()->grab();
    const double resize = Milliseconds(timer);

    // One step of Ctrl + plus.
    timer.restart();
    window->SetZoom(window->Zoom() * 1.25);
    view->viewport()->grab();
    const double zoom = Milliseconds(timer);

    std::printf("viewer %-24s %6.1f MB: shown in %6.1f ms; scrolling repaint %5.1f ms mean, "
                "%5.1f ms slowest; size 8 typed %6.1f ms; zoom step %6.1f ms\n",
                what, static_cast<double>(art.size()) / 1e6, show, total / kScrollSteps, slowest,
                resize, zoom);
    std::fflush(stdout);
    window->close();
    QApplication::processEvents();
    return {static_cast<double>(art.size()) / 1e6, show, total / kScrollSteps, slowest};
}

} // namespace

void RunViewerBenchmark() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::printf("viewer: needs a QApplication\n");
        return;
    }
    std::printf("viewer showing art at 1 x 1 (%s):\n", qPrintable(QApplication::platformName()));
    MeasureViewer(false);
    MeasureViewer(true);
}

ViewerFigures MeasureViewer(bool coloured) {
    if (coloured) {
        return RunOnce("1-MP coloured art", ArtOf(MakePicture(1000, 1000), true, "GLIMMORA"));
    }
    return RunOnce("12-MP RTF art", ArtOf(MakePicture(4000, 3000), false, {}));
}

} // namespace glimmora
