// One field value of a record table: NULL, text or number; NULL and empty text stay distinct.
#pragma once

#include <optional>
#include <string>
#include <string_view>
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

// A value as the engine hands it over, without a copy: valid until the engine moves on (the
// next row), or as long as the Value it views.
struct ValueView {
    enum class Kind : unsigned char { null, text, number };
    Kind kind = Kind::null;
    std::string_view text;  // a text's bytes
    double number = 0;      // a number

    static ValueView of(const Value& v) {
        if (v.is_text()) return {Kind::text, v.text(), 0};
        if (v.is_number()) return {Kind::number, {}, v.number()};
        return {};
    }
    // The Value it views (a copy of a text).
    Value value() const {
        return kind == Kind::text ? Value(std::string(text)) : kind == Kind::number ? Value(number) : Value::null();
    }
};

}  // namespace nlx
