// Growing the C library's heap and mapping its pages in one call (MADV_POPULATE_WRITE).
#include "core/heap.h"

#include <cstdint>
#include <cstdlib>
#include <unistd.h>
#include <sys/mman.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace nlx {

std::span<std::byte> ready_heap(std::size_t bytes) {
#if defined(__GLIBC__) && defined(MADV_POPULATE_WRITE)
    // The allocator serves from the heap no block above 32 MiB; the threshold set below is a
    // little above the block, whose size the allocator counts with its header.
    constexpr std::size_t kMaxBytes = std::size_t(16) << 20;
    constexpr std::size_t kHeader = 64 * 1024;
    constexpr std::size_t kLargestHeapBlock = (std::size_t(32) << 20) - kHeader;
    constexpr int kDefaultMmapThreshold = 128 * 1024;  // the C library's own
    if (bytes == 0 || bytes > kMaxBytes) return {};
    // The free space at the top of the heap, up to the program break, is where the heap grows
    // into: the allocator calls it the top chunk and gives its size as keepcost.
    if (const auto before = mallinfo2(); before.keepcost < bytes) {
        // One block larger than all the free memory of the heap together can only come from
        // the top, grown: freed, it leaves the top at least `bytes` large. Meanwhile the top is
        // kept when freed, not given back, and the block comes from the heap rather than from a
        // mapping of its own.
        const std::size_t block_size = before.fordblks + bytes;
        if (block_size > kLargestHeapBlock) return {};
        mallopt(M_TRIM_THRESHOLD, int(block_size + kMaxBytes));
        mallopt(M_MMAP_THRESHOLD, int(block_size + kHeader));
        void* volatile block = std::malloc(block_size);
        std::free(block);
        mallopt(M_MMAP_THRESHOLD, kDefaultMmapThreshold);
    }
    const std::size_t top = mallinfo2().keepcost;
    auto* end = static_cast<std::byte*>(::sbrk(0));
    if (end == reinterpret_cast<std::byte*>(-1) || top < bytes) return {};
    const std::uintptr_t page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(end - top) + page - 1) & ~(page - 1);
    const std::uintptr_t stop = (first + bytes + page - 1) & ~(page - 1);
    if (stop > std::uintptr_t(end)) return {};
    if (::madvise(reinterpret_cast<void*>(first), stop - first, MADV_POPULATE_WRITE) != 0) return {};
    return {reinterpret_cast<std::byte*>(first), stop - first};
#else
    (void)bytes;
    return {};
#endif
}

}  // namespace nlx
