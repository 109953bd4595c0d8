// nlx report and nlx sheet as PDF for generated groups of every model: two A3 pages for 37
// groups, the title, header and rows as pdftotext reads them, and each header word standing
// over its column's values on the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "core/models.h"
#include "reports/table_layout.h"
#include "sim/generated_content.h"
#include "store/database.h"
#include "transfer/transfer.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

struct Word {
    double left, right, top;
    std::string text;
};

// The words of page 1 with their boxes, as pdftotext -bbox gives them.
std::vector<Word> page_words(const fs::path& pdf) {
    auto r = test::run_command("/usr/bin/pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf.string(), "-"});
    std::vector<Word> words;
    static const std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    for (auto it = std::sregex_iterator(r.out.begin(), r.out.end(), word); it != std::sregex_iterator(); ++it)
        words.push_back({std::stod((*it)[1]), std::stod((*it)[3]), std::stod((*it)[2]), (*it)[4]});
    return words;
}

struct ReportCommand : ::testing::TestWithParam<char> {
    test::TempDir dir;
    fs::path db_file = dir / "noise.db";

    void store(char model, int groups) {
        auto capture = sim::generated_capture(model_of(model), groups, 5);
        ASSERT_TRUE(capture) << capture.message();
        auto db = Database::create_or_open(db_file);
        ASSERT_TRUE(db) << db.message();
        ASSERT_TRUE(store_transfer(*db, dir / "store", model_of(model), *capture));
    }
    test::CommandResult run(const std::vector<std::string>& args) {
        std::vector<std::string> all = args;
        all.insert(all.end(), {"--db", db_file.string()});
        return test::run_nlx(all);
    }
};

TEST_P(ReportCommand, ThirtySevenGroupsOnTwoA3Pages) {
    const char model = GetParam();
    const std::string letter(1, model);
    store(model, 37);
    const fs::path pdf = dir / "report.pdf";
    auto r = run({"report", "--model", letter, "--pdf", pdf.string()});
    if (r.err.find("without the Qt painters") != std::string::npos) GTEST_SKIP() << r.err;
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, pdf.string() + ": 2 pages\n");

    const auto info = test::run_command("/usr/bin/pdfinfo", {pdf.string()}).out;
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    EXPECT_NE(info.find("(A3)"), std::string::npos) << info;

    const auto text = test::run_command("/usr/bin/pdftotext", {"-layout", pdf.string(), "-"}).out;
    const std::string title = std::string(model == 'e' ? "NLX2730" : "NLX3140") + letter + "测量结果 表 1";
    EXPECT_NE(text.find(title), std::string::npos) << text.substr(0, 300);
    EXPECT_NE(text.find("表 2"), std::string::npos);
    EXPECT_NE(text.find(model == 'd' ? "VLeq" : "Leq"), std::string::npos);

    // The fixed pitch: on the page a header word starts at its character column of the header
    // line (a Chinese character two columns), measured in the header ruler's hyphen width.
    const auto words = page_words(pdf);
    const reports::TableLayout& layout = reports::table_layout(model_of(model));
    const auto ruler = std::find_if(words.begin(), words.end(), [](const Word& w) { return w.text.starts_with("-----"); });
    ASSERT_NE(ruler, words.end());
    const double column = (ruler->right - ruler->left) / layout.header_ruler.hyphens;
    const double margin = ruler->left - layout.header_ruler.spaces * column;
    std::size_t at = 0, header_words = 0;
    for (std::size_t i = 0; i < layout.header.size();) {
        if (layout.header[i] == ' ') {
            ++at, ++i;
            continue;
        }
        const std::size_t end = std::min(layout.header.find(' ', i), layout.header.size());
        const std::string name(layout.header.substr(i, end - i));
        auto word = std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == name; });
        if (word != words.end()) {
            ++header_words;
            EXPECT_NEAR(word->left, margin + double(at) * column, column / 4) << model << ": header word " << name;
        }
        for (std::size_t k = i; k < end;) {
            const unsigned char c = static_cast<unsigned char>(layout.header[k]);
            const std::size_t bytes = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            at += bytes >= 3 ? 2 : 1;
            k += bytes;
        }
        i = end;
    }
    EXPECT_GE(header_words, 10u) << model;

    // Each header word over the values of its column: their boxes overlap across the page.
    auto find = [&](const std::string& text, double below) -> const Word* {
        for (const auto& w : words)
            if (w.text == text && w.top > below) return &w;
        return nullptr;
    };
    const Word* first_group = find("001", 0);
    ASSERT_NE(first_group, nullptr);
    const std::vector<std::string> headers =
        model == 'e' ? std::vector<std::string>{"Leq", "LAE", "Lmax", "Lmin", "DATE", "TIME"}
        : model == 'd' ? std::vector<std::string>{"VLeq", "VL10", "VL50", "VL90", "VLmax", "DATE", "TIME"}
                       : std::vector<std::string>{"Leq", "L10", "L50", "L90", "Lmax", "DATE", "TIME"};
    for (const auto& name : headers) {
        const Word* header = find(name, 0);
        ASSERT_NE(header, nullptr) << name;
        bool over = false;
        for (const auto& w : words)
            if (std::abs(w.top - first_group->top) < 1 && w.left < header->right && header->left < w.right) over = true;
        EXPECT_TRUE(over) << model << ": nothing of the first row under " << name;
    }
}

TEST_P(ReportCommand, SheetOfOneGroup) {
    const char model = GetParam();
    store(model, 3);
    const fs::path pdf = dir / "sheet.pdf";
    auto r = run({"sheet", "--model", std::string(1, model), "--row", "2", "--pdf", pdf.string()});
    if (r.err.find("without the Qt painters") != std::string::npos) GTEST_SKIP() << r.err;
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const auto text = test::run_command("/usr/bin/pdftotext", {"-layout", pdf.string(), "-"}).out;
    EXPECT_NE(text.find("序号:002"), std::string::npos) << text;
    EXPECT_NE(text.find("DATE:"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Models, ReportCommand, ::testing::Values('a', 'b', 'c', 'd', 'e'));

TEST(ReportRefusals, NamesWhatIsWrongAndWritesNothing) {
    test::TempDir dir;
    const fs::path db_file = dir / "noise.db";
    {
        auto capture = sim::generated_capture(model_of('a'), 5, 1);
        auto db = Database::create_or_open(db_file);
        ASSERT_TRUE(store_transfer(*db, dir / "store", model_of('a'), *capture));
    }
    const fs::path pdf = dir / "out.pdf";
    struct Case {
        std::vector<std::string> args;
        int exit_code;
        std::string says;
    } cases[] = {
        {{"report", "--model", "a", "--rows", "3-9"}, 1, "past the last row (5)"},
        {{"report", "--model", "a", "--rows", "4-2"}, 2, "A not after B"},
        {{"report", "--model", "b"}, 1, "噪声b in " + db_file.string() + " holds no groups"},
        {{"sheet", "--model", "a", "--row", "6"}, 1, "past the last row (5)"},
        {{"report", "--model", "a", "--printer", "no-such-queue"}, 1, "no-such-queue"},
    };
    for (auto c : cases) {
        if (c.args[0] == "report" && c.args.back() != "no-such-queue") c.args.insert(c.args.end(), {"--pdf", pdf.string()});
        if (c.args[0] == "sheet") c.args.insert(c.args.end(), {"--pdf", pdf.string()});
        c.args.insert(c.args.end(), {"--db", db_file.string()});
        auto r = test::run_nlx(c.args);
        if (r.err.find("without the Qt painters") != std::string::npos) GTEST_SKIP() << r.err;
        EXPECT_EQ(r.exit_code, c.exit_code) << c.says << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(pdf)) << c.says;
    }
    auto neither = test::run_nlx({"report", "--model", "a", "--db", db_file.string()});
    EXPECT_EQ(neither.exit_code, 2) << neither.err;
}

}  // namespace
}  // namespace nlx
