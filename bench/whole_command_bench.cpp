// Whole-command benchmark: each command timed as the user meets it, process start to exit,
// beside its limit started as its own process, the two taking turns.
//  - `nlx import` of each model's largest transfer (a capture file as a download writes it) into
//    the application folder's database, which already holds it, against nlx_sqlite_limit: plain
//    SQLite deleting and inserting the same rows in one transaction, with the same synchronous
//    level and journal mode, in a copy of the same database.
//  - `nlx records --format csv|json` of a 7,937-row model e table and of the 496-row model a
//    table against `sqlite3 -csv -header` / `sqlite3 -json` running the same query.
//   nlx_bench_whole_command [RUNS=9]
// With NLX_BENCH_KEEP set, the folder of captures, rows files and databases is left in place (its
// path printed last), for profiling the same commands. NLX_BENCH_NLX names another build's nlx to
// time instead (an earlier version, for before-and-after figures), against the same limits.
// Prints the medians of wall and CPU time, their ratios, and PASS/FAIL against the targets:
// import within 1.3x of its limit for every model, records within 1.5x of the shell.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "core/capture.h"
#include "core/models.h"
#include "decode/decoder.h"
#include "sim/generated_content.h"
#include "store/database.h"
#include "store/schema.h"

#include "largest_transfer.h"
#include "support/model_of.h"

using nlx::test::model_of;

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The benchmark's folder, removed at exit (also when a command fails) unless NLX_BENCH_KEEP is set.
fs::path g_folder;

void remove_folder() {
    const char* keep = std::getenv("NLX_BENCH_KEEP");
    if (keep && *keep) {
        std::printf("kept %s\n", g_folder.c_str());
        return;
    }
    std::error_code ec;
    fs::remove_all(g_folder, ec);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// What one run of a command took: wall time, and the CPU time (user + system) of the process.
struct Timing {
    double wall_ms = 0, cpu_ms = 0;
};

// Runs the program with its output to /dev/null (extra environment added); exits the benchmark
// when it fails, since a figure of a failed command means nothing.
Timing run(const std::vector<std::string>& args, const std::vector<std::string>& extra_env = {}) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env_text(extra_env);
    for (char** e = environ; *e; ++e) env_text.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : env_text) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        std::fprintf(stderr, "bench: cannot start %s%s\n", argv[0],
                     args[0] == "sqlite3" ? " (the sqlite3 package: bash scripts/install-deps.sh)" : "");
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string line;
        for (const auto& a : args) line += " " + a;
        std::fprintf(stderr, "bench: failed:%s\n", line.c_str());
        std::exit(1);
    }
    Timing t;
    t.wall_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    auto ms = [](const timeval& tv) { return double(tv.tv_sec) * 1e3 + double(tv.tv_usec) / 1e3; };
    t.cpu_ms = ms(usage.ru_utime) + ms(usage.ru_stime);
    posix_spawn_file_actions_destroy(&actions);
    return t;
}

// A command beside its limit, each run `runs` times, taking turns (which goes first alternates,
// so neither is always the one after the other's disk writes).
struct Pair {
    std::vector<double> wall, cpu, limit_wall, limit_cpu;
    double ratio() const { return median(wall) / median(limit_wall); }
    double cpu_ratio() const { return median(cpu) / median(limit_cpu); }
};

template <class Command, class Limit>
Pair take_turns(int runs, Command command, Limit limit) {
    Pair p;
    for (int r = 0; r < runs; ++r) {
        for (int k = 0; k < 2; ++k) {
            if ((r + k) % 2 == 0) {
                const Timing t = command();
                p.wall.push_back(t.wall_ms);
                p.cpu.push_back(t.cpu_ms);
            } else {
                const Timing t = limit();
                p.limit_wall.push_back(t.wall_ms);
                p.limit_cpu.push_back(t.cpu_ms);
            }
        }
    }
    return p;
}

bool report(const std::string& what, const std::string& limit, const Pair& p, double target) {
    const bool ok = p.ratio() <= target;
    std::printf("%s: %.1f ms (CPU %.1f ms); %s %.1f ms (CPU %.1f ms): %.2fx (CPU %.2fx) %s\n", what.c_str(),
                median(p.wall), median(p.cpu), limit.c_str(), median(p.limit_wall), median(p.limit_cpu), p.ratio(),
                p.cpu_ratio(), ok ? "PASS" : target == 1.3 ? "FAIL (target 1.3x)" : "FAIL (target 1.5x)");
    std::fflush(stdout);
    return ok;
}

// The rows file nlx_sqlite_limit reads: the model's tables, each with its DELETE and INSERT and
// the decoded rows as nlx's store binds them.
class RowsFile {
public:
    void u32(std::uint32_t v) { bytes_.append(reinterpret_cast<const char*>(&v), 4); }
    void text(std::string_view s) {
        u32(std::uint32_t(s.size()));
        bytes_.append(s);
    }
    void tag(char t) { bytes_ += t; }
    template <class T>
    void number(T v) {
        bytes_.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_ = "NLXROWS1";
};

std::string insert_sql(const nlx::schema::TableSpec& t) {
    std::string names, marks;
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
        names += (i ? ", " : "") + nlx::sql::quote_identifier(t.columns[i].name);
        marks += i ? ", ?" : "?";
    }
    return "INSERT INTO " + nlx::sql::quote_identifier(t.name) + " (" + names + ") VALUES (" + marks + ")";
}

std::string rows_file(const nlx::ModelInfo& model, const std::vector<nlx::DecodedGroup>& groups) {
    const auto tables = nlx::schema::model_tables(model);
    RowsFile f;
    f.u32(std::uint32_t(tables.size()));
    for (std::size_t t = 0; t < tables.size(); ++t) {
        f.text("DELETE FROM " + nlx::sql::quote_identifier(tables[t].name));
        f.text(insert_sql(tables[t]));
        f.u32(std::uint32_t(tables[t].columns.size()));
        std::uint32_t rows = 0;
        for (const auto& g : groups) rows += t == 0 || g.distribution ? 1 : 0;
        f.u32(rows);
        for (const auto& g : groups) {
            if (t == 0) {
                for (const auto& cell : g.record) {
                    if (!cell) {
                        f.tag(0);
                        continue;
                    }
                    f.tag(1);
                    f.text(*cell);
                }
            } else if (g.distribution) {
                f.tag(3);
                f.number(std::int64_t(g.distribution->seq));
                for (int k = 0; k < nlx::kDistributionValues; ++k) {
                    const auto& v = g.distribution->values;
                    if (std::size_t(k) < v.size() && v[std::size_t(k)]) {
                        f.tag(2);
                        f.number(*v[std::size_t(k)]);
                    } else {
                        f.tag(0);
                    }
                }
            }
        }
    }
    return f.bytes();
}

void write(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "bench: cannot write %s\n", file.c_str());
        std::exit(1);
    }
}

std::vector<nlx::DecodedGroup> decoded(char model, const nlx::Capture& capture) {
    return nlx::decode(model_of(model), capture.data, nlx::transfer_count(model_of(model), capture.b1, capture.b2)).groups;
}

// The query nlx records runs: the visible columns in table order, rows in the order stored.
std::string listing_query(const nlx::ModelInfo& model) {
    const auto table = nlx::schema::model_tables(model)[0];
    std::string list;
    for (const auto& c : table.columns) list += (list.empty() ? "" : ", ") + nlx::sql::quote_identifier(c.name);
    return "SELECT " + list + " FROM " + nlx::sql::quote_identifier(table.name) + " ORDER BY rowid";
}

}  // namespace

// Puts `program` in the page cache as a program read from disk is, rather than as the linker
// wrote it: a file just written lies in small pages that take about ten more page faults to map
// than the large ones a read from disk leaves. Both sides of every pair are treated alike.
void as_installed(const std::string& program) {
    const int fd = ::open(program.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    ::fdatasync(fd);  // written pages are dropped only once they are on disk
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    char buf[1 << 16];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
    ::close(fd);
}

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const fs::path folder = fs::temp_directory_path() / ("nlx-bench-whole-" + std::to_string(::getpid()));
    const fs::path home = folder / "home";
    fs::create_directories(home);
    g_folder = folder;
    std::atexit(remove_folder);
    const char* other = std::getenv("NLX_BENCH_NLX");
    const std::string nlx = other && *other ? other : NLX_CLI_PATH, limit = NLX_LIMIT_PATH;
    if (nlx != NLX_CLI_PATH) std::printf("timing %s\n", nlx.c_str());
    for (const auto& program : {nlx, limit}) as_installed(program);
    const std::vector<std::string> nlx_env{"NLX_HOME=" + home.string()};
    bool pass = true;

    // Each model's largest transfer as a capture file, imported once, so that every timed import
    // replaces the same memory, as a script importing a folder of captures again does.
    std::vector<fs::path> captures;
    for (const auto& m : nlx::all_models()) {
        const nlx::Capture capture = nlx::bench::largest_capture(m.letter);
        const auto bytes = nlx::capture_file_bytes(m, {"2026-12-09 10:00:00", "/dev/ttyUSB0", 9600}, capture);
        const fs::path file = folder / (std::string("capture-") + m.letter + ".cap");
        write(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        write(folder / (std::string(1, m.letter) + ".rows"), rows_file(m, decoded(m.letter, capture)));
        captures.push_back(file);
        run({nlx, "import", file.string()}, nlx_env);
    }
    // The limit writes into a copy of that database: the same tables, rows and journal mode.
    const fs::path db = home / "noise.db", limit_db = folder / "limit.db";
    fs::copy_file(db, limit_db);

    std::printf("nlx import of the largest transfer against plain SQLite (delete + insert of the same rows, one "
                "transaction, synchronous FULL, same journal mode), %d runs each, taking turns:\n", runs);
    for (std::size_t i = 0; i < captures.size(); ++i) {
        const auto& m = nlx::all_models()[i];
        const nlx::Capture capture = nlx::bench::largest_capture(m.letter);
        const auto groups = decoded(m.letter, capture);
        const auto files = std::count_if(groups.begin(), groups.end(), [](const auto& g) { return bool(g.history); });
        const std::string rows = (folder / (std::string(1, m.letter) + ".rows")).string();
        const Pair p = take_turns(
            runs, [&] { return run({nlx, "import", captures[i].string()}, nlx_env); },
            [&] { return run({limit, limit_db.string(), rows}); });
        std::string what = std::string("model ") + m.letter + " (" +
                           std::to_string(nlx::transfer_count(m, capture.b1, capture.b2)) +
                           (m.letter == 'e' ? " bytes, " : " blocks, ") + std::to_string(groups.size()) + " groups" +
                           (files ? ", " + std::to_string(files) + " history files" : "") + ") nlx import";
        pass = report(what, "limit", p, 1.3) && pass;
    }

    // The listings: 7,937 model e rows (four generated transfers' records, cut to that count) and
    // the 496 groups of model a, in a database of their own.
    const fs::path list_db = folder / "listing.db";
    {
        auto database = nlx::Database::create_or_open(list_db);
        std::vector<nlx::DecodedGroup> e;
        for (std::uint32_t seed = 1; e.size() < 7937; ++seed) {
            auto c = nlx::bench::largest_capture('e');
            if (seed > 1) c = *nlx::sim::generated_capture(model_of('e'), int(decoded('e', c).size()), seed);
            for (auto& g : decoded('e', c)) e.push_back(std::move(g));
        }
        e.resize(7937);
        const auto a = decoded('a', *nlx::sim::generated_capture(model_of('a'), 496, 1));
        if (!database || !database->replace_model(model_of('e'), e) || !database->replace_model(model_of('a'), a) || a.size() != 496) {
            std::fprintf(stderr, "bench: cannot write %s\n", list_db.c_str());
            return 1;
        }
    }
    std::printf("nlx records against the sqlite3 shell running the same query, %d runs each, taking turns:\n", runs);
    for (char letter : {'e', 'a'}) {
        const nlx::ModelInfo& m = *nlx::find_model(letter);
        for (const std::string format : {"csv", "json"}) {
            std::vector<std::string> shell{"sqlite3", format == "csv" ? "-csv" : "-json"};
            if (format == "csv") shell.push_back("-header");
            shell.push_back(list_db.string());
            shell.push_back(listing_query(m));
            const Pair p = take_turns(
                runs,
                [&] { return run({nlx, "records", "--model", std::string(1, letter), "--format", format, "--db",
                                  list_db.string()}, nlx_env); },
                [&] { return run(shell); });
            pass = report(std::string("model ") + letter + (letter == 'e' ? ", 7,937 rows" : ", 496 rows") +
                              ": nlx records --format " + format,
                          "sqlite3 " + shell[1], p, 1.5) && pass;
        }
    }
    return pass ? 0 : 1;
}
