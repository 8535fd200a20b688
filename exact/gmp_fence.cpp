#include "gmp_fence.h"

#include <gmp.h>

#include <cstdlib>
#include <new>

namespace corvane {

namespace {

// A failure throws: the exception unwinds through GMP's frames, which leaves the objects
// it was building unreleased, while the caller's own objects are released as usual.
void* allocateOrThrow(std::size_t size) {
    void* block = std::malloc(size);
    if (block == nullptr && size != 0) throw std::bad_alloc();
    return block;
}

void* reallocateOrThrow(void* block, std::size_t, std::size_t size) {
    void* moved = std::realloc(block, size);
    if (moved == nullptr && size != 0) throw std::bad_alloc();
    return moved;
}

void release(void* block, std::size_t) {
    std::free(block);
}

}  // namespace

void fenceGmpAborts() {
    static const bool fenced = [] {
        mp_set_memory_functions(allocateOrThrow, reallocateOrThrow, release);
        return true;
    }();
    (void)fenced;
}

}  // namespace corvane
