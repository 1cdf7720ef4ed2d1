// The memory left on the machine, and how a shortfall is told.
#include "zhost/core/memory.h"

#include <gtest/gtest.h>

using namespace zhost;

TEST(Memory, ShortfallSaysWhatIsNeededAndWhatIsFreeInWholeMegabytes) {
    constexpr std::uintmax_t MB = 1 << 20;
    EXPECT_EQ(memoryShortfall(10 * MB, 10 * MB), L"");
    EXPECT_EQ(memoryShortfall(12345 * MB, 800 * MB),
              L"it needs about 12,345 MB of memory and 800 MB are free");
    // A need of a few bytes is not shown as nothing; a million megabytes gets two separators.
    EXPECT_EQ(memoryShortfall(5, 0), L"it needs about 1 MB of memory and 0 MB are free");
    EXPECT_EQ(memoryShortfall(1000000 * MB, 999 * MB),
              L"it needs about 1,000,000 MB of memory and 999 MB are free");
}

TEST(Memory, TheSystemTellsWhatIsAvailableUnlessATestPretends) {
    const auto real = availableMemoryBytes();
    ASSERT_TRUE(real.has_value()) << "Linux reports MemAvailable";
    EXPECT_GT(*real, std::uintmax_t(1) << 20);
    setAvailableMemoryForTests(42);
    EXPECT_EQ(availableMemoryBytes(), std::uintmax_t(42));
    setAvailableMemoryForTests(std::nullopt);
    EXPECT_NE(availableMemoryBytes(), std::uintmax_t(42));
}
