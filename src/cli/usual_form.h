// Reading a command's usual command line against its option table, without a parser library:
// anything else (help, a misspelt or repeated option, a value not allowed, a missing file) is
// left to the full parser, which says what is wrong.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <sys/stat.h>

#include "cli/command_forms.h"

namespace nlx::cli {

// The request argv[first..argc) asks for: each option at most once, as "--name VALUE",
// "--name=VALUE" or "--name", values neither empty nor starting with '-', each positional
// argument once, every required one given. nullopt when the line is any other.
template <class Request>
std::optional<Request> read_usual_form(std::span<const OptionForm<Request>> form, int argc, char** argv, int first) {
    Request request;
    bool given[16] = {};
    if (form.size() > std::size(given)) return std::nullopt;
    auto accepts = [](const OptionForm<Request>& option, std::string_view value) {
        if (value.empty() || value.front() == '-') return false;
        if (option.existing_path) {
            struct stat st;
            if (::stat(std::string(value).c_str(), &st) != 0) return false;
        }
        if (!option.choices) return true;
        for (const auto& choice : option.choices())
            if (choice == value) return true;
        return false;
    };
    for (int i = first; i < argc; ++i) {
        const std::string_view arg = argv[i];
        std::size_t k = 0;
        std::optional<std::string_view> value;
        if (arg.starts_with("--")) {
            const std::string_view name = arg.substr(0, arg.find('='));
            if (name.size() < arg.size()) value = arg.substr(name.size() + 1);
            while (k < form.size() && form[k].name != name) ++k;
            if (k == form.size() || given[k]) return std::nullopt;
            if (form[k].flag) {
                if (value) return std::nullopt;
                request.*form[k].flag = true;
            } else {
                if (!value) {
                    if (i + 1 >= argc) return std::nullopt;
                    value = argv[++i];
                }
                if (!accepts(form[k], *value)) return std::nullopt;
                request.*form[k].value = std::string(*value);
            }
        } else {
            if (arg.starts_with("-")) return std::nullopt;
            while (k < form.size() && (form[k].name.starts_with("-") || given[k])) ++k;
            if (k == form.size() || !accepts(form[k], arg)) return std::nullopt;
            request.*form[k].value = std::string(arg);
        }
        given[k] = true;
    }
    for (std::size_t k = 0; k < form.size(); ++k)
        if (form[k].required && !given[k]) return std::nullopt;
    return request;
}

}  // namespace nlx::cli
