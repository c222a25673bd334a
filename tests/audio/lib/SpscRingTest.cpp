// The ring between the capture thread and the writer thread.
#include "audio/lib/SpscRing.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

namespace audiolib {
namespace {

TEST(SpscRing, WholeBlocksOrNothingAcrossTheWrap) {
    SpscRing<int> ring(10); // rounded up to 16
    EXPECT_EQ(ring.capacity(), 16u);
    std::vector<int> block(6);
    std::iota(block.begin(), block.end(), 0);
    EXPECT_TRUE(ring.push(block.data(), 6));
    EXPECT_TRUE(ring.push(block.data(), 6));
    EXPECT_FALSE(ring.push(block.data(), 6)); // 4 free
    EXPECT_EQ(ring.size(), 12u);
    std::vector<int> out(16);
    EXPECT_EQ(ring.pop(out.data(), 10), 10u);
    EXPECT_TRUE(ring.push(block.data(), 6)); // wraps
    EXPECT_TRUE(ring.push(block.data(), 6));
    EXPECT_EQ(ring.pop(out.data(), 16), 14u);
    const std::vector<int> want{4, 5, 0, 1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5};
    EXPECT_EQ(std::vector<int>(out.begin(), out.begin() + 14), want);
    EXPECT_EQ(ring.pop(out.data(), 16), 0u);
}

TEST(SpscRing, TwoThreadsSeeEveryItemOnceInOrder) {
    SpscRing<uint32_t> ring(1024);
    constexpr uint32_t kItems = 2'000'000;
    std::thread producer([&] {
        uint32_t block[7];
        for (uint32_t next = 0; next < kItems;) {
            const uint32_t n = std::min<uint32_t>(7, kItems - next);
            for (uint32_t i = 0; i < n; ++i)
                block[i] = next + i;
            if (ring.push(block, n))
                next += n;
            else
                std::this_thread::yield();
        }
    });
    uint32_t expected = 0;
    bool inOrder = true;
    uint32_t out[100];
    while (expected < kItems) {
        const size_t n = ring.pop(out, 100);
        for (size_t i = 0; i < n; ++i)
            inOrder = inOrder && out[i] == expected++;
        if (n == 0)
            std::this_thread::yield();
    }
    producer.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(ring.size(), 0u);
}

} // namespace
} // namespace audiolib
