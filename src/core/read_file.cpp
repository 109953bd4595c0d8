// open without blocking, fstat, then read at most the limit: nothing unbounded, nothing that hangs.
#include "core/read_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nlx {

Result<std::string> read_regular_file(const std::filesystem::path& file, std::size_t max_bytes) {
    const std::string name = file.string();
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the file is refused below anyway.
    int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        int e = errno;
        if (e == ENOENT) return fail(name + " does not exist");
        return fail("cannot read " + name + ": " + std::strerror(e));
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        int e = errno;
        ::close(fd);
        return fail("cannot read " + name + ": " + std::strerror(e));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(name + (S_ISDIR(st.st_mode) ? " is a folder, not a file" : " is not a regular file"));
    }
    if (std::size_t(st.st_size) > max_bytes) {
        ::close(fd);
        return fail(name + " is larger than " + std::to_string(max_bytes) + " bytes");
    }
    std::string out;
    out.resize(max_bytes + 1 > std::size_t(st.st_size) + 1 ? std::size_t(st.st_size) + 1 : max_bytes + 1);
    std::size_t have = 0;
    for (;;) {
        if (have == out.size()) {
            if (out.size() > max_bytes) break;
            out.resize(std::min(max_bytes + 1, out.size() * 2));
        }
        ssize_t got = ::read(fd, out.data() + have, out.size() - have);
        if (got < 0) {
            if (errno == EINTR) continue;
            int e = errno;
            ::close(fd);
            return fail("cannot read " + name + ": " + std::strerror(e));
        }
        if (got == 0) break;
        have += std::size_t(got);
    }
    ::close(fd);
    if (have > max_bytes) return fail(name + " is larger than " + std::to_string(max_bytes) + " bytes");
    out.resize(have);
    return out;
}

}  // namespace nlx
