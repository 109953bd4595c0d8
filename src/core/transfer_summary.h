// What storing one transfer did: counts, rows, history files, notes and the capture kept.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/decode_note.h"

namespace nlx {

struct TransferSummary {
    char model = 'a';
    std::int32_t n = 0;                 // transfer count from the count bytes
    std::size_t announced_bytes = 0;    // what the count promised
    std::size_t received_bytes = 0;     // what arrived
    std::size_t record_rows = 0;
    std::size_t distribution_rows = 0;
    std::vector<std::string> files;     // history files written, by name
    std::vector<DecodeNote> notes;      // what the decoder could not use
    std::filesystem::path capture_file; // empty when none was written
    long long transfer_id = 0;          // its entry in the transfer log; 0 when not logged
    // False when no whole group arrived: the model's tables were left as they were.
    bool replaced = true;
    // Of a short transfer, whose summary tells of them (counted for no other):
    std::size_t replaced_groups = 0;    // record rows the store took away
    long long previous_transfer = 0;    // the log entry that stored them; 0 when none did

    bool short_transfer() const { return received_bytes < announced_bytes; }
    std::string line() const;           // one-line summary for the operator
    // The main window's status line: the transfer's `status` and, after a broken transfer, that
    // the records are unchanged, or how many were replaced and which log entry brings them back;
    // `status` alone after a whole transfer.
    std::string with_records_note(std::string_view status) const;
};

}  // namespace nlx
