#include "content/content_resource.h"

#include <bit>
#include <cstring>

#include "platform/heap.h"
#include "platform/msgbox.h"
#include "platform/resource.h"

namespace {

inline UINT ReadBigEndian16(const BYTE* p) { return (UINT)p[0] << 8 | p[1]; }

inline void SetStatus(int* status, int value) {
    if (status) *status = value;
}

// The fast loop works while both sides have this much room, so that no command in it
// needs a bound test of its own: it may write or read up to 16 bytes past its start.
constexpr ptrdiff_t kFastMargin = 32;

// Index (0 to 8) of the first of eight input bytes that is not a plain literal, that is
// one of 0x01-0x08 (a run) or 0x80-0xFF (a back-reference or space pair).
inline unsigned LeadingLiterals(uint64_t x) {
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    // With the high bit forced on, no lane borrows; a lane is 0x80-0x87 exactly when
    // its low seven bits are 1-8, and those lanes become zero after the mask and xor.
    uint64_t z = (((x | kHigh) - kOnes) & 0xF8F8F8F8F8F8F8F8ull) ^ kHigh;
    // The lowest zero lane is found exactly; lanes above it may be flagged falsely,
    // which does not matter since only the lowest flag is used.
    uint64_t flags = (x & kHigh) | ((z - kOnes) & ~z & kHigh);
    if (!flags) return 8;
    if constexpr (std::endian::native == std::endian::little)
        return (unsigned)__builtin_ctzll(flags) >> 3;
    else
        return (unsigned)__builtin_clzll(flags) >> 3;
}

}  // namespace

BYTE* UnCompress(const BYTE* source, UINT P, UINT U, int* status) {
    if (U == 0 || !source) {
        SetStatus(status, kContentNoLength);
        return nullptr;
    }
    BYTE* out = (BYTE*)LocalAlloc(LMEM_FIXED, (size_t)U + 2);
    if (!out) {
        SetStatus(status, kContentUnobtainable);
        return nullptr;
    }
    const BYTE* in = source;
    const BYTE* inEnd = source + P;
    BYTE* o = out;
    BYTE* oEnd = out + U;

    // Far from both ends: literal stretches eight bytes at a time, then one command,
    // with fixed-size copies that may spill into bytes written later.
    while (inEnd - in >= kFastMargin && oEnd - o >= kFastMargin) {
        BYTE b = *in;
        if (b >= 0xC0) {
            o[0] = ' ';
            o[1] = b ^ 0x80;
            o += 2;
            in += 1;
        } else if (b >= 0x80) {
            UINT w = (UINT)b << 8 | in[1];
            in += 2;
            ptrdiff_t distance = (w >> 3) & 0x7FF;
            if (distance == 0 || distance > o - out) goto fail;
            const BYTE* from = o - distance;
            if (distance >= 16) {
                std::memcpy(o, from, 16);
            } else if (distance >= 8) {
                std::memcpy(o, from, 8);
                std::memcpy(o + 8, from + 8, 8);
            } else if (distance == 1) {
                std::memset(o, *from, 16);
            } else {
                for (UINT i = 0; i < 10; ++i) o[i] = from[i];
            }
            o += (w & 7) + 3;
        } else if (b - 1u < 8u) {
            // A run of b raw bytes.
            std::memcpy(o, in + 1, 8);
            o += b;
            in += 1 + b;
        } else {
            // A stretch of literals, up to eight at a time.
            uint64_t x;
            std::memcpy(&x, in, 8);
            unsigned n = LeadingLiterals(x);
            std::memcpy(o, in, 8);
            o += n;
            in += n;
        }
    }

    // Near an end: every command checks its bounds and stops when the output is full.
    while (o < oEnd && in < inEnd) {
        BYTE b = *in++;
        if (b >= 0xC0) {
            *o++ = ' ';
            if (o < oEnd) *o++ = b ^ 0x80;
        } else if (b >= 0x80) {
            if (in >= inEnd) goto fail;
            UINT w = (UINT)b << 8 | *in++;
            ptrdiff_t distance = (w >> 3) & 0x7FF;
            ptrdiff_t length = (w & 7) + 3;
            if (distance == 0 || distance > o - out) goto fail;
            if (length > oEnd - o) length = oEnd - o;
            const BYTE* from = o - distance;
            for (ptrdiff_t i = 0; i < length; ++i) o[i] = from[i];
            o += length;
        } else if (b >= 1 && b <= 8) {
            // Only the bytes the output still takes must be present.
            ptrdiff_t length = b;
            if (length > oEnd - o) length = oEnd - o;
            if (length > inEnd - in) goto fail;
            std::memcpy(o, in, (size_t)length);
            o += length;
            in += length;
        } else {
            *o++ = b;
        }
    }
    if (o == oEnd) {
        // Both spare bytes are zeroed: a lesson missing its end marker then still ends
        // at a 0 style code instead of a walk into unwritten memory.
        out[U] = 0;
        out[U + 1] = 0;
        return out;
    }

fail:
    LocalFree(out);
    MessageBoxW(nullptr, u"UnCompress() buffer error!", nullptr, MB_OK);
    SetStatus(status, kContentInputShort);
    return nullptr;
}

BYTE* LoadContentResource(int n, int* status) {
    if (n < 1) return nullptr;
    HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(1000 + n), MAKEINTRESOURCEW(kContentResourceType));
    if (!res) {
        SetStatus(status, kContentNoResource);
        return nullptr;
    }
    DWORD size = SizeofResource(nullptr, res);
    const BYTE* bytes = (const BYTE*)LockResource(LoadResource(nullptr, res));
    if (size == 0 || !bytes) {
        SetStatus(status, kContentUnobtainable);
        return nullptr;
    }
    // A header cut short by the resource's end counts as a bad header.
    if (size < kContentHeaderSize || ReadBigEndian16(bytes) < 5 || ReadBigEndian16(bytes + 6) == 0) {
        SetStatus(status, kContentBadHeader);
        return nullptr;
    }
    UINT P = ReadBigEndian16(bytes + 6);
    UINT U = ReadBigEndian16(bytes + 8);
    // P is not trusted beyond the resource's real size.
    if (P > size - kContentHeaderSize) P = size - kContentHeaderSize;
    return UnCompress(bytes + kContentHeaderSize, P, U, status);
}
