// The language dialog: two choices, each named in its own language, and what saving said.
#include "app/language_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/operator_dialogs.h"
#include "app/qt_text.h"
#include "core/language.h"
#include "core/texts.h"

namespace nlx::app {

LanguageDialog::LanguageDialog(std::filesystem::path app_folder, OperatorDialogs& dialogs, QWidget* parent)
    : QDialog(parent), app_folder_(std::move(app_folder)), dialogs_(dialogs) {
    setObjectName("languageDialog");
    setWindowTitle(qtr(texts::kLanguageTitle));
    auto* layout = new QVBoxLayout(this);
    // Each language is named in its own words, so that an operator who cannot read the one in
    // use still finds theirs.
    chinese_ = new QRadioButton(QStringLiteral("中文"), this);
    chinese_->setObjectName("chinese");
    english_ = new QRadioButton(QStringLiteral("English"), this);
    english_->setObjectName("english");
    layout->addWidget(chinese_);
    layout->addWidget(english_);
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
    Language shown = nlx::tr(texts::kLanguageTitle) == texts::kLanguageTitle ? Language::chinese : Language::english;
    if (kept && *kept) shown = **kept;
    (shown == Language::english ? english_ : chinese_)->setChecked(true);
}

void LanguageDialog::save() {
    const Language chosen = english_->isChecked() ? Language::english : Language::chinese;
    const auto file = language_choice_path(app_folder_);
    auto saved = save_language_choice(file, chosen);
    if (!saved) {
        dialogs_.inform(this, {}, qtr(texts::kLanguageSaveFailed) + qs(saved.message()));
        return;
    }
    dialogs_.inform(this, {}, qs(texts::language_saved(chosen == Language::english ? "English" : "中文", file.string())));
    accept();
}

}  // namespace nlx::app
