// The desktop program in a fresh application folder, its dialogs answered by the test.
#pragma once

#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "app/model_dialog.h"
#include "app/qt_text.h"
#include "recorded_dialogs.h"
#include "app/record_grid.h"
#include "core/app_folder.h"
#include "sim/generated_content.h"
#include "store/database.h"
#include "transfer/transfer.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx::app::test {

struct Shell {
    QTemporaryDir home;
    RecordedDialogs dialogs;
    std::unique_ptr<MainWindow> form;

    std::filesystem::path folder() const { return to_path(home.path()); }

    // Starts the program; with `settings` as --simulate gives them, otherwise from sys.cfg.
    void start(const std::optional<SerialSettings>& settings = std::nullopt) {
        form = std::make_unique<MainWindow>(folder(), dialogs);
        form->start(settings);
    }

    // Chooses `letter` in the open model dialog and confirms it.
    void choose(char letter) {
        ModelDialog* dialog = form->model_dialog();
        QVERIFY(dialog);
        for (auto* option : dialog->findChildren<QRadioButton*>())
            if (option->property("letter").toChar() == QChar(letter)) option->click();
        dialog->findChild<QPushButton*>("Command1")->click();
    }

    QAction* action(const char* name) const { return form->findChild<QAction*>(name); }
    RecordGrid& grid() const { return *form->grid(); }

    // Stores `groups` generated groups of `model` in the program's database, as a download would.
    void store_groups(char model, int groups) {
        auto capture = sim::generated_capture(model_of(model), groups, 7);
        QVERIFY(capture.ok());
        auto db = Database::create_or_open(database_path(folder()), true);
        QVERIFY(db.ok());
        QVERIFY(store_transfer(*db, storage_folder(folder()), model_of(model), *capture).ok());
    }

    // Rows of the model's record table as the database holds them.
    std::size_t stored_rows(char model) const {
        auto db = Database::open_read_only(database_path(folder()));
        if (!db) return 0;
        auto table = db->read_table(record_table_name(model));
        return table ? table->rows.size() : 0;
    }

    // The program with `groups` stored groups of `model`, confirmed and opened through 打开.
    void start_with_groups(char model, int groups) {
        store_groups(model, groups);
        start(SerialSettings{});
        choose(model);
        open_database();
    }

    // Opens the program's own database through 打开, as the operator would.
    void open_database() {
        dialogs.files.push_back(qpath(database_path(folder())));
        action("open")->trigger();
    }
};

}  // namespace nlx::app::test
