#include "Messages.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace glimmora {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AddHex(std::string& shown, unsigned char byte) {
    shown += "\\x";
    shown += kHex[byte >> 4];
    shown += kHex[byte & 0x0F];
}

// The length of the UTF-8 character that starts text, or 0 where the bytes
// are not one.
std::size_t Utf8Length(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

} // namespace

std::string ShownName(std::string_view systemName) {
    std::string shown;
    shown.reserve(systemName.size());
    for (std::size_t at = 0; at < systemName.size();) {
        const char c = systemName[at];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            // A character is kept as it is, except the C1 controls U+0080 to
            // U+009F, which terminals act on; so is a byte that begins none
            // (a name need not be UTF-8), except 0x80 to 0x9F, which are C1
            // controls to a terminal that reads single bytes.
            const std::size_t length = Utf8Length(systemName.substr(at));
            const bool c1 = length == 2 && byte == 0xC2 &&
                            static_cast<unsigned char>(systemName[at + 1]) < 0xA0;
            if (c1 || (length == 0 && byte < 0xA0)) {
                for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
                    AddHex(shown, static_cast<unsigned char>(systemName[at + i]));
                }
            } else {
                shown.append(systemName.substr(at, std::max<std::size_t>(length, 1)));
            }
            at += std::max<std::size_t>(length, 1);
            continue;
        }
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            AddHex(shown, byte);
        } else {
            shown += c;
        }
        ++at;
    }
    return shown;
}

std::string ReasonFor(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "permission denied";
    case ENOSPC:
    case EDQUOT:
        return "the disk is full";
    case ENOENT:
        return "no such file or folder";
    case EISDIR:
        return "it is a folder";
    case ENOTDIR:
        return "a part of the path is not a folder";
    case EROFS:
        return "the file system is read-only";
    case EFBIG:
        return "the file would grow beyond the size allowed";
    case ENAMETOOLONG:
        return "the name is too long";
    case ELOOP:
        return "too many symbolic links";
    case ENOMEM:
        return "not enough memory";
    case EIO:
        return "an input/output error";
    case EBADF:
        return "it is closed";
    default:
        break;
    }
    std::string reason = std::strerror(error);
    if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z') {
        reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    }
    return reason;
}

} // namespace glimmora
