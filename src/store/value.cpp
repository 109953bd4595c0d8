// Conversions of field values to text and numbers, independent of the locale.
#include "store/value.h"

#include "core/number_format.h"

namespace nlx {

const std::string& Value::text() const {
    static const std::string empty;
    const auto* s = std::get_if<std::string>(&v_);
    return s ? *s : empty;
}

double Value::number() const {
    const auto* d = std::get_if<double>(&v_);
    return d ? *d : 0.0;
}

std::string Value::to_text() const {
    if (is_number()) return plain_number_text(number());
    return text();
}

std::optional<double> Value::as_number() const {
    if (is_number()) return number();
    if (is_text()) return parse_decimal(text());
    return std::nullopt;
}

}  // namespace nlx
