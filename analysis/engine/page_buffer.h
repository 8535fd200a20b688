// Zeroed memory straight from the system, in whole pages.
#pragma once

#include <cstddef>

namespace corvane {

/// A zeroed region of `size` bytes mapped from the system, released when destroyed.
/// Regions of 2 MiB and more are aligned to 2 MiB and offered huge pages: the table of
/// minors fills tens of megabytes a few words at a time, and faulting in every 4 KiB page
/// separately costs more than the work those pages hold. An empty buffer (no region) is
/// what a failed mapping gives.
class PageBuffer {
public:
    PageBuffer() = default;
    explicit PageBuffer(std::size_t size);
    ~PageBuffer();
    PageBuffer(PageBuffer&& other) noexcept;
    PageBuffer& operator=(PageBuffer&& other) noexcept;
    PageBuffer(const PageBuffer&) = delete;
    PageBuffer& operator=(const PageBuffer&) = delete;

    void* data() const { return data_; }
    std::size_t size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }

    /// Gives the pages from `offset` (rounded up to a whole page) to the end back to the
    /// system, which maps them zeroed again when they are next touched; the region stays.
    /// False when the system refused, and the pages are still held.
    bool discardFrom(std::size_t offset);

    /// Makes the region `size` bytes long: the pages it holds keep their contents (moved,
    /// never copied, and so never touched afresh), the new ones are zeroed. The region may
    /// move. False, and the region as it was, when the system refuses.
    bool grow(std::size_t size);

private:
    void release() noexcept;

    void* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace corvane
