#include "Documents.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <system_error>
#include <utility>

#include "Interruption.h"
#include "TextEncoding.h"
#include "core/Numbers.h"

namespace glimmora {

using detail::Decoded;
using detail::DecodeUtf8;
using detail::IsContinuation;
using detail::ToWindows1252InPlace;
using detail::Windows1252Byte;

namespace {

constexpr std::string_view kCrLf = "\r\n";

// How often a rare byte occurs (memchr skips the stretches between).
std::size_t CountRare(std::string_view text, char c) {
    std::size_t count = 0;
    const char* from = text.data();
    const char* const end = from + text.size();
    while (from < end) {
        from = static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(end - from)));
        if (from == nullptr) {
            break;
        }
        ++count;
        ++from;
    }
    return count;
}

// How often a frequent byte occurs.
std::size_t CountFrequent(std::string_view text, char c) {
    std::size_t count = 0;
    for (const char each : text) {
        count += each == c ? 1 : 0;
    }
    return count;
}

// The half-points an RTF gets when the size box holds no usable size: 12 pt,
// what word processors start a new document with. RTF takes whole
// half-points from 1 to 3276 only.
constexpr int kFallbackHalfPoints = 24;
constexpr double kMostHalfPoints = 3276.0;

// The RTF size control word's value: the size in points doubled, rounded
// half up to a whole number within what RTF takes.
int HalfPoints(std::string_view fontSizeText) {
    const std::optional<double> points = ReadDecimal(fontSizeText);
    if (!points || !(*points > 0.0)) {
        return kFallbackHalfPoints;
    }
    const double halfPoints = std::floor(*points * 2.0 + 0.5);
    return static_cast<int>(std::clamp(halfPoints, 1.0, kMostHalfPoints));
}

// What a failed open or write means for the user, in one sentence.
std::string WriteFailure(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "The folder does not exist.";
    case EACCES:
    case EPERM:
        return "You do not have permission to write to this file.";
    case EISDIR:
        return "The name belongs to a folder, not a file.";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return "The disk is full.";
    case EROFS:
        return "The disk cannot be written to.";
    case ENAMETOOLONG:
        return "The file name is too long.";
    default:
        return "The file could not be written.";
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::filesystem::path PathFromUtf8(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

} // namespace

// How a text goes into a document: what its special ASCII bytes become (an
// empty text: left out) and how a character that Windows-1252 cannot hold
// is written.
struct DocumentWriter::TextRule {
    enum class Unheld { QuestionMark, RtfUnicode, HtmlReference };

    std::array<std::string_view, 128> ascii{};
    Unheld unheld = Unheld::QuestionMark;
    // Bytes that are not copied as they are: the ones above, and all of
    // 0x80..0xFF.
    std::array<bool, 256> special{};
    // The ASCII ones among them, for looking at eight bytes at once.
    std::array<std::uint8_t, 8> asciiSpecials{};
    std::size_t asciiSpecialCount = 0;

    TextRule(Unheld unheldAs, std::initializer_list<std::pair<char, std::string_view>> changes)
        : unheld(unheldAs) {
        for (const auto& [c, text] : changes) {
            ascii[static_cast<unsigned char>(c)] = text;
            special[static_cast<unsigned char>(c)] = true;
            asciiSpecials.at(asciiSpecialCount++) = static_cast<std::uint8_t>(c);
        }
        for (std::size_t byte = 0x80; byte < special.size(); ++byte) {
            special[byte] = true;
        }
    }
};

namespace {

using TextRule = DocumentWriter::TextRule;
using Unheld = TextRule::Unheld;

const TextRule kCleanArt(Unheld::QuestionMark, {});
const TextRule kRtfArt(Unheld::RtfUnicode,
                       {{'\\', "\\\\"}, {'{', "\\{"}, {'}', "\\}"}, {'\r', "\\par\r"}});
const TextRule kRtfFace(Unheld::RtfUnicode,
                        {{'\\', "\\\\"}, {'{', "\\{"}, {'}', "\\}"}, {';', ""}});
const TextRule
    kHtmlTextArt(Unheld::HtmlReference,
                 {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'\r', "<BR>"}, {' ', "&nbsp;"}});
// The coloured cells' letters come escaped from the engine; their tags stay.
const TextRule kHtmlColouredArt(Unheld::HtmlReference, {{'\r', "<BR>"}});
const TextRule kHtmlFace(Unheld::HtmlReference,
                         {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}});
const TextRule
    kHtmlSize(Unheld::HtmlReference,
              {{';', ""}, {'{', ""}, {'}', ""}, {'<', ""}, {'>', ""}, {'"', ""}, {'&', ""}});
const TextRule kHtmlPlain(Unheld::HtmlReference, {});

// The end of the stretch from pos on that holds no special byte. Art runs
// to hundreds of megabytes of mostly plain bytes: they are looked at eight
// at a time, each special ASCII byte sought in all eight at once (a byte of
// the word XOR the sought one is zero where it occurs).
template <std::size_t kSought>
std::size_t PlainRunEnd(std::string_view text, std::size_t pos, const TextRule& rule) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    std::array<std::uint64_t, kSought> sought{};
    for (std::size_t i = 0; i < kSought; ++i) {
        sought[i] = kOnes * rule.asciiSpecials[i];
    }
    const std::size_t size = text.size();
    while (pos + 8 <= size) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + pos, 8);
        std::uint64_t found = word & kHighBits;
        for (std::size_t i = 0; i < kSought; ++i) {
            const std::uint64_t x = word ^ sought[i];
            found |= (x - kOnes) & ~x & kHighBits;
        }
        if (found != 0) {
            break;
        }
        pos += 8;
    }
    while (pos < size && !rule.special[static_cast<unsigned char>(text[pos])]) {
        ++pos;
    }
    return pos;
}

// Rules with other counts seek NUL in the spare places, which only sends a
// word to the byte-by-byte look.
std::size_t PlainRunEnd(std::string_view text, std::size_t pos, const TextRule& rule) {
    switch (rule.asciiSpecialCount) {
    case 0:
        return PlainRunEnd<0>(text, pos, rule);
    case 1:
        return PlainRunEnd<1>(text, pos, rule);
    case 4:
        return PlainRunEnd<4>(text, pos, rule);
    default:
        return PlainRunEnd<8>(text, pos, rule);
    }
}

const TextRule& ArtRuleFor(OutputFormat format) {
    switch (format) {
    case OutputFormat::HtmlText:
        return kHtmlTextArt;
    case OutputFormat::HtmlColoredText:
        return kHtmlColouredArt;
    case OutputFormat::Rtf:
        return kRtfArt;
    case OutputFormat::CleanText:
        break;
    }
    return kCleanArt;
}

constexpr std::string_view kRtfEnd = "\r\n}";
constexpr std::string_view kHtmlEnd = "\r\n"
                                      "</font></pre>\r\n"
                                      "</BODY>\r\n"
                                      "</HTML>";

} // namespace

DocumentWriter::DocumentWriter(OutputFormat format, const DocumentStyle& style, ByteSink sink)
    : format_(format), sink_(std::move(sink)), artRule_(&ArtRuleFor(format)) {
    out_.reserve(kPieceSize);
    switch (format_) {
    case OutputFormat::Rtf:
        WriteFixed(R"({\rtf1\ansi\ansicpg1252\deff0\deflang1053{\fonttbl{\f0\fswiss\fcharset0)");
        Write(style.fontFaceText, kRtfFace);
        WriteFixed(";}}\r\n"
                   R"({\*\generator OrvanelLumetra2.0;}\viewkind4\uc1\pard\f0\fs)");
        WriteFixed(std::to_string(HalfPoints(style.fontSizeText)));
        WriteFixed(kCrLf);
        break;
    case OutputFormat::HtmlText:
    case OutputFormat::HtmlColoredText:
        WriteFixed("<HTML>\r\n"
                   "<HEAD>\r\n"
                   "<title>Ascii Art By Glimmora</title>\r\n"
                   "<STYLE TYPE=\"text/css\">\r\n"
                   "body {background-color: #");
        Write(style.backgroundColorCode.empty() ? std::string_view("000000")
                                                : std::string_view(style.backgroundColorCode),
              kHtmlPlain);
        WriteFixed("; font-size:");
        Write(style.fontSizeText, kHtmlSize);
        WriteFixed("pt; line-height:");
        Write(style.fontSizeText, kHtmlSize);
        WriteFixed("pt}\r\n"
                   "</STYLE><pre>\r\n"
                   "</HEAD>\r\n"
                   "<BODY>\r\n"
                   "<font face=\"");
        Write(style.fontFaceText, kHtmlFace);
        WriteFixed("\">\r\n");
        break;
    case OutputFormat::CleanText:
        break;
    }
}

void DocumentWriter::WriteArt(std::string_view piece) {
    if (carrySize_ != 0 && !piece.empty()) {
        // Finish the character the last piece cut off.
        std::array<char, 8> joined{};
        std::memcpy(joined.data(), carry_.data(), carrySize_);
        const std::size_t taken = std::min(piece.size(), joined.size() - carrySize_);
        std::memcpy(joined.data() + carrySize_, piece.data(), taken);
        const Decoded decoded = DecodeUtf8(std::string_view(joined.data(), carrySize_ + taken), 0);
        if (decoded.cutOff) {
            // Still cut off: the whole piece belongs to the character.
            std::memcpy(carry_.data() + carrySize_, piece.data(), piece.size());
            carrySize_ += piece.size();
            return;
        }
        // The carried bytes began a character well, so whatever was decoded
        // reaches at least to their end.
        const std::size_t fromPiece = decoded.length - carrySize_;
        carrySize_ = 0;
        WriteCharacter(decoded.character, *artRule_);
        piece.remove_prefix(fromPiece);
    }
    Write(piece, *artRule_);
}

void DocumentWriter::WriteMarkup(std::string_view bytes) {
    WriteFixed(bytes);
}

void DocumentWriter::Finish() {
    if (carrySize_ != 0) {
        // The art ended inside a character.
        carrySize_ = 0;
        WriteCharacter(std::nullopt, *artRule_);
    }
    switch (format_) {
    case OutputFormat::Rtf:
        WriteFixed(kRtfEnd);
        break;
    case OutputFormat::HtmlText:
    case OutputFormat::HtmlColoredText:
        WriteFixed(kHtmlEnd);
        break;
    case OutputFormat::CleanText:
        break;
    }
    WriteFixed(kCrLf);
    Flush();
}

void DocumentWriter::Write(std::string_view text, const TextRule& rule) {
    const bool isArt = &rule == artRule_;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t run = PlainRunEnd(text, pos, rule);
        WriteFixed(text.substr(pos, run - pos));
        if (run == text.size()) {
            break;
        }
        const auto byte = static_cast<unsigned char>(text[run]);
        if (byte < 0x80) {
            WriteFixed(rule.ascii[byte]);
            pos = run + 1;
            continue;
        }
        const Decoded decoded = DecodeUtf8(text, run);
        if (decoded.cutOff && isArt) {
            // The next piece of art may finish the character.
            carrySize_ = text.size() - run;
            std::memcpy(carry_.data(), text.data() + run, carrySize_);
            break;
        }
        WriteCharacter(decoded.character, rule);
        pos = run + decoded.length;
    }
}

void DocumentWriter::WriteCharacter(std::optional<char32_t> character, const TextRule& rule) {
    // HTML names no character set, and browsers guess one: every character
    // above ASCII is written as a reference, so the page reads the same
    // whatever they guess.
    const bool asHtmlReference =
        character && *character >= 0x80 && rule.unheld == Unheld::HtmlReference;
    const char byte = !character || asHtmlReference ? '?' : Windows1252Byte(*character);
    if (byte != '?') {
        out_ += byte;
    } else if (!character || rule.unheld == Unheld::QuestionMark) {
        ++questionMarks_;
        out_ += '?';
    } else if (rule.unheld == Unheld::HtmlReference) {
        out_ += "&#";
        out_ += std::to_string(static_cast<std::uint32_t>(*character));
        out_ += ';';
    } else {
        // RTF: each UTF-16 unit as a signed 16-bit number, each followed by
        // the one character that readers without Unicode show instead.
        const auto unit = [this](std::uint32_t value) {
            out_ += "\\u";
            out_ += std::to_string(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
            out_ += '?';
        };
        if (*character >= 0x10000) {
            const std::uint32_t above = *character - 0x10000;
            unit(0xD800 + (above >> 10));
            unit(0xDC00 + (above & 0x3FF));
        } else {
            unit(*character);
        }
    }
    if (out_.size() >= kPieceSize) {
        Flush();
    }
}

void DocumentWriter::WriteFixed(std::string_view bytes) {
    if (out_.size() + bytes.size() <= kPieceSize) {
        out_.append(bytes);
        return;
    }
    Flush();
    if (bytes.size() >= kPieceSize) {
        // A long stretch goes to the sink as it lies.
        sink_(bytes);
    } else {
        out_.append(bytes);
    }
}

void DocumentWriter::Flush() {
    if (!out_.empty()) {
        sink_(out_);
        out_.clear();
    }
}

std::size_t WriteSaveBytes(OutputFormat format, std::string_view artText,
                           const DocumentStyle& style, const ByteSink& sink) {
    DocumentWriter writer(format, style, sink);
    writer.WriteArt(artText);
    writer.Finish();
    return writer.QuestionMarks();
}

std::string SaveBytes(OutputFormat format, std::string_view artText, const DocumentStyle& style) {
    // Room for the art, its line ends and blanks as written and the lines
    // around it, so a document of hundreds of megabytes is not moved while
    // it grows; only escapes, which are rare, may still move it.
    std::size_t room =
        artText.size() + 8 * (style.fontFaceText.size() + style.fontSizeText.size()) + 512;
    room += CountRare(artText, '\r') * 4;
    if (format == OutputFormat::HtmlText) {
        room += CountFrequent(artText, ' ') * 5;
    }
    std::string bytes;
    bytes.reserve(room);
    WriteSaveBytes(format, artText, style, [&bytes](std::string_view piece) { bytes += piece; });
    return bytes;
}

std::optional<std::string> AppendToFile(const std::string& path, std::string_view bytes) {
    return AppendToFile(path, [bytes](const ByteSink& sink) { sink(bytes); });
}

std::optional<std::string> AppendToFile(const std::string& path,
                                        const std::function<void(const ByteSink&)>& write) {
    if (path.empty()) {
        return "No file name was given.";
    }
    const std::filesystem::path fsPath = PathFromUtf8(path);
    std::error_code ec;
    if (std::filesystem::is_directory(fsPath, ec)) {
        return WriteFailure(EISDIR);
    }
    // Remember how the file was, so a write that fails half-way can be
    // undone and the user's file is left as it was.
    const bool existed = std::filesystem::exists(fsPath, ec);
    const bool wasRegular = existed && std::filesystem::is_regular_file(fsPath, ec);
    const std::uintmax_t oldSize = wasRegular ? std::filesystem::file_size(fsPath, ec) : 0;
    const auto undo = [&] {
        if (!existed) {
            std::filesystem::remove(fsPath, ec);
        } else if (wasRegular) {
            std::filesystem::resize_file(fsPath, oldSize, ec);
        }
    };

    // Ended by a signal half-way, the program first leaves the file as it
    // was.
    const InterruptionGuard guard;
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "ab"));
    if (!file) {
        return WriteFailure(errno);
    }
    // After the first failure the rest is passed over: the file is cut
    // back anyway.
    int error = 0;
    bool undone = false;
    const auto stopIfInterrupted = [&] {
        if (!undone && InterruptionGuard::Caught() != 0) {
            file.reset();
            undo();
            undone = true;
            InterruptionGuard::EndIfCaught();
            error = EINTR;
        }
    };
    const ByteSink sink = [&](std::string_view piece) {
        stopIfInterrupted();
        if (error != 0 || piece.empty()) {
            return;
        }
        errno = 0;
        if (std::fwrite(piece.data(), 1, piece.size(), file.get()) != piece.size()) {
            stopIfInterrupted();
            if (error == 0) {
                error = errno != 0 ? errno : EIO;
            }
        }
    };
    try {
        write(sink);
    } catch (...) {
        if (!undone) {
            file.reset();
            undo();
        }
        throw;
    }
    stopIfInterrupted();
    if (undone) {
        return WriteFailure(error); // the file is already as it was
    }
    if (error == 0 && std::fflush(file.get()) != 0) {
        error = errno != 0 ? errno : EIO;
    }
    if (error == 0 && std::fclose(file.release()) != 0) {
        error = errno != 0 ? errno : EIO;
    }
    if (error == 0) {
        return std::nullopt;
    }
    file.reset();
    undo();
    if (error == EIO) {
        return "The file could not be written completely.";
    }
    return WriteFailure(error);
}

} // namespace glimmora
