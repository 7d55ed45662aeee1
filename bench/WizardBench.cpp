#include "WizardBench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "BenchPictures.h"
#include "core/ConversionJob.h"
#include "platform/Platform.h"
#include "platform/QtTickSource.h"
#include "wizard/ClickArea.h"
#include "wizard/WizardSession.h"
#include "wizard/frmWizard.h"

namespace glimmora {

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
// A conversion that has not finished by then is reported as stuck.
constexpr int kGiveUpMilliseconds = 120000;

// The real timers and picture decoder; the open-file dialog answers with
// the benchmark's picture and every other dialog is declined.
class BenchPlatform final : public Platform {
public:
    explicit BenchPlatform(QString picture) : picture_(std::move(picture)) {}

    std::optional<QString> GetOpenFileName(QWidget*) override { return picture_; }
    std::optional<SaveChoice> GetSaveFileName(QWidget*, const QStringList&,
                                              const QString&) override {
        return std::nullopt;
    }
    std::optional<QColor> GetColor(QWidget*) override { return std::nullopt; }
    bool AskYesNo(QWidget*, const QString&, const QString&, Answer) override { return false; }
    void ShowCritical(QWidget*, const QString&, const QString& text) override {
        std::printf("wizard: message \"%s\"\n", qPrintable(text));
    }
    PictureFileResult LoadPicture(const QString& path) override {
        return PictureFile::Open(QFile::encodeName(path).toStdString(), path);
    }
    QStringList FontFamilies() override { return {QStringLiteral("Tahoma")}; }
    bool PrintText(const QString&) override { return false; }
    void SetClipboardText(const QString&) override {}
    std::unique_ptr<TickSource> CreateTickSource() override {
        auto source = std::make_unique<QtTickSource>();
        sources_.push_back(source.get());
        return source;
    }

    // The newest wizard's conversion timer (each wizard makes Timer1, then
    // tmrTid).
    const QtTickSource* ConversionTimer() const {
        return sources_.size() >= 2 ? sources_[sources_.size() - 2] : nullptr;
    }

private:
    QString picture_;
    std::vector<QtTickSource*> sources_;
};

// Rings spreading from left of the middle, with a grain of noise.
QImage MakePhoto() {
    return PhotoLikePicture(kWidth, kHeight, 0x9E3779B9u, 15, [](double fx, double fy) {
        const double ring = std::sin(std::hypot(fx - 0.4, fy - 0.5) * 40.0);
        return Tone{static_cast<int>(120 + 100 * ring * fx), static_cast<int>(60 + 150 * fy),
                    static_cast<int>(200 - 120 * fx * fy)};
    });
}

void Click(frmWizard& wizard, const char* name) {
    if (auto* area = wizard.findChild<ClickArea*>(QString::fromLatin1(name))) {
        if (area->isEnabled()) {
            emit area->clicked();
        }
    }
}

void RunOnce(BenchPlatform& platform, const char* across, const char* down) {
    WizardSession session(platform);
    session.Open();
    frmWizard& wizard = *session.Wizard();
    Click(wizard, "cmdBrowse");
    Click(wizard, "cmdNext"); // format: RTF
    Click(wizard, "cmdNext"); // style
    Click(wizard, "cmdNext"); // scale, proposed
    auto* scaleWidth = wizard.findChild<QLineEdit*>(QStringLiteral("txtScaleWidth"));
    auto* scaleHeight = wizard.findChild<QLineEdit*>(QStringLiteral("txtScaleHeight"));
    if (across) {
        scaleWidth->setText(QString::fromLatin1(across));
        scaleHeight->setText(QString::fromLatin1(down));
    }
    const QString scale = scaleWidth->text() + QLatin1Char('x') + scaleHeight->text();

    QEventLoop loop;
    bool finished = false;
    QObject::connect(&wizard, &frmWizard::conversionFinished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(kGiveUpMilliseconds, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    Click(wizard, "cmdNext"); // page 5 starts the timers
    if (!finished) {
        loop.exec();
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const ConversionEngine* engine = wizard.Engine();
    const auto* done = wizard.findChild<QLabel*>(QStringLiteral("Label28"));
    if (!finished || !engine || !done->text().startsWith(QStringLiteral("Done!"))) {
        std::printf("wizard rtf at %s: did not finish within %d s\n", qPrintable(scale),
                    kGiveUpMilliseconds / 1000);
        return;
    }
    const double cells = static_cast<double>(engine->ExpectedLines()) *
                         static_cast<double>(engine->ExpectedCellsPerLine());
    const QtTickSource* timer = platform.ConversionTimer();
    const double longestSlice =
        timer ? static_cast<double>(timer->LongestSliceNanoseconds()) / 1e6 : 0.0;
    std::printf("wizard rtf at %-4s %9.0f cells: Next to \"Done!\" %7.1f ms, %6.1f M cells/s, "
                "longest slice %5.1f ms\n",
                qPrintable(scale), cells, seconds * 1e3, cells / seconds / 1e6, longestSlice);
    std::fflush(stdout);
}

// The longest time the event loop goes without turning: a timer of no
// interval fires at every turn.
class StallWatch {
public:
    StallWatch() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        clock_.start();
        timer_.start(0);
    }
    double LongestMilliseconds() const { return static_cast<double>(longest_) / 1e6; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

// Turns the event loop until done() holds or the time is up.
bool RunUntil(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace

WizardStalls MeasureWizardStalls(const QString& path) {
    WizardStalls stalls;
    BenchPlatform platform(path);
    WizardSession session(platform);
    session.Open();
    frmWizard& wizard = *session.Wizard();
    auto* width = wizard.findChild<QLineEdit*>(QStringLiteral("txtWidth"));
    {
        StallWatch watch;
        RunUntil([] { return false; }, 50); // the window settles
        QTimer::singleShot(0, &wizard, [&wizard] { Click(wizard, "cmdBrowse"); });
        stalls.chosen = RunUntil([width] { return !width->text().isEmpty(); }, kGiveUpMilliseconds);
        RunUntil([] { return false; }, 50);
        stalls.choosing = watch.LongestMilliseconds();
    }
    if (!stalls.chosen) {
        return stalls;
    }
    Click(wizard, "cmdNext"); // format: RTF
    Click(wizard, "cmdNext"); // style
    Click(wizard, "cmdNext"); // scale, proposed
    bool finished = false;
    QObject::connect(&wizard, &frmWizard::conversionFinished, [&finished] { finished = true; });
    StallWatch watch;
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, &wizard, [&wizard] { Click(wizard, "cmdNext"); });
    stalls.converted = RunUntil([&finished] { return finished; }, kGiveUpMilliseconds);
    stalls.convertSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    stalls.converting = watch.LongestMilliseconds();
    return stalls;
}

void RunWizardBenchmark() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::printf("wizard: needs a QApplication\n");
        return;
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("photo.jpg"));
    if (!folder.isValid() || !MakePhoto().save(path, "JPEG", 90)) {
        std::printf("wizard: the picture could not be written\n");
        return;
    }
    BenchPlatform platform(path);
    std::printf("wizard converting a %dx%d photo on the real timer (%s):\n", kWidth, kHeight,
                qPrintable(QApplication::platformName()));
    RunOnce(platform, nullptr, nullptr);
    RunOnce(platform, "1", "1");
}

} // namespace glimmora
