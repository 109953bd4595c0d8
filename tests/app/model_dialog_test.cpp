// Model selection dialog and the confirmation: titles, grid layout and the "提示" message.
#include <QLabel>

#include "language_fixture.h"
#include "shell_fixture.h"
#include "app/settings_dialog.h"
#include "core/models.h"
#include "core/settings.h"
#include "core/texts.h"

using namespace nlx;
using namespace nlx::app;
using namespace nlx::app::test;

class ModelDialogTest : public QObject {
    Q_OBJECT
private slots:
    void confirmation_data() {
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QStringList>("spot_headers");  // "column=text"
        QTest::addColumn<QString>("first_line");
        QTest::newRow("a") << QChar('a') << "NLX3140a(windows)" << "NLX3140a型噪声统计分析仪数据传输软件(WINDOWS版V1.1)" << 24
                           << QStringList{"1=序号", "2=组号", "14=测量时间", "23=filename"} << "当前系统支持NLX3140A";
        QTest::newRow("b") << QChar('b') << "NLX3140b(windows)" << "NLX3140b型噪声统计分析仪数据传输软件(WINDOWS版V1.1)" << 21
                           << QStringList{"2=Leq", "13=测量时间", "20=采样间隔"} << "当前系统支持NLX3140B";
        QTest::newRow("c") << QChar('c') << "NLX3140c(windows)" << "NLX3140c型噪声统计分析仪数据传输软件(WINDOWS版V1.1)" << 21
                           << QStringList{"2=Leq", "13=测量时间", "20=采样间隔"} << "当前系统支持NLX3140C";
        QTest::newRow("d") << QChar('d') << "NLX3520B(windows)" << "NLX3520B型噪声统计分析仪数据传输软件(WINDOWS版V1.1)" << 21
                           << QStringList{"2=VLeq", "9=VLAV", "20=采样间隔"} << "当前系统支持NLX3520B";
        QTest::newRow("e") << QChar('e') << "NLX2730C(windows)" << "NLX2730C型噪声统计分析仪数据传输软件(WINDOWS版V1.1)" << 16
                           << QStringList{"7=E", "14=filename", "15="} << "当前系统支持NLX2730C";
    }

    void confirmation() {
        QFETCH(QChar, letter);
        QFETCH(QString, caption);
        QFETCH(QString, title);
        QFETCH(int, columns);
        QFETCH(QStringList, spot_headers);
        QFETCH(QString, first_line);
        Shell shell;
        shell.start(SerialSettings{PortSpec{2, {}}, 2400});
        QVERIFY(shell.form->model_dialog());
        QVERIFY(!shell.form->isVisible());
        shell.choose(char(letter.toLatin1()));
        QCOMPARE(shell.form->model(), letter.toLatin1());
        QVERIFY(shell.form->isVisible());
        QCOMPARE(shell.form->windowTitle(), caption);
        QCOMPARE(shell.form->findChild<QLabel*>("Label1")->text(), title);
        QCOMPARE(shell.grid().cells().columnCount(), columns);
        for (const QString& spot : spot_headers) {
            int column = spot.section('=', 0, 0).toInt();
            QCOMPARE(shell.grid().cells().header(column), spot.section('=', 1));
        }
        QCOMPARE(shell.grid().cells().text(0, 0), QStringLiteral("*"));
        QVERIFY(shell.grid().isHidden());
        QCOMPARE(shell.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(shell.dialogs.messages[0].title, QStringLiteral("提示"));
        QCOMPARE(shell.dialogs.messages[0].text,
                 first_line + "\n      串行口为：com2\n      波特率为：2400");
    }

    void model_e_widths() {
        Shell shell;
        shell.start(SerialSettings{});
        shell.choose('e');
        QCOMPARE(shell.grid().column_twips(0), 200);
        for (int c = 1; c <= 7; ++c) QCOMPARE(shell.grid().column_twips(c), 800);
        for (int c = 8; c <= 15; ++c) QCOMPARE(shell.grid().column_twips(c), 1200);
        // Twips become pixels at the screen's logical DPI.
        QCOMPARE(shell.grid().columnWidth(8), qRound(1200 * shell.grid().logicalDpiX() / 1440.0));
    }

    void reopened_dialog_has_nothing_chosen_and_message_shows_applied_settings() {
        Shell shell;
        shell.start(SerialSettings{PortSpec{1, {}}, 9600});
        shell.choose('a');
        // Port and speed applied in the settings dialog, never saved.
        shell.action("combaud")->trigger();
        SettingsDialog* settings = shell.form->settings_dialog();
        settings->findChildren<QRadioButton*>("Option1")[2]->click();
        settings->findChildren<QRadioButton*>("Option2")[3]->click();
        settings->findChild<QPushButton*>("Command1")->click();

        shell.action("codechange")->trigger();
        ModelDialog* dialog = shell.form->model_dialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->chosen(), char(0));
        for (auto* option : dialog->findChildren<QRadioButton*>()) QVERIFY(!option->isChecked());
        QVERIFY(!dialog->findChild<QPushButton*>("Command1")->isEnabled());
        shell.choose('d');
        QCOMPARE(shell.form->model(), 'd');
        QCOMPARE(shell.dialogs.messages.back().text,
                 QStringLiteral("当前系统支持NLX3520B\n      串行口为：com3\n      波特率为：1200"));
        QVERIFY(!std::filesystem::exists(settings_path(shell.folder())));
    }

    // The dialog, the main window's title and menus and the 提示 box in either language: each
    // text is its catalogue entry, English differs from Chinese, and no text is cut off.
    void in_either_language_data() { language_rows(); }
    void in_either_language() {
        QFETCH(bool, english);
        InLanguage language(english ? "en" : "zh");
        QVERIFY(language.ok());
        Shell shell;
        shell.start(SerialSettings{PortSpec{2, {}}, 2400});
        ModelDialog* dialog = shell.form->model_dialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), qtr(texts::kModelDialogTitle));
        QCOMPARE(dialog->windowTitle() != qs(texts::kModelDialogTitle), english);
        QCOMPARE(dialog->findChild<QLabel*>("Label1")->text(), qtr(texts::kModelPrompt));
        QCOMPARE(dialog->findChild<QPushButton*>("Command1")->text(), qtr(texts::kModelConfirm));
        QCOMPARE(dialog->findChild<QRadioButton*>("Option3")->text(), QStringLiteral("NLX3140C (NLX3180A)"));
        QString cut;
        QVERIFY2(texts_fit(*dialog, cut), qPrintable(cut));

        shell.choose('c');
        QCOMPARE(shell.form->findChild<QLabel*>("Label1")->text(), qs(fill(nlx::tr("%1型噪声统计分析仪数据传输软件(WINDOWS版V1.1)"), {"NLX3140c"})));
        QCOMPARE(shell.action("recv")->text(), qtr("接收"));
        QCOMPARE(shell.action("recv")->text() != QStringLiteral("接收"), english);
        QCOMPARE(shell.action("yuyan")->text(), qtr(texts::kLanguageTitle));
        // Column names stay as they are stored.
        QCOMPARE(shell.grid().cells().header(13), QStringLiteral("测量时间"));
        QCOMPARE(shell.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(shell.dialogs.messages[0].title, qtr(texts::kConfirmTitle));
        QCOMPARE(shell.dialogs.messages[0].text, qs(fill(nlx::tr("当前系统支持%1"), {"NLX3140C"})) + "\n" +
                                                     qs(fill(nlx::tr(texts::kConfirmPort), {"com2"})) + "\n" +
                                                     qs(fill(nlx::tr(texts::kConfirmSpeed), {"2400"})));
        QCOMPARE(shell.dialogs.messages[0].text.contains(QStringLiteral("串行口")), !english);
    }
};

QTEST_MAIN(ModelDialogTest)
#include "model_dialog_test.moc"
