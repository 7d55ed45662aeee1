// Art text read into lines of signs: sign art, coloured HTML's cells and SGR
// terminal text; and a cell grid's rows as signs.

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ArtPictureInternals.h"

namespace glimmora {

namespace {

using detail::Sign;

constexpr char32_t kReplacement = 0xFFFD;
constexpr int kTabStop = 8;

// Calls onCharacter(code) for every character of UTF-8 bytes, and U+FFFD for each
// byte that starts no valid character.
template <typename Emit> void DecodeUtf8(std::string_view bytes, Emit&& onCharacter) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            onCharacter(static_cast<char32_t>(lead));
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xC2 && lead < 0xE0   ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        bool valid = length > 0 && i + length <= bytes.size();
        char32_t code = lead & (0x7F >> length);
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        valid = valid && !(length == 3 && (code < 0x800 || (code >= 0xD800 && code < 0xE000))) &&
                !(length == 4 && (code < 0x10000 || code > 0x10FFFF));
        if (valid) {
            onCharacter(code);
            i += length;
        } else {
            onCharacter(kReplacement);
            ++i;
        }
    }
}

// A colour of the terminal palette, as RGB.
Rgb PaletteRgb(int index) {
    return RgbOfColour(PaletteColour(std::clamp(index, 0, 255)));
}

// The colours a terminal carries from one SGR sequence to the next, across
// lines too.
struct TerminalColours {
    std::optional<Rgb> fg;
    std::optional<Rgb> bg;
    bool reverse = false;

    void Apply(std::string_view parameters) {
        std::vector<int> values;
        std::size_t at = 0;
        while (at <= parameters.size()) {
            std::size_t end = parameters.find_first_of(";:", at);
            if (end == std::string_view::npos) {
                end = parameters.size();
            }
            int value = 0;
            std::from_chars(parameters.data() + at, parameters.data() + end, value);
            values.push_back(value);
            at = end + 1;
        }
        for (std::size_t i = 0; i < values.size(); ++i) {
            const int p = values[i];
            if (p == 0) {
                *this = TerminalColours();
            } else if (p == 7 || p == 27) {
                reverse = p == 7;
            } else if (p >= 30 && p <= 37) {
                fg = PaletteRgb(p - 30);
            } else if (p >= 90 && p <= 97) {
                fg = PaletteRgb(p - 90 + 8);
            } else if (p == 39) {
                fg.reset();
            } else if (p >= 40 && p <= 47) {
                bg = PaletteRgb(p - 40);
            } else if (p >= 100 && p <= 107) {
                bg = PaletteRgb(p - 100 + 8);
            } else if (p == 49) {
                bg.reset();
            } else if ((p == 38 || p == 48) && i + 1 < values.size()) {
                std::optional<Rgb> colour;
                if (values[i + 1] == 5 && i + 2 < values.size()) {
                    colour = PaletteRgb(values[i + 2]);
                    i += 2;
                } else if (values[i + 1] == 2 && i + 4 < values.size()) {
                    const auto byte = [&](std::size_t k) {
                        return static_cast<Rgb>(std::clamp(values[i + k], 0, 255));
                    };
                    colour = byte(2) << 16 | byte(3) << 8 | byte(4);
                    i += 4;
                }
                (p == 38 ? fg : bg) = colour;
            }
        }
    }
};

// "&amp;", "&lt;", "&gt;", "&quot;" and "&#N;" as their characters.
std::string Unescaped(std::string_view letter) {
    if (letter.size() < 3 || letter.front() != '&' || letter.back() != ';') {
        return std::string(letter);
    }
    const std::string_view name = letter.substr(1, letter.size() - 2);
    if (name == "amp") {
        return "&";
    }
    if (name == "lt") {
        return "<";
    }
    if (name == "gt") {
        return ">";
    }
    if (name == "quot") {
        return "\"";
    }
    return std::string(letter);
}

// Reads one line of art (without its line end) into signs.
class LineReader {
public:
    explicit LineReader(const PictureLook& look) : look_(&look) {}

    void Read(std::string_view line, std::vector<Sign>& signs) {
        signs.clear();
        switch (look_->kind) {
        case ArtKind::Signs:
            DecodeUtf8(line, [&](char32_t code) { signs.push_back({code, look_->ink, 0, false}); });
            break;
        case ArtKind::ColouredLetters:
            ReadColoured(line, signs);
            break;
        case ArtKind::TerminalText:
            ReadTerminal(line, signs);
            break;
        }
    }

private:
    void ReadColoured(std::string_view line, std::vector<Sign>& signs) const {
        constexpr std::string_view kOpen = "<font color=\"#";
        constexpr std::string_view kMiddle = "\">";
        constexpr std::string_view kClose = "</font>";
        std::size_t at = 0;
        while ((at = line.find(kOpen, at)) != std::string_view::npos) {
            const std::size_t codeAt = at + kOpen.size();
            const std::size_t letterAt = codeAt + 6 + kMiddle.size();
            const std::size_t end = line.find(kClose, codeAt);
            if (end == std::string_view::npos || letterAt > end) {
                break;
            }
            const Rgb ink = RgbOfCode(line.substr(codeAt, 6));
            DecodeUtf8(Unescaped(line.substr(letterAt, end - letterAt)), [&](char32_t code) {
                signs.push_back({code, ink, 0, false});
            });
            at = end + kClose.size();
        }
    }

    void ReadTerminal(std::string_view line, std::vector<Sign>& signs) {
        std::size_t at = 0;
        while (at < line.size()) {
            if (line[at] == '\x1b') {
                if (at + 1 < line.size() && line[at + 1] == '[') {
                    std::size_t end = at + 2;
                    while (end < line.size() && !(line[end] >= 0x40 && line[end] <= 0x7E)) {
                        ++end;
                    }
                    if (end < line.size() && line[end] == 'm') {
                        colours_.Apply(line.substr(at + 2, end - at - 2));
                    }
                    at = end + 1;
                } else {
                    at += 2;
                }
                continue;
            }
            const std::size_t next = std::min(line.find('\x1b', at), line.size());
            DecodeUtf8(line.substr(at, next - at), [&](char32_t code) {
                if (code == '\t') {
                    do {
                        signs.push_back({' ', 0, 0, false});
                    } while (signs.size() % kTabStop != 0);
                } else if (code >= 0x20 && code != 0x7F) {
                    signs.push_back(TerminalSign(code));
                }
            });
            at = next;
        }
    }

    Sign TerminalSign(char32_t code) const {
        Sign sign{code, colours_.fg.value_or(look_->ink), colours_.bg.value_or(0),
                  colours_.bg.has_value()};
        if (colours_.reverse) {
            sign.ink = colours_.bg.value_or(look_->background);
            sign.paper = colours_.fg.value_or(look_->ink);
            sign.hasPaper = true;
        }
        return sign;
    }

    const PictureLook* look_;
    TerminalColours colours_;
};

// Hands on whole lines of art text arriving in pieces; a line ends at a CR,
// an LF or a CR LF. A last line without an end counts when it is not empty.
class LineSplitter {
public:
    explicit LineSplitter(std::function<void(std::string_view)> onLine)
        : onLine_(std::move(onLine)) {}

    void Take(std::string_view piece) {
        std::size_t start = 0;
        for (std::size_t i = 0; i < piece.size(); ++i) {
            const char c = piece[i];
            if (c != '\r' && c != '\n') {
                continue;
            }
            const bool secondHalf = c == '\n' && afterCr_ && i == start;
            afterCr_ = c == '\r';
            if (secondHalf) {
                start = i + 1;
                continue;
            }
            if (held_.empty()) {
                onLine_(piece.substr(start, i - start));
            } else {
                held_.append(piece.substr(start, i - start));
                onLine_(held_);
                held_.clear();
            }
            start = i + 1;
        }
        if (start < piece.size()) {
            afterCr_ = false;
            held_.append(piece.substr(start));
        }
    }
    void Finish() {
        if (!held_.empty()) {
            onLine_(held_);
            held_.clear();
        }
    }

private:
    std::function<void(std::string_view)> onLine_;
    std::string held_;
    bool afterCr_ = false;
};

} // namespace

namespace detail {

SignReplay SignsOfText(const ArtReplay& art, const PictureLook& look) {
    return [&art, &look](const std::function<void(const std::vector<Sign>&)>& onLine) {
        LineReader reader(look);
        std::vector<Sign> signs;
        LineSplitter splitter([&](std::string_view line) {
            reader.Read(line, signs);
            onLine(signs);
        });
        art([&splitter](std::string_view piece) { splitter.Take(piece); });
        splitter.Finish();
    };
}

SignReplay SignsOfCells(const CellGrid& grid) {
    return [&grid](const std::function<void(const std::vector<Sign>&)>& onLine) {
        std::vector<Sign> signs(static_cast<std::size_t>(std::max(grid.columns, 0)));
        for (int row = 0; row < grid.rows; ++row) {
            for (int column = 0; column < grid.columns; ++column) {
                const Cell& cell = grid.At(column, row);
                signs[static_cast<std::size_t>(column)] = {
                    cell.sign, RgbOfColour(cell.foreground.rgb), RgbOfColour(cell.background.rgb),
                    cell.HasBackground()};
            }
            onLine(signs);
        }
    };
}

} // namespace detail

} // namespace glimmora
