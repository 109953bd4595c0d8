// The language dialog: one choice per installed language, each named in its own language, and
// what saving said.
#include "app/language_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/operator_dialogs.h"
#include "app/qt_text.h"
#include "core/texts.h"

namespace nlx::app {

LanguageDialog::LanguageDialog(std::filesystem::path app_folder, const std::vector<std::filesystem::path>& catalogue_folders,
                               OperatorDialogs& dialogs, QWidget* parent)
    : QDialog(parent), app_folder_(std::move(app_folder)), dialogs_(dialogs), languages_(installed_languages(catalogue_folders)) {
    setObjectName("languageDialog");
    setWindowTitle(qtr(texts::kLanguageTitle));
    auto* layout = new QVBoxLayout(this);
    // Each language is named in its own words, so that an operator who cannot read the one in
    // use still finds theirs.
    for (const auto& language : languages_) {
        auto* button = new QRadioButton(qs(language.name), this);
        button->setObjectName(QStringLiteral("language-") + qs(language.code));
        layout->addWidget(button);
        buttons_.push_back(button);
    }
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(qtr(texts::kLanguageApply), QDialogButtonBox::AcceptRole);
    ok->setObjectName("apply");
    auto* cancel = buttons->addButton(qtr(texts::kStandardCancel), QDialogButtonBox::RejectRole);
    cancel->setObjectName("cancel");
    layout->addWidget(buttons);
    connect(ok, &QPushButton::clicked, this, &LanguageDialog::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    select();
}

void LanguageDialog::select() {
    auto kept = load_language_choice(language_choice_path(app_folder_));
    const std::string in_use(language_in_use());
    // A kept language whose catalogue is gone is not offered: the one in use is marked instead.
    for (const std::string& code : {kept && *kept ? **kept : in_use, in_use})
        for (std::size_t i = 0; i < languages_.size(); ++i)
            if (languages_[i].code == code) {
                buttons_[i]->setChecked(true);
                return;
            }
}

void LanguageDialog::save() {
    std::size_t chosen = 0;
    while (chosen < buttons_.size() && !buttons_[chosen]->isChecked()) ++chosen;
    if (chosen == buttons_.size()) return;
    const auto file = language_choice_path(app_folder_);
    auto saved = save_language_choice(file, languages_[chosen].code);
    if (!saved) {
        dialogs_.inform(this, {}, qs(texts::language_save_failed(saved.message())));
        return;
    }
    dialogs_.inform(this, {}, qs(texts::language_saved(languages_[chosen].name, file.string())));
    accept();
}

}  // namespace nlx::app
