#include "memory_size.h"

namespace corvane {

std::string formatMemorySize(std::size_t bytes) {
    constexpr std::size_t KiB = 1024;
    constexpr std::size_t MiB = KiB * KiB;
    if (bytes != 0 && bytes % MiB == 0) return std::to_string(bytes / MiB) + " MiB";
    if (bytes != 0 && bytes % KiB == 0) return std::to_string(bytes / KiB) + " KiB";
    if (bytes == 0) return "0 MiB";
    return std::to_string(bytes) + " bytes";
}

}  // namespace corvane
