// The desktop's workspace.
#include "app/workspace.h"

#include <QDir>

#include "app/qt_text.h"
#include "core/app_folder.h"
#include "core/texts.h"

namespace nlx::app {

Workspace::Workspace(std::filesystem::path app_folder, QObject* parent)
    : QObject(parent), app_folder_(std::move(app_folder)) {}

std::filesystem::path Workspace::storage_folder() const { return nlx::storage_folder(app_folder_); }

void Workspace::start(const std::optional<SerialSettings>& given) {
    const LoadedSettings loaded = load_application_settings(app_folder_);
    settings_ = given.value_or(loaded.settings);
    settings_note_ = !given && loaded.message && !loaded.missing ? qs(*loaded.message) : QString();
    start_folder_ = to_path(QDir::currentPath());
    database_file_ = database_path(app_folder_);
    records_.reset();
    load_standard();
    emit settings_changed();
    emit database_changed();
}

std::filesystem::path Workspace::standard_file() const { return standard_choice_path(app_folder_); }

void Workspace::load_standard() {
    standard_choice_.reset();
    criterion_.reset();
    standard_note_.clear();
    const auto file = standard_file();
    const auto loaded = load_standard_choice(file);
    if (!loaded) {
        standard_note_ = qs(texts::standard_unusable(loaded.message()));
    } else if (*loaded) {
        auto made = assess::make_criterion((*loaded)->standard, (*loaded)->zone, (*loaded)->day, (*loaded)->night);
        if (!made) {
            standard_note_ = qs(texts::standard_unusable(file.string() + ": " + made.message()));
        } else {
            standard_choice_ = **loaded;
            criterion_ = *made;
        }
    }
    emit standard_changed();
}

Result<void> Workspace::choose_standard(const std::optional<StandardChoice>& choice) {
    std::optional<assess::Criterion> criterion;
    if (choice) {
        auto made = assess::make_criterion(choice->standard, choice->zone, choice->day, choice->night);
        if (!made) return made.error();
        criterion = *made;
    }
    const auto file = standard_file();
    if (auto written = choice ? save_standard_choice(file, *choice) : remove_standard_choice(file); !written)
        return written;
    standard_choice_ = choice;
    criterion_ = criterion;
    standard_note_.clear();
    emit standard_changed();
    return {};
}

void Workspace::use_settings(const SerialSettings& settings) {
    settings_ = settings;
    settings_note_.clear();
    emit settings_changed();
}

void Workspace::use_model(const ModelInfo& model) {
    model_ = &model;
    emit model_changed();
}

Database* Workspace::records() {
    if (!records_ || !records_->exists()) {
        auto db = Database::create_or_open(database_file_);
        if (!db) return nullptr;
        records_ = std::move(*db);
    }
    return &*records_;
}

void Workspace::use_database(std::filesystem::path file, Database database) {
    database_file_ = std::move(file);
    records_ = std::move(database);
    emit database_changed();
}

void Workspace::fall_back_to(std::filesystem::path file) {
    database_file_ = std::move(file);
    records_.reset();
    emit database_changed();
}

}  // namespace nlx::app
