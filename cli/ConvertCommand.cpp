#include "ConvertCommand.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <optional>
#include <string_view>

#include "ConvertPicture.h"
#include "ConvertPlan.h"
#include "Messages.h"
#include "TerminalArt.h"
#include "TerminalText.h"

namespace glimmora {

namespace {

// --help and --version: a text that cannot be written is a failure too.
int Answer(std::FILE* out, std::FILE* err, std::string_view text, std::string_view what) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (written && std::fflush(out) == 0) {
        return kExitDone;
    }
    const int error = errno != 0 ? errno : EIO;
    return Fail(err, kExitFailed,
                "The " + std::string(what) + " cannot be written: " + ReasonFor(error) + ".");
}

// How a terminal looks to the art: its colours and background, as asked for,
// else as the environment says.
CellArtOptions TerminalLook(const ConvertRequest& request, int outFd) {
    CellArtOptions look;
    look.symbols = request.symbols.value_or(CellSymbols::Ascii);
    look.fill = request.fill;
    look.invert = request.invert;
    look.depth =
        request.colourDepth.value_or(request.colour ? ColourDepth::Full : DepthFromEnvironment());
    if (request.backgroundColorCode) {
        look.background = static_cast<Colour>(std::stol(*request.backgroundColorCode, nullptr, 16));
        // RRGGBB as written; the colour is held red lowest.
        look.background = ((look.background & 0xFF) << 16) | (look.background & 0xFF00) |
                          ((look.background >> 16) & 0xFF);
        return look;
    }
    // A picture read from standard input leaves no terminal there to ask.
    constexpr int kAnswerWait = 100; // milliseconds
    std::optional<Colour> background;
    if (std::find(request.pictures.begin(), request.pictures.end(), "-") ==
        request.pictures.end()) {
        background = AskTerminalBackground(STDIN_FILENO, outFd, kAnswerWait);
    }
    if (!background) {
        background = BackgroundFromColorFgBg(std::getenv("COLORFGBG"));
    }
    look.background = background.value_or(look.background);
    return look;
}

} // namespace

StyleDefaults StyleDefaultsFor(OutputFormat format) {
    // The values page 3 starts with; ShowStep3 then writes the format's own.
    StyleDefaults defaults{
        {"9", "=", "u", "e", ";;", "::", ",,", "..", "  "}, "Tahoma", "8", "000000"};
    switch (format) {
    case OutputFormat::HtmlColoredText:
        defaults.fontSize = "8";
        defaults.fontFace = "Tahoma";
        defaults.backgroundColorCode = "000000";
        break;
    case OutputFormat::HtmlText:
        defaults.fontSize = "5";
        defaults.fontFace = "Arial";
        defaults.backgroundColorCode = "FFFFFF";
        break;
    case OutputFormat::Rtf:
        defaults.fontSize = "5";
        defaults.fontFace = "Arial";
        break;
    case OutputFormat::CleanText:
        // Built whole and moved in: GCC 12 warns falsely (-Wrestrict) about
        // assigning these one-letter literals once this function is inlined.
        defaults.ramp[4] = std::string(";");
        defaults.ramp[5] = std::string(":");
        defaults.ramp[6] = std::string(",");
        defaults.ramp[7] = std::string(".");
        defaults.ramp[8] = std::string(" ");
        break;
    }
    return defaults;
}

bool NeedsFonts(const std::vector<std::string>& args) {
    const ParsedArguments parsed = ParseConvertArguments(args);
    const ConvertRequest& request = parsed.request;
    return parsed.action == ParsedArguments::Action::Convert &&
           (request.format
                ? *request.format == ConvertFormat::Gif || *request.format == ConvertFormat::Png
                : request.outputPath && (FormatOfName(*request.outputPath) == ConvertFormat::Gif ||
                                         FormatOfName(*request.outputPath) == ConvertFormat::Png));
}

int RunConvertCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    try {
        const ParsedArguments parsed = ParseConvertArguments(args);
        switch (parsed.action) {
        case ParsedArguments::Action::Help:
            return Answer(out, err, ConvertUsageText(), "help");
        case ParsedArguments::Action::Version:
            return Answer(out, err, std::string(kConvertVersionText) + "\n", "version");
        case ParsedArguments::Action::UsageError:
            return Fail(err, kExitUsage, parsed.error);
        case ParsedArguments::Action::Convert:
            break;
        }
        const ConvertRequest& request = parsed.request;
        const int outFd = ::fileno(out);
        const bool outIsTerminal = outFd >= 0 && ::isatty(outFd) == 1;
        Plan plan;
        if (const std::optional<std::string> error =
                MakePlan(request, outIsTerminal, outIsTerminal ? TerminalColumns(outFd) : 0,
                         outIsTerminal ? TerminalRows(outFd) : 0, outFd, plan)) {
            return Fail(err, kExitUsage, *error);
        }
        if (plan.format == ConvertFormat::Gif || plan.format == ConvertFormat::Png) {
            // A picture is no terminal: full colour on black unless asked.
            plan.look = TerminalLook(request, -1);
            plan.look.depth = request.colourDepth.value_or(ColourDepth::Full);
            if (!request.backgroundColorCode) {
                plan.look.background = 0x000000;
            }
        } else if (plan.cellArt) {
            plan.look = TerminalLook(request, outFd);
        }
        for (const std::string& option :
             IgnoredOptions(request, plan.art, plan.format == ConvertFormat::Png)) {
            Fail(err, kExitDone,
                 option + " is not used by -f " + std::string(FormatName(plan.format)) +
                     "; it is ignored.");
        }
        if (plan.format == ConvertFormat::HtmlColor && request.word.empty()) {
            // The document is still written, as the wizard would write it.
            Fail(err, kExitDone,
                 "Without --word the cells of -f html-color have no letters; the document "
                 "shows only empty cells.");
        }
        int status = kExitDone;
        for (const Job& job : plan.jobs) {
            if (ConvertOne(request, plan, job, out, err) != kExitDone) {
                status = kExitFailed;
            }
        }
        return status;
    } catch (const std::bad_alloc&) {
        std::fputs("glimmora-convert: Not enough memory.\n", err);
        return kExitFailed;
    }
}

} // namespace glimmora
