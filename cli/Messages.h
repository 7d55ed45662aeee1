#pragma once

// How the converter names files and failures in its one-line messages.

#include <string>
#include <string_view>

namespace glimmora {

// A file name or any text as a message shows it: the system's bytes, with
// control characters written as \n, \t, \r or \xHH so a message stays one
// line and sends the terminal no commands; so are the C1 controls U+0080 to
// U+009F (\xC2\x9B) and single bytes 0x80 to 0x9F that begin no UTF-8
// character. Showing a shown text again changes nothing.
std::string ShownName(std::string_view systemName);

// Why a file operation failed, in words that fit after a colon:
// "permission denied", "the disk is full", "the folder does not exist".
std::string ReasonFor(int error);

} // namespace glimmora
