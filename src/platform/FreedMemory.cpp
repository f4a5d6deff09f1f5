#include "platform/FreedMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Blocks from this size on are mapped on their own (glibc's initial
// threshold); setting it fixes it there.
constexpr int kLargeBlockBytes = 128 * 1024;

} // namespace

void ReleaseLargeBlocksAtOnce() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes);
#endif
}

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
