// 设置 → 评价标准 and 达标评价: the standard chosen in the dialog kept in standard.cfg and read
// again at the next start, the assessment window following the current row with hand-computed
// verdicts, the limits on the 24-hour profile, and 导出 adding the assessment as a second sheet.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProcess>
#include <QTableWidget>
#include <map>

#include "app/assessment_window.h"
#include "app/chart_view.h"
#include "app/export_commands.h"
#include "app/standard_dialog.h"
#include "core/atomic_file.h"
#include "core/read_file.h"
#include "core/settings.h"
#include "core/standard_choice.h"
#include "core/texts.h"
#include "language_fixture.h"
#include "support/model_of.h"

using nlx::test::model_of;
#include "shell_fixture.h"

namespace nlx::app::test {
namespace {

using Cells = std::map<std::string, std::string>;

// Stores record rows of `model`, cells by column name, 序号 counted from 01, as a download would.
void store_rows(Shell& shell, char model, const std::vector<Cells>& rows) {
    const ModelInfo& info = *find_model(model);
    std::vector<DecodedGroup> groups;
    for (const auto& named : rows) {
        DecodedGroup group;
        group.record.assign(info.record_columns.size(), std::string());
        const std::size_t n = groups.size() + 1;
        group.record[0] = (n < 10 ? "0" : "") + std::to_string(n);
        for (const auto& [name, text] : named) group.record.at(std::size_t(*record_column_index(info, name))) = text;
        groups.push_back(std::move(group));
    }
    auto db = Database::create_or_open(database_path(shell.folder()), true);
    QVERIFY(db.ok());
    QVERIFY(db->replace_model(model_of(model), groups).ok());
}

// A model b day group of 55 dB, a constant 60.0 dB 24-hour run from midnight, a C-weighted group.
std::vector<Cells> constant_run() {
    std::vector<Cells> rows{{{"MODE", "STA"}, {"TIME", "10:00:00"}, {"测量时间", "0h10m0s"}, {"Leq", "55.0"},
                             {"Lmax", "70.0"}, {"频率计权", "A"}, {"DATE", "08-09-04"}}};
    for (int h = 0; h < 24; ++h)
        rows.push_back({{"MODE", "24h" + std::to_string(h + 1)}, {"TIME", (h < 10 ? "0" : "") + std::to_string(h) + ":00:00"},
                        {"Leq", "60.0"}, {"Lmax", "60.0"}, {"频率计权", "A"}, {"DATE", "08-09-05"}});
    rows.push_back({{"MODE", "STA"}, {"TIME", "11:00:00"}, {"测量时间", "0h10m0s"}, {"Leq", "50.0"}, {"频率计权", "C"}});
    return rows;
}

StandardDialog* open_dialog(Shell& shell) {
    shell.action("pingjbz")->trigger();
    return shell.form->standard_dialog();
}

void pick(QComboBox* box, const QString& key) {
    const int at = box->findData(key);
    QVERIFY2(at >= 0, qPrintable(key));
    box->setCurrentIndex(at);
}

// Whether `text` holds a character of the CJK blocks or their full-width punctuation.
bool has_chinese(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c.unicode() >= 0x2E80 && c.unicode() <= 0x9FFF) || (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF);
    });
}

// The texts a window shows: its title, labels, buttons, combo box items and table cells and headings.
QStringList shown_texts(QWidget* window) {
    QStringList texts{window->windowTitle()};
    for (auto* label : window->findChildren<QLabel*>())
        if (label->isVisible()) texts << label->text();
    for (auto* button : window->findChildren<QAbstractButton*>()) texts << button->text();
    for (auto* box : window->findChildren<QComboBox*>())
        for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    for (auto* table : window->findChildren<QTableWidget*>()) {
        for (int c = 0; c < table->columnCount(); ++c) texts << table->horizontalHeaderItem(c)->text();
        for (int r = 0; r < table->rowCount(); ++r)
            for (int c = 0; c < table->columnCount(); ++c) texts << table->item(r, c)->text();
    }
    return texts;
}

// What the window's table shows, row by row: 时段, 评价量, 测量值, 限值, 差值, 结论 joined by spaces.
QStringList shown_lines(AssessmentWindow* window) {
    auto* table = window->findChild<QTableWidget*>("checks");
    QStringList lines;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 6; ++c) cells << table->item(r, c)->text();
        lines << cells.join(' ');
    }
    return lines;
}

}  // namespace

class AssessmentTest : public QObject {
    Q_OBJECT
private slots:
    // Each kind of choice saved by the dialog is in standard.cfg, and a program started afresh on
    // the same folder shows it again; sys.cfg is not touched.
    void dialogKeepsTheChoiceInItsOwnFile_data() {
        QTest::addColumn<QString>("standard");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<double>("day");
        QTest::addColumn<double>("night");
        QTest::addColumn<QString>("description");
        QTest::newRow("GB 3096 class 4a") << "gb3096" << "4a" << 0.0 << 0.0
                                          << "GB 3096-2008 声环境质量标准 4a类声环境功能区（交通干线两侧） 昼间70.0 dB 夜间55.0 dB";
        QTest::newRow("GB 10070 railway") << "gb10070" << "railway" << 0.0 << 0.0
                                          << "GB 10070-88 城市区域环境振动标准 铁路干线两侧 昼间80.0 dB 夜间80.0 dB";
        QTest::newRow("own limits") << "user" << "" << 62.5 << 48.0
                                    << "用户限值 用户自定义昼夜限值 昼间62.5 dB 夜间48.0 dB";
        QTest::newRow("EU directive") << "eu" << "" << 55.0 << 45.5
                                      << "EU 2002/49/EC 欧盟环境噪声指令 Lden 55.0 dB Lnight 45.5 dB";
    }
    void dialogKeepsTheChoiceInItsOwnFile() {
        QFETCH(QString, standard);
        QFETCH(QString, zone);
        QFETCH(double, day);
        QFETCH(double, night);
        QFETCH(QString, description);
        Shell shell;
        shell.start();
        shell.choose('a');
        const auto sys_cfg = read_regular_file(settings_path(shell.folder()), 4096);
        StandardDialog* dialog = open_dialog(shell);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("评价标准"));
        auto* standards = dialog->findChild<QComboBox*>("standardList");
        QCOMPARE(standards->currentData().toString(), QString());  // nothing chosen yet: 不评价
        pick(standards, standard);
        auto* classes = dialog->findChild<QComboBox*>("classList");
        auto* day_box = dialog->findChild<QDoubleSpinBox*>("dayLimit");
        auto* night_box = dialog->findChild<QDoubleSpinBox*>("nightLimit");
        QCOMPARE(classes->isVisible(), !zone.isEmpty());
        QCOMPARE(day_box->isVisible(), zone.isEmpty());
        if (!zone.isEmpty()) pick(classes, zone);
        else day_box->setValue(day), night_box->setValue(night);
        QVERIFY(dialog->findChild<QLabel*>("limits")->text().startsWith(zone.isEmpty() ? QStringLiteral("评价规则：") : description));
        dialog->findChild<QPushButton*>("save")->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(shell.dialogs.messages.back().text,
                 QStringLiteral("评价标准已保存：") + description + QStringLiteral("\n（") +
                     qpath(standard_choice_path(shell.folder())) + QStringLiteral("）"));

        const auto kept = load_standard_choice(standard_choice_path(shell.folder()));
        QVERIFY(kept && kept->has_value());
        const StandardChoice expected{utf8(standard), utf8(zone), zone.isEmpty() ? std::optional(day) : std::nullopt,
                                      zone.isEmpty() ? std::optional(night) : std::nullopt};
        QVERIFY(**kept == expected);
        const auto sys_cfg_after = read_regular_file(settings_path(shell.folder()), 4096);
        QCOMPARE(sys_cfg_after.ok(), sys_cfg.ok());
        if (sys_cfg.ok()) QCOMPARE(*sys_cfg_after, *sys_cfg);

        // The next start reads it again.
        shell.start();
        shell.choose('a');
        QVERIFY(shell.form->workspace().criterion());
        QCOMPARE(qs(shell.form->workspace().criterion()->description(Wording::source)), description);
        dialog = open_dialog(shell);
        QCOMPARE(dialog->findChild<QComboBox*>("standardList")->currentData().toString(), standard);
        if (!zone.isEmpty()) {
            QCOMPARE(dialog->findChild<QComboBox*>("classList")->currentData().toString(), zone);
        } else {
            QCOMPARE(dialog->findChild<QDoubleSpinBox*>("dayLimit")->value(), day);
            QCOMPARE(dialog->findChild<QDoubleSpinBox*>("nightLimit")->value(), night);
        }

        // 不评价 takes the file away.
        pick(dialog->findChild<QComboBox*>("standardList"), QString());
        dialog->findChild<QPushButton*>("save")->click();
        QVERIFY(!std::filesystem::exists(standard_choice_path(shell.folder())));
        QVERIFY(!shell.form->workspace().criterion());
    }

    // A standard.cfg that names no usable standard is said so in the dialog; a save that cannot
    // write the file says so and keeps what was used.
    void unusableFileAndFailedSave() {
        Shell shell;
        QVERIFY(write_file_atomically(standard_choice_path(shell.folder()), "standard=gb3096\nclass=9\n").ok());
        shell.start();
        shell.choose('a');
        QVERIFY(!shell.form->workspace().criterion());
        StandardDialog* dialog = open_dialog(shell);
        auto* note = dialog->findChild<QLabel*>("note");
        QVERIFY(note->isVisible());
        QVERIFY(note->text().startsWith(QStringLiteral("评价标准文件无法使用，未作评价：")));
        QVERIFY(note->text().contains(QStringLiteral("standard.cfg")));

        std::filesystem::remove(standard_choice_path(shell.folder()));
        std::filesystem::create_directory(standard_choice_path(shell.folder()));  // cannot be replaced by a file
        pick(dialog->findChild<QComboBox*>("standardList"), "gb3096");
        dialog->findChild<QPushButton*>("save")->click();
        QVERIFY(dialog->isVisible());
        QVERIFY(shell.dialogs.messages.back().text.startsWith(QStringLiteral("保存评价标准时出错：")));
        QVERIFY(!shell.form->workspace().criterion());
    }

    // The window follows the current row: hand-computed verdicts of a day group, of a constant
    // 60 dB run in class 2 (day 60 = limit: 达标 by 0.0; night 60 > 50: 超标 by 10.0) and in
    // class 4b (night limit 60), and the reason a C-weighted group is not assessed. The main
    // window's title label keeps its text.
    void windowFollowsTheCurrentRow() {
        Shell shell;
        store_rows(shell, 'b', constant_run());
        shell.start(SerialSettings{});
        shell.choose('b');
        shell.open_database();
        QVERIFY(shell.form->workspace().choose_standard(StandardChoice{"gb3096", "2", {}, {}}).ok());
        const QString title = shell.form->findChild<QLabel*>("Label1")->text();
        shell.grid().set_current_row(0);
        shell.action("dabpj")->trigger();
        AssessmentWindow* window = shell.form->assessment_window();
        QVERIFY(window && window->isVisible() && window->isWindow());
        QCOMPARE(window->objectName(), QStringLiteral("assessment"));
        QCOMPARE(window->findChild<QLabel*>("standardLine")->text(),
                 QStringLiteral("评价标准：GB 3096-2008 声环境质量标准 2类声环境功能区 昼间60.0 dB 夜间50.0 dB"));

        const struct {
            int row;
            StandardChoice standard;
            QString heading;
            QStringList lines;  // the deciding lines, first
            QString detail;     // in the lines under the table
        } cases[] = {
            {0, {"gb3096", "2", {}, {}}, "第1行 序号01 统计组 08-09-04 10:00:00 昼间：达标", {"昼间 Leq 55.0 60.0 -5.0 达标"}, ""},
            {7, {"gb3096", "2", {}, {}}, "第2至25行 序号02 24小时测量 08-09-05 00:00:00：超标",
             {"昼间 Ld 60.0 60.0 0.0 达标", "夜间 Ln 60.0 50.0 +10.0 超标", "00时 Leq 60.0 50.0 +10.0 超标"}, "缺测小时：无"},
            {7, {"gb3096", "4b", {}, {}}, "第2至25行 序号02 24小时测量 08-09-05 00:00:00：达标",
             {"昼间 Ld 60.0 70.0 -10.0 达标", "夜间 Ln 60.0 60.0 0.0 达标"}, "缺测小时：无"},
            {25, {"gb3096", "4b", {}, {}}, "第26行 序号26 统计组 11:00:00：未评价", {},
             "未评价：频率计权为C，GB 3096-2008只评价A计权声级"},
        };
        for (const auto& c : cases) {
            QVERIFY(shell.form->workspace().choose_standard(c.standard).ok());
            shell.grid().set_current_row(c.row);
            QVERIFY(window->shown());
            QCOMPARE(window->findChild<QLabel*>("heading")->text(), c.heading);
            const QStringList lines = shown_lines(window);
            QVERIFY2(lines.size() >= c.lines.size(), qPrintable(lines.join('\n')));
            QCOMPARE(lines.mid(0, int(c.lines.size())), c.lines);
            QCOMPARE(window->findChild<QTableWidget*>("checks")->isVisible(), !c.lines.isEmpty());
            QVERIFY2(window->findChild<QLabel*>("details")->text().contains(c.detail),
                     qPrintable(window->findChild<QLabel*>("details")->text()));
        }
        // A run shows its hours after its deciding lines: the 24 hours' Leq, and the Lmax of the 8
        // night hours against the night limit + 15 dB.
        QVERIFY(shell.form->workspace().choose_standard(StandardChoice{"gb3096", "2", {}, {}}).ok());
        shell.grid().set_current_row(3);
        const QStringList lines = shown_lines(window);
        QCOMPARE(lines.size(), 2 + 24 + 8);
        QCOMPARE(lines.filter(QStringLiteral(" Lmax 60.0 65.0 -5.0 达标")).size(), 8);
        QCOMPARE(shell.form->findChild<QLabel*>("Label1")->text(), title);

        // Another model: nothing is shown until one of its rows is current.
        shell.form->confirm_model('a');
        QVERIFY(!window->shown());
        QCOMPARE(window->findChild<QLabel*>("heading")->text(), QStringLiteral("没有当前组：请在表格中选择一组记录。"));
        shell.form->confirm_model('b');
        shell.open_database();
        QVERIFY(window->shown());
        QCOMPARE(window->shown()->group, std::string("01"));

        // No standard: the window says how to choose one.
        QVERIFY(shell.form->workspace().choose_standard(std::nullopt).ok());
        QVERIFY(!window->shown());
        QVERIFY(window->findChild<QLabel*>("standardLine")->text().startsWith(QStringLiteral("未选择评价标准")));
        window->findChild<QPushButton*>("chooseStandard")->click();
        QVERIFY(shell.form->standard_dialog() && shell.form->standard_dialog()->isVisible());
    }

    // The window and the dialog in either language: the texts are the catalogue's entries (in
    // English not one Chinese character is left), the verdicts keep their colours, and no text is
    // cut off.
    void windowAndDialogInEitherLanguage_data() { language_rows(); }
    void windowAndDialogInEitherLanguage() {
        QFETCH(bool, english);
        InLanguage language(english ? "en" : "zh");
        QVERIFY(language.ok());
        Shell shell;
        store_rows(shell, 'b', constant_run());
        shell.start(SerialSettings{});
        shell.choose('b');
        shell.open_database();
        QVERIFY(shell.form->workspace().choose_standard(StandardChoice{"gb3096", "2", {}, {}}).ok());
        shell.grid().set_current_row(7);
        shell.action("dabpj")->trigger();
        AssessmentWindow* window = shell.form->assessment_window();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), qtr(texts::kAssessmentTitle));
        const QString standard_line = window->findChild<QLabel*>("standardLine")->text();
        QCOMPARE(standard_line, qs(fill(nlx::tr(texts::kStandardLine),
                                        {shell.form->workspace().criterion()->description(Wording::operator_language)})));
        QVERIFY(standard_line.contains(qtr(texts::kGb3096Class2)));
        const QString heading = window->findChild<QLabel*>("heading")->text();
        QVERIFY2(heading.startsWith(qs(texts::assessed_rows(2, 25, Wording::operator_language))), qPrintable(heading));
        QVERIFY2(heading.endsWith(qtr(texts::kFail)), qPrintable(heading));
        // Day 60.0 against 60 passes, night 60.0 against 50 fails; the colours tell them apart.
        auto* table = window->findChild<QTableWidget*>("checks");
        QCOMPARE(table->item(0, 5)->text(), qtr(texts::kPass));
        QCOMPARE(table->item(1, 5)->text(), qtr(texts::kFail));
        QCOMPARE(table->item(0, 0)->text(), qtr(texts::kDay));
        QVERIFY(table->item(0, 5)->foreground().color() != table->item(1, 5)->foreground().color());
        QCOMPARE(table->item(2, 0)->text(), qs(fill(nlx::tr(texts::kHour), {"00"})));
        QCOMPARE(table->item(2, 5)->foreground().color(), table->item(1, 5)->foreground().color());
        const QString details = window->findChild<QLabel*>("details")->text();
        QVERIFY(details.contains(qs(fill(nlx::tr(texts::kMissingLine), {nlx::tr(texts::kNoHours)}))));
        QVERIFY(details.contains(qtr(texts::kHourlyMarginsNote)));
        const QStringList window_texts = shown_texts(window);
        QCOMPARE(std::any_of(window_texts.begin(), window_texts.end(), has_chinese), !english);
        QString cut;
        QVERIFY2(texts_fit(*window, cut), qPrintable(cut));

        // A refused group says why in the language.
        shell.grid().set_current_row(25);
        QCOMPARE(window->findChild<QLabel*>("details")->text(),
                 qs(fill(nlx::tr(texts::kRefusedLine),
                         {texts::not_a_weighted("C", "GB 3096-2008").text(Wording::operator_language)})));

        StandardDialog* dialog = open_dialog(shell);
        QVERIFY(dialog && dialog->isVisible());
        auto* standards = dialog->findChild<QComboBox*>("standardList");
        for (const auto& s : assess::all_standards()) {
            const int at = standards->findData(qs(s.key));
            QVERIFY(at >= 0);
            QCOMPARE(standards->itemText(at), qtr(s.source) + " " + qtr(s.title));
            pick(standards, qs(s.key));
            QVERIFY(dialog->findChild<QLabel*>("limits")->text().endsWith(qs(fill(nlx::tr(texts::kRuleLine), {nlx::tr(s.rule)}))));
            auto* classes = dialog->findChild<QComboBox*>("classList");
            for (std::size_t k = 0; k < s.classes.size(); ++k) QCOMPARE(classes->itemText(int(k)), qtr(s.classes[k].name));
            const QStringList dialog_texts = shown_texts(dialog);
            QCOMPARE(std::any_of(dialog_texts.begin(), dialog_texts.end(), has_chinese), !english);
            QVERIFY2(texts_fit(*dialog, cut), qPrintable(cut));
        }
    }

    // 分布图 on the run draws the day and night limits over their hours, follows a new choice, and
    // draws none for a standard of vibration on a sound model.
    void profileDrawsTheLimits() {
        Shell shell;
        store_rows(shell, 'b', constant_run());
        shell.start(SerialSettings{});
        shell.choose('b');
        shell.open_database();
        QVERIFY(shell.form->workspace().choose_standard(StandardChoice{"gb3096", "2", {}, {}}).ok());
        shell.grid().set_current_row(5);
        auto* profile = shell.form->findChild<ChartView*>("MSChart3");
        // 分布图 alternates the pair and the profile; from the pair it shows the profile.
        for (int k = 0; k < 2 && !profile->isVisible(); ++k) shell.action("fenbt")->trigger();
        QVERIFY(profile->isVisible());
        const std::vector<charts::ChartLevel> zone2{{5.5, 21.5, 60, "昼间限值 60.0 dB"},
                                                    {-0.5, 5.5, 50, "夜间限值 50.0 dB"},
                                                    {21.5, 23.5, 50, "夜间限值 50.0 dB"}};
        QVERIFY(profile->chart_data().levels == zone2);
        QVERIFY(shell.form->findChild<QLabel*>("Label1")->text().startsWith(QStringLiteral("Ld= 60dB")));

        QVERIFY(shell.form->workspace().choose_standard(StandardChoice{"gb3096", "4b", {}, {}}).ok());
        QCOMPARE(profile->chart_data().levels.size(), std::size_t(3));
        QCOMPARE(profile->chart_data().levels[0].level, 70.0);
        QVERIFY(shell.form->workspace().choose_standard(StandardChoice{"gb10070", "mixed", {}, {}}).ok());
        QVERIFY(profile->chart_data().levels.empty());
        QVERIFY(shell.form->workspace().choose_standard(std::nullopt).ok());
        QVERIFY(profile->chart_data().levels.empty());
    }

    // 导出 asks whether to add the assessment when a standard is chosen; yes writes the second
    // worksheet 达标评价, no the records alone; without a standard it does not ask.
    void exportAddsTheAssessmentWhenAsked() {
        const struct {
            bool standard, add;
            QStringList sheets;
        } cases[] = {{true, true, {"sheet1", "达标评价"}}, {true, false, {"sheet1"}}, {false, false, {"sheet1"}}};
        for (const auto& c : cases) {
            Shell shell;
            store_rows(shell, 'b', constant_run());
            shell.start(SerialSettings{});
            shell.choose('b');
            shell.open_database();
            if (c.standard) QVERIFY(shell.form->workspace().choose_standard(StandardChoice{"gb3096", "2", {}, {}}).ok());
            const QString file = shell.home.filePath(QStringLiteral("records.xlsx"));
            shell.dialogs.files.push_back(file);
            shell.dialogs.answers = {c.add, false};  // the assessment, then not opening the workbook
            const auto before = shell.dialogs.messages.size();
            shell.action("out")->trigger();
            QSignalSpy finished(&shell.form->exports(), &ExportCommands::finished);
            QVERIFY(finished.wait(60000));
            QCOMPARE(shell.dialogs.messages.at(before).text == QStringLiteral("是否把达标评价（GB 3096-2008 声环境质量标准 "
                                                                             "2类声环境功能区 昼间60.0 dB 夜间50.0 dB）作为第二个工作表一并导出？"),
                     c.standard);

            // The workbook's sheets and the assessment's cells, read back from the package.
            QProcess read;
            read.start("python3", {"-c",
                                   "import sys, zipfile, re\n"
                                   "z = zipfile.ZipFile(sys.argv[1])\n"
                                   "print(','.join(re.findall(r'<sheet name=\"([^\"]+)\"', z.read('xl/workbook.xml').decode())))\n"
                                   "print(z.read('xl/sharedStrings.xml').decode())\n",
                                   file});
            QVERIFY(read.waitForFinished(30000));
            const QString out = QString::fromUtf8(read.readAllStandardOutput());
            QCOMPARE(out.section('\n', 0, 0), c.sheets.join(','));
            QCOMPARE(out.contains(QStringLiteral("+10.0")), c.add);
            QCOMPARE(out.contains(QStringLiteral("达标评价：GB 3096-2008")), c.add);
        }
    }
};

}  // namespace nlx::app::test

QTEST_MAIN(nlx::app::test::AssessmentTest)
#include "assessment_test.moc"
