// nlx import killed at random moments: once the next command has opened the database, the
// records and the storage folder agree and no temporary file is left.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "core/capture.h"
#include "core/sha256.h"
#include "sim/encode/encode_ab.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/transfer_a.h"

namespace nlx {
namespace {
namespace fs = std::filesystem;

// A model a transfer with many history files, as a download keeps it.
void write_capture(const fs::path& file, std::uint32_t seed) {
    test::write_capture_a(file, test::realistic_transfer_a(60, seed));
}

// What one import leaves: its records as CSV and the files they name.
struct Stored {
    std::string csv;
    std::map<std::string, std::string> files;
};

std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> out(1);
    for (char c : line) {
        if (c == ',') out.emplace_back();
        else out.back() += c;
    }
    return out;
}

// The records of model a and, for each filename they name, that file's bytes ("<missing>").
Stored read_back(const std::map<std::string, std::string>& env, const fs::path& storage) {
    Stored s;
    auto r = test::run_nlx({"records", "--model", "a", "--format", "csv"}, env);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    s.csv = r.out;
    std::size_t start = s.csv.find('\n') + 1;
    while (start < s.csv.size()) {
        std::size_t end = s.csv.find('\n', start);
        auto fields = fields_of(s.csv.substr(start, end - start));
        start = end + 1;
        const std::string& name = fields.back();
        if (name.empty()) continue;
        // A digest keeps a failure's report short.
        const std::string bytes = test::read_file(storage / name);
        s.files[name] = fs::is_regular_file(storage / name)
                            ? sha256_hex(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))
                            : "<missing>";
    }
    return s;
}

// The digests of the transfer log's entries, newest first.
std::vector<std::string> logged_digests(const std::map<std::string, std::string>& env) {
    auto r = test::run_nlx({"transfers", "--format", "csv"}, env);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    std::vector<std::string> out;
    std::size_t start = r.out.find('\n') + 1;
    while (start > 0 && start < r.out.size()) {
        std::size_t end = r.out.find('\n', start);
        out.push_back(fields_of(r.out.substr(start, end - start)).at(12));
        start = end + 1;
    }
    return out;
}

std::string digest_of(const fs::path& file) {
    const std::string bytes = test::read_file(file);
    return sha256_hex(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

pid_t start_import(const std::map<std::string, std::string>& env, const fs::path& capture) {
    pid_t pid = fork();
    if (pid == 0) {
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
        for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
        execl(NLX_CLI_PATH, NLX_CLI_PATH, "import", capture.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

TEST(KilledImport, RecordsAndHistoryFilesAlwaysAgree) {
    test::TempDir dir;
    const fs::path cap_a = dir / "a.cap", cap_b = dir / "b.cap";
    write_capture(cap_a, 5);
    write_capture(cap_b, 6);

    // The two sets as whole imports leave them.
    Stored expected[2];
    auto longest = std::chrono::steady_clock::duration::zero();
    for (int k = 0; k < 2; ++k) {
        test::TempDir ref;
        std::map<std::string, std::string> env{{"NLX_HOME", ref.path().string()}};
        auto t0 = std::chrono::steady_clock::now();
        ASSERT_EQ(test::run_nlx({"import", (k == 0 ? cap_a : cap_b).string()}, env).exit_code, 0);
        longest = std::max(longest, std::chrono::steady_clock::now() - t0);
        expected[k] = read_back(env, ref / "3140A存储文件");
        ASSERT_FALSE(expected[k].files.empty());
        for (const auto& [name, bytes] : expected[k].files) ASSERT_NE(bytes, "<missing>") << name;
    }
    ASSERT_NE(expected[0].csv, expected[1].csv);

    const fs::path home = dir / "home";
    const fs::path storage = home / "3140A存储文件";
    std::map<std::string, std::string> env{{"NLX_HOME", home.string()}};
    ASSERT_EQ(test::run_nlx({"import", cap_a.string()}, env).exit_code, 0);
    const std::string digests[2] = {digest_of(cap_a), digest_of(cap_b)};
    std::size_t entries = 1;
    ASSERT_EQ(logged_digests(env), std::vector<std::string>{digests[0]});

    std::mt19937 rng(20261209);
    // Kills spread over the whole of an import on this machine, and a little past it.
    const int span_us = int(std::chrono::duration_cast<std::chrono::microseconds>(longest).count() * 3 / 2);
    std::uniform_int_distribution<int> delay_us(0, std::max(span_us, 1000));
    int current = 0, killed = 0, finished = 0;
    for (int trial = 0; trial < 30; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        const int next = 1 - current;
        pid_t pid = start_import(env, next == 0 ? cap_a : cap_b);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delay_us(rng)));
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        (WIFSIGNALED(status) ? killed : finished) += 1;

        Stored now = read_back(env, storage);
        const int set = now.csv == expected[0].csv ? 0 : now.csv == expected[1].csv ? 1 : -1;
        ASSERT_NE(set, -1) << "the records are neither the old set nor the new one";
        int wrong = 0;
        for (const auto& [name, digest] : expected[set].files) wrong += now.files[name] != digest;
        EXPECT_EQ(wrong, 0) << "of " << expected[set].files.size()
                            << " files named by the records, these do not hold their own history";
        for (const auto& e : fs::directory_iterator(storage))
            EXPECT_FALSE(e.path().filename().string().ends_with(".tmp")) << e.path();
        // No rows without their log entry, no entry without its rows: the newest entry is the
        // current set's capture, and an entry came exactly when the records changed.
        const auto logged = logged_digests(env);
        entries += set != current;
        ASSERT_EQ(logged.size(), entries);
        EXPECT_EQ(logged.front(), digests[set]);
        current = set;
    }
    EXPECT_GT(killed, 0) << "no import was killed: the delays are too long for this machine";
}

}  // namespace
}  // namespace nlx
