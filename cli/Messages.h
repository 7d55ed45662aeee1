#pragma once

// How the converter names files and failures in its one-line messages.

#include <string>
#include <string_view>

namespace glimmora {

// A file name as a message shows it: the system's bytes, with control
// characters written as \n, \t, \r or \xHH so a message stays one line.
std::string ShownName(std::string_view systemName);

// Why a file operation failed, in words that fit after a colon:
// "permission denied", "the disk is full", "the folder does not exist".
std::string ReasonFor(int error);

} // namespace glimmora
