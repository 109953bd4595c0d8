// Status texts of a micro-printer job: the printer's answer and the way the job ended.
#include "core/tm27_status.h"

#include "core/texts.h"

namespace nlx {

std::string_view outcome_name(Tm27Outcome outcome) {
    switch (outcome) {
    case Tm27Outcome::completed: return "completed";
    case Tm27Outcome::no_answer: return "no_answer";
    case Tm27Outcome::bad_answer: return "bad_answer";
    case Tm27Outcome::port_busy: return "port_busy";
    case Tm27Outcome::port_error: return "port_error";
    case Tm27Outcome::bad_group: return "bad_group";
    case Tm27Outcome::nothing_to_print: return "nothing_to_print";
    case Tm27Outcome::cancelled: return "cancelled";
    }
    return "unknown";
}

std::string tm27_status_text(Tm27Outcome outcome, const std::string& detail) {
    switch (outcome) {
    case Tm27Outcome::completed: return std::string(nlx::tr(texts::kTm27Done));
    case Tm27Outcome::no_answer: return std::string(nlx::tr(texts::kTm27NoAnswer));
    case Tm27Outcome::bad_answer: return std::string(nlx::tr(texts::kBadAcknowledge));
    case Tm27Outcome::port_error: return texts::port_error(detail);
    case Tm27Outcome::nothing_to_print: return std::string(nlx::tr(texts::kNothingToPrint));
    case Tm27Outcome::cancelled: return std::string(nlx::tr(texts::kTm27Cancelled));
    case Tm27Outcome::port_busy:
    case Tm27Outcome::bad_group: return detail;
    }
    return detail;
}

void Tm27StatusLines::ready() { say(std::string(nlx::tr(texts::kTm27Ready))); }

void Tm27StatusLines::refused(const std::string& why) {
    refused_ = true;
    say(why);
}

void Tm27StatusLines::ended(Tm27Outcome outcome, const std::string& detail) {
    if (outcome == Tm27Outcome::bad_group && refused_) return;
    say(tm27_status_text(outcome, detail));
}

}  // namespace nlx
