#include "page_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

namespace corvane {

namespace {

constexpr std::size_t HugePage = std::size_t{2} << 20;

void* mapZeroed(std::size_t size) {
    void* region = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return region == MAP_FAILED ? nullptr : region;
}

// Maps `size` bytes at a 2 MiB boundary: a larger region, less its unaligned ends.
void* mapAligned(std::size_t size) {
    char* region = static_cast<char*>(mapZeroed(size + HugePage));
    if (!region) return nullptr;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(region);
    const std::size_t head = (HugePage - start % HugePage) % HugePage;
    if (head > 0) munmap(region, head);
    const std::size_t tail = HugePage - head;
    if (tail > 0) munmap(region + head + size, tail);
    madvise(region + head, size, MADV_HUGEPAGE);
    return region + head;
}

void* mapRegion(std::size_t size) {
    return size >= HugePage && size % HugePage == 0 ? mapAligned(size) : mapZeroed(size);
}

}  // namespace

PageBuffer::PageBuffer(std::size_t size) {
    if (size == 0) return;
    data_ = mapRegion(size);
    if (data_) size_ = size;
}

bool PageBuffer::grow(std::size_t size) {
    if (size <= size_) return true;
    if (!data_) {
        *this = PageBuffer(size);
        return data_ != nullptr;
    }
    void* target = mapRegion(size);
    if (!target) return false;
    // The old pages replace the head of the new region: the kernel moves their page
    // tables (whole huge pages when both ends are aligned to them) and copies nothing.
    if (mremap(data_, size_, size_, MREMAP_MAYMOVE | MREMAP_FIXED, target) == MAP_FAILED) {
        munmap(target, size);
        return false;
    }
    data_ = target;
    size_ = size;
    return true;
}

bool PageBuffer::discardFrom(std::size_t offset) {
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pageSize <= 0) return false;
    const auto page = static_cast<std::size_t>(pageSize);
    const std::size_t start = (offset + page - 1) / page * page;
    if (start >= size_) return true;
    return madvise(static_cast<char*>(data_) + start, size_ - start, MADV_DONTNEED) == 0;
}

PageBuffer::~PageBuffer() {
    release();
}

PageBuffer::PageBuffer(PageBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

PageBuffer& PageBuffer::operator=(PageBuffer&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void PageBuffer::release() noexcept {
    if (data_) munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
}

}  // namespace corvane
