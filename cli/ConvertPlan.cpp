#include "ConvertPlan.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <utility>

#include "Messages.h"
#include "OutputTarget.h"
#include "PictureArt.h"

namespace glimmora {

namespace {

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Joined(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// photo.jpg gives photo.rtf: the picture's name without its extension, then
// the format's.
std::string DocumentNameFor(const std::string& picture, ConvertFormat format) {
    std::string name = NameOf(picture);
    if (const std::size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name + ExtensionOf(format);
}

// The document beside its picture, in the picture's folder.
std::string BesidePicture(const std::string& picture, ConvertFormat format) {
    const std::size_t slash = picture.find_last_of('/');
    const std::string name = DocumentNameFor(picture, format);
    return slash == std::string::npos ? name : picture.substr(0, slash + 1) + name;
}

} // namespace

// The format an output file's extension asks for, if any.
std::optional<ConvertFormat> FormatOfName(const std::string& path) {
    const std::string name = NameOf(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        return std::nullopt;
    }
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (extension == "txt") {
        return ConvertFormat::Clean;
    }
    if (extension == "rtf") {
        return ConvertFormat::Rtf;
    }
    if (extension == "html" || extension == "htm") {
        return ConvertFormat::Html;
    }
    if (extension == "gif") {
        return ConvertFormat::Gif;
    }
    if (extension == "png") {
        return ConvertFormat::Png;
    }
    return std::nullopt;
}

std::string_view FormatName(ConvertFormat format) {
    switch (format) {
    case ConvertFormat::Clean:
        return "clean";
    case ConvertFormat::Rtf:
        return "rtf";
    case ConvertFormat::Html:
        return "html";
    case ConvertFormat::HtmlColor:
        return "html-color";
    case ConvertFormat::Gif:
        return "gif";
    case ConvertFormat::Png:
        return "png";
    case ConvertFormat::Text:
        break;
    }
    return "text";
}

// The options given that the format does not use: each is said on the
// error stream as ignored, and the document is written without it. A
// picture of any art uses the font and the background.
std::vector<std::string> IgnoredOptions(const ConvertRequest& request, ConvertFormat format,
                                        bool picture) {
    const bool text = format == ConvertFormat::Text;
    const bool gif = format == ConvertFormat::Gif; // the cell art as a picture
    const bool html =
        format == ConvertFormat::Html || format == ConvertFormat::HtmlColor || picture;
    const bool styled = html || format == ConvertFormat::Rtf;
    std::vector<std::string> ignored;
    if (request.colour && !text) {
        ignored.emplace_back("--color");
    }
    if (!request.word.empty() && format != ConvertFormat::HtmlColor && !(text && request.colour) &&
        !gif) {
        ignored.emplace_back("--word");
    }
    if (request.fontFace && !styled) {
        ignored.emplace_back("--font-face");
    }
    if (request.fontSize && !styled) {
        ignored.emplace_back("--font-size");
    }
    if (request.backgroundColorCode && !html && !text && !gif) {
        ignored.emplace_back("--background");
    }
    // Text drawn in cells.
    const std::array<std::pair<bool, const char*>, 4> cellOptions{{
        {request.colourDepth.has_value(), "--colors"},
        {request.symbols.has_value(), "--symbols"},
        {request.fill, "--fill"},
        {request.rows.has_value(), "--rows"},
    }};
    for (const auto& [given, name] : cellOptions) {
        if (given && !text && !gif) {
            ignored.emplace_back(name);
        }
    }
    return ignored;
}

namespace {

// A file's identity where it is a regular file: a terminal or a pipe may be
// standard input and output at once, and two documents may go to one device.
std::optional<FileIdentity> RegularOnly(const std::optional<FileIdentity>& identity) {
    return identity && identity->regular ? identity : std::nullopt;
}

} // namespace

// Decides where each document goes and in which format. Nothing on
// success; otherwise a usage error.
std::optional<std::string> MakePlan(const ConvertRequest& request, bool outIsTerminal,
                                    int terminalColumns, int terminalRows, int outFd, Plan& plan) {
    const bool several = request.pictures.size() > 1;
    const std::optional<std::string>& output = request.outputPath;
    const bool toStream = !output || *output == "-";
    bool toFolder = false;
    if (output && !toStream) {
        const bool isFolder = IsFolder(*output);
        if (several && !isFolder && IdentityOfPath(*output)) {
            return "With several pictures -o must be a folder; " + ShownName(*output) +
                   " is a file.";
        }
        toFolder = several || isFolder || output->ends_with('/');
    }

    // Art for a terminal: text as wide as the terminal, in colour unless a
    // format was asked for.
    const bool toTerminal = toStream && !several && outIsTerminal;
    bool colourForTerminal = false;
    if (request.format) {
        plan.format = *request.format;
    } else if (output && !toStream && !toFolder && FormatOfName(*output)) {
        plan.format = *FormatOfName(*output);
    } else if (toTerminal && !output) {
        plan.format = ConvertFormat::Text;
        colourForTerminal = true;
    } else if (request.colour) {
        plan.format = ConvertFormat::Text;
    }
    plan.art = plan.format == ConvertFormat::Png ? PictureArtOf(request) : plan.format;
    plan.colour = (request.colour && plan.art == ConvertFormat::Text) || colourForTerminal;
    if (request.art && plan.format != ConvertFormat::Png) {
        return std::string("--art is for -f png.");
    }
    if (plan.format == ConvertFormat::Png && toStream && outIsTerminal) {
        return std::string("A PNG picture is not written to a terminal; give -o a file name or "
                           "send standard output to a file or a program.");
    }
    plan.columns = request.columns;
    // In a terminal, or asked for, text is drawn in cells, fitted to the
    // terminal unless a size is given.
    const bool cellsAskedFor =
        request.colourDepth || request.symbols || request.fill || request.rows;
    plan.cellArt = plan.art == ConvertFormat::Text && (toTerminal || cellsAskedFor);
    if (plan.cellArt) {
        plan.maxColumns = request.columns.value_or(0);
        plan.maxRows = request.rows.value_or(0);
        if (toTerminal && !request.scaleAcross && !request.columns) {
            plan.maxColumns = terminalColumns;
            plan.maxRows = request.rows.value_or(std::max(terminalRows - 1, 1));
        }
    }
    if (toTerminal && plan.format == ConvertFormat::Text && !plan.columns && !request.scaleAcross) {
        plan.columns = terminalColumns;
    }
    if (plan.format == ConvertFormat::Gif) {
        // The cell art drawn as a picture: 80 columns unless a size is given.
        plan.maxColumns = request.columns.value_or(request.scaleAcross || request.rows ? 0 : 80);
        plan.maxRows = request.rows.value_or(0);
    }
    plan.play = plan.cellArt && toTerminal && !request.frame;
    if (request.animate && plan.format != ConvertFormat::Html &&
        plan.format != ConvertFormat::HtmlColor) {
        return std::string("--animate is for -f html and -f html-color.");
    }
    if (request.animate && request.frame) {
        return std::string("--animate shows every frame; it cannot go with --frame.");
    }
    if (plan.format == ConvertFormat::Gif && toStream && outIsTerminal) {
        return std::string("A GIF is not written to a terminal; give -o a file name.");
    }

    for (const std::string& picture : request.pictures) {
        Job job{picture, std::nullopt};
        if (toFolder) {
            if (picture == "-") {
                return std::string("Standard input has no name for a document in a folder; "
                                   "give -o a file name.");
            }
            job.document = Joined(*output, DocumentNameFor(picture, plan.format));
        } else if (several) {
            job.document = BesidePicture(picture, plan.format);
        } else if (!toStream) {
            job.document = output;
        }
        plan.jobs.push_back(std::move(job));
    }
    if (toFolder) {
        plan.folder = output;
    }

    // No document may be written over a picture of this run, nor two
    // documents over one another: the files they end up in are compared,
    // links followed.
    std::vector<std::optional<FileIdentity>> pictures;
    std::vector<std::string> finalNames;
    std::vector<std::optional<FileIdentity>> documents;
    for (const Job& job : plan.jobs) {
        pictures.push_back(RegularOnly(job.picture == "-" ? IdentityOfDescriptor(STDIN_FILENO)
                                                          : IdentityOfPath(job.picture)));
        finalNames.push_back(job.document ? FinalName(*job.document) : std::string());
        documents.push_back(RegularOnly(job.document ? IdentityOfPath(*job.document)
                                                     : IdentityOfDescriptor(outFd)));
    }
    for (std::size_t i = 0; i < plan.jobs.size(); ++i) {
        const std::optional<std::string>& document = plan.jobs[i].document;
        const std::string shownDocument =
            document ? ShownName(*document) : std::string("Standard output");
        for (std::size_t j = 0; j < plan.jobs.size(); ++j) {
            if (documents[i] && documents[i] == pictures[j]) {
                const std::string picture =
                    plan.jobs[j].picture == "-"
                        ? std::string("the file the picture is read from (standard input)")
                        : "the picture " + ShownName(plan.jobs[j].picture);
                return shownDocument + " is " + picture + "; it is not written over.";
            }
            if (document && j < i &&
                (finalNames[j] == finalNames[i] ||
                 (documents[i] && documents[i] == documents[j]))) {
                return ShownName(plan.jobs[j].picture) + " and " + ShownName(plan.jobs[i].picture) +
                       " would both be written to " + shownDocument + ".";
            }
        }
    }
    return std::nullopt;
}

} // namespace glimmora
