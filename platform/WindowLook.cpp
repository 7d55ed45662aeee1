#include "WindowLook.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QVariant>
#include <QWidget>

#include <cmath>
#include <memory>

namespace glimmora {

namespace {

const QString kBitmapSansSerif = QStringLiteral("MS Sans Serif");

// The scalable stand-ins for the bitmap face, best first. Measured against
// its 13-pixel strike over the window captions, Liberation Sans at the same
// size runs 1 to 6 % wider and Tahoma 0 to 9 %: Liberation Sans keeps the
// proportions of the captions closest.
QString ScalableSansSerif() {
    for (const QString& family : {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")}) {
        if (QFontDatabase::hasFamily(family)) {
            return family;
        }
    }
    return QStringLiteral("Sans Serif");
}

bool OnScaledScreen() {
    return qGuiApp != nullptr && !qFuzzyCompare(qGuiApp->devicePixelRatio(), 1.0);
}

} // namespace

void RegisterLayoutFonts() {
    // Found by family first, so a system that has the faces installed uses
    // its own; Debian's wine fonts keep them outside fontconfig's path.
    const struct {
        QString family;
        QStringList files;
    } faces[] = {
        {QStringLiteral("MS Sans Serif"), {QStringLiteral("ms_sans_serif.ttf")}},
        {QStringLiteral("Tahoma"), {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")}},
    };
    const QDir folder(QStringLiteral("/usr/share/wine/fonts"));
    for (const auto& face : faces) {
        if (QFontDatabase::hasFamily(face.family)) {
            continue;
        }
        for (const QString& file : face.files) {
            if (QFileInfo::exists(folder.filePath(file))) {
                QFontDatabase::addApplicationFont(folder.filePath(file));
            }
        }
    }
}

bool IsBitmapFace(const QFont& font) {
    return !QFontDatabase::isScalable(QFontInfo(font).family());
}

QFont LayoutFace(const QString& family, double points, bool bold) {
    const int pixels = static_cast<int>(std::lround(points * 96.0 / 72.0));
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferNoShaping);
    if (family != kBitmapSansSerif) {
        return font;
    }
    const QFontInfo drawn(font);
    const bool ownSize =
        drawn.family() == kBitmapSansSerif && std::abs(drawn.pixelSize() - pixels) <= 2;
    if (!ownSize || OnScaledScreen()) {
        font.setFamily(ScalableSansSerif());
    }
    return font;
}

namespace {

// How much wider and taller than its box the caption of control is drawn in
// font; nothing left over when it fits.
QSize Overflow(const QWidget& control, const QFont& font) {
    const QFontMetricsF metrics(font);
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        const QRect box = label->contentsRect();
        if (label->wordWrap()) {
            const QRectF needed = metrics.boundingRect(
                QRectF(box), Qt::TextWordWrap | label->alignment(), label->text());
            return QSize(0, static_cast<int>(std::ceil(needed.height())) - box.height());
        }
        int widest = 0;
        for (const QString& line : label->text().split(QLatin1Char('\n'))) {
            widest = std::max(widest, static_cast<int>(std::ceil(metrics.horizontalAdvance(line))));
        }
        return QSize(widest - box.width(), 0);
    }
    const auto* button = qobject_cast<const QAbstractButton*>(&control);
    QStyleOptionButton option;
    option.initFrom(button);
    const int indicator =
        button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, button) +
        button->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, button);
    QString caption = button->text();
    caption.remove(QLatin1Char('&'));
    return QSize(indicator + static_cast<int>(std::ceil(metrics.horizontalAdvance(caption))) -
                     button->width(),
                 0);
}

// Where a caption keeps the font it was given before it was first made
// smaller: a caption that changes starts again from that font.
constexpr char kDrawnFont[] = "glimmoraDrawnFont";

void FitCaption(QWidget& control) {
    const QVariant drawn = control.property(kDrawnFont);
    QFont font = drawn.isValid() ? drawn.value<QFont>() : control.font();
    if (IsBitmapFace(font)) {
        return;
    }
    const auto fits = [&control](const QFont& candidate) {
        const QSize over = Overflow(control, candidate);
        return over.width() <= 0 && over.height() <= 0;
    };
    if (fits(font)) {
        if (drawn.isValid()) {
            control.setFont(font);
        }
        return;
    }
    control.setProperty(kDrawnFont, font);
    const double pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    // Three quarters of the size at the least: smaller than that a caption
    // is no longer read, cut off or not.
    for (double size = pixels - 0.25; size >= pixels * 0.75; size -= 0.25) {
        font.setPointSizeF(size * 72.0 / 96.0);
        if (fits(font)) {
            break;
        }
    }
    control.setFont(font);
}

} // namespace

void FitCaptionsToBoxes(QWidget& window) {
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->text().isEmpty() && label->pixmap().isNull()) {
            FitCaption(*label);
        }
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->inherits("QRadioButton") || button->inherits("QCheckBox")) {
            FitCaption(*button);
        }
    }
}

QPalette FixedPalette() {
    // The windows were drawn in Fusion's light colours; each role is set
    // one by one, which marks it as the window's own.
    static const QPalette palette = [] {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        const QPalette light = fusion->standardPalette();
        QPalette fixed;
        for (int group = 0; group < QPalette::NColorGroups; ++group) {
            for (int role = 0; role < QPalette::NColorRoles; ++role) {
                const auto g = static_cast<QPalette::ColorGroup>(group);
                const auto r = static_cast<QPalette::ColorRole>(role);
                fixed.setBrush(g, r, light.brush(g, r));
            }
        }
        return fixed;
    }();
    return palette;
}

void UseFixedColours(QWidget& window) {
    window.setPalette(FixedPalette());
}

} // namespace glimmora
