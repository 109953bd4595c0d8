// The .mo reader, the lookup and the placeholders, and the English catalogue built from po/en.po.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/catalogue.h"
#include "core/language.h"
#include "core/shell_texts.h"
#include "core/texts.h"
#include "support/mo_file.h"

namespace nlx {
namespace {

using test::mo_bytes;

struct ActiveCatalogue {
    explicit ActiveCatalogue(Catalogue c) { use_catalogue(std::move(c)); }
    ~ActiveCatalogue() { use_no_catalogue(); }
};

TEST(Catalogue, ReadsEntriesInEitherByteOrderAndSkipsTheHeader) {
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"", "Content-Type: text/plain; charset=UTF-8\n"}, {"接收", "Receive"}, {"文件%1不存在", "The file %1 does not exist"},
        {std::string("组\0组", 5), std::string("group\0groups", 12)}};
    for (bool big : {false, true}) {
        auto parsed = parse_mo(mo_bytes(entries, big));
        ASSERT_TRUE(parsed) << parsed.message();
        EXPECT_EQ(parsed->size(), 3u);
        std::string_view found;
        ASSERT_TRUE(parsed->find("接收", found));
        EXPECT_EQ(found, "Receive");
        ASSERT_TRUE(parsed->find("组", found));  // a plural entry gives its singular forms
        EXPECT_EQ(found, "group");
        EXPECT_FALSE(parsed->find("", found));
    }
}

TEST(Catalogue, RefusesBrokenFiles) {
    const std::string good = mo_bytes({{"接收", "Receive"}});
    std::string bad_magic = good;
    bad_magic[0] = 'x';
    std::string future = good;
    future[6] = 2;  // major revision 2
    std::string table_outside = good;
    table_outside[12] = char(0xF0);  // offset of the originals' table
    const struct {
        const char* what;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"empty", "", "too short"},
        {"no magic", bad_magic, "no gettext magic"},
        {"unknown revision", future, "revision 2"},
        {"table outside", table_outside, "tables lie outside"},
        {"cut in the strings", good.substr(0, good.size() - 3), "entry 1 lies outside"},
        {"no closing NUL", good.substr(0, good.size() - 1), "entry 1 lies outside"},
    };
    for (const auto& c : cases) {
        auto parsed = parse_mo(c.bytes);
        ASSERT_FALSE(parsed) << c.what;
        EXPECT_NE(parsed.message().find(c.message), std::string::npos) << c.what << ": " << parsed.message();
    }
}

TEST(Catalogue, FillsPlaceholdersInTheTranslationsOrder) {
    const struct {
        std::string_view pattern;
        std::initializer_list<std::string_view> values;
        std::string_view filled;
    } cases[] = {
        {"第%1组的%2为空", {"05", "Leq"}, "第05组的Leq为空"},
        {"%2 of group %1 is empty", {"05", "Leq"}, "Leq of group 05 is empty"},
        {"数据读取完%1%", {"42"}, "数据读取完42%"},
        {"%1 and %3", {"a"}, "a and %3"},  // no value: the placeholder shows
        {"100% %", {}, "100% %"},
        {"%1", {"%2"}, "%2"},  // a value is not filled again
    };
    for (const auto& c : cases) EXPECT_EQ(fill(c.pattern, c.values), c.filled) << c.pattern;
}

TEST(Catalogue, LooksUpTheCatalogueInUseAndOtherwiseKeepsTheChineseBytes) {
    EXPECT_EQ(tr(texts::kReceived).data(), texts::kReceived.data());
    EXPECT_EQ(texts::history_missing("a.ln"), "文件a.ln不存在");
    auto parsed = parse_mo(mo_bytes({{"文件%1不存在", "The file %1 does not exist"}, {"数据接收完毕", "All data received"}}));
    ASSERT_TRUE(parsed);
    ActiveCatalogue english(std::move(*parsed));
    EXPECT_EQ(tr(texts::kReceived), "All data received");
    EXPECT_EQ(texts::history_missing("a.ln"), "The file a.ln does not exist");
    EXPECT_EQ(tr(texts::kNoData), texts::kNoData);  // no translation: the Chinese text
}

// A choice left to the first use runs once, at the first lookup of a text or of the language,
// and not before; a catalogue set before it replaces it. Lookups of other threads wait for it.
TEST(Catalogue, AChoiceLeftToTheFirstUseRunsOnceThenAndNotBefore) {
    auto english = [] {
        auto parsed = parse_mo(mo_bytes({{"数据接收完毕", "All data received"}}));
        return parsed ? std::move(*parsed) : Catalogue();
    };
    struct Case {
        const char* what;
        void (*first_use)();
        bool replaced;  // a catalogue set before the first use
        std::string_view seen;
    };
    const Case cases[] = {
        {"a text looked up", [] { (void)tr(texts::kReceived); }, false, "All data received"},
        {"the language asked for", [] { (void)language_in_use(); }, false, "All data received"},
        {"settled by name", [] { settle_catalogue_choice(); }, false, "All data received"},
        {"a catalogue set first", [] { use_no_catalogue(); }, true, texts::kReceived},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int runs = 0;
        choose_catalogue_on_first_use([&] {
            ++runs;
            // The choice may ask for the language in use and look texts up while it runs.
            EXPECT_EQ(language_in_use(), "zh");
            EXPECT_EQ(tr(texts::kReceived), texts::kReceived);
            use_catalogue(english());
        });
        EXPECT_EQ(runs, 0) << "nothing is chosen before the first use";
        c.first_use();
        for (int i = 0; i < 3; ++i) EXPECT_EQ(tr(texts::kReceived), c.seen);
        EXPECT_EQ(runs, c.replaced ? 0 : 1);
        use_no_catalogue();
    }

    std::atomic<int> runs = 0;
    choose_catalogue_on_first_use([&] {
        ++runs;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        use_catalogue(english());
    });
    std::vector<std::string> seen(4);
    std::vector<std::thread> lookups;
    for (auto& text : seen) lookups.emplace_back([&text] { text = std::string(tr(texts::kReceived)); });
    for (auto& t : lookups) t.join();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(seen, std::vector<std::string>(4, "All data received")) << "every thread waits for the one choice";
    use_no_catalogue();
}

// A phrase is written in its wording as a whole, a value that is a phrase of its own in the same
// wording, a plain value as it is; an entry the catalogue lacks stays Chinese in either wording.
TEST(Catalogue, WritesPhrasesInTheirWording) {
    auto parsed = parse_mo(mo_bytes({{"序号%1：%2", "No. %1: %2"}, {"频率计权为%1", "weighting %1"}, {"达标", "Pass"}}));
    ASSERT_TRUE(parsed);
    ActiveCatalogue english(std::move(*parsed));
    const Phrase nested = phrase("序号%1：%2", {plain("05"), phrase("频率计权为%1", {plain("C")})});
    const struct {
        Phrase phrase;
        std::string source, shown;
    } cases[] = {
        {nested, "序号05：频率计权为C", "No. 05: weighting C"},
        {phrase("达标"), "达标", "Pass"},
        {phrase("超标"), "超标", "超标"},                                      // no translation
        {phrase("频率计权为%1", {plain("%1")}), "频率计权为%1", "weighting %1"},  // a value is not filled again
        {plain("达标"), "达标", "达标"},                                        // a plain value is never looked up
        {phrase("序号%1：%2", {plain("05")}), "序号05：%2", "No. 05: %2"},        // a missing value shows
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.phrase.text(Wording::source), c.source);
        EXPECT_EQ(c.phrase.text(Wording::operator_language), c.shown);
    }
    EXPECT_EQ(worded(Wording::source, "达标"), "达标");
    EXPECT_EQ(worded(Wording::operator_language, "达标"), "Pass");
}

// A sync failure is told apart from other messages wherever a translation puts its reason, so
// that the main window neither wraps it twice nor leaves another message unwrapped.
TEST(Catalogue, SyncFailuresAreKnownWhereverTheReasonStands) {
    for (const char* translation : {"同步未完成：%1", "Sync not finished: %1", "%1 (sync not finished)", "Sync: %1 - not finished"}) {
        SCOPED_TRACE(translation);
        auto parsed = parse_mo(mo_bytes({{std::string(texts::kSyncFailed), translation}}));
        ASSERT_TRUE(parsed);
        ActiveCatalogue active(std::move(*parsed));
        EXPECT_TRUE(texts::says_sync_failed(texts::sync_failed("the server closed the connection")));
        EXPECT_TRUE(texts::says_sync_failed(texts::sync_failed("")));
        EXPECT_FALSE(texts::says_sync_failed("the server closed the connection"));
        EXPECT_FALSE(texts::says_sync_failed(texts::team_connection_lost("u@h:5432/db")));
    }
}

// The catalogue the build compiled from po/en.po: texts with values come out whole, with every
// value in its place, and the Chinese texts come back when Chinese is chosen again.
TEST(Catalogue, TheEnglishCatalogueTranslatesTextsWithValues) {
    auto loaded = load_catalogue(NLX_ENGLISH_CATALOGUE);
    ASSERT_TRUE(loaded) << loaded.message();
    EXPECT_GT(loaded->size(), 200u);
    const std::string chinese_status = texts::status_line("noise.db", "NLX3140A", "com1", 9600);
    const std::string chinese_confirm = confirmation_message(*find_model("a"), SerialSettings{});
    {
        ActiveCatalogue english(std::move(*loaded));
        const std::string status = texts::status_line("noise.db", "NLX3140A", "com1", 9600);
        EXPECT_EQ(status, fill(tr("记录数据库：%1    型号：%2    串行口：%3    波特率：%4"), {"noise.db", "NLX3140A", "com1", "9600"}));
        EXPECT_NE(status, chinese_status);
        for (std::string_view value : {"noise.db", "NLX3140A", "com1", "9600"}) EXPECT_NE(status.find(value), std::string::npos);
        const std::string cell = texts::tm27_empty_cell("07", "L50");
        EXPECT_NE(cell.find("07"), std::string::npos);
        EXPECT_NE(cell.find("L50"), std::string::npos);
        EXPECT_EQ(cell.find("%"), std::string::npos);
        const std::string confirm = confirmation_message(*find_model("a"), SerialSettings{});
        EXPECT_NE(confirm.find("NLX3140A"), std::string::npos);
        EXPECT_EQ(confirm.find("当前系统支持"), std::string::npos);
        EXPECT_EQ(model_text(find_model("d")->about_title).find("型"), std::string::npos);
    }
    EXPECT_EQ(texts::status_line("noise.db", "NLX3140A", "com1", 9600), chinese_status);
    EXPECT_EQ(confirmation_message(*find_model("a"), SerialSettings{}), chinese_confirm);
}

}  // namespace
}  // namespace nlx
