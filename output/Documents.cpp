#include "Documents.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
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

// Every occurrence of from in text replaced by to.
std::string ReplaceAll(std::string_view text, char from, std::string_view to) {
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        if (c == from) {
            result.append(to);
        } else {
            result.push_back(c);
        }
    }
    return result;
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

} // namespace

std::string ComposeCleanText(std::string_view artText) {
    return std::string(artText);
}

std::string ComposeRtf(std::string_view artText, const DocumentStyle& style) {
    std::string document;
    document.reserve(artText.size() + artText.size() / 4 + 200);
    document += R"({\rtf1\ansi\ansicpg1252\deff0\deflang1053{\fonttbl{\f0\fswiss\fcharset0)";
    document += style.fontFaceText;
    document += ";}}";
    document += kCrLf;
    document += R"({\*\generator OrvanelLumetra2.0;}\viewkind4\uc1\pard\f0\fs)";
    document += HalfPoints(style.fontSizeText);
    document += kCrLf;
    document += ReplaceAll(artText, '\r', "\\par\r");
    document += kCrLf;
    document += "}";
    return document;
}

std::string ComposeHtml(std::string_view artText, const DocumentStyle& style, bool coloured) {
    const std::string colourCode =
        style.backgroundColorCode.empty() ? std::string("000000") : style.backgroundColorCode;
    std::string art = ReplaceAll(artText, '\r', "<BR>");
    if (!coloured) {
        // Standard text: every blank of the light cells as a non-breaking
        // space. Coloured cells keep theirs: the blank in "font color" is
        // part of the tag.
        art = ReplaceAll(art, ' ', "&nbsp;");
    }
    const std::string lines[] = {
        "<HTML>",
        "<HEAD>",
        "<title>Ascii Art By Glimmora</title>",
        R"(<STYLE TYPE="text/css">)",
        "body {background-color: #" + colourCode + "; font-size:" + style.fontSizeText +
            "pt; line-height:" + style.fontSizeText + "pt}",
        "</STYLE><pre>",
        "</HEAD>",
        "<BODY>",
        R"(<font face=")" + style.fontFaceText + R"(">)",
        std::move(art),
        "</font></pre>",
        "</BODY>",
        "</HTML>",
    };
    std::string document;
    std::size_t size = 0;
    for (const std::string& line : lines) {
        size += line.size() + kCrLf.size();
    }
    document.reserve(size);
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        if (i > 0) {
            document += kCrLf;
        }
        document += lines[i];
    }
    return document;
}

std::string ComposeDocument(OutputFormat format, std::string_view artText,
                            const DocumentStyle& style) {
    switch (format) {
    case OutputFormat::HtmlText:
        return ComposeHtml(artText, style, false);
    case OutputFormat::HtmlColoredText:
        return ComposeHtml(artText, style, true);
    case OutputFormat::Rtf:
        return ComposeRtf(artText, style);
    case OutputFormat::CleanText:
        break;
    }
    return ComposeCleanText(artText);
}

std::string FilterFor(OutputFormat format) {
    return "*" + ExtensionFor(format);
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
    std::string bytes;
    bytes.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        if (lead < 0x80) {
            bytes.push_back(static_cast<char>(lead));
            ++pos;
            continue;
        }
        const Decoded decoded = DecodeUtf8(utf8, pos);
        bytes.push_back(decoded.character ? Windows1252Byte(*decoded.character) : '?');
        pos += decoded.length;
    }
    return bytes;
}

std::string SaveBytes(OutputFormat format, std::string_view artText, const DocumentStyle& style) {
    std::string bytes = ToWindows1252(ComposeDocument(format, artText, style));
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
