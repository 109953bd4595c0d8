// How the printed reports write a cell: number patterns with their padding, stored dates and
// times read back and written again, blanks for missing values. Independent of the locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/calendar_date.h"
#include "core/rows.h"

namespace nlx::reports {

// A stored "yy-mm-dd" (or "yyyy-mm-dd", "/" also taken) read as a real calendar date; nullopt
// for a text that is not one. Two-digit years 00..29 are 2000.., 30..99 1900..
std::optional<CalendarDate> read_date(std::string_view stored);
// The stored date written as "yy/mm/dd"; nullopt for a text that is not one.
std::optional<std::string> date_text(std::string_view stored);
// The stored date written as "yyyy-mm-dd"; nullopt for a text that is not one.
std::optional<std::string> iso_date_text(std::string_view stored);
// A stored "h:mm" or "h:mm:ss" that is a time of day written as "hh:mm:ss"; nullopt otherwise.
std::optional<std::string> time_text(std::string_view stored);

// The cell kinds of the printed rows. A missing value (NULL or empty) prints as blanks as wide as
// the cell usually is, so the columns after it stay in place; a text that a pattern cannot
// read prints as stored.
enum class CellKind {
    group,         // "000"
    level,         // "#00.0", one space in front when shorter than 5
    deviation,     // "##0.0", two spaces in front when shorter than 4, else one when shorter than 5
    exposure,      // "#0.00", one space in front when shorter than 5
    measure_time,  // left in a field of 9, cut after 9; blank for an octave group
    set_time,      // "/" when empty
    date,          // "yy/mm/dd"
    time,          // "hh:mm:ss"
    percent_ratio, // "#0.00" (model e's DL; a text with a percent sign as stored)
    text,          // as stored
};

// `octave` says the row's MODE is "OCT".
std::string cell_text(CellKind kind, const Cell& value, bool octave = false);

}  // namespace nlx::reports
