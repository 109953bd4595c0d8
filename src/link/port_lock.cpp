// The process-wide port lock: a mutex-guarded holder name, taken without waiting.
#include "link/port_lock.h"

#include <mutex>

#include "core/texts.h"

namespace nlx::link {
namespace {

std::mutex& lock_mutex() {
    static std::mutex m;
    return m;
}

std::optional<std::string>& current_holder() {
    static std::optional<std::string> h;
    return h;
}

}  // namespace

Result<PortLock> PortLock::try_acquire(std::string_view holder) {
    std::lock_guard guard(lock_mutex());
    auto& h = current_holder();
    if (h) return fail(texts::port_busy(h->empty() ? std::string_view() : nlx::tr(*h)));
    h = std::string(holder);
    PortLock lock;
    lock.owned_ = true;
    return lock;
}

std::optional<std::string> PortLock::holder() {
    std::lock_guard guard(lock_mutex());
    return current_holder();
}

PortLock::PortLock(PortLock&& other) noexcept : owned_(other.owned_) { other.owned_ = false; }

PortLock& PortLock::operator=(PortLock&& other) noexcept {
    if (this != &other) {
        release();
        owned_ = other.owned_;
        other.owned_ = false;
    }
    return *this;
}

PortLock::~PortLock() { release(); }

void PortLock::release() {
    if (!owned_) return;
    owned_ = false;
    std::lock_guard guard(lock_mutex());
    current_holder().reset();
}

}  // namespace nlx::link
