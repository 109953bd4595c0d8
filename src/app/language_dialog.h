// 设置 → 语言: the language of the windows, kept in language.cfg of the application folder and
// used from the next start on; every installed language is offered.
#pragma once

#include <QDialog>
#include <filesystem>
#include <vector>

#include "core/language.h"

class QRadioButton;

namespace nlx::app {

class OperatorDialogs;

class LanguageDialog final : public QDialog {
    Q_OBJECT
public:
    // The languages offered: Chinese and those whose catalogues are in `catalogue_folders`.
    LanguageDialog(std::filesystem::path app_folder, const std::vector<std::filesystem::path>& catalogue_folders,
                   OperatorDialogs& dialogs, QWidget* parent = nullptr);
    // Marks the language kept in language.cfg, else the one in use.
    void select();

private:
    void save();

    std::filesystem::path app_folder_;
    OperatorDialogs& dialogs_;
    std::vector<InstalledLanguage> languages_;
    std::vector<QRadioButton*> buttons_;  // one per language, in the order of languages_
};

}  // namespace nlx::app
