// 设置 → 语言: the language of the windows, kept in language.cfg of the application folder and
// used from the next start on.
#pragma once

#include <QDialog>
#include <filesystem>

class QRadioButton;

namespace nlx::app {

class OperatorDialogs;

class LanguageDialog final : public QDialog {
    Q_OBJECT
public:
    LanguageDialog(std::filesystem::path app_folder, OperatorDialogs& dialogs, QWidget* parent = nullptr);
    // Marks the language kept in language.cfg, else the one in use.
    void select();

private:
    void save();

    std::filesystem::path app_folder_;
    OperatorDialogs& dialogs_;
    QRadioButton* chinese_ = nullptr;
    QRadioButton* english_ = nullptr;
};

}  // namespace nlx::app
