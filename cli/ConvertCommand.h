#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "ConvertOptions.h"
#include "core/Format.h"

namespace glimmora {

// What page 3 holds for a format when the user only presses Next: the ramp,
// font and background that ShowStep3 writes over the initial values.
struct StyleDefaults {
    std::array<std::string, 9> ramp; // txtBlack .. txtWhite
    std::string fontFace;
    std::string fontSize;
    std::string backgroundColorCode;
};
StyleDefaults StyleDefaultsFor(OutputFormat format);

// Exit codes.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1; // a picture unreadable, an output unwritable
inline constexpr int kExitUsage = 2;

// Runs the whole command: each document into its file, or on out; messages
// on err, one line each. Returns the exit code. When out is a terminal and
// neither -f nor -o is given, the art is written as coloured text as wide as
// the terminal.
// True when the arguments ask for the art as a picture (GIF or PNG), which
// is drawn in the fonts of a QGuiApplication.
bool NeedsFonts(const std::vector<std::string>& args);

int RunConvertCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

} // namespace glimmora
