#include "tools/palmdoc_compress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "content/content_resource.h"
#include "platform/heap.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The shortest encoding by trying every command at every position, each one checked
// by replaying what the decoder would write.
size_t ShortestEncoding(const Bytes& data) {
    const size_t n = data.size();
    const size_t kInf = SIZE_MAX / 2;
    std::vector<size_t> best(n + 1, kInf);
    best[n] = 0;
    for (size_t i = n; i-- > 0;) {
        uint8_t b = data[i];
        if (b == 0 || (b >= 0x09 && b <= 0x7F)) best[i] = std::min(best[i], 1 + best[i + 1]);
        if (b == 0x20 && i + 1 < n && data[i + 1] >= 0x40 && data[i + 1] <= 0x7F)
            best[i] = std::min(best[i], 1 + best[i + 2]);
        for (size_t k = 1; k <= 8 && i + k <= n; ++k) best[i] = std::min(best[i], k + 1 + best[i + k]);
        for (size_t d = 1; d <= std::min<size_t>(i, 2047); ++d) {
            // The decoder copies byte by byte from d back; every byte before the one it
            // writes already equals the data, so it copies data[p - d] to p.
            for (size_t len = 1; len <= 10 && i + len <= n; ++len) {
                size_t p = i + len - 1;
                if (data[p - d] != data[p]) break;
                if (len >= 3) best[i] = std::min(best[i], 2 + best[i + len]);
            }
        }
    }
    return best[0];
}

Bytes Decode(const Bytes& block, size_t size) {
    static const uint8_t none = 0;
    int status = 0;
    BYTE* out = UnCompress(block.empty() ? &none : block.data(), (UINT)block.size(), (UINT)size, &status);
    if (!out) return {0xDE, 0xAD};
    Bytes d(out, out + size);
    LocalFree(out);
    return d;
}

void ExpectOptimalRoundTrip(const Bytes& data) {
    Bytes block = PalmDocCompress(data.data(), data.size());
    ASSERT_EQ(block.size(), ShortestEncoding(data)) << std::string(data.begin(), data.end());
    ASSERT_EQ(Decode(block, data.size()), data) << std::string(data.begin(), data.end());
}

TEST(PalmDocCompress, EveryShortStringOverASmallAlphabetIsOptimal) {
    // Letters, a space and a letter for space pairs, a byte that needs a raw run, NUL.
    const uint8_t alphabet[] = {'a', 'b', ' ', '@', 0x95, 0x00};
    for (size_t length = 1; length <= 7; ++length) {
        size_t total = 1;
        for (size_t i = 0; i < length; ++i) total *= sizeof alphabet;
        for (size_t code = 0; code < total; code += length >= 6 ? 7 : 1) {
            Bytes data;
            for (size_t c = code, i = 0; i < length; ++i, c /= sizeof alphabet) data.push_back(alphabet[c % sizeof alphabet]);
            ExpectOptimalRoundTrip(data);
            if (HasFatalFailure()) return;
        }
    }
}

TEST(PalmDocCompress, RandomStringsAreOptimal) {
    std::mt19937 rng(12345);
    const std::vector<std::vector<uint8_t>> alphabets = {
        {'a', 'b'}, {'a', ' ', 'b', '@'}, {0x95, 0x01, 'x', ' '}, {'t', 'h', 'e', ' ', 'a', 'n'}};
    for (int round = 0; round < 3000; ++round) {
        const auto& alphabet = alphabets[round % alphabets.size()];
        size_t length = 1 + rng() % 14;
        Bytes data;
        for (size_t i = 0; i < length; ++i) data.push_back(alphabet[rng() % alphabet.size()]);
        ExpectOptimalRoundTrip(data);
        if (HasFatalFailure()) return;
    }
    // Long enough that distances near the 2047 limit matter.
    for (int round = 0; round < 4; ++round) {
        Bytes data;
        size_t length = 2500 + rng() % 1500;
        for (size_t i = 0; i < length; ++i) data.push_back("ab c"[rng() % (round < 2 ? 2 : 4)]);
        // A phrase repeated far apart.
        const char phrase[] = "xyzzy plugh";
        data.insert(data.begin() + 10, phrase, phrase + 11);
        data.insert(data.begin() + 10 + 2040, phrase, phrase + 11);
        ExpectOptimalRoundTrip(data);
    }
}

TEST(PalmDocCompress, RoundTripsRandomBytesUpTo64K) {
    std::mt19937 rng(777);
    for (size_t size : {0, 1, 2, 3, 9, 100, 4096, 65535}) {
        for (int kind = 0; kind < 3; ++kind) {
            Bytes data(size);
            for (auto& b : data)
                b = kind == 0 ? (uint8_t)rng() : kind == 1 ? (uint8_t)"ab \x95"[rng() % 4] : (uint8_t)(rng() % 3 ? 0 : rng());
            Bytes block = PalmDocCompress(data.data(), data.size());
            if (size == 0) {
                EXPECT_TRUE(block.empty());
                continue;
            }
            ASSERT_EQ(Decode(block, size), data) << size << " kind " << kind;
            // Never worse than raw runs of eight.
            EXPECT_LE(block.size(), size + (size + 7) / 8);
        }
    }
    EXPECT_EQ(HeapLiveBlocks(), 0);
}

TEST(PalmDocCompress, LongestMatchesAreNearestAndCappedAtTen) {
    const std::string s = "abcXabcYabcabcabcabcabcabc";
    auto m = PalmDocLongestMatches((const uint8_t*)s.data(), s.size());
    EXPECT_EQ(m[0].length, 0);
    EXPECT_EQ(m[4].length, 3);
    EXPECT_EQ(m[4].distance, 4);
    EXPECT_EQ(m[8].length, 3);
    EXPECT_EQ(m[8].distance, 4);  // the nearest "abc"
    EXPECT_EQ(m[14].length, 10);
    EXPECT_EQ(m[14].distance, 3);
}

}  // namespace
