// Loss and surplus notes shared by the five decoders.
#include "decode/transfer_notes.h"

namespace nlx {

std::string group_range(std::size_t first, std::size_t last) {
    return first == last ? "group " + std::to_string(first)
                         : "groups " + std::to_string(first) + " to " + std::to_string(last);
}

std::string broken_off_note(std::size_t received, std::size_t announced, std::string_view lost) {
    std::string note = "the transfer broke off after " + std::to_string(received) + " of " +
                       std::to_string(announced) + " bytes";
    if (!lost.empty()) note += ": " + std::string(lost);
    return note;
}

std::string surplus_note(std::size_t received, std::size_t announced) {
    return std::to_string(received - announced) + " bytes beyond the announced " +
           std::to_string(announced) + " bytes were ignored";
}

}  // namespace nlx
