// 打开, 另存 and 添加记录 on record database files, returning what the operator is told.
#include "store/file_commands.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/app_folder.h"
#include "core/message_text.h"
#include "core/models.h"
#include "core/number_format.h"
#include "core/texts.h"

namespace nlx {
namespace fs = std::filesystem;

namespace {

OperatorMessage open_refused() {
    return {std::string(nlx::tr(texts::kOpenFailed)), std::string(nlx::tr(texts::kOpenFailedTitle))};
}

// The original's text, then why in plain words on a line of its own.
OperatorMessage save_failed(const fs::path& destination, const std::string& why) {
    return {std::string(nlx::tr(texts::kSaveFailed)) + "\ncannot save a copy to " + destination.string() + ": " + why +
                "; nothing was changed",
            {}};
}

std::string kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// Why `destination` cannot be replaced by a copy; empty when it is absent (in an existing folder),
// a regular file or a link to one, or a link to nothing.
std::string destination_refusal(const fs::path& destination, const fs::path& folder) {
    struct stat st {};
    if (::lstat(destination.c_str(), &st) == 0) {
        std::string link;
        if (S_ISLNK(st.st_mode)) {
            if (::stat(destination.c_str(), &st) != 0) return {};  // the link itself is replaced
            link = "a link to ";
        }
        if (S_ISREG(st.st_mode)) return {};
        if (S_ISDIR(st.st_mode)) return "it is " + link + "a folder";
        return "it is not a regular file (it is " + link + kind_of(st.st_mode) + ")";
    }
    if (errno != ENOENT && errno != ENOTDIR) return errno_text(errno);
    if (::stat(folder.c_str(), &st) != 0) {
        if (errno == ENOENT) return "the folder " + folder.string() + " does not exist";
        return "the folder " + folder.string() + " cannot be reached: " + errno_text(errno);
    }
    if (!S_ISDIR(st.st_mode)) return folder.string() + " is not a folder";
    return {};
}

std::string cannot_write_folder(const fs::path& folder, int error) {
    if (error == EACCES || error == EPERM || error == EROFS)
        return "the folder " + folder.string() + " cannot be written (" + errno_text(error) + ")";
    return errno_text(error);
}

bool same_file(const fs::path& a, const fs::path& b) {
    std::error_code ec1, ec2;
    auto ca = fs::weakly_canonical(a, ec1), cb = fs::weakly_canonical(b, ec2);
    if (!ec1 && !ec2 && ca == cb) return true;
    std::error_code ec;
    return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);  // hard links
}

// Gives the finished copy the original's permission bits (mkstemp made it 0600) and flushes it.
int settle_copy(const fs::path& copy, mode_t mode) {
    int fd = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return errno;
    int error = 0;
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) error = errno;
    ::close(fd);
    return error;
}

// The name of a copy being written beside a destination: ".<name>.part-XXXXXX" (mkstemp's six
// characters), optionally followed by the suffix of one of SQLite's side files.
constexpr std::string_view kPartMark = ".part-";
constexpr const char* kSideSuffixes[] = {"-journal", "-wal", "-shm"};

bool is_part_name(std::string_view name) {
    const auto mark = name.rfind(kPartMark);
    return name.size() > 1 && name[0] == '.' && mark != std::string_view::npos && mark > 1 &&
           name.size() == mark + kPartMark.size() + 6;
}

// Removes the copies in `folder` that a killed 另存 left behind, with their side files. The
// writer of a copy holds a lock on it until it is renamed or removed: a copy whose lock can be
// taken has no writer any more. Only empty files and SQLite databases are taken for copies.
void remove_abandoned_copies(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> parts, sides;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (is_part_name(name)) {
            parts.push_back(it->path());
            continue;
        }
        for (const char* suffix : kSideSuffixes)
            if (name.ends_with(suffix) && is_part_name(std::string_view(name).substr(0, name.size() - std::strlen(suffix))))
                sides.push_back(it->path());
    }
    for (const auto& part : parts) {
        const int fd = ::open(part.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        char start[16] = {};
        const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        const bool copy = regular && (st.st_size == 0 || (::pread(fd, start, sizeof start, 0) == sizeof start &&
                                                          std::memcmp(start, "SQLite format 3", 16) == 0));
        if (copy && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::error_code ignored;
            fs::remove(part, ignored);
            for (const char* suffix : kSideSuffixes) fs::remove(fs::path(part.string() + suffix), ignored);
        }
        ::close(fd);
    }
    // A side file whose copy is gone belongs to nothing.
    for (const auto& side : sides) {
        const std::string name = side.string();
        for (const char* suffix : kSideSuffixes) {
            if (!name.ends_with(suffix)) continue;
            std::error_code ignored;
            if (!fs::exists(fs::symlink_status(name.substr(0, name.size() - std::strlen(suffix)), ignored)))
                fs::remove(side, ignored);
        }
    }
}

void sync_folder(const fs::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // the rename is done; a failed flush here cannot be undone or reported usefully
    ::close(fd);
}

}  // namespace

OpenOutcome open_record_file(const fs::path& chosen, const ModelInfo& model, const fs::path& app_folder) {
    OpenOutcome out;
    const std::string name = chosen.filename().string();
    if (name.size() < 3 || name.compare(name.size() - 3, 3, ".db") != 0) {
        out.message = open_refused();
        return out;
    }
    auto db = Database::open_existing(chosen);
    if (db && db->has_table(record_table_name(model.letter))) {
        out.database.emplace(std::move(*db));
        return out;
    }
    out.message = open_refused();
    out.fallback = database_path(app_folder);
    return out;
}

std::optional<OperatorMessage> save_database_as(Database& current, const fs::path& destination) {
    if (same_file(current.path(), destination)) return OperatorMessage{std::string(nlx::tr(texts::kSameName)), {}};

    fs::path folder = destination.parent_path();
    if (folder.empty()) folder = ".";
    // A pipe or a device is never opened: writing to it could block or reach hardware.
    if (auto why = destination_refusal(destination, folder); !why.empty()) return save_failed(destination, why);
    struct stat source {};
    if (::stat(current.path().c_str(), &source) != 0)
        return save_failed(destination, "the database " + current.path().string() + " cannot be examined: " +
                                            errno_text(errno));

    std::string part_name = destination.filename().string();
    part_name.insert(part_name.begin(), '.');
    part_name.append(".part-XXXXXX");
    remove_abandoned_copies(folder);
    std::string pattern = (folder / part_name).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return save_failed(destination, cannot_write_folder(folder, errno));
    // Held until the copy is renamed or removed: it tells a later 另存 that the copy has a writer.
    ::flock(fd, LOCK_EX);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } lock{fd};
    const fs::path temp = pattern;
    auto discard = [&](const std::string& why) {
        std::error_code ec;
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) fs::remove(fs::path(temp.string() + suffix), ec);
        return save_failed(destination, why);
    };

    if (auto copied = current.copy_to(temp); !copied) return discard("writing the copy failed (" + copied.message() + ")");
    if (int error = settle_copy(temp, source.st_mode & 0777)) return discard(errno_text(error));
    // Journal files left beside an old destination by a crash would be replayed into the copy.
    std::error_code ec;
    for (const char* suffix : {"-wal", "-shm", "-journal"}) fs::remove(fs::path(destination.string() + suffix), ec);
    if (::rename(temp.c_str(), destination.c_str()) != 0) return discard(errno_text(errno));
    sync_folder(folder);
    return std::nullopt;
}

Result<AddedRecord> add_record(Database& db, const ModelInfo& model) {
    const ModelInfo* m = &model;
    const std::string records_name = record_table_name(model.letter);
    const std::string distribution_name = distribution_table_name(model.letter);

    // The table's last row; refused when the table is missing or empty.
    auto last_row = [&](const std::string& table) -> Result<std::vector<Value>> {
        auto row = db.last_row(table);
        if (!row) return fail(texts::add_record_no_table(table));
        if (!*row) return fail(texts::add_record_empty_table(table));
        return std::move(**row);
    };
    auto next_seq = [](const std::vector<Value>& row, const std::string& table) -> Result<double> {
        auto n = row.front().as_number();
        if (!n) return fail(texts::add_record_bad_number(table));
        return *n + 1;
    };

    std::optional<std::vector<Value>> distribution;
    if (m->has_distribution) {
        auto row = last_row(distribution_name);
        if (!row) return row.error();
        distribution.emplace(std::move(*row));
    }
    auto records = last_row(records_name);
    if (!records) return records.error();

    auto n = distribution ? next_seq(*distribution, distribution_name) : next_seq(*records, records_name);
    if (!n) return n.error();
    AddedRecord added{format_number(*n, "00")};

    // Every position but 序号 copied from the last row.
    auto written = db.transaction([&]() -> Result<void> {
        if (distribution) {
            (*distribution)[0] = Value(*n);
            if (auto r = db.add_row(distribution_name, *distribution); !r) return r;
        }
        (*records)[0] = Value(added.seq_text);
        return db.add_row(records_name, *records);
    });
    if (!written) return written.error();
    return added;
}

}  // namespace nlx
