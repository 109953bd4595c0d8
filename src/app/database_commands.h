// The record-database commands of the main window: 打开, 另存, 添加记录 and the import of a
// capture file offered at start-up. They change the workspace; the window refreshes its grid
// when they say so.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace nlx::app {

class OperatorDialogs;
class Workspace;

class DatabaseCommands final : public QObject {
    Q_OBJECT
public:
    DatabaseCommands(QWidget& window, Workspace& workspace, OperatorDialogs& dialogs);

    void open();        // 打开
    void save_as();     // 另存
    void add_record();  // 添加记录
    // Asks whether to import the capture file at `path` and stores it as a download would.
    void offer_capture(const QString& path);

signals:
    // 打开 pointed the workspace at another record database: the grid shows its table.
    void opened();
    // 添加记录 appended a group: the grid shows it as its last row.
    void record_added();
    // An import replaced the records of `model`.
    void records_replaced(char model);

private:
    QWidget& window_;
    Workspace& workspace_;
    OperatorDialogs& dialogs_;
};

}  // namespace nlx::app
