// What a decoder could not use from a transfer, as facts; the edges word them for the operator.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace nlx {

struct DecodeNote {
    enum class Kind {
        broken_off,              // the transfer ended after `received` of `announced` bytes
        surplus,                 // `received` bytes arrived, more than the `announced`
        groups_not_whole,        // groups `group` to `last` of `count` did not arrive whole: no rows
        first_block_incomplete,  // group `group`: only `received` of its first block's 256 bytes
        zero_length,             // group `group` at byte `at` says it is 0 blocks long: reading stops
        history_cut,             // group `group`: `received` of `announced` history bytes; `stored` or not
        history_not_made,        // group `group`: history file `name` not made, for `detail`
        not_a_group,             // block `group` has type byte `at`: skipped
        record_incomplete,       // group `group` (16 bytes) cut short: its missing columns stay empty
        records_lost,            // groups `group` to `last` did not arrive
        count_not_whole,         // the count `announced` leaves group `group` with `received` bytes
    };
    Kind kind;
    std::size_t group = 0, last = 0, count = 0;  // groups and blocks counted from 1
    std::size_t received = 0, announced = 0, at = 0;
    bool stored = false;
    std::string name = {}, detail = {};

    friend bool operator==(const DecodeNote&, const DecodeNote&) = default;
};

// The note in the operator's language.
std::string decode_note_text(const DecodeNote& note);
std::vector<std::string> decode_note_texts(const std::vector<DecodeNote>& notes);

}  // namespace nlx
