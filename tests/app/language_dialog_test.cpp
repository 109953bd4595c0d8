// 设置 → 语言: every installed language offered by its own name, a third one from nothing but its
// catalogue; the choice kept in language.cfg and what saving says, in the language in use.
#include <QRadioButton>

#include "app/language_dialog.h"
#include "core/catalogue.h"
#include "core/language.h"
#include "core/read_file.h"
#include "core/texts.h"
#include "language_fixture.h"
#include "shell_fixture.h"
#include "support/mo_file.h"

namespace nlx::app::test {
namespace {

const std::filesystem::path kBuilt(NLX_TEST_LOCALE_FOLDER);

// NLX_LOCALE_DIR set for the time of a test, as a translator would set it.
class LocaleDir {
public:
    explicit LocaleDir(const QString& folder) { qputenv("NLX_LOCALE_DIR", folder.toUtf8()); }
    ~LocaleDir() { qunsetenv("NLX_LOCALE_DIR"); }
};

// The translation the built English catalogue has of `source`.
QString english(std::string_view source) {
    auto catalogue = load_catalogue(catalogue_file(kBuilt, "en"));
    std::string_view found;
    if (!catalogue || !catalogue->find(source, found)) return {};
    return qs(found);
}

}  // namespace

class LanguageDialogTest : public QObject {
    Q_OBJECT
private slots:
    // A French catalogue of a handful of entries in the folder NLX_LOCALE_DIR names: the dialog,
    // opened in French, offers 中文, English and Français, marks the one in use, keeps the one
    // chosen in language.cfg, says so in French and marks it when opened again.
    void offersEveryInstalledLanguageByItsOwnName() {
        QTemporaryDir extra;
        nlx::test::write_catalogue(to_path(extra.path()), "fr",
                                   {{std::string(texts::kLanguageName), "Français"},
                                    {std::string(texts::kLanguageTitle), "Langue"},
                                    {std::string(texts::kLanguageApply), "Valider"},
                                    {"语言已设为%1，下次启动时生效\n（%2）", "Langue choisie : %1, dès le prochain démarrage\n(%2)"}});
        LocaleDir locale_dir(extra.path());
        InLanguage french("fr", {to_path(extra.path())});
        QVERIFY(french.ok());
        Shell shell;
        shell.start(SerialSettings{});
        shell.choose('a');
        QCOMPARE(shell.action("yuyan")->text(), QStringLiteral("Langue"));
        shell.action("yuyan")->trigger();
        LanguageDialog* dialog = shell.form->language_dialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Langue"));
        const struct {
            const char* code;
            QString name;
        } offered[] = {{"zh", qs(texts::kLanguageName)}, {"en", english(texts::kLanguageName)}, {"fr", "Français"}};
        const auto buttons = dialog->findChildren<QRadioButton*>();
        QCOMPARE(buttons.size(), qsizetype(std::size(offered)));
        for (std::size_t i = 0; i < std::size(offered); ++i) {
            QCOMPARE(buttons[qsizetype(i)]->objectName(), QStringLiteral("language-") + offered[i].code);
            QCOMPARE(buttons[qsizetype(i)]->text(), offered[i].name);
            QCOMPARE(buttons[qsizetype(i)]->isChecked(), std::string_view(offered[i].code) == "fr");
        }
        QCOMPARE(offered[1].name, QStringLiteral("English"));
        QString cut;
        QVERIFY2(texts_fit(*dialog, cut), qPrintable(cut));

        dialog->findChild<QRadioButton*>("language-en")->click();
        dialog->findChild<QPushButton*>("apply")->click();
        QVERIFY(!dialog->isVisible());
        const auto file = language_choice_path(shell.folder());
        QCOMPARE(shell.dialogs.messages.back().text,
                 QStringLiteral("Langue choisie : English, dès le prochain démarrage\n(") + qpath(file) + ")");
        auto kept = load_language_choice(file);
        QVERIFY(kept && *kept);
        QCOMPARE(**kept, std::string("en"));
        shell.action("yuyan")->trigger();
        QVERIFY(dialog->findChild<QRadioButton*>("language-en")->isChecked());
    }

    // Without the translator's folder only the built languages are offered; a kept language whose
    // catalogue is gone is not marked, the one in use is; saving that fails says why.
    void aKeptLanguageNoLongerInstalled() {
        Shell shell;
        QVERIFY(save_language_choice(language_choice_path(shell.folder()), "fr").ok());
        shell.start(SerialSettings{});
        shell.choose('a');
        shell.action("yuyan")->trigger();
        LanguageDialog* dialog = shell.form->language_dialog();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->findChild<QRadioButton*>("language-fr"));
        QVERIFY(dialog->findChild<QRadioButton*>("language-zh")->isChecked());
        std::filesystem::remove(language_choice_path(shell.folder()));
        std::filesystem::create_directory(language_choice_path(shell.folder()));  // cannot be replaced by a file
        dialog->findChild<QRadioButton*>("language-en")->click();
        dialog->findChild<QPushButton*>("apply")->click();
        QVERIFY(dialog->isVisible());
        QVERIFY2(shell.dialogs.messages.back().text.startsWith(qs(texts::language_save_failed(""))),
                 qPrintable(shell.dialogs.messages.back().text));
    }
};

}  // namespace nlx::app::test

QTEST_MAIN(nlx::app::test::LanguageDialogTest)
#include "language_dialog_test.moc"
