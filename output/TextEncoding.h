#pragma once

// Inside the documents: UTF-8 read a character at a time, and Windows-1252,
// the code page the documents are written in.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace glimmora::detail {

// The Windows-1252 byte for a character, or '?' when the code page has none.
char Windows1252Byte(char32_t c);

inline bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one UTF-8 character at text[pos]. Returns the character and the
// bytes it takes; a malformed sequence yields nothing and the bytes of its
// longest valid beginning (at least one), so each fault costs one character.
struct Decoded {
    std::optional<char32_t> character;
    std::size_t length;
    bool cutOff = false; // the text ended inside a character begun well
};
Decoded DecodeUtf8(std::string_view text, std::size_t pos);

// Turns UTF-8 text into Windows-1252 where it lies: a character never takes
// more bytes in Windows-1252 than in UTF-8.
void ToWindows1252InPlace(std::string& text);

} // namespace glimmora::detail
