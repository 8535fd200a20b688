// Covers the one reader of a size in MiB that corvane-cli's --memoria-cache and the
// program's CORVANE_MEMORIA_CACHE share: digits only, the limit at and past its edge, and
// digit strings long enough to wrap a size around.
#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <optional>
#include <string>

#include "mebibytes.h"

namespace corvane {
namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;

TEST(MebibytesTest, ReadsWholeNumbersOfMebibytesOnly) {
    struct Case {
        const char* text;
        std::size_t largest;
        std::optional<std::size_t> bytes;
    };
    const std::size_t TiB = std::size_t{1} << 20;  // in MiB
    for (const Case& c : {
             Case{"64", TiB, 64 * MiB},
             Case{"0", TiB, 0},
             Case{"0064", TiB, 64 * MiB},
             Case{"1048576", TiB, std::size_t{1} << 40},  // exactly the limit
             Case{"1048577", TiB, std::nullopt},          // one past it
             Case{"10485760", TiB, std::nullopt},         // a digit more
             Case{"5", 5, 5 * MiB},
             Case{"9", 5, std::nullopt},  // a limit below one digit
             Case{"", TiB, std::nullopt},
             Case{"-1", TiB, std::nullopt},
             Case{"+64", TiB, std::nullopt},
             Case{" 64", TiB, std::nullopt},
             Case{"64 ", TiB, std::nullopt},
             Case{"1.5", TiB, std::nullopt},
             Case{"2k", TiB, std::nullopt},
             Case{"muita", TiB, std::nullopt},
         }) {
        EXPECT_EQ(readMebibytes(c.text, c.largest), c.bytes) << c.text << " / " << c.largest;
    }
}

TEST(MebibytesTest, NoStringOfDigitsWrapsTheSizeAround) {
    // 2^64 + 64 MiB and longer strings would come out small if the reading wrapped.
    const std::size_t anything = std::numeric_limits<std::size_t>::max();
    for (const std::string& text : {std::string("18446744073709551680"),
                                    std::string("17592186044416"), std::string(40, '9'),
                                    "1" + std::string(30, '0') + "64"}) {
        EXPECT_EQ(readMebibytes(text, anything), std::nullopt) << text;
    }
    // The largest size a size in bytes holds, in whole MiB: 2^44 - 1.
    EXPECT_EQ(readMebibytes("17592186044415", anything), ((std::size_t{1} << 44) - 1) << 20);
}

}  // namespace
}  // namespace corvane
