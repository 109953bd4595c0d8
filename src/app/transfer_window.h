// The 传输记录 window: every logged download and import, newest first (greyed when its capture
// file is gone), with 恢复 to store a chosen one again and 核对 to check it.
#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <vector>

#include "store/transfer_log.h"

class QPushButton;
class QTableWidget;

namespace nlx {
class Database;
}

namespace nlx::app {

class OperatorDialogs;

class TransferWindow final : public QDialog {
    Q_OBJECT
public:
    // `database` gives the record connection (nullptr when there is none).
    TransferWindow(QWidget* parent, OperatorDialogs& dialogs, std::function<Database*()> database,
                   std::filesystem::path storage_folder);

    // Reads the log again into the list.
    void reload();
    // The log entry of a list row; nullptr outside the list.
    const TransferEntry* entry(int row) const;
    // The list row's capture file is missing.
    bool greyed(int row) const;
    QTableWidget* list() const { return list_; }

    void restore_chosen();  // 恢复
    void verify_chosen();   // 核对

signals:
    // A restore replaced the records of `model`.
    void restored(char model);

private:
    const TransferEntry* chosen();

    OperatorDialogs& dialogs_;
    std::function<Database*()> database_;
    std::filesystem::path storage_;
    QTableWidget* list_;
    std::vector<TransferEntry> entries_;
    std::vector<bool> present_;
};

}  // namespace nlx::app
