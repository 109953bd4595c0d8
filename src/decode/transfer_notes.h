// The decoders' notes on what a transfer lost or carried beyond its count, worded one way for
// every model.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nlx {

// "group 3" or "groups 3 to 5" (counted from 1).
std::string group_range(std::size_t first, std::size_t last);

// "the transfer broke off after R of A bytes", then ": " and `lost` when it says more.
std::string broken_off_note(std::size_t received, std::size_t announced, std::string_view lost = {});

// "N bytes beyond the announced A bytes were ignored".
std::string surplus_note(std::size_t received, std::size_t announced);

}  // namespace nlx
