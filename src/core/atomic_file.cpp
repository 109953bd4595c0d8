// Temporary file, fsync, rename: a crash at any moment leaves the old file or the new one.
#include "core/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <random>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace nlx {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMark = ".nlx-";
constexpr std::string_view kSuffix = ".tmp";

// The process id in a temporary's name (".<name>.nlx-<pid>-<n>.tmp", or ".<name>.nlx-<pid>.tmp"
// as earlier versions named them), 0 when the name is not one of ours.
long writer_of(const std::string& name) {
    if (name.size() < 2 || name[0] != '.' || !name.ends_with(kSuffix)) return 0;
    auto mark = name.rfind(kMark);
    if (mark == std::string::npos) return 0;
    const std::string tail = name.substr(mark + kMark.size(), name.size() - kSuffix.size() - mark - kMark.size());
    const auto dash = tail.find('-');
    const std::string digits = tail.substr(0, dash);
    const std::string count = dash == std::string::npos ? "0" : tail.substr(dash + 1);
    auto all_digits = [](const std::string& t, std::size_t most) {
        return !t.empty() && t.size() <= most && t.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!all_digits(digits, 9) || !all_digits(count, 20)) return 0;
    return std::stol(digits);
}

// The <n> of the next temporary's name.
std::uint64_t next_count() {
    static std::atomic<std::uint64_t> count{[] {
        std::random_device random;
        return (std::uint64_t(random()) << 32 | random()) >> 1;
    }()};
    return count.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

fs::path temporary_for(const fs::path& file) {
    std::string name = ".";
    name += file.filename().string();
    name += kMark;
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(next_count());
    name += kSuffix;
    return file.parent_path() / name;
}

void flush_folder(const fs::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

Result<fs::path> write_temporary(const fs::path& file, std::string_view bytes, Flush flush) {
    const fs::path tmp = temporary_for(file);
    auto failure = [&](int e) -> Result<fs::path> {
        ::unlink(tmp.c_str());
        return fail("cannot write " + file.string() + ": " + std::strerror(e));
    };
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return fail("cannot write " + file.string() + ": " + std::strerror(errno));
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t w = ::write(fd, p, left);
        if (w < 0) {
            if (errno == EINTR) continue;
            int e = errno;
            ::close(fd);
            return failure(e);
        }
        p += w;
        left -= std::size_t(w);
    }
    if (flush == Flush::now && ::fsync(fd) != 0) {
        int e = errno;
        ::close(fd);
        return failure(e);
    }
    if (::close(fd) != 0) return failure(errno);
    return tmp;
}

Result<void> flush_to_disk(const fs::path& folder, std::span<const fs::path> files) {
    if (files.empty()) return {};
    // One flush of the whole filesystem costs one journal commit; a flush per file costs one
    // each, which for a hundred history files is most of the time a transfer takes to store.
    int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return fail("cannot flush " + folder.string() + " to disk: " + std::strerror(errno));
    const int synced = ::syncfs(dir);
    const int e = errno;
    ::close(dir);
    if (synced == 0) return {};
    if (e != ENOSYS && e != EINVAL && e != EOPNOTSUPP)
        return fail("cannot flush " + folder.string() + " to disk: " + std::strerror(e));
    for (const auto& file : files) {
        int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0 || ::fsync(fd) != 0) {
            const int fe = errno;
            if (fd >= 0) ::close(fd);
            return fail("cannot flush " + file.string() + " to disk: " + std::strerror(fe));
        }
        ::close(fd);
    }
    return {};
}

Result<void> rename_into_place(const fs::path& temporary, const fs::path& file, Flush flush) {
    if (::rename(temporary.c_str(), file.c_str()) != 0)
        return fail("cannot put " + file.string() + " in place: " + std::strerror(errno));
    if (flush == Flush::now) flush_folder(file.parent_path());
    return {};
}

Result<void> write_file_atomically(const fs::path& file, std::string_view bytes) {
    auto tmp = write_temporary(file, bytes);
    if (!tmp) return tmp.error();
    if (auto placed = rename_into_place(*tmp, file); !placed) {
        ::unlink(tmp->c_str());
        return fail("cannot write " + file.string() + ": " + placed.message());
    }
    return {};
}

bool stale_temporary(std::string_view name, std::string_view extension) {
    // Only names made as temporaries are looked at further (a storage folder holds a hundred
    // history files for every one of them).
    if (name.size() < 2 || name[0] != '.' || !name.ends_with(kSuffix)) return false;
    const long pid = writer_of(std::string(name));
    if (pid <= 0) return false;
    if (!extension.empty() && !name.substr(0, name.rfind(kMark)).ends_with(extension)) return false;
    return pid != long(::getpid()) && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

void remove_stale_temporaries(const fs::path& folder, std::string_view extension) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir))
        if (stale_temporary(entry->d_name, extension)) ::unlinkat(::dirfd(dir), entry->d_name, 0);
    ::closedir(dir);
}

std::vector<fs::path> missing_folders(const fs::path& folder) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::path p = fs::absolute(folder, ec); !ec && !p.empty(); p = p.parent_path()) {
        std::error_code missing;  // set for a path that is not there
        if (fs::exists(fs::symlink_status(p, missing))) break;
        out.push_back(p);
        if (p == p.parent_path()) break;
    }
    return out;
}

void remove_empty_folders(std::span<const fs::path> folders) {
    for (const auto& f : folders) ::rmdir(f.c_str());  // fails, as it should, on a folder not empty
}

}  // namespace nlx
