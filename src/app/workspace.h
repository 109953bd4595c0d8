// What the desktop works on, without a widget: the model in use, the serial settings, the record
// database and storage folder, the standard the groups are assessed against, and the download
// that runs. The windows observe it.
#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <optional>

#include "app/download_controller.h"
#include "assess/standards.h"
#include "core/models.h"
#include "core/result.h"
#include "core/settings.h"
#include "core/standard_choice.h"
#include "store/database.h"

namespace nlx::app {

class Workspace final : public QObject {
    Q_OBJECT
public:
    explicit Workspace(std::filesystem::path app_folder, QObject* parent = nullptr);

    const std::filesystem::path& app_folder() const { return app_folder_; }
    std::filesystem::path storage_folder() const;
    // The folder the program was started in: where the file dialogs open.
    const std::filesystem::path& start_folder() const { return start_folder_; }

    // Start-up: the settings of sys.cfg (or `given`, as --simulate gives them), the program's own
    // record database, no model yet.
    void start(const std::optional<SerialSettings>& given);

    const SerialSettings& settings() const { return settings_; }
    // Why sys.cfg was not used, until settings are applied; empty otherwise.
    const QString& settings_note() const { return settings_note_; }
    void use_settings(const SerialSettings& settings);

    // The confirmed model; null until the first confirmation.
    const ModelInfo* model() const { return model_; }
    void use_model(const ModelInfo& model);

    const std::filesystem::path& database_file() const { return database_file_; }
    // The record connection, opened on database_file() when needed; null when it cannot be.
    Database* records();
    // 打开 chose another database, opened already.
    void use_database(std::filesystem::path file, Database database);
    // The connection goes back to `file` (the program's own), opened when next needed.
    void fall_back_to(std::filesystem::path file);

    // The standard chosen in 设置 → 评价标准, kept in standard.cfg in the application folder (read
    // at start-up); nullopt when none is chosen or the file cannot be used (standard_note() then
    // says why, in the operator's words).
    std::filesystem::path standard_file() const;
    const std::optional<StandardChoice>& standard_choice() const { return standard_choice_; }
    const std::optional<assess::Criterion>& criterion() const { return criterion_; }
    const QString& standard_note() const { return standard_note_; }
    // Keeps `choice` in standard.cfg (nullopt: removes the file) and uses it; a choice that makes no
    // criterion, or a file that cannot be written, changes nothing.
    Result<void> choose_standard(const std::optional<StandardChoice>& choice);

    DownloadController& downloads() { return downloads_; }

signals:
    void model_changed();
    void settings_changed();
    void database_changed();
    void standard_changed();

private:
    void load_standard();

    std::filesystem::path app_folder_;
    std::filesystem::path start_folder_;
    SerialSettings settings_;
    QString settings_note_;
    const ModelInfo* model_ = nullptr;
    std::filesystem::path database_file_;
    std::optional<Database> records_;
    std::optional<StandardChoice> standard_choice_;
    std::optional<assess::Criterion> criterion_;
    QString standard_note_;
    DownloadController downloads_;
};

}  // namespace nlx::app
