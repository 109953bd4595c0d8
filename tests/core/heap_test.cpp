// The heap made ready for a command: its pages are mapped before anything writes to them, and
// the command's blocks come from them without the heap growing again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "core/heap.h"

namespace nlx {
namespace {

// What a child that made its heap ready found, as its exit status.
enum Found { ready = 0, not_done = 10, too_small = 11, not_mapped = 12, above_break = 13, grew_again = 14 };

int ready_in_child(std::size_t bytes) {
    // Memory freed earlier goes back to the system first: the pages at the top are new.
    malloc_trim(0);
    const auto range = ready_heap(bytes);
    if (range.empty()) return not_done;
    if (range.size() < bytes) return too_small;
    const auto* end = static_cast<std::byte*>(::sbrk(0));
    if (range.data() + range.size() > end) return above_break;
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> resident(range.size() / page);
    if (::mincore(range.data(), range.size(), resident.data()) != 0) return not_mapped;
    for (unsigned char r : resident)
        if (!(r & 1)) return not_mapped;
    // Half of it in blocks of 16 KiB, written: the break does not move.
    std::vector<void*> blocks;
    for (std::size_t used = 0; used < bytes / 2; used += 16384) {
        auto* b = static_cast<unsigned char*>(std::malloc(16384));
        b[0] = b[16383] = 1;
        blocks.push_back(b);
    }
    const bool grew = ::sbrk(0) != end;
    for (void* b : blocks) std::free(b);
    return grew ? grew_again : ready;
}

// Whether this system maps a range of pages in one call at all (Linux 5.14 and later).
bool system_maps_at_once() {
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    void* p = ::mmap(nullptr, page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    const bool done = p != MAP_FAILED && ::madvise(p, page, MADV_POPULATE_WRITE) == 0;
    if (p != MAP_FAILED) ::munmap(p, page);
    return done;
}

TEST(ReadyHeap, ItsPagesAreMappedAtOnceAndServeTheCommand) {
    if (!system_maps_at_once()) GTEST_SKIP() << "this system cannot map a range of pages at once";
    for (std::size_t bytes : {std::size_t(64) << 10, std::size_t(512) << 10, std::size_t(6) << 20}) {
        SCOPED_TRACE(bytes);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(ready_in_child(bytes));
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), ready);
    }
}

TEST(ReadyHeap, SizesItDoesNotTakeChangeNothing) {
    for (std::size_t bytes : {std::size_t(0), std::size_t(17) << 20}) {
        SCOPED_TRACE(bytes);
        const void* before = ::sbrk(0);
        EXPECT_TRUE(ready_heap(bytes).empty());
        EXPECT_EQ(::sbrk(0), before);
    }
}

}  // namespace
}  // namespace nlx
