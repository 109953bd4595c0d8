// Locale-independent message pieces: escaped, bounded echoes and fixed words for system errors.
#include "core/message_text.h"

#include <cerrno>

namespace nlx {

std::string shown_text(std::string_view bytes, std::size_t max_chars) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        std::string piece;
        if (b >= 0x20 && b <= 0x7E) {
            piece = char(b);
        } else {
            piece = "\\x";
            piece += kHex[b >> 4];
            piece += kHex[b & 0x0F];
        }
        if (out.size() + piece.size() > max_chars) return out + "...";
        out += piece;
    }
    return out;
}

std::string errno_text(int error) {
    switch (error) {
    case ENOENT: return "no such file or folder";
    case EACCES:
    case EPERM: return "permission denied";
    case ENOSPC: return "the disk is full";
    case EDQUOT: return "the disk quota is used up";
    case EROFS: return "the file system is read-only";
    case EISDIR: return "it is a folder";
    case ENOTDIR: return "a part of the path is not a folder";
    case ENAMETOOLONG: return "the name is too long";
    case ELOOP: return "too many symbolic links";
    case EIO: return "input/output error";
    case EMFILE:
    case ENFILE: return "too many open files";
    case EXDEV: return "the folders are on different file systems";
    case EBUSY: return "the file is busy";
    case EFBIG: return "the file is too large";
    case ETXTBSY: return "the file is in use";
    case EAGAIN: return "the resource is temporarily unavailable";
    case EINVAL: return "invalid argument";
    default: return "system error " + std::to_string(error);
    }
}

}  // namespace nlx
