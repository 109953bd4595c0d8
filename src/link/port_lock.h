// One serial command at a time: the download, the monitor and the micro-printer share one port.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"

namespace nlx::link {


// Held for the whole of a serial command; a second command is refused while it is held.
class PortLock {
public:
    // Takes the port for `holder` (a short name of the command, e.g. "数据接收"), or fails with
    // "串行口正被另一个操作使用(<holder of the port>)" when another command has it.
    static Result<PortLock> try_acquire(std::string_view holder);

    // The command that holds the port now, if any.
    static std::optional<std::string> holder();

    PortLock(PortLock&& other) noexcept;
    PortLock& operator=(PortLock&& other) noexcept;
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;
    ~PortLock();

    void release();

private:
    PortLock() = default;
    bool owned_ = false;
};

}  // namespace nlx::link
