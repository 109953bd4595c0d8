// Today's date from the system clock.
#include "core/calendar_date.h"

#include <ctime>

namespace nlx {

CalendarDate local_today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace nlx
