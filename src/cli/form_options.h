// Registering a command's option table with CLI11, for the command files that include it.
#pragma once

#include <CLI/CLI.hpp>

#include <span>
#include <string>

#include "cli/options.h"

namespace nlx::cli {

template <class Request>
void add_form_options(CLI::App& cmd, std::span<const OptionForm<Request>> form, Request& request) {
    for (const auto& option : form) {
        const std::string name(option.name), description(option.description);
        if (option.flag) {
            cmd.add_flag(name, request.*option.flag, description);
            continue;
        }
        auto* added = cmd.add_option(name, request.*option.value, description)->required(option.required);
        if (option.choices) added->check(CLI::IsMember(option.choices()));
        if (option.existing_path) added->check(CLI::ExistingPath);
    }
}

}  // namespace nlx::cli
