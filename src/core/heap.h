// Making the heap ready for a command's working memory in one call.
#pragma once

#include <cstddef>
#include <span>

namespace nlx {

// Has the free space at the top of the heap, where it grows, hold at least `bytes`, and has the
// system map those pages at once rather than one page fault at a time as the command first
// writes there (a fault costs about a microsecond, most of all in a virtual machine; mapping a
// page in the one call costs a third of that). Freed memory then stays with the heap. Returns
// the range made ready: empty where the C library or the system cannot do it.
std::span<std::byte> ready_heap(std::size_t bytes);

}  // namespace nlx
