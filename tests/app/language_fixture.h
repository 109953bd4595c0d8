// The windows' tests in either language: the catalogue the build compiled, in use for one test.
#pragma once

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <string_view>
#include <vector>

#include "core/catalogue.h"
#include "core/language.h"

namespace nlx::app::test {

// Puts the language `code` in use from the build tree's catalogues (and `more` folders) until it
// goes out of scope.
class InLanguage {
public:
    explicit InLanguage(std::string_view code, std::vector<std::filesystem::path> more = {}) {
        more.push_back(std::filesystem::path(NLX_TEST_LOCALE_FOLDER));
        auto used = use_language(code, more);
        ok_ = used.ok();
        if (!ok_) qWarning("%s", used.message().c_str());
    }
    ~InLanguage() { (void)use_language(kChinese, {}); }
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// The languages a test runs in, as QtTest data rows.
inline void language_rows() {
    QTest::addColumn<bool>("english");
    QTest::newRow("zh") << false;
    QTest::newRow("en") << true;
}

// Every button and label of a shown window is as wide as its text needs, and a label that breaks
// its lines as high as they need: no text cut off.
inline bool texts_fit(const QWidget& window, QString& which) {
    // Layouts settle texts just set before they are measured.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (auto* button : window.findChildren<QAbstractButton*>())
        if (button->isVisible() && button->width() < button->sizeHint().width()) {
            which = button->text();
            return false;
        }
    for (auto* label : window.findChildren<QLabel*>()) {
        if (!label->isVisible()) continue;
        // A label that breaks its lines needs the height of its lines at its width.
        const bool cut = label->wordWrap() ? label->height() < label->heightForWidth(label->width())
                                           : label->width() < label->minimumSizeHint().width();
        if (cut) {
            which = label->text();
            return false;
        }
    }
    return true;
}

}  // namespace nlx::app::test
