// Closes a serial line whichever way a serial command ends, exceptions included.
#pragma once

#include "link/byte_link.h"

namespace nlx::link {

class PortCloser {
public:
    explicit PortCloser(ByteLink& link) : link_(link) {}
    ~PortCloser() {
        if (link_.is_open()) link_.close();
    }
    PortCloser(const PortCloser&) = delete;
    PortCloser& operator=(const PortCloser&) = delete;

private:
    ByteLink& link_;
};

}  // namespace nlx::link
