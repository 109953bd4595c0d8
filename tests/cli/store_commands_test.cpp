// nlx records, add-record and save-as against record databases built by the tests.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "core/models.h"
#include "store/database.h"
#include "core/texts.h"
#include "store/sample_groups.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

// Lines of a text, without their LF.
std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        out.push_back(text.substr(start, nl - start));
    EXPECT_EQ(start, text.size()) << "output does not end with LF";
    return out;
}

void build_database(const fs::path& file) {
    auto db = Database::create_or_open(file);
    ASSERT_TRUE(db) << db.message();
    auto groups = test::sample_groups('a', 2, "001");
    const ModelInfo& a = *find_model('a');
    groups[1].record[std::size_t(*record_column_index(a, "MODE"))] = "24h \"no\"";
    groups[1].record[std::size_t(*record_column_index(a, "测量时间"))] = "1h,2m";
    groups[1].record[std::size_t(*record_column_index(a, "Leq"))] = "";
    groups[0].distribution->values = {12.5, 0.1 + 0.2, 100};
    ASSERT_TRUE(db->replace_model(model_of('a'), groups));
}

TEST(RecordCommands, RecordsPrintsCsvJsonAndText) {
    test::TempDir dir;
    const fs::path file = dir / "noise.db";
    build_database(file);

    auto csv = test::run_nlx({"records", "--model", "a", "--db", file.string(), "--format", "csv"});
    ASSERT_EQ(csv.exit_code, 0) << csv.err;
    auto lines = lines_of(csv.out);
    ASSERT_EQ(lines.size(), 3u);
    std::string header;
    for (auto c : find_model('a')->record_columns) header += (header.empty() ? "" : ",") + std::string(c);
    EXPECT_EQ(lines[0], header);
    EXPECT_EQ(lines[1], "01,001,c2,c3,c4,c5,c6,c7,c8,c9,c10,c11,c12,c13,c14,c15,c16,c17,c18,c19,c20,c21,");
    EXPECT_EQ(lines[2], "02,001,\"\",c3,c4,c5,c6,c7,c8,c9,c10,c11,c12,\"1h,2m\",c14,c15,c16,\"24h \"\"no\"\"\",c18,c19,c20,c21,");

    auto dist = test::run_nlx({"records", "--model", "a", "--db", file.string(), "--table", "distribution", "--format", "csv"});
    ASSERT_EQ(dist.exit_code, 0) << dist.err;
    lines = lines_of(dist.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("序号,", 0), 0u);
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), ','), kDistributionValues);
    EXPECT_EQ(lines[1], "1,12.5,0.3,100" + std::string(kDistributionValues - 3, ','));
    EXPECT_EQ(lines[2].substr(0, 10), "2,2,2.1,2.");

    auto json = test::run_nlx({"records", "--model", "a", "--db", file.string(), "--format", "json"});
    ASSERT_EQ(json.exit_code, 0) << json.err;
    EXPECT_NE(json.out.find("\"filename\": null"), std::string::npos);
    EXPECT_NE(json.out.find("\"MODE\": \"24h \\\"no\\\"\""), std::string::npos);

    auto text = test::run_nlx({"records", "--model", "a", "--db", file.string()});
    ASSERT_EQ(text.exit_code, 0) << text.err;
    lines = lines_of(text.out);
    ASSERT_EQ(lines.size(), 4u);  // header, rule, two rows
    EXPECT_EQ(lines[0].rfind("序号  组号  Leq", 0), 0u) << lines[0];

    // Model e has no distribution table; an empty model table prints the header alone.
    EXPECT_EQ(test::run_nlx({"records", "--model", "e", "--db", file.string(), "--table", "distribution"}).exit_code, 1);
    auto empty = test::run_nlx({"records", "--model", "c", "--db", file.string(), "--format", "csv"});
    EXPECT_EQ(empty.exit_code, 0);
    EXPECT_EQ(lines_of(empty.out).size(), 1u);

    // Usage errors.
    for (auto args : {std::vector<std::string>{"records", "--model", "f", "--db", file.string()},
                      std::vector<std::string>{"records", "--model", "a", "--table", "other", "--db", file.string()},
                      std::vector<std::string>{"records", "--model", "a", "--format", "xml", "--db", file.string()},
                      std::vector<std::string>{"records", "--db", file.string()}})
        EXPECT_EQ(test::run_nlx(args).exit_code, 2) << args[2];
}

TEST(RecordCommands, MissingAndForeignFilesAreRefusedUntouched) {
    test::TempDir dir;
    const std::string missing = (dir / "missing.db").string();
    auto r = test::run_nlx({"records", "--model", "a", "--db", missing});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
    EXPECT_EQ(test::run_nlx({"save-as", "--db", missing, (dir / "copy.db").string()}).exit_code, 1);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_FALSE(fs::exists(dir / "copy.db"));

    const fs::path text = dir / "text.db";
    test::write_file(text, "序号,Leq\n01,85.6\n");
    for (auto args : {std::vector<std::string>{"records", "--model", "a", "--db", text.string()},
                      std::vector<std::string>{"add-record", "--model", "a", "--db", text.string()},
                      std::vector<std::string>{"save-as", "--db", text.string(), (dir / "copy.db").string()}}) {
        auto refused = test::run_nlx(args);
        EXPECT_EQ(refused.exit_code, 1) << args[0];
        EXPECT_NE(refused.err.find(texts::kOpenFailed), std::string::npos) << refused.err;
    }
    EXPECT_EQ(test::read_file(text), "序号,Leq\n01,85.6\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(RecordCommands, AddRecordThenRecordsShowsTheNewGroup) {
    test::TempDir dir;
    const fs::path file = dir / "noise.db";
    build_database(file);
    auto added = test::run_nlx({"add-record", "--model", "a", "--db", file.string()});
    ASSERT_EQ(added.exit_code, 0) << added.err;
    auto csv = test::run_nlx({"records", "--model", "a", "--db", file.string(), "--format", "csv"});
    auto lines = lines_of(csv.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], "03" + lines[2].substr(2));
    auto dist = lines_of(test::run_nlx({"records", "--model", "a", "--db", file.string(), "--table", "distribution",
                                        "--format", "csv"}).out);
    ASSERT_EQ(dist.size(), 4u);
    EXPECT_EQ(dist[3], "3" + dist[2].substr(1));

    // Empty tables: refused, nothing added.
    auto refused = test::run_nlx({"add-record", "--model", "b", "--db", file.string()});
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.err.find("分布图b"), std::string::npos) << refused.err;
    EXPECT_EQ(lines_of(test::run_nlx({"records", "--model", "b", "--db", file.string(), "--format", "csv"}).out).size(), 1u);

    // Without --db in a fresh application folder: refused, and no database file is made.
    test::TempDir home;
    auto fresh = test::run_nlx({"add-record", "--model", "d"}, {{"NLX_HOME", home.path().string()}});
    EXPECT_EQ(fresh.exit_code, 1);
    EXPECT_FALSE(fs::exists(home / "noise.db"));
}

TEST(RecordCommands, SaveAsCopiesAndRefusesTheSameFile) {
    test::TempDir dir;
    const fs::path file = dir / "noise.db";
    build_database(file);
    const std::string copy = (dir / "copy.db").string();
    auto saved = test::run_nlx({"save-as", "--db", file.string(), copy});
    ASSERT_EQ(saved.exit_code, 0) << saved.err;
    auto original = test::run_nlx({"records", "--model", "a", "--db", file.string(), "--format", "csv"});
    auto copied = test::run_nlx({"records", "--model", "a", "--db", copy, "--format", "csv"});
    EXPECT_EQ(copied.exit_code, 0);
    EXPECT_EQ(copied.out, original.out);

    const std::string bytes = test::read_file(file);
    auto same = test::run_nlx({"save-as", "--db", file.string(), (dir / "." / "noise.db").string()});
    EXPECT_EQ(same.exit_code, 1);
    EXPECT_NE(same.err.find(texts::kSameName), std::string::npos) << same.err;
    EXPECT_EQ(test::read_file(file), bytes);

    const std::string nowhere = (dir / "nowhere" / "x.db").string();
    auto failed = test::run_nlx({"save-as", "--db", file.string(), nowhere});
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_NE(failed.err.find(texts::kSaveFailed), std::string::npos) << failed.err;
    // Both lines: the operator's text and the reason naming the destination.
    auto err_lines = lines_of(failed.err);
    ASSERT_EQ(err_lines.size(), 2u) << failed.err;
    EXPECT_EQ(err_lines[1].rfind("cannot save a copy to " + nowhere + ": ", 0), 0u) << failed.err;
    EXPECT_EQ(test::run_nlx({"save-as", "--db", file.string()}).exit_code, 2);
}

// The id of a process that has ended.
pid_t ended_process() {
    const pid_t pid = fork();
    if (pid == 0) _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

// Workbooks and CSV files that a killed export left half-written go with the next export into
// that folder; a running writer's, and other files' temporaries, stay.
TEST(RecordCommands, ExportRemovesWhatAKilledExportLeftBehind) {
    test::TempDir dir;
    const fs::path file = dir / "noise.db";
    build_database(file);
    const std::string dead = std::to_string(ended_process()), alive = std::to_string(getpid());
    struct Leftover {
        std::string name;
        bool after_xlsx, after_csv;  // still there after each export
    };
    const Leftover leftovers[] = {
        {".r.xlsx.nlx-" + dead + "-17.tmp", false, false},
        {".old.xlsx.nlx-" + dead + ".tmp", false, false},
        {".r.csv.nlx-" + dead + "-3.tmp", true, false},
        {".r.xlsx.nlx-" + alive + "-18.tmp", true, true},
        {".224246195.ln.nlx-" + dead + "-4.tmp", true, true},
        {"r.xlsx.nlx-" + dead + "-5.tmp", true, true},
    };
    for (const auto& l : leftovers) test::write_file(dir / l.name, "half");

    auto xlsx = test::run_nlx({"export", "--model", "a", "--db", file.string(), "--xlsx", (dir / "r.xlsx").string()});
    ASSERT_EQ(xlsx.exit_code, 0) << xlsx.err;
    for (const auto& l : leftovers) EXPECT_EQ(fs::exists(dir / l.name), l.after_xlsx) << "xlsx: " << l.name;
    auto csv = test::run_nlx({"export", "--model", "a", "--db", file.string(), "--csv", (dir / "r.csv").string()});
    ASSERT_EQ(csv.exit_code, 0) << csv.err;
    for (const auto& l : leftovers) EXPECT_EQ(fs::exists(dir / l.name), l.after_csv) << "csv: " << l.name;
}

}  // namespace
}  // namespace nlx
