// Main window: the please-wait dots, leaving the logo, the popup, the About boxes, 添加记录.
#include <QLabel>
#include <QMenu>

#include "shell_fixture.h"
#include "app/wait_dialog.h"
#include "app/qt_translation.h"
#include "core/texts.h"
#include <QMessageBox>
#include <QPushButton>

using namespace nlx;
using namespace nlx::app;
using namespace nlx::app::test;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(use_qt_chinese(*qApp), "Qt's catalogue qtbase_zh_CN.qm is not installed"); }

    void wait_dots_data() {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("label");
        QTest::newRow("first text") << 0 << "请稍候......";
        QTest::newRow("one tick") << 1 << "请稍候.";
        QTest::newRow("five ticks") << 5 << "请稍候.....";
        QTest::newRow("six ticks") << 6 << "请稍候......";
        QTest::newRow("seven ticks") << 7 << "请稍候.";
    }

    void wait_dots() {
        QFETCH(int, ticks);
        QFETCH(QString, label);
        WaitDialog wait;
        wait.show_with(QStringLiteral("读取数据中..."));
        for (int i = 0; i < ticks; ++i) wait.tick();
        QCOMPARE(wait.findChild<QLabel*>("Label1")->text(), label);
        QCOMPARE(wait.windowTitle(), QStringLiteral("读取数据中..."));
    }

    void key_press_leaves_the_logo() {
        Shell shell;
        shell.start(SerialSettings{});
        shell.choose('a');
        auto* logo = shell.form->findChild<QLabel*>("Image1");
        QVERIFY(logo->isVisible());
        QVERIFY(!logo->pixmap().isNull());
        QVERIFY(shell.grid().isHidden());
        QTest::keyClick(shell.form.get(), Qt::Key_Space);
        QVERIFY(logo->isHidden());
        QVERIFY(shell.grid().isVisible());
        QVERIFY(shell.form->findChild<QLabel*>("Label2")->isHidden());
    }

    // After 型号切换 to another model the key goes to whatever has the focus, as on a desktop:
    // the main window still leaves the logo state, and the grid shows the new model's headers
    // without the old model's groups.
    void key_press_after_a_model_change_shows_the_new_models_empty_grid() {
        Shell shell;
        shell.start_with_groups('b', 6);
        shell.form->show();
        QVERIFY(QTest::qWaitForWindowActive(shell.form.get()));
        shell.grid().setFocus();
        shell.action("codechange")->trigger();
        shell.choose('e');
        QVERIFY(shell.grid().isHidden());
        shell.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(shell.form.get()));
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused ? focused : shell.form.get(), Qt::Key_Space);
        QVERIFY(shell.grid().isVisible());
        QCOMPARE(shell.grid().cells().rowCount(), 1);
        QCOMPARE(shell.grid().cells().text(0, 1), QString());
        QCOMPARE(shell.grid().cells().header(14), QStringLiteral("filename"));
    }

    void status_bar_names_the_database_model_and_port() {
        Shell shell;
        shell.start(SerialSettings{PortSpec{2, {}}, 4800});
        shell.choose('d');
        const QString line = shell.form->findChild<QLabel*>("statusLine")->text();
        QCOMPARE(line, qs(texts::status_line(database_path(shell.folder()).string(), "NLX3520B", "com2", 4800)));
        shell.form->use_settings(SerialSettings{PortSpec{1, "/dev/ttyUSB0"}, 9600});
        QVERIFY(shell.form->findChild<QLabel*>("statusLine")->text().contains(QStringLiteral("/dev/ttyUSB0")));
    }

    // Qt's own buttons and dialogs speak Chinese once its catalogue is loaded.
    void standard_buttons_are_chinese() {
        QMessageBox box(QMessageBox::Question, QStringLiteral("提示"), QStringLiteral("?"),
                        QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Ok)->text().remove('&'), QStringLiteral("确定"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text().remove('&'), QStringLiteral("取消"));
        QVERIFY(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("是")));
        QVERIFY(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("否")));
    }

    void right_button_pops_up_the_menu_left_does_not() {
        Shell shell;
        shell.start(SerialSettings{});
        shell.choose('c');
        QWidget* background = shell.form->centralWidget();
        QTest::mouseClick(background, Qt::LeftButton, {}, QPoint(20, 300));
        QVERIFY(!shell.form->popup()->isVisible());
        QTest::mouseClick(background, Qt::RightButton, {}, QPoint(20, 300));
        QVERIFY(shell.form->popup()->isVisible());
        QCOMPARE(shell.form->popup()->objectName(), QStringLiteral("tanchu1"));
        shell.form->popup()->hide();

        shell.action("help2")->trigger();
        QCOMPARE(shell.dialogs.messages.back().text, QStringLiteral("NLX3140c型噪声统计分析仪计算机接收软件"));
        QVERIFY(shell.dialogs.messages.back().title.isEmpty());
        shell.action("help1")->trigger();
        QCOMPARE(shell.dialogs.messages.back().title, QStringLiteral("NLX3140c型噪声统计分析仪计算机接收软件"));
        QCOMPARE(shell.dialogs.messages.back().text.count('\n'), 1);
    }

    void add_record_appends_the_next_group_and_shows_it() {
        Shell shell;
        shell.start_with_groups('b', 9);
        QCOMPARE(shell.grid().cells().rowCount(), 9);
        shell.action("tianjjl")->trigger();
        QCOMPARE(shell.grid().cells().rowCount(), 10);
        QCOMPARE(shell.grid().cells().text(9, 1), QStringLiteral("10"));
        QCOMPARE(shell.grid().cells().text(9, 2), shell.grid().cells().text(8, 2));
        QCOMPARE(shell.grid().current_row(), 9);
        QCOMPARE(shell.grid().cells().marked_row(), 9);
        QCOMPARE(shell.stored_rows('b'), std::size_t(10));
    }

    void add_record_on_an_empty_database_says_why() {
        Shell shell;
        shell.start(SerialSettings{});
        shell.choose('a');
        shell.action("tianjjl")->trigger();
        QCOMPARE(shell.dialogs.messages.size(), std::size_t(2));
        QVERIFY(shell.dialogs.messages.back().text.contains(QStringLiteral("无法添加记录")));
        QVERIFY(!std::filesystem::exists(database_path(shell.folder())));
    }

    void open_refusals_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("wrong extension") << "records.txt";
        QTest::newRow("missing file") << "missing.db";
    }

    void open_refusals() {
        QFETCH(QString, name);
        Shell shell;
        shell.start_with_groups('a', 5);
        QCOMPARE(shell.grid().cells().rowCount(), 5);
        shell.dialogs.files.push_back(qpath(shell.folder() / utf8(name)));
        shell.action("open")->trigger();
        QCOMPARE(shell.dialogs.messages.back().text, QStringLiteral("打开的文件不存在或格式错误"));
        QCOMPARE(shell.dialogs.messages.back().title, QStringLiteral("用户操作错误提示"));
        QCOMPARE(shell.grid().cells().rowCount(), 5);
        // A cancelled dialog changes nothing and says nothing.
        auto messages = shell.dialogs.messages.size();
        shell.action("open")->trigger();
        shell.action("saveas")->trigger();
        QCOMPARE(shell.dialogs.messages.size(), messages);
    }

    void save_as_copies_and_keeps_the_old_file() {
        Shell shell;
        shell.start_with_groups('d', 4);
        const auto copy = shell.folder() / "copy.db";
        shell.dialogs.files.push_back(qpath(copy));
        shell.action("saveas")->trigger();
        QCOMPARE(shell.dialogs.messages.size(), std::size_t(2));
        QCOMPARE(shell.dialogs.messages.back().text, qs(texts::saved_as(copy.string())));
        QVERIFY(std::filesystem::exists(copy));
        QCOMPARE(shell.form->database_file(), database_path(shell.folder()));
        shell.dialogs.files.push_back(qpath(database_path(shell.folder())));
        shell.action("saveas")->trigger();
        QCOMPARE(shell.dialogs.messages.back().text, QStringLiteral("新文件名与被复制文件名相同，请重新输入新文件名。"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
