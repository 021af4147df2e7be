#include "tools/palmdoc_compress.h"

#include <cstring>

namespace {

constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 10;
constexpr size_t kWindow = 2047;
constexpr size_t kMaxRun = 8;
constexpr unsigned kHashBits = 15;

inline bool IsLiteral(uint8_t b) { return b == 0 || (b >= 0x09 && b <= 0x7F); }
inline bool IsSpacePair(const uint8_t* p, size_t left) { return left >= 2 && p[0] == 0x20 && p[1] >= 0x40 && p[1] <= 0x7F; }

inline unsigned Hash3(const uint8_t* p) {
    uint32_t v = (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
    return (v * 2654435761u) >> (32 - kHashBits);
}

enum Kind : uint8_t { kLiteral, kSpacePair, kBackReference, kRun };

struct Step {
    uint32_t cost;      // bytes to encode the rest from here
    uint32_t commands;  // commands to encode the rest, the tie-breaker
    uint8_t kind;
    uint8_t length;     // bytes of input the command covers
};

}  // namespace

std::vector<PalmDocMatch> PalmDocLongestMatches(const uint8_t* data, size_t size) {
    std::vector<PalmDocMatch> best(size, PalmDocMatch{0, 0});
    if (size < kMinMatch) return best;
    std::vector<int32_t> head(size_t(1) << kHashBits, -1);
    std::vector<int32_t> prev(size, -1);
    for (size_t i = 0; i + kMinMatch <= size; ++i) {
        unsigned h = Hash3(data + i);
        size_t limit = size - i < kMaxMatch ? size - i : kMaxMatch;
        for (int32_t j = head[h]; j >= 0 && i - (size_t)j <= kWindow; j = prev[j]) {
            // Overlapping matches are fine: the decoder copies byte by byte.
            size_t len = 0;
            while (len < limit && data[j + len] == data[i + len]) ++len;
            if (len >= kMinMatch && len > best[i].length) {
                best[i] = PalmDocMatch{(uint16_t)len, (uint16_t)(i - j)};
                if (len == limit) break;
            }
        }
        prev[i] = head[h];
        head[h] = (int32_t)i;
    }
    return best;
}

std::vector<uint8_t> PalmDocCompress(const uint8_t* data, size_t size) {
    std::vector<PalmDocMatch> match = PalmDocLongestMatches(data, size);
    std::vector<Step> step(size + 1);
    step[size] = Step{0, 0, kLiteral, 0};
    auto consider = [&](size_t i, uint32_t cost, size_t length, uint8_t kind) {
        const Step& next = step[i + length];
        uint32_t total = next.cost + cost;
        uint32_t commands = next.commands + 1;
        Step& s = step[i];
        if (total < s.cost || (total == s.cost && commands < s.commands))
            s = Step{total, commands, kind, (uint8_t)length};
    };
    for (size_t i = size; i-- > 0;) {
        step[i] = Step{UINT32_MAX, UINT32_MAX, kRun, 1};
        size_t left = size - i;
        if (IsLiteral(data[i])) consider(i, 1, 1, kLiteral);
        if (IsSpacePair(data + i, left)) consider(i, 1, 2, kSpacePair);
        // Every length up to the longest match is available at the same distance.
        for (size_t len = kMinMatch; len <= match[i].length; ++len) consider(i, 2, len, kBackReference);
        for (size_t k = 1; k <= kMaxRun && k <= left; ++k) consider(i, (uint32_t)k + 1, k, kRun);
    }

    std::vector<uint8_t> out;
    out.reserve(size ? step[0].cost : 0);
    for (size_t i = 0; i < size; i += step[i].length) {
        const Step& s = step[i];
        switch (s.kind) {
        case kLiteral:
            out.push_back(data[i]);
            break;
        case kSpacePair:
            out.push_back(data[i + 1] ^ 0x80);
            break;
        case kBackReference: {
            unsigned w = 0x8000u | (unsigned)match[i].distance << 3 | (unsigned)(s.length - kMinMatch);
            out.push_back((uint8_t)(w >> 8));
            out.push_back((uint8_t)w);
            break;
        }
        case kRun:
            out.push_back(s.length);
            out.insert(out.end(), data + i, data + i + s.length);
            break;
        }
    }
    return out;
}
