#include "Messages.h"

#include <cerrno>
#include <cstring>

namespace glimmora {

std::string ShownName(std::string_view systemName) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(systemName.size());
    for (const char c : systemName) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0x0F];
        } else {
            shown += c;
        }
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
