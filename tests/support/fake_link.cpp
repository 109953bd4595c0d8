// FakeLink: a byte queue with scheduled deliveries, scripted answers and injected faults.
#include "support/fake_link.h"

#include <algorithm>

namespace nlx::link {

FakeLink::FakeLink() : now_(TimePoint{} + std::chrono::hours(1)) {}

void FakeLink::schedule(TimePoint at, Bytes bytes) {
    auto it = std::upper_bound(pending_.begin(), pending_.end(), at,
                               [](TimePoint t, const Delivery& d) { return t < d.at; });
    pending_.insert(it, Delivery{at, std::move(bytes)});
    deliver_due();
}

void FakeLink::deliver_due() {
    while (!pending_.empty() && pending_.front().at <= now_) {
        input_.insert(input_.end(), pending_.front().bytes.begin(), pending_.front().bytes.end());
        pending_.pop_front();
    }
}

void FakeLink::feed(Bytes bytes) { schedule(now_, std::move(bytes)); }

void FakeLink::feed_after(std::chrono::nanoseconds delay, Bytes bytes) {
    schedule(now_ + std::chrono::duration_cast<LinkClock::duration>(delay), std::move(bytes));
}

void FakeLink::answer(Bytes trigger, Bytes reply, std::chrono::nanoseconds delay) {
    answers_.push_back(Answer{std::move(trigger), std::move(reply), delay});
    check_answers();
}

void FakeLink::advance(std::chrono::nanoseconds delay) {
    now_ += std::chrono::duration_cast<LinkClock::duration>(delay);
    deliver_due();
}

void FakeLink::fail_read(std::string message, std::size_t after_bytes) {
    read_error_ = std::move(message);
    read_error_after_ = after_bytes;
}

void FakeLink::check_answers() {
    while (!answers_.empty()) {
        const Answer& a = answers_.front();
        auto from = written_.begin() + std::ptrdiff_t(answer_from_);
        auto hit = std::search(from, written_.end(), a.trigger.begin(), a.trigger.end());
        if (hit == written_.end() && !a.trigger.empty()) return;
        answer_from_ = std::size_t(hit - written_.begin()) + a.trigger.size();
        Answer fired = a;
        answers_.pop_front();
        feed_after(fired.delay, std::move(fired.reply));
    }
}

Result<void> FakeLink::open(const std::string& port, int baud, FlowControl flow) {
    if (open_error_) return fail(*open_error_);
    port_ = port;
    baud_ = baud;
    opened_flow_ = flow_ = flow;
    open_ = true;
    ++opens_;
    return {};
}

Result<void> FakeLink::set_flow(FlowControl flow) {
    if (!open_) return fail("fake port is not open");
    flow_ = flow;
    flow_changes_.emplace_back(flow, written_.size());
    return {};
}

void FakeLink::close() {
    if (open_) ++closes_;
    open_ = false;
}

Result<void> FakeLink::write(std::span<const std::uint8_t> bytes) {
    if (!open_) return fail("fake port is not open");
    if (write_error_) return fail(*write_error_);
    written_.insert(written_.end(), bytes.begin(), bytes.end());
    check_answers();
    return {};
}

Result<Bytes> FakeLink::read(std::size_t max, TimePoint deadline) {
    if (on_read_) on_read_();
    if (!open_) return fail("fake port is not open");
    if (read_error_ && read_total_ >= read_error_after_) return fail(*read_error_);
    deliver_due();
    if (input_.empty()) {
        if (!pending_.empty() && pending_.front().at <= deadline) {
            now_ = std::max(now_, pending_.front().at);
            deliver_due();
        } else {
            now_ = std::max(now_, deadline);
            deliver_due();
        }
    }
    std::size_t n = std::min(max, input_.size());
    if (read_error_) n = std::min(n, read_error_after_ - read_total_);
    Bytes out(input_.begin(), input_.begin() + std::ptrdiff_t(n));
    input_.erase(input_.begin(), input_.begin() + std::ptrdiff_t(n));
    read_total_ += n;
    return out;
}

std::size_t FakeLink::bytes_waiting() {
    deliver_due();
    return open_ ? input_.size() : 0;
}

Result<void> FakeLink::discard_input() {
    if (!open_) return fail("fake port is not open");
    deliver_due();
    discarded_ += input_.size();
    input_.clear();
    return {};
}

Result<void> FakeLink::drain_output(TimePoint) {
    if (!open_) return fail("fake port is not open");
    return {};
}

}  // namespace nlx::link
