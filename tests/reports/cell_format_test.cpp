// The stored date as the workbook writes it: which texts read as dates, and their century.
#include <gtest/gtest.h>

#include "reports/cell_format.h"

namespace nlx::reports {
namespace {

TEST(IsoDateText, ReadsStoredDatesAndLeavesTheRest) {
    struct Case {
        const char* stored;
        std::optional<std::string> iso;
    } cases[] = {
        {"08-09-25", "2008-09-25"}, {"29-12-31", "2029-12-31"}, {"30-01-01", "1930-01-01"},
        {"99-1-2", "1999-01-02"},   {"2008/09/25", "2008-09-25"}, {"00-02-29", "2000-02-29"},
        {"01-02-29", std::nullopt}, {"08-13-01", std::nullopt},   {"08-09", std::nullopt},
        {"", std::nullopt},         {"a8-09-25", std::nullopt},   {"08-09-25x", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(iso_date_text(c.stored), c.iso) << c.stored;
}

}  // namespace
}  // namespace nlx::reports
