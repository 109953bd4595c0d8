// How a micro-printer job ends, and the operator's status lines for it: the same texts on the
// command line and in the main window.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace nlx {

enum class Tm27Outcome {
    completed,         // every group printed and the paper fed
    no_answer,         // no ready byte within two seconds
    bad_answer,        // the first byte back was not the ready byte
    port_busy,         // another serial command holds the port
    port_error,        // the port could not be opened or failed while printing
    bad_group,         // a group's printout could not be made; the groups before it are printed
    nothing_to_print,  // the request holds no group
    cancelled,         // stopped on request
};

std::string_view outcome_name(Tm27Outcome outcome);

// The last status line of a job that ended with `outcome`; `detail` is the port's or the lock's
// own message, or why a group cannot be printed.
std::string tm27_status_text(Tm27Outcome outcome, const std::string& detail);

// Turns the print job's events into status lines, each given to `status` as it comes. A group
// that cannot be printed is told when it is refused, before the paper is fed.
class Tm27StatusLines {
public:
    explicit Tm27StatusLines(std::function<void(const std::string&)> status) : status_(std::move(status)) {}

    void ready();
    void refused(const std::string& why);
    void ended(Tm27Outcome outcome, const std::string& detail);

private:
    void say(const std::string& text) {
        if (status_) status_(text);
    }
    std::function<void(const std::string&)> status_;
    bool refused_ = false;
};

}  // namespace nlx
