// One field value of a record table: NULL, text or number; NULL and empty text stay distinct.
#pragma once

#include <optional>
#include <string>
#include <variant>

namespace nlx {

class Value {
public:
    Value() = default;  // NULL
    Value(std::string text) : v_(std::move(text)) {}
    Value(const char* text) : v_(std::string(text)) {}
    Value(double number) : v_(number) {}
    Value(int number) : v_(double(number)) {}
    Value(long long number) : v_(double(number)) {}

    static Value null() { return Value(); }

    bool is_null() const { return std::holds_alternative<std::monostate>(v_); }
    bool is_text() const { return std::holds_alternative<std::string>(v_); }
    bool is_number() const { return std::holds_alternative<double>(v_); }

    // The stored text; empty for NULL and numbers (use to_text for those).
    const std::string& text() const;
    // The stored number; 0 for NULL and texts (use as_number for texts).
    double number() const;

    // NULL as "", text as stored, a number as its plain decimal text (85.6, 10).
    std::string to_text() const;
    // A number, or a text that reads as a plain decimal number ("07" gives 7); nullopt otherwise.
    std::optional<double> as_number() const;

    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, std::string, double> v_;
};

}  // namespace nlx
