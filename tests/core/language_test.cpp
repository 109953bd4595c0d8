// Which language the operator gets: the locale, NLX_LANG, language.cfg and the command line; the
// languages installed, each named by its own catalogue, a third one included without a line of
// code for it.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/language.h"
#include "core/texts.h"
#include "support/mo_file.h"
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

}  // namespace

void PrintTo(const InstalledLanguage& language, std::ostream* out) { *out << language.code << " (" << language.name << ")"; }

namespace {

LanguageInstalled among(std::set<std::string> codes) {
    return [codes](std::string_view code) { return code == kChinese || codes.count(std::string(code)) > 0; };
}

TEST(Language, CodesHaveGettextsForm) {
    for (const char* good : {"zh", "en", "fr", "ast", "pt_BR", "zh_TW", "es_419", "sr@latin", "ca_ES@valencia"})
        EXPECT_TRUE(is_language_code(good)) << good;
    for (const char* bad : {"", "e", "english", "EN", "en_", "en_us", "pt-BR", "en_US.UTF-8", "sr@", "../en", "en/x", "fr "})
        EXPECT_FALSE(is_language_code(bad)) << bad;
}

// "xx_*" is xx when a catalogue of xx is installed, else Chinese; a region's own catalogue first.
TEST(Language, FollowsTheLocaleToAnInstalledCatalogue) {
    const auto installed = among({"en", "fr", "pt_BR", "pt"});
    const struct {
        std::map<std::string, std::string> env;
        std::string expected;
    } cases[] = {
        {{}, "zh"},
        {{{"LANG", "zh_CN.UTF-8"}}, "zh"},
        {{{"LANG", "en_US.UTF-8"}}, "en"},
        {{{"LANG", "en_GB"}}, "en"},
        {{{"LANG", "en"}}, "en"},
        {{{"LANG", "fr_CA.UTF-8"}}, "fr"},
        {{{"LANG", "fr_FR@euro"}}, "fr"},
        {{{"LANG", "pt_BR.UTF-8"}}, "pt_BR"},  // the region's catalogue before the language's
        {{{"LANG", "pt_PT.UTF-8"}}, "pt"},
        {{{"LANG", "de_DE.UTF-8"}}, "zh"},  // no catalogue of German: Chinese
        {{{"LANG", "C.UTF-8"}}, "zh"},
        {{{"LANG", "POSIX"}}, "zh"},
        {{{"LANG", "english"}}, "zh"},  // not a locale
        {{{"LANG", "zh_CN.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}, "en"},
        {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", "zh_TW.UTF-8"}}, "zh"},
        {{{"LANG", "zh_CN.UTF-8"}, {"LANGUAGE", "fr_FR:en_GB"}}, "fr"},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", ""}}, "en"},  // empty: not set
        {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", ""}}, "en"},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& [k, v] : c.env) shown += k + "=" + v + " ";
        EXPECT_EQ(locale_language(environment(c.env), installed), c.expected) << shown;
    }
    // Without catalogues every locale is Chinese.
    EXPECT_EQ(locale_language(environment({{"LANG", "en_US.UTF-8"}}), among({})), "zh");
}

TEST(Language, TheStrongestChoiceWins) {
    test::TempDir folder;
    std::vector<std::string> warnings;
    const auto installed = among({"en", "fr"});
    const auto en_locale = environment({{"LANG", "en_US.UTF-8"}});
    EXPECT_EQ(choose_language(std::nullopt, folder.path(), en_locale, installed, warnings), "en");
    ASSERT_TRUE(save_language_choice(language_choice_path(folder.path()), "fr"));
    EXPECT_EQ(choose_language(std::nullopt, folder.path(), en_locale, installed, warnings), "fr");  // the file
    const auto nlx_lang = environment({{"LANG", "zh_CN.UTF-8"}, {"NLX_LANG", "en"}});
    EXPECT_EQ(choose_language(std::nullopt, folder.path(), nlx_lang, installed, warnings), "en");  // NLX_LANG
    EXPECT_EQ(choose_language("zh", folder.path(), nlx_lang, installed, warnings), "zh");          // --lang
    EXPECT_TRUE(warnings.empty());

    // What names no installed language is ignored, and said: NLX_LANG, then the file's choice.
    test::write_file(language_choice_path(folder.path()), "language=de\n");
    const auto bad_env = environment({{"LANG", "en_US.UTF-8"}, {"NLX_LANG", "de"}});
    EXPECT_EQ(choose_language(std::nullopt, folder.path(), bad_env, installed, warnings), "en");
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("NLX_LANG=de"), std::string::npos);
    EXPECT_NE(warnings[1].find("language.cfg"), std::string::npos);
    EXPECT_NE(warnings[1].find("de"), std::string::npos);
}

TEST(Language, TheFileKeepsTheChoice) {
    test::TempDir folder;
    const auto file = language_choice_path(folder.path());
    auto none = load_language_choice(file);
    ASSERT_TRUE(none);
    EXPECT_FALSE(*none);
    for (const char* code : {"en", "pt_BR", "zh"}) {
        ASSERT_TRUE(save_language_choice(file, code));
        auto kept = load_language_choice(file);
        ASSERT_TRUE(kept && *kept);
        EXPECT_EQ(**kept, code);
    }
    for (const char* text : {"language=english\n", "lang=en\n", "# nothing\n", "en\n", "language=../en\n"}) {
        test::write_file(file, text);
        auto refused = load_language_choice(file);
        ASSERT_FALSE(refused) << text;
        EXPECT_NE(refused.message().find(file.string()), std::string::npos);
    }
    test::write_file(file, "\n# a comment\n  language = en \r\n");
    auto edited = load_language_choice(file);
    ASSERT_TRUE(edited && *edited);
    EXPECT_EQ(**edited, "en");
}

TEST(Language, WithoutItsCatalogueTheTextsStayChinese) {
    test::TempDir folder;
    auto used = use_language("en", {folder.path()});
    ASSERT_FALSE(used);
    EXPECT_NE(used.message().find((folder.path() / "en" / "LC_MESSAGES" / "nlx.mo").string()), std::string::npos);
    EXPECT_EQ(tr(texts::kReceived), texts::kReceived);
    EXPECT_EQ(language_in_use(), "zh");

    // A broken catalogue is named and leaves the Chinese texts.
    std::filesystem::create_directories(folder.path() / "en" / "LC_MESSAGES");
    test::write_file(catalogue_file(folder.path(), "en"), "not a catalogue");
    used = use_language("en", {folder.path()});
    ASSERT_FALSE(used);
    EXPECT_NE(used.message().find("nlx.mo"), std::string::npos);
    EXPECT_EQ(tr(texts::kReceived), texts::kReceived);
    EXPECT_EQ(language_in_use(), "zh");
    EXPECT_FALSE(use_language("../en", {folder.path()}));  // never a path out of the folder

    // The built catalogue, found in the second folder, and Chinese again.
    const std::filesystem::path built = std::filesystem::path(NLX_ENGLISH_CATALOGUE).parent_path().parent_path().parent_path();
    ASSERT_TRUE(use_language("en", {folder.path() / "none", built}));
    EXPECT_NE(tr(texts::kReceived), texts::kReceived);
    EXPECT_EQ(language_in_use(), "en");
    ASSERT_TRUE(use_language("zh", {built}));
    EXPECT_EQ(tr(texts::kReceived), texts::kReceived);
    EXPECT_EQ(language_in_use(), "zh");
}

// A catalogue dropped into a folder is a language: listed by its own name, chosen by the locale,
// put in use; nothing in the program names it.
TEST(Language, AThirdLanguageNeedsOnlyItsCatalogue) {
    test::TempDir extra;
    const std::filesystem::path built = std::filesystem::path(NLX_ENGLISH_CATALOGUE).parent_path().parent_path().parent_path();
    test::write_catalogue(extra.path(), "fr", {{std::string(texts::kLanguageName), "Français"},
                                              {std::string(texts::kReceived), "Données reçues"}});
    test::write_catalogue(extra.path(), "xx_YY", {{std::string(texts::kReceived), "xx"}});  // no name of its own
    std::filesystem::create_directories(extra.path() / "de" / "LC_MESSAGES");              // no catalogue in it
    std::filesystem::create_directories(extra.path() / "not-a-code" / "LC_MESSAGES");
    std::filesystem::create_directories(extra.path() / "ja" / "LC_MESSAGES");
    test::write_file(catalogue_file(extra.path(), "ja"), "broken");  // unreadable: named by its code
    const std::vector<std::filesystem::path> folders{extra.path(), built, extra.path() / "none"};

    const std::vector<InstalledLanguage> expected{
        {"zh", "中文"}, {"en", "English"}, {"fr", "Français"}, {"ja", "ja"}, {"xx_YY", "xx_YY"}};
    EXPECT_EQ(installed_languages(folders), expected);
    EXPECT_EQ(language_codes(installed_languages(folders)), "zh, en, fr, ja, xx_YY");
    EXPECT_EQ(installed_languages({}), std::vector<InstalledLanguage>{expected.front()});

    const auto installed = installed_in(folders);
    EXPECT_TRUE(installed("fr"));
    EXPECT_FALSE(installed("de"));
    EXPECT_EQ(locale_language(environment({{"LANG", "fr_BE.UTF-8"}}), installed), "fr");
    EXPECT_EQ(locale_language(environment({{"LANG", "de_DE.UTF-8"}}), installed), "zh");
    ASSERT_TRUE(use_language("fr", folders));
    EXPECT_EQ(tr(texts::kReceived), "Données reçues");
    EXPECT_EQ(tr(texts::kNoData), texts::kNoData);  // what it lacks stays Chinese
    EXPECT_EQ(language_in_use(), "fr");
    // A catalogue of the first folder wins over one of the same language in a later folder.
    test::write_catalogue(extra.path(), "en", {{std::string(texts::kReceived), "Received, from the translator's folder"}});
    ASSERT_TRUE(use_language("en", folders));
    EXPECT_EQ(tr(texts::kReceived), "Received, from the translator's folder");
    use_no_catalogue();
}

// NLX_LOCALE_DIR comes first, so a translator tries a catalogue without installing it.
TEST(Language, TheTranslatorsFolderIsSearchedFirst) {
    const auto plain = catalogue_folders("/opt/nlx/bin", environment({}));
    const auto with_own = catalogue_folders("/opt/nlx/bin", environment({{"NLX_LOCALE_DIR", "/home/t/locale"}}));
    ASSERT_FALSE(plain.empty());
    ASSERT_EQ(with_own.size(), plain.size() + 1);
    EXPECT_EQ(with_own.front(), std::filesystem::path("/home/t/locale"));
    EXPECT_EQ(std::vector(with_own.begin() + 1, with_own.end()), plain);
    EXPECT_EQ(catalogue_folders("/opt/nlx/bin", environment({{"NLX_LOCALE_DIR", ""}})), plain);
}

}  // namespace
}  // namespace nlx
