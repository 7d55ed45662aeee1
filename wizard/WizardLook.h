#pragma once

// The colours, sizes and fonts of the wizard's layout, shared by the files
// of frmWizard.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

#include "WizardWidgets.h"
#include "core/Colour.h"
#include "platform/WindowLook.h"

namespace glimmora {

// Colours as the layouts give them, 0x00BBGGRR.
inline constexpr Colour kBackgroundColour = 0xE0E0E0;
inline constexpr Colour kSilver = 0xC0C0C0;
inline constexpr Colour kGreen = 0x00C000;
inline constexpr Colour kOrange = 0x0080FF;
inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;

// The preview box and the frame it is centred in, in twips.
inline constexpr float kThumbDesignLeft = 120;
inline constexpr float kThumbDesignTop = 240;
inline constexpr float kThumbDesignWidth = 1515;
inline constexpr float kThumbDesignHeight = 1935;
inline constexpr float kFrame2Width = 1755;
inline constexpr float kFrame2Height = 2295;

// Longer picture paths are cut on page 5.
inline constexpr int kLongestShownPath = 40;

inline QColor ToQColor(Colour colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

inline Colour FromQColor(const QColor& colour) {
    return static_cast<Colour>(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

inline QFont DefaultFont() {
    return LayoutFace(QStringLiteral("MS Sans Serif"), 8.25);
}

inline QFont BoldFont() {
    return LayoutFace(QStringLiteral("MS Sans Serif"), 8.25, true);
}

inline QFont ArialFont() {
    return LayoutFace(QStringLiteral("Arial"), 8.25);
}

inline void SetColour(QWidget* widget, QPalette::ColorRole role, Colour colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::All, role, ToQColor(colour));
    widget->setPalette(palette);
}

} // namespace glimmora
