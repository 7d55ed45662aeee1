#include "TerminalArtBench.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "BenchPictures.h"
#include "MeasuredRun.h"
#include "core/CellArt.h"

namespace glimmora {

namespace {

constexpr int kColumns = 120;
constexpr int kRows = 39; // a 40-line terminal less the prompt

struct Lab {
    double l = 0;
    double a = 0;
    double b = 0;
};

double Linear(int byte) {
    const double v = byte / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

Lab LabOf(QRgb rgb) {
    const double r = Linear(qRed(rgb));
    const double g = Linear(qGreen(rgb));
    const double b = Linear(qBlue(rgb));
    const auto f = [](double t) {
        return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16) / 116;
    };
    const double fx = f((0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047);
    const double fy = f(0.2126729 * r + 0.7151522 * g + 0.0721750 * b);
    const double fz = f((0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

QRgb ToQRgb(Colour colour) {
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// The ink of any sign over samplesAcross x samplesDown parts of a cell, as
// DejaVu Sans Mono draws it.
class GlyphInk {
public:
    GlyphInk(int across, int down) : across_(across), down_(down) {
        const int id = QFontDatabase::addApplicationFont(
            QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"));
        font_ = QFont(QFontDatabase::applicationFontFamilies(id).value(0));
        font_.setPixelSize(96);
        font_.setStyleStrategy(QFont::NoFontMerging);
        const QFontMetricsF metrics(font_);
        width_ = qRound(metrics.horizontalAdvance(QLatin1Char('M')));
        height_ = qRound(metrics.height());
        ascent_ = metrics.ascent();
    }
    const std::vector<float>& Of(char32_t sign) {
        auto found = cache_.find(sign);
        if (found != cache_.end()) {
            return *found;
        }
        QImage cell(width_, height_, QImage::Format_Grayscale8);
        cell.fill(0);
        if (sign != U' ') {
            QPainter painter(&cell);
            painter.setFont(font_);
            painter.setPen(Qt::white);
            const char32_t text[] = {sign};
            painter.drawText(QPointF(0, ascent_), QString::fromUcs4(text, 1));
        }
        std::vector<float> ink(static_cast<std::size_t>(across_ * down_));
        for (int y = 0; y < down_; ++y) {
            for (int x = 0; x < across_; ++x) {
                double sum = 0;
                const int top = y * height_ / down_;
                const int bottom = (y + 1) * height_ / down_;
                const int left = x * width_ / across_;
                const int right = (x + 1) * width_ / across_;
                for (int py = top; py < bottom; ++py) {
                    for (int px = left; px < right; ++px) {
                        sum += cell.constScanLine(py)[px];
                    }
                }
                ink[static_cast<std::size_t>(y * across_ + x)] =
                    static_cast<float>(sum / (255.0 * (right - left) * (bottom - top)));
            }
        }
        return *cache_.insert(sign, ink);
    }

private:
    int across_;
    int down_;
    QFont font_;
    int width_ = 1;
    int height_ = 1;
    double ascent_ = 0;
    QHash<char32_t, std::vector<float>> cache_;
};

struct ShownCell {
    char32_t sign = U' ';
    QRgb ink = 0;
    QRgb paper = 0;
};

// The cells a terminal of this background shows for the text: SGR colours
// (16, 256, 24-bit, reverse), other escapes skipped.
std::vector<std::vector<ShownCell>> ReadTerminal(const QByteArray& text, QRgb background) {
    const QRgb foreground = qGray(background) < 128 ? qRgb(229, 229, 229) : qRgb(0, 0, 0);
    std::vector<std::vector<ShownCell>> rows(1);
    QRgb ink = foreground;
    QRgb paper = background;
    bool reverse = false;
    const QList<uint> signs = QString::fromUtf8(text).toUcs4();
    for (qsizetype i = 0; i < signs.size(); ++i) {
        const uint c = signs[i];
        if (c == 0x1B && i + 1 < signs.size() && signs[i + 1] == '[') {
            qsizetype end = i + 2;
            while (end < signs.size() && (signs[end] < 0x40 || signs[end] > 0x7E)) {
                ++end;
            }
            if (end < signs.size() && signs[end] == 'm') {
                QList<int> params;
                const QString body = QString::fromUcs4(
                    reinterpret_cast<const char32_t*>(signs.constData() + i + 2), end - i - 2);
                for (const QString& p : body.split(QLatin1Char(';'))) {
                    params.append(p.toInt());
                }
                for (qsizetype k = 0; k < params.size(); ++k) {
                    const int p = params[k];
                    if (p == 0) {
                        ink = foreground;
                        paper = background;
                        reverse = false;
                    } else if (p == 7 || p == 27) {
                        reverse = p == 7;
                    } else if ((p >= 30 && p <= 37) || (p >= 90 && p <= 97)) {
                        ink = ToQRgb(PaletteColour(p >= 90 ? p - 82 : p - 30));
                    } else if ((p >= 40 && p <= 47) || (p >= 100 && p <= 107)) {
                        paper = ToQRgb(PaletteColour(p >= 100 ? p - 92 : p - 40));
                    } else if (p == 39) {
                        ink = foreground;
                    } else if (p == 49) {
                        paper = background;
                    } else if ((p == 38 || p == 48) && k + 1 < params.size()) {
                        QRgb colour = 0;
                        if (params[k + 1] == 5 && k + 2 < params.size()) {
                            colour = ToQRgb(PaletteColour(params[k + 2]));
                            k += 2;
                        } else if (params[k + 1] == 2 && k + 4 < params.size()) {
                            colour = qRgb(params[k + 2], params[k + 3], params[k + 4]);
                            k += 4;
                        }
                        (p == 38 ? ink : paper) = colour;
                    }
                }
            }
            i = end;
            continue;
        }
        if (c == 0x1B) {
            ++i; // a two-byte escape; OSC and others do not come from either tool
            continue;
        }
        if (c == '\n') {
            rows.emplace_back();
            continue;
        }
        if (c < 0x20) {
            continue;
        }
        rows.back().push_back(
            {static_cast<char32_t>(c), reverse ? paper : ink, reverse ? ink : paper});
    }
    while (!rows.empty() && rows.back().empty()) {
        rows.pop_back();
    }
    return rows;
}

struct Figures {
    double ssim = 0;
    double correlation = 0;
    double colourDifference = 0;
    int columns = 0;
    int rows = 0;
};

// The art as shown beside the picture box-filtered to the same samples.
Figures Compare(const QImage& picture, const QByteArray& art, QRgb background, int across,
                int down) {
    static QHash<int, GlyphInk*> inks;
    GlyphInk*& ink = inks[across * 100 + down];
    if (ink == nullptr) {
        ink = new GlyphInk(across, down); // kept for the whole run
    }
    const auto cells = ReadTerminal(art, background);
    Figures figures;
    figures.rows = static_cast<int>(cells.size());
    for (const auto& row : cells) {
        figures.columns = std::max(figures.columns, static_cast<int>(row.size()));
    }
    if (figures.rows == 0 || figures.columns == 0) {
        return figures;
    }
    const int width = figures.columns * across;
    const int height = figures.rows * down;
    const QImage reference =
        picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    std::vector<double> shownL(static_cast<std::size_t>(width * height));
    std::vector<double> pictureL(shownL.size());
    double difference = 0;
    for (int r = 0; r < figures.rows; ++r) {
        for (int c = 0; c < figures.columns; ++c) {
            const ShownCell cell = c < static_cast<int>(cells[r].size())
                                       ? cells[r][static_cast<std::size_t>(c)]
                                       : ShownCell{U' ', background, background};
            const std::vector<float>& cover = ink->Of(cell.sign);
            for (int y = 0; y < down; ++y) {
                for (int x = 0; x < across; ++x) {
                    const double k = cover[static_cast<std::size_t>(y * across + x)];
                    const auto mix = [k](int paper, int ink) {
                        return qRound(paper + k * (ink - paper));
                    };
                    const QRgb shown = qRgb(mix(qRed(cell.paper), qRed(cell.ink)),
                                            mix(qGreen(cell.paper), qGreen(cell.ink)),
                                            mix(qBlue(cell.paper), qBlue(cell.ink)));
                    const int px = c * across + x;
                    const int py = r * down + y;
                    const Lab a = LabOf(shown);
                    const Lab b = LabOf(reference.pixel(px, py));
                    const auto at = static_cast<std::size_t>(py * width + px);
                    shownL[at] = a.l;
                    pictureL[at] = b.l;
                    difference += std::sqrt((a.l - b.l) * (a.l - b.l) + (a.a - b.a) * (a.a - b.a) +
                                            (a.b - b.b) * (a.b - b.b));
                }
            }
        }
    }
    figures.colourDifference = difference / static_cast<double>(shownL.size());
    // Correlation of lightness over all samples.
    const auto mean = [](const std::vector<double>& v) {
        double sum = 0;
        for (const double x : v) {
            sum += x;
        }
        return sum / static_cast<double>(v.size());
    };
    const double ms = mean(shownL);
    const double mp = mean(pictureL);
    double sxy = 0;
    double sxx = 0;
    double syy = 0;
    for (std::size_t i = 0; i < shownL.size(); ++i) {
        sxy += (shownL[i] - ms) * (pictureL[i] - mp);
        sxx += (shownL[i] - ms) * (shownL[i] - ms);
        syy += (pictureL[i] - mp) * (pictureL[i] - mp);
    }
    figures.correlation = sxx > 0 && syy > 0 ? sxy / std::sqrt(sxx * syy) : 0;
    // SSIM of lightness (0..100) over 8 x 8 windows, four samples apart.
    const int window = std::min({8, width, height});
    const double c1 = 1.0;
    const double c2 = 9.0;
    double ssim = 0;
    int windows = 0;
    for (int wy = 0; wy + window <= height; wy += std::max(1, window / 2)) {
        for (int wx = 0; wx + window <= width; wx += std::max(1, window / 2)) {
            double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
            for (int y = wy; y < wy + window; ++y) {
                for (int x = wx; x < wx + window; ++x) {
                    const auto at = static_cast<std::size_t>(y * width + x);
                    sa += shownL[at];
                    sb += pictureL[at];
                    saa += shownL[at] * shownL[at];
                    sbb += pictureL[at] * pictureL[at];
                    sab += shownL[at] * pictureL[at];
                }
            }
            const double n = window * window;
            const double ma = sa / n;
            const double mb = sb / n;
            const double va = saa / n - ma * ma;
            const double vb = sbb / n - mb * mb;
            const double cov = sab / n - ma * mb;
            ssim +=
                ((2 * ma * mb + c1) * (2 * cov + c2)) / ((ma * ma + mb * mb + c1) * (va + vb + c2));
            ++windows;
        }
    }
    figures.ssim = windows > 0 ? ssim / windows : 0;
    return figures;
}

QByteArray RunTool(const QString& program, const QStringList& arguments,
                   const QStringList& environment = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"NO_COLOR", "COLORTERM", "COLORFGBG"}) {
        env.remove(QLatin1String(name));
    }
    env.insert(QStringLiteral("TERM"), QStringLiteral("xterm-256color"));
    for (const QString& variable : environment) {
        env.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    }
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForFinished(120000);
    return process.readAllStandardOutput();
}

QString Convert() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/glimmora-convert");
}

QStringList Ours(const QString& picture, const QStringList& more) {
    return QStringList{picture,
                       QStringLiteral("-f"),
                       QStringLiteral("text"),
                       QStringLiteral("--columns"),
                       QString::number(kColumns),
                       QStringLiteral("--rows"),
                       QString::number(kRows)} +
           more;
}

QStringList Chafa(const QString& picture, const QStringList& more) {
    return QStringList{
               QStringLiteral("--size"),    QStringLiteral("%1x%2").arg(kColumns).arg(kRows),
               QStringLiteral("-f"),        QStringLiteral("symbols"),
               QStringLiteral("--animate"), QStringLiteral("off")} +
           more + QStringList{picture};
}

void Row(const char* measure, const QString& figure, const QString& goal, bool met) {
    std::printf("| %-58s | %-44s | %-14s | %s\n", measure, qPrintable(figure), qPrintable(goal),
                met ? "met" : "MISSED");
    std::fflush(stdout);
}

// Photos: the desktop's wallpapers where installed, else generated ones.
QStringList Photos(const QTemporaryDir& folder) {
    QStringList photos;
    const QDir wallpapers(QStringLiteral("/usr/share/backgrounds/gnome"));
    for (const QString& name : wallpapers.entryList(
             {QStringLiteral("*.jpg"), QStringLiteral("*.webp"), QStringLiteral("*.png")},
             QDir::Files, QDir::Name)) {
        QImage image(wallpapers.filePath(name));
        if (image.isNull() || photos.size() == 6) {
            continue;
        }
        // Some portrait, some wide: the art must fit either way.
        const int n = static_cast<int>(photos.size());
        const QRect crop = n % 3 == 0   ? QRect(0, 0, image.width() / 2, image.height())
                           : n % 3 == 1 ? QRect(0, 0, image.width(), image.height() * 9 / 16)
                                        : image.rect();
        const QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(n));
        if (image.copy(crop).scaledToWidth(1600, Qt::SmoothTransformation).save(path)) {
            photos.append(path);
        }
    }
    for (int n = static_cast<int>(photos.size()); n < 6; ++n) {
        const QImage image = PhotoLikePicture(
            n % 2 == 0 ? 1200 : 800, n % 2 == 0 ? 800 : 1200, 7u + n, 10,
            [n](double fx, double fy) {
                const double wave = std::sin(fx * (5 + n) + std::cos(fy * 4.0) * 2.0);
                return Tone{static_cast<int>(128 + 100 * wave), static_cast<int>(220 * fy),
                            static_cast<int>(255 * fx * fy)};
            });
        const QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(n));
        image.save(path);
        photos.append(path);
    }
    return photos;
}

double Seconds(const QString& program, const QStringList& arguments) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        RunTool(program, arguments);
        best = std::min(best, timer.elapsed() / 1000.0);
    }
    return best;
}

} // namespace

void RunTerminalArtBenchmark() {
    QTemporaryDir folder;
    const QStringList photos = Photos(folder);
    const QString chafa = QStandardPaths::findExecutable(QStringLiteral("chafa"));
    const auto average = [&](auto figure) {
        double sum = 0;
        for (const QString& photo : photos) {
            sum += figure(photo, QImage(photo));
        }
        return sum / photos.size();
    };
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    const QStringList full{QStringLiteral("--colors"), QStringLiteral("full")};
    std::printf("\nTerminal art, %d x %d cells, %lld photos (chafa: %s)\n", kColumns, kRows,
                static_cast<long long>(photos.size()),
                chafa.isEmpty() ? "not installed" : qPrintable(chafa));

    // Lightness correlation: each cell shown as its sign's ink over the cell
    // mixed with the background, against the picture's cells; and the
    // stricter figure per half cell, where ink high or low in a sign counts.
    // jp2a's plain art is the reference.
    const QString jp2a = QStandardPaths::findExecutable(QStringLiteral("jp2a"));
    for (const auto& [name, background, colour] :
         {std::tuple{"default, dark terminal: lightness correlation", QStringLiteral("dark"),
                     black},
          std::tuple{"default, light terminal: lightness correlation", QStringLiteral("light"),
                     white}}) {
        const auto correlations = [&](const QString& program, auto arguments) {
            double perCell = 0;
            double perHalf = 0;
            for (const QString& photo : photos) {
                const QImage image(photo);
                const QByteArray art = RunTool(program, arguments(photo));
                perCell += Compare(image, art, colour, 1, 1).correlation;
                perHalf += Compare(image, art, colour, 1, 2).correlation;
            }
            return std::pair{perCell / photos.size(), perHalf / photos.size()};
        };
        const auto [ours, oursHalf] = correlations(Convert(), [&](const QString& photo) {
            return Ours(photo, full + QStringList{QStringLiteral("--background"), background});
        });
        const auto [theirs, theirsHalf] =
            jp2a.isEmpty() ? std::pair{-1.0, -1.0} : correlations(jp2a, [&](const QString& photo) {
                return QStringList{QStringLiteral("--width=%1").arg(kColumns),
                                   QStringLiteral("--background=") + background, photo};
            });
        Row(name,
            QStringLiteral("%1, half cells %2 (jp2a %3, %4)")
                .arg(ours, 0, 'f', 2)
                .arg(oursHalf, 0, 'f', 2)
                .arg(theirs, 0, 'f', 2)
                .arg(theirsHalf, 0, 'f', 2),
            QStringLiteral(">= 0.85"), ours >= 0.85);
    }

    int fitted = 0;
    for (const QString& photo : photos) {
        const QImage image(photo);
        const Figures f = Compare(image, RunTool(Convert(), Ours(photo, full)), black, 1, 1);
        const double shape =
            (f.columns / (2.0 * f.rows)) / (double(image.width()) / image.height());
        fitted += f.columns <= kColumns && f.rows <= kRows && std::abs(shape - 1) <= 0.05 ? 1 : 0;
    }
    Row("fits the terminal, shape kept (aspect error <= 5 %)",
        QStringLiteral("%1 of %2").arg(fitted).arg(photos.size()), QStringLiteral("all"),
        fitted == photos.size());

    const auto chafaFigure = [&](const QStringList& more, QRgb background, int across, int down,
                                 auto pick) {
        if (chafa.isEmpty()) {
            return -1.0;
        }
        return average([&](const QString& photo, const QImage& image) {
            return pick(
                Compare(image, RunTool(chafa, Chafa(photo, more)), background, across, down));
        });
    };
    const auto ssimOf = [](const Figures& f) { return f.ssim; };
    const auto differenceOf = [](const Figures& f) { return f.colourDifference; };

    const double fillAscii = average([&](const QString& photo, const QImage& image) {
        return Compare(image, RunTool(Convert(), Ours(photo, full + QStringList{"--fill"})), black,
                       1, 2)
            .ssim;
    });
    const double chafaAscii =
        chafaFigure({"--symbols", "ascii", "-c", "full"}, black, 1, 2, ssimOf);
    Row("--fill (ASCII signs): SSIM, two samples a cell",
        QStringLiteral("%1 (chafa --symbols ascii %2)")
            .arg(fillAscii, 0, 'f', 2)
            .arg(chafaAscii, 0, 'f', 2),
        QStringLiteral(">= chafa"), fillAscii >= chafaAscii);

    double best = 0;
    QString bestName;
    for (const char* symbols : {"blocks", "quadrants", "braille", "shapes", "mosaic"}) {
        const double ssim = average([&](const QString& photo, const QImage& image) {
            return Compare(image,
                           RunTool(Convert(),
                                   Ours(photo, full + QStringList{"--fill", "--symbols", symbols})),
                           black, 4, 8)
                .ssim;
        });
        std::printf("    --fill --symbols %-9s SSIM at 4 x 8: %.2f\n", symbols, ssim);
        if (ssim > best) {
            best = ssim;
            bestName = QLatin1String(symbols);
        }
    }
    const double chafaDefault = chafaFigure({"-c", "full"}, black, 4, 8, ssimOf);
    Row("best --fill --symbols: SSIM at 4 x 8 samples a cell",
        QStringLiteral("%1 %2 (chafa default %3)")
            .arg(bestName)
            .arg(best, 0, 'f', 2)
            .arg(chafaDefault, 0, 'f', 2),
        QStringLiteral(">= chafa"), best >= chafaDefault);

    for (const char* depth : {"256", "16"}) {
        const double ours = average([&](const QString& photo, const QImage& image) {
            return Compare(image,
                           RunTool(Convert(), Ours(photo, {"--colors", depth, "--fill", "--symbols",
                                                           "quadrants"})),
                           black, 1, 2)
                .colourDifference;
        });
        const double theirs = chafaFigure({"-c", depth}, black, 1, 2, differenceOf);
        const QByteArray name = QByteArray("--colors ") + depth +
                                " (--fill --symbols quadrants): mean colour difference";
        Row(name.constData(),
            QStringLiteral("%1 (chafa -c %2: %3)")
                .arg(ours, 0, 'f', 1)
                .arg(depth)
                .arg(theirs, 0, 'f', 1),
            QStringLiteral("<= chafa"), ours <= theirs);
    }

    qsizetype codes = 0;
    for (const QString& variable : {QStringLiteral("NO_COLOR=1"), QStringLiteral("TERM=dumb")}) {
        codes += RunTool(Convert(), Ours(photos.front(), {QStringLiteral("--fill")}), {variable})
                     .count('\x1b');
    }
    Row("NO_COLOR=1, TERM=dumb: colour codes", QString::number(codes), QStringLiteral("none"),
        codes == 0);

    const double oursBytes = average([&](const QString& photo, const QImage&) {
        return double(RunTool(Convert(), Ours(photo, full + QStringList{"--fill"})).size());
    });
    const double chafaBytes =
        chafa.isEmpty() ? -1 : average([&](const QString& photo, const QImage&) {
            return double(
                RunTool(chafa, Chafa(photo, {"--symbols", "ascii", "-c", "full"})).size());
        });
    Row("--fill --colors full: bytes a screen",
        QStringLiteral("%1 KB (chafa --symbols ascii %2 KB)")
            .arg(oursBytes / 1024, 0, 'f', 0)
            .arg(chafaBytes / 1024, 0, 'f', 0),
        QStringLiteral("~ chafa"), chafaBytes < 0 || oursBytes <= 1.5 * chafaBytes);

    // 12 MP to a 200 x 60 terminal.
    const QString large = folder.filePath(QStringLiteral("large.jpg"));
    const QString largePng = folder.filePath(QStringLiteral("large.png"));
    {
        const QImage picture = PhotoLikePicture(4000, 3000, 3u, 12, [](double fx, double fy) {
            return Tone{static_cast<int>(128 + 90 * std::sin(fx * 9 + std::cos(fy * 7) * 2)),
                        static_cast<int>(200 * fx * (1 - fy) + 40),
                        static_cast<int>(255 * fy * fy)};
        });
        picture.save(large, "JPEG", 90);
        picture.save(largePng, "PNG");
    }
    const QStringList oursLarge{large,    "-f", "text",   "--columns", "200",
                                "--rows", "60", "--fill", "--colors",  "full"};
    const double oursSeconds = Seconds(Convert(), oursLarge);
    const double chafaSeconds =
        chafa.isEmpty() ? -1 : Seconds(chafa, {"--size", "200x60", "-f", "symbols", large});
    Row("12-MP JPEG to a 200 x 60 terminal: time / chafa",
        chafaSeconds > 0 ? QStringLiteral("%1 (%2 s against %3 s)")
                               .arg(oursSeconds / chafaSeconds, 0, 'f', 2)
                               .arg(oursSeconds, 0, 'f', 3)
                               .arg(chafaSeconds, 0, 'f', 3)
                         : QStringLiteral("%1 s, no chafa installed").arg(oursSeconds, 0, 'f', 3),
        QStringLiteral("<= 1.0"), chafaSeconds < 0 || oursSeconds <= chafaSeconds);

    // Every pixel is read, but memory follows the art: a whole 12-MP
    // picture would take 46 MiB and more.
    const double floor = Measure(Convert(), {QStringLiteral("--version")}).peakMiB;
    for (const QString& picture : {large, largePng}) {
        QStringList arguments = oursLarge;
        arguments[0] = picture;
        const Measured run = Measure(Convert(), arguments, 1);
        const QByteArray name = "same from a 12-MP " +
                                QFileInfo(picture).suffix().toUpper().toLatin1() +
                                ": peak RSS over the floor";
        Row(name.constData(),
            run.status == 0 ? QStringLiteral("%1 MiB").arg(run.peakMiB - floor, 0, 'f', 1)
                            : QStringLiteral("failed"),
            QStringLiteral("<= 8 MiB"), run.status == 0 && run.peakMiB - floor <= 8);
    }
}

} // namespace glimmora
