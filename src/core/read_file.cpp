// stat, then open without blocking and fstat the open file, then read at most one byte past the
// limit: a file that changes kind or grows between the steps is still refused.
#include "core/read_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/message_text.h"

namespace nlx {
namespace {

// Why a file of this mode is not read; empty for a regular file.
std::string kind_refusal(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return "is not a regular file (it is a folder)";
    if (S_ISFIFO(mode)) return "is not a regular file (it is a named pipe)";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is not a regular file (it is a device)";
    if (S_ISSOCK(mode)) return "is not a regular file (it is a socket)";
    return "is not a regular file";
}

std::string too_large(std::size_t max_bytes) { return "is larger than " + std::to_string(max_bytes) + " bytes"; }

std::string cannot_read(int error) {
    if (error == ENOENT) return "is missing";
    return "cannot be read: " + errno_text(error);
}

template <class Bytes>
Result<Bytes> read_regular(const std::filesystem::path& file, std::size_t max_bytes) {
    const std::string name = file.string();
    auto refused = [&](const std::string& why) { return fail(name + " " + why); };

    // A device is refused before it is opened: opening a serial port alone changes its lines.
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return refused(cannot_read(errno));
    if (auto why = kind_refusal(st.st_mode); !why.empty()) return refused(why);

    int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return refused(cannot_read(errno));
    auto refused_closing = [&](const std::string& why) {
        ::close(fd);
        return refused(why);
    };
    if (::fstat(fd, &st) != 0) return refused_closing(cannot_read(errno));
    if (auto why = kind_refusal(st.st_mode); !why.empty()) return refused_closing(why);
    if (st.st_size < 0 || std::uintmax_t(st.st_size) > max_bytes) return refused_closing(too_large(max_bytes));

    Bytes bytes(std::size_t(st.st_size) + 1, 0);
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > max_bytes) return refused_closing(too_large(max_bytes));
            bytes.resize(std::min(max_bytes + 1, bytes.size() * 2));
        }
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return refused_closing(cannot_read(errno));
        }
        if (n == 0) break;
        got += std::size_t(n);
    }
    ::close(fd);
    if (got > max_bytes) return refused(too_large(max_bytes));
    bytes.resize(got);
    return bytes;
}

}  // namespace

Result<std::string> read_regular_file(const std::filesystem::path& file, std::size_t max_bytes) {
    return read_regular<std::string>(file, max_bytes);
}

Result<std::vector<std::uint8_t>> read_regular_bytes(const std::filesystem::path& file, std::size_t max_bytes) {
    return read_regular<std::vector<std::uint8_t>>(file, max_bytes);
}

namespace {

// Whether the open file `fd` (closed here) is a regular file holding exactly `bytes`.
bool open_file_holds(int fd, std::string_view bytes, std::string& scratch) {
    if (fd < 0) return false;
    struct stat st {};
    bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::uintmax_t(st.st_size) == bytes.size();
    if (same) {
        // One byte more than the length is asked for: a file grown since the fstat shows as
        // longer. Reading stops once the length is reached, the usual case in one read.
        scratch.resize(bytes.size() + 1);
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, scratch.data() + got, scratch.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += std::size_t(n);
        }
        same = got == bytes.size() && (got == 0 || std::memcmp(scratch.data(), bytes.data(), got) == 0);
    }
    ::close(fd);
    return same;
}

// O_NOFOLLOW and O_NONBLOCK: a link is not followed, a pipe or device not waited on; the fstat
// then refuses anything but a regular file of the size.
constexpr int kCompareFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW;

}  // namespace

bool file_holds(const std::filesystem::path& file, std::string_view bytes, std::string& scratch) {
    // lstat gives kind and size at once; a file of another length differs without being read.
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || std::uintmax_t(st.st_size) != bytes.size())
        return false;
    return open_file_holds(::open(file.c_str(), kCompareFlags), bytes, scratch);
}

bool file_holds_at(int folder_fd, const char* name, std::string_view bytes, std::string& scratch) {
    return open_file_holds(::openat(folder_fd, name, kCompareFlags), bytes, scratch);
}

}  // namespace nlx
