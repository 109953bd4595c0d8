// Temporary file, fsync, rename: a crash at any moment leaves the old file or the new one.
#include "core/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace nlx {
namespace fs = std::filesystem;

Result<void> write_file_atomically(const fs::path& file, std::string_view bytes) {
    fs::path tmp = file;
    tmp += ".tmp";
    auto failure = [&](const std::string& what) -> Result<void> {
        std::string msg = "cannot write " + file.string() + ": " + what;
        ::unlink(tmp.c_str());
        return fail(msg);
    };
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return fail("cannot write " + file.string() + ": " + std::strerror(errno));
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t w = ::write(fd, p, left);
        if (w < 0) {
            if (errno == EINTR) continue;
            std::string why = std::strerror(errno);
            ::close(fd);
            return failure(why);
        }
        p += w;
        left -= std::size_t(w);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) return failure(std::strerror(errno));
    std::error_code ec;
    fs::rename(tmp, file, ec);
    if (ec) return failure(ec.message());
    return {};
}

}  // namespace nlx
