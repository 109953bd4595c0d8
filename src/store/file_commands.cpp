// 打开, 另存 and 添加记录 on record database files, returning what the operator is told.
#include "store/file_commands.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "core/app_folder.h"
#include "core/models.h"
#include "core/number_format.h"
#include "core/texts.h"

namespace nlx {
namespace fs = std::filesystem;

namespace {

OperatorMessage open_refused() {
    return {std::string(texts::kOpenFailed), std::string(texts::kOpenFailedTitle)};
}

OperatorMessage save_failed() { return {std::string(texts::kSaveFailed), {}}; }

bool same_file(const fs::path& a, const fs::path& b) {
    std::error_code ec1, ec2;
    auto ca = fs::weakly_canonical(a, ec1), cb = fs::weakly_canonical(b, ec2);
    if (!ec1 && !ec2 && ca == cb) return true;
    std::error_code ec;
    return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);  // hard links
}

bool sync_path(const fs::path& p, int flags) {
    int fd = ::open(p.c_str(), flags);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

OpenOutcome open_record_file(const fs::path& chosen, char model, const fs::path& app_folder) {
    OpenOutcome out;
    const std::string name = chosen.filename().string();
    if (name.size() < 3 || name.compare(name.size() - 3, 3, ".db") != 0) {
        out.message = open_refused();
        return out;
    }
    auto db = Database::open_existing(chosen);
    if (db && db->rowset(record_table_name(model))) {
        out.database.emplace(std::move(*db));
        return out;
    }
    out.message = open_refused();
    out.fallback = database_path(app_folder);
    return out;
}

std::optional<OperatorMessage> save_database_as(Database& current, const fs::path& destination) {
    if (same_file(current.path(), destination)) return OperatorMessage{std::string(texts::kSameName), {}};

    fs::path folder = destination.parent_path();
    if (folder.empty()) folder = ".";
    std::string part_name = destination.filename().string();
    part_name.insert(part_name.begin(), '.');
    part_name.append(".part-XXXXXX");
    std::string pattern = (folder / part_name).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return save_failed();
    ::close(fd);
    const fs::path temp = pattern;
    std::error_code ec;
    auto discard = [&] {
        fs::remove(temp, ec);
        fs::remove(fs::path(temp.string() + "-journal"), ec);
        return save_failed();
    };

    if (!current.copy_to(temp)) return discard();
    if (!sync_path(temp, O_RDONLY)) return discard();
    if (fs::is_directory(destination, ec)) return discard();
    // Journal files left beside an old destination by a crash would be replayed into the copy.
    for (const char* suffix : {"-wal", "-shm", "-journal"}) fs::remove(fs::path(destination.string() + suffix), ec);
    fs::rename(temp, destination, ec);
    if (ec) return discard();
    sync_path(folder, O_RDONLY | O_DIRECTORY);
    return std::nullopt;
}

Result<AddedRecord> add_record(Database& db, char model) {
    const ModelInfo* m = find_model(model);
    if (!m) return fail(std::string("there is no model ") + model);
    const std::string records_name = record_table_name(model);
    const std::string distribution_name = distribution_table_name(model);

    auto open_last = [&](const std::string& table) -> Result<Rowset> {
        auto rs = db.rowset(table);
        if (!rs) return fail(texts::add_record_no_table(table));
        if (rs->record_count() == 0) return fail(texts::add_record_empty_table(table));
        rs->move_last();
        return rs;
    };
    // Every position but 序号 copied from the current row.
    auto copy_row = [](const Rowset& rs, Value seq) -> Result<std::vector<Value>> {
        std::vector<Value> values{std::move(seq)};
        for (int i = 1; i < rs.field_count(); ++i) {
            auto v = rs.value(i);
            if (!v) return v.error();
            values.push_back(std::move(*v));
        }
        return values;
    };
    auto next_seq = [](const Rowset& rs) -> Result<double> {
        auto v = rs.value(0);
        if (!v) return v.error();
        auto n = v->as_number();
        if (!n) return fail(texts::add_record_bad_number(rs.table()));
        return *n + 1;
    };

    std::optional<Rowset> distribution;
    if (m->has_distribution) {
        auto rs = open_last(distribution_name);
        if (!rs) return rs.error();
        distribution.emplace(std::move(*rs));
    }
    auto records = open_last(records_name);
    if (!records) return records.error();

    auto n = next_seq(distribution ? *distribution : *records);
    if (!n) return n.error();
    AddedRecord added{format_number(*n, "00")};

    auto written = db.transaction([&]() -> Result<void> {
        if (distribution) {
            auto row = copy_row(*distribution, Value(*n));
            if (!row) return row.error();
            if (auto r = distribution->add(*row); !r) return r;
        }
        auto row = copy_row(*records, Value(added.seq_text));
        if (!row) return row.error();
        return records->add(*row);
    });
    if (!written) return written.error();
    return added;
}

}  // namespace nlx
