// Reading numbers the way the charts take them from the tables.
#include "charts/chart.h"

#include <cctype>
#include <cmath>

namespace nlx::charts {

double leading_number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    double value = 0, scale = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.' && scale == 0) {
            scale = 1;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            if (scale == 0) value = value * 10 + (c - '0');
            else value += (c - '0') * (scale /= 10);
        } else {
            break;
        }
    }
    return negative ? -value : value;
}

}  // namespace nlx::charts
