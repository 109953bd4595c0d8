// What the main window shows of a download: status lines and the please-wait window, in order,
// for each way a download over a scripted line ends.
#include <QObject>
#include <QtTest>

#include "app/download_presenter.h"
#include "core/texts.h"
#include "link/port_lock.h"
#include "support/session_support.h"

using namespace nlx;
using namespace nlx::app;
using nlx::link::FakeLink;
using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {

enum class Line { good, no_answer, wrong_answer, no_data, broken, open_fails, store_fails, busy };

// The view's events; the percentages are left out, the status-line tests count them.
std::vector<std::string> shown(char model, Line line) {
    FakeLink link;
    const std::size_t announced = model == 'e' ? 320 : 512;
    const Bytes data = link::test::pattern(announced);
    switch (line) {
    case Line::good:
    case Line::store_fails:
        if (model == 'e') link::test::script_exchange(link, 64, 129, data);
        else link::test::script_exchange(link, 0, 18, data);
        break;
    case Line::no_answer: break;
    case Line::wrong_answer: link.answer({0x1B, 0x40}, {0x55}); break;
    case Line::no_data: link::test::script_exchange(link, 0, 16, {}); break;
    case Line::broken: link::test::script_exchange(link, 0, 18, Bytes(data.begin(), data.begin() + 300)); break;
    case Line::open_fails: link.fail_open("no such port"); break;
    case Line::busy: break;
    }
    std::vector<std::string> events;
    DownloadPresenter presenter(*find_model(model), DownloadView{
        .status = [&](const std::string& t) {
            if (t.rfind("数据读取完", 0) != 0) events.push_back("status:" + t);
        },
        .show_wait = [&](const std::string& c) { events.push_back("show:" + c); },
        .hide_wait = [&] { events.push_back("hide"); },
    });
    link::StoreHook store = [line](const Capture&, bool) -> Result<TransferSummary> {
        if (line == Line::store_fails) return fail("disk full");
        return TransferSummary{};
    };
    auto other = line == Line::busy ? link::PortLock::try_acquire("实时监测") : Result<link::PortLock>(fail(""));
    link::DownloadSession(link, link::test::request(model), presenter.observer(), store).run();
    return events;
}

std::string st(std::string_view text) { return "status:" + std::string(text); }
const std::string kReading = "show:" + std::string(texts::kReadingCaption);
const std::string kStoring = "show:" + std::string(texts::kStoringCaption);

}  // namespace

class DownloadPresenterTest : public QObject {
    Q_OBJECT
private slots:
    void sequence_data() {
        QTest::addColumn<char>("model");
        QTest::addColumn<int>("line");
        QTest::addColumn<std::vector<std::string>>("expected");
        const std::string receiving = st(texts::kReceiving), received = st(texts::kReceived);
        QTest::newRow("block transfer: the window stays until all arrived")
            << 'a' << int(Line::good)
            << std::vector<std::string>{kReading, receiving, received, "hide", kStoring, "hide"};
        QTest::newRow("byte transfer: the window goes as reception starts")
            << 'e' << int(Line::good)
            << std::vector<std::string>{kReading, receiving, "hide", received, kStoring, "hide"};
        QTest::newRow("no answer: the window goes, then the text")
            << 'a' << int(Line::no_answer) << std::vector<std::string>{kReading, "hide", st(texts::kNoAcknowledge)};
        QTest::newRow("wrong answer: the text, then the window goes")
            << 'a' << int(Line::wrong_answer) << std::vector<std::string>{kReading, st(texts::kBadAcknowledge), "hide"};
        QTest::newRow("no data")
            << 'a' << int(Line::no_data) << std::vector<std::string>{kReading, receiving, "hide", st(texts::kNoData)};
        QTest::newRow("broken off: stored with the loss said")
            << 'a' << int(Line::broken)
            << std::vector<std::string>{kReading, receiving, st(texts::kDataLost), kStoring, "hide"};
        QTest::newRow("port cannot open")
            << 'a' << int(Line::open_fails)
            << std::vector<std::string>{kReading, "hide", st(texts::port_error("no such port"))};
        QTest::newRow("storing fails")
            << 'b' << int(Line::store_fails)
            << std::vector<std::string>{kReading, receiving, received, "hide", kStoring, "hide", st("disk full")};
        QTest::newRow("port busy: no window")
            << 'a' << int(Line::busy) << std::vector<std::string>{st("串行口正被另一个操作使用(实时监测)")};
    }

    void sequence() {
        QFETCH(char, model);
        QFETCH(int, line);
        QFETCH(std::vector<std::string>, expected);
        const auto events = shown(model, Line(line));
        QStringList got, want;
        for (const auto& e : events) got << QString::fromStdString(e);
        for (const auto& e : expected) want << QString::fromStdString(e);
        QCOMPARE(got, want);
    }
};

QTEST_GUILESS_MAIN(DownloadPresenterTest)
#include "download_presenter_test.moc"
