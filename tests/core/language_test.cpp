// Which language the operator gets: the locale, NLX_LANG, language.cfg and the command line.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/language.h"
#include "core/texts.h"
#include "support/temp_dir.h"

namespace nlx {
namespace {

EnvironmentLookup environment(std::map<std::string, std::string> values) {
    return [values](const char* name) -> std::optional<std::string> {
        auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    };
}

TEST(Language, FollowsTheLocale) {
    const struct {
        std::map<std::string, std::string> env;
        Language expected;
    } cases[] = {
        {{}, Language::chinese},
        {{{"LANG", "zh_CN.UTF-8"}}, Language::chinese},
        {{{"LANG", "en_US.UTF-8"}}, Language::english},
        {{{"LANG", "en_GB"}}, Language::english},
        {{{"LANG", "en"}}, Language::english},
        {{{"LANG", "de_DE.UTF-8"}}, Language::chinese},  // any other locale: Chinese
        {{{"LANG", "C.UTF-8"}}, Language::chinese},
        {{{"LANG", "english"}}, Language::chinese},  // not an en locale
        {{{"LANG", "zh_CN.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}, Language::english},
        {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", "zh_TW.UTF-8"}}, Language::chinese},
        {{{"LANG", "zh_CN.UTF-8"}, {"LANGUAGE", "en_GB:zh_CN"}}, Language::english},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", ""}}, Language::english},  // empty: not set
        {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", ""}}, Language::english},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& [k, v] : c.env) shown += k + "=" + v + " ";
        EXPECT_EQ(locale_language(environment(c.env)), c.expected) << shown;
    }
}

TEST(Language, TheStrongestChoiceWins) {
    test::TempDir folder;
    std::vector<std::string> warnings;
    const auto en_locale = environment({{"LANG", "en_US.UTF-8"}});
    EXPECT_EQ(choose_language(std::nullopt, folder.path(), en_locale, warnings), Language::english);
    ASSERT_TRUE(save_language_choice(language_choice_path(folder.path()), Language::chinese));
    EXPECT_EQ(choose_language(std::nullopt, folder.path(), en_locale, warnings), Language::chinese);  // the file
    const auto nlx_lang = environment({{"LANG", "zh_CN.UTF-8"}, {"NLX_LANG", "en"}});
    EXPECT_EQ(choose_language(std::nullopt, folder.path(), nlx_lang, warnings), Language::english);  // NLX_LANG
    EXPECT_EQ(choose_language(Language::chinese, folder.path(), nlx_lang, warnings), Language::chinese);  // --lang
    EXPECT_TRUE(warnings.empty());

    // What names no language is ignored, and said.
    test::write_file(language_choice_path(folder.path()), "language=fr\n");
    const auto bad_env = environment({{"LANG", "en_US.UTF-8"}, {"NLX_LANG", "fr"}});
    EXPECT_EQ(choose_language(std::nullopt, folder.path(), bad_env, warnings), Language::english);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("NLX_LANG=fr"), std::string::npos);
    EXPECT_NE(warnings[1].find("language.cfg"), std::string::npos);
}

TEST(Language, TheFileKeepsTheChoice) {
    test::TempDir folder;
    const auto file = language_choice_path(folder.path());
    auto none = load_language_choice(file);
    ASSERT_TRUE(none);
    EXPECT_FALSE(*none);
    for (Language language : {Language::english, Language::chinese}) {
        ASSERT_TRUE(save_language_choice(file, language));
        auto kept = load_language_choice(file);
        ASSERT_TRUE(kept && *kept);
        EXPECT_EQ(**kept, language);
    }
    for (const char* text : {"language=de\n", "lang=en\n", "# nothing\n", "en\n"}) {
        test::write_file(file, text);
        auto refused = load_language_choice(file);
        ASSERT_FALSE(refused) << text;
        EXPECT_NE(refused.message().find(file.string()), std::string::npos);
    }
    test::write_file(file, "\n# a comment\n  language = en \r\n");
    auto edited = load_language_choice(file);
    ASSERT_TRUE(edited && *edited);
    EXPECT_EQ(**edited, Language::english);
}

TEST(Language, EnglishWithoutItsCatalogueStaysChinese) {
    test::TempDir folder;
    auto used = use_language(Language::english, {folder.path()});
    ASSERT_FALSE(used);
    EXPECT_NE(used.message().find((folder.path() / "en" / "LC_MESSAGES" / "nlx.mo").string()), std::string::npos);
    EXPECT_EQ(tr(texts::kReceived), texts::kReceived);

    // A broken catalogue is named and leaves the Chinese texts.
    std::filesystem::create_directories(folder.path() / "en" / "LC_MESSAGES");
    test::write_file(catalogue_file(folder.path(), Language::english), "not a catalogue");
    used = use_language(Language::english, {folder.path()});
    ASSERT_FALSE(used);
    EXPECT_NE(used.message().find("nlx.mo"), std::string::npos);
    EXPECT_EQ(tr(texts::kReceived), texts::kReceived);

    // The built catalogue, found in the second folder, and Chinese again.
    const std::filesystem::path built = std::filesystem::path(NLX_ENGLISH_CATALOGUE).parent_path().parent_path().parent_path();
    ASSERT_TRUE(use_language(Language::english, {folder.path() / "none", built}));
    EXPECT_NE(tr(texts::kReceived), texts::kReceived);
    ASSERT_TRUE(use_language(Language::chinese, {built}));
    EXPECT_EQ(tr(texts::kReceived), texts::kReceived);
}

}  // namespace
}  // namespace nlx
