#pragma once

// Planning a run: the format, where each picture's document goes and under
// what name, and the options the format leaves unused.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ConvertOptions.h"
#include "core/CellArt.h"

namespace glimmora {

// One picture and where its document goes.
struct Job {
    std::string picture;
    std::optional<std::string> document; // none: the output stream
};

// The whole run once the arguments are read: the format, the steps and the
// looks shared by every picture.
struct Plan {
    ConvertFormat format = ConvertFormat::Rtf;
    ConvertFormat art = ConvertFormat::Rtf; // the art of the document or picture
    std::optional<int> columns;
    bool colour = false;
    bool play = false; // an animation plays on the terminal
    std::vector<Job> jobs;
    std::optional<std::string> folder; // made when the first document is written
    // Text drawn in cells: the most columns and lines (0: no limit; both 0:
    // the steps decide), and how the terminal looks.
    bool cellArt = false;
    int maxColumns = 0;
    int maxRows = 0;
    CellArtOptions look;
};

// The format an output file's extension asks for, if any.
std::optional<ConvertFormat> FormatOfName(const std::string& path);

std::string_view FormatName(ConvertFormat format);

// The options given that the format does not use: each is said on the
// error stream as ignored, and the document is written without it. A
// picture of any art uses the font and the background.
std::vector<std::string> IgnoredOptions(const ConvertRequest& request, ConvertFormat format,
                                        bool picture);

// Decides where each document goes and in which format. Nothing on
// success; otherwise a usage error.
std::optional<std::string> MakePlan(const ConvertRequest& request, bool outIsTerminal,
                                    int terminalColumns, int terminalRows, int outFd, Plan& plan);

} // namespace glimmora
