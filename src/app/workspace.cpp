// The desktop's workspace.
#include "app/workspace.h"

#include <QDir>

#include "app/qt_text.h"
#include "core/app_folder.h"

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
    emit settings_changed();
    emit database_changed();
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
