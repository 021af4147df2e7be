// PalmDoc LZ77 compression with an optimal parse: the shortest command sequence that
// decodes to exactly the given bytes, no command reaching past their end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Compresses size bytes (any length; lessons are at most 65,535). Deterministic: the
// same input always gives the same output. Among encodings of equal length it takes
// one with the fewest commands.
std::vector<uint8_t> PalmDocCompress(const uint8_t* data, size_t size);

// The longest earlier match (3 to 10 bytes, up to 2047 back) at every position, with
// the nearest distance that gives it; length 0 where there is none. Exposed for tests.
struct PalmDocMatch {
    uint16_t length;
    uint16_t distance;
};
std::vector<PalmDocMatch> PalmDocLongestMatches(const uint8_t* data, size_t size);
