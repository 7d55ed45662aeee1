#pragma once

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

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

// One run of glimmora-convert as its arguments ask for it.
struct ConvertRequest {
    std::string picturePath;               // UTF-8
    std::optional<std::string> outputPath; // none: standard output
    OutputFormat format = OutputFormat::Rtf;
    std::optional<std::string> scaleAcross; // none: proposed by AutoScale
    std::optional<std::string> scaleDown;
    std::array<std::optional<std::string>, 9> ramp; // none: the format's default
    std::string word;
    std::optional<std::string> fontFace;
    std::optional<std::string> fontSize;
    std::optional<std::string> backgroundColorCode; // six uppercase hex digits
};

struct ParsedArguments {
    enum class Action { Convert, Help, Version, UsageError };
    Action action = Action::Convert;
    ConvertRequest request;
    std::string error; // for UsageError: one sentence
};

// Reads the arguments (without the program name), UTF-8.
ParsedArguments ParseConvertArguments(const std::vector<std::string>& args);

std::string ConvertUsageText();
inline constexpr const char* kConvertVersionText = "glimmora-convert 2.0";

// Exit codes.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1; // picture unreadable, output unwritable
inline constexpr int kExitUsage = 2;

// Runs the whole command: the document on out (or in the file asked for),
// messages on err. Returns the exit code.
int RunConvertCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

} // namespace glimmora
