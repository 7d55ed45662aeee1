#include "Documents.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "core/Numbers.h"

namespace glimmora {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The half-points an RTF gets when the size box holds no usable size: 12 pt,
// what word processors start a new document with.
constexpr std::string_view kFallbackHalfPoints = "24";

constexpr std::string_view kNbsp = "&nbsp;";

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

// Appends the art text to out with every CR written as crText and, when
// nbsp is set, every blank as a non-breaking space. The art can run to
// hundreds of megabytes: room is made once for all of it and for the tail
// bytes the caller appends afterwards, so the document never moves, and it
// is copied in runs between the characters that change.
void AppendArt(std::string& out, std::string_view art, std::string_view crText, bool nbsp,
               std::size_t tail) {
    const std::size_t crs = CountRare(art, '\r');
    const std::size_t blanks = nbsp ? CountFrequent(art, ' ') : 0;
    out.reserve(out.size() + art.size() + crs * (crText.size() - 1) + blanks * (kNbsp.size() - 1) +
                tail);
    if (!nbsp) {
        std::size_t from = 0;
        while (from < art.size()) {
            const std::size_t cr = art.find('\r', from);
            if (cr == std::string_view::npos) {
                out.append(art.substr(from));
                break;
            }
            out.append(art.substr(from, cr - from));
            out.append(crText);
            from = cr + 1;
        }
        return;
    }
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < art.size(); ++i) {
        const char c = art[i];
        if (c == '\r' || c == ' ') {
            out.append(art.substr(runStart, i - runStart));
            out.append(c == '\r' ? crText : kNbsp);
            runStart = i + 1;
        }
    }
    out.append(art.substr(runStart));
}

// The RTF size control word's value: the size in points doubled.
std::string HalfPoints(std::string_view fontSizeText) {
    const std::optional<double> points = ReadDecimal(fontSizeText);
    if (!points || !std::isfinite(*points) || *points <= 0.0) {
        return std::string(kFallbackHalfPoints);
    }
    const double halfPoints = *points * 2.0;
    if (!std::isfinite(halfPoints)) {
        return std::string(kFallbackHalfPoints);
    }
    return FormatDecimal(halfPoints);
}

// The characters 0x80..0x9F of Windows-1252, by byte; 0 marks the five
// positions the code page leaves undefined.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 88..8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 98..9F
};

// The Windows-1252 byte for a character, or '?' when the code page has none.
char Windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(static_cast<unsigned char>(c));
    }
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
        if (kWindows1252High[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one UTF-8 character at text[pos]. Returns the character and the
// bytes it takes; a malformed sequence yields nothing and the bytes of its
// longest valid beginning (at least one), so each fault costs one character.
struct Decoded {
    std::optional<char32_t> character;
    std::size_t length;
};

Decoded DecodeUtf8(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length = 0;
    char32_t c = 0;
    // The allowed range of the second byte rules out overlong forms,
    // surrogates and characters above U+10FFFF.
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        if (lead == 0xE0) {
            secondLow = 0xA0;
        } else if (lead == 0xED) {
            secondHigh = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        if (lead == 0xF0) {
            secondLow = 0x90;
        } else if (lead == 0xF4) {
            secondHigh = 0x8F;
        }
    } else {
        return {std::nullopt, 1};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (pos + i >= text.size()) {
            return {std::nullopt, i};
        }
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        const bool inRange =
            i == 1 ? (byte >= secondLow && byte <= secondHigh) : IsContinuation(byte);
        if (!inRange) {
            return {std::nullopt, i};
        }
        c = (c << 6) | (byte & 0x3F);
    }
    return {c, length};
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

// The documents, with room for tail more bytes (the save's CR LF) behind.
std::string ComposeRtfWithRoom(std::string_view artText, const DocumentStyle& style,
                               std::size_t tail) {
    constexpr std::string_view kEnd = "\r\n}";
    std::string document(
        R"({\rtf1\ansi\ansicpg1252\deff0\deflang1053{\fonttbl{\f0\fswiss\fcharset0)");
    document += style.fontFaceText;
    document += ";}}";
    document += kCrLf;
    document += R"({\*\generator OrvanelLumetra2.0;}\viewkind4\uc1\pard\f0\fs)";
    document += HalfPoints(style.fontSizeText);
    document += kCrLf;
    AppendArt(document, artText, "\\par\r", false, kEnd.size() + tail);
    document += kEnd;
    return document;
}

std::string ComposeHtmlWithRoom(std::string_view artText, const DocumentStyle& style, bool coloured,
                                std::size_t tail) {
    constexpr std::string_view kEnd = "\r\n"
                                      "</font></pre>\r\n"
                                      "</BODY>\r\n"
                                      "</HTML>";
    const std::string_view colourCode = style.backgroundColorCode.empty()
                                            ? std::string_view("000000")
                                            : std::string_view(style.backgroundColorCode);
    std::string document("<HTML>\r\n"
                         "<HEAD>\r\n"
                         "<title>Ascii Art By Glimmora</title>\r\n"
                         "<STYLE TYPE=\"text/css\">\r\n"
                         "body {background-color: #");
    document += colourCode;
    document += "; font-size:";
    document += style.fontSizeText;
    document += "pt; line-height:";
    document += style.fontSizeText;
    document += "pt}\r\n"
                "</STYLE><pre>\r\n"
                "</HEAD>\r\n"
                "<BODY>\r\n"
                "<font face=\"";
    document += style.fontFaceText;
    document += "\">\r\n";
    // Standard text: every blank of the light cells as a non-breaking space.
    // Coloured cells keep theirs: the blank in "font color" is part of the
    // tag.
    AppendArt(document, artText, "<BR>", !coloured, kEnd.size() + tail);
    document += kEnd;
    return document;
}

std::string ComposeWithRoom(OutputFormat format, std::string_view artText,
                            const DocumentStyle& style, std::size_t tail) {
    switch (format) {
    case OutputFormat::HtmlText:
        return ComposeHtmlWithRoom(artText, style, false, tail);
    case OutputFormat::HtmlColoredText:
        return ComposeHtmlWithRoom(artText, style, true, tail);
    case OutputFormat::Rtf:
        return ComposeRtfWithRoom(artText, style, tail);
    case OutputFormat::CleanText:
        break;
    }
    std::string document;
    document.reserve(artText.size() + tail);
    document.append(artText);
    return document;
}

// Turns UTF-8 text into Windows-1252 where it lies: a character never takes
// more bytes in Windows-1252 than in UTF-8.
void ToWindows1252InPlace(std::string& text) {
    const std::size_t size = text.size();
    // Art is mostly plain ASCII: skip it eight bytes at a time.
    std::size_t pos = 0;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    for (; pos + 8 <= size; pos += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + pos, 8);
        if ((word & kHighBits) != 0) {
            break;
        }
    }
    while (pos < size && static_cast<unsigned char>(text[pos]) < 0x80) {
        ++pos;
    }
    std::size_t write = pos;
    while (pos < size) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80) {
            text[write++] = static_cast<char>(lead);
            ++pos;
            continue;
        }
        const Decoded decoded = DecodeUtf8(text, pos);
        text[write++] = decoded.character ? Windows1252Byte(*decoded.character) : '?';
        pos += decoded.length;
    }
    text.resize(write);
}

} // namespace

std::string ComposeCleanText(std::string_view artText) {
    return std::string(artText);
}

std::string ComposeRtf(std::string_view artText, const DocumentStyle& style) {
    return ComposeRtfWithRoom(artText, style, 0);
}

std::string ComposeHtml(std::string_view artText, const DocumentStyle& style, bool coloured) {
    return ComposeHtmlWithRoom(artText, style, coloured, 0);
}

std::string ComposeDocument(OutputFormat format, std::string_view artText,
                            const DocumentStyle& style) {
    return ComposeWithRoom(format, artText, style, 0);
}

std::string FilterFor(OutputFormat format) {
    std::string filter = "*";
    filter += ExtensionFor(format);
    return filter;
}

std::string ExtensionFor(OutputFormat format) {
    switch (format) {
    case OutputFormat::HtmlText:
    case OutputFormat::HtmlColoredText:
        return ".html";
    case OutputFormat::Rtf:
        return ".rtf";
    case OutputFormat::CleanText:
        break;
    }
    return ".txt";
}

std::string ProposedFileName(std::string_view imageFileTitle) {
    // Count characters, not bytes: every character starts with a byte that
    // is not a UTF-8 continuation byte. Walk back to the fourth start.
    std::string_view kept = imageFileTitle;
    int characters = 0;
    for (std::size_t i = imageFileTitle.size(); i > 0; --i) {
        if (!IsContinuation(static_cast<unsigned char>(imageFileTitle[i - 1])) &&
            ++characters == 4) {
            kept = imageFileTitle.substr(0, i - 1);
            break;
        }
    }
    std::string name(kept);
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

std::string WithExtension(std::string_view chosenPath, std::string_view extension) {
    const auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    const bool hasIt =
        chosenPath.size() >= extension.size() &&
        std::equal(extension.begin(), extension.end(), chosenPath.end() - extension.size(),
                   [&](char a, char b) { return lower(a) == lower(b); });
    std::string path(chosenPath);
    if (!hasIt) {
        path += extension;
    }
    return path;
}

std::string ToWindows1252(std::string_view utf8) {
    std::string bytes(utf8);
    ToWindows1252InPlace(bytes);
    return bytes;
}

std::string SaveBytes(OutputFormat format, std::string_view artText, const DocumentStyle& style) {
    std::string bytes = ComposeWithRoom(format, artText, style, kCrLf.size());
    ToWindows1252InPlace(bytes);
    bytes += kCrLf;
    return bytes;
}

std::optional<std::string> AppendToFile(const std::string& path, std::string_view bytes) {
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

    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "ab"));
    if (!file) {
        return WriteFailure(errno);
    }
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    int error = written == bytes.size() ? 0 : (errno != 0 ? errno : EIO);
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
    if (!existed) {
        std::filesystem::remove(fsPath, ec);
    } else if (wasRegular) {
        std::filesystem::resize_file(fsPath, oldSize, ec);
    }
    if (error == EIO) {
        return "The file could not be written completely.";
    }
    return WriteFailure(error);
}

} // namespace glimmora
