// Content containers and the pack file that carries them (library/README.md).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/library_source.h"

constexpr uint16_t kPackTypeRawData = 10;
constexpr uint16_t kIndexResourceId = 32767;
constexpr int kLessonResourceBase = 1000;

// Compresses decoded bytes into a content container: B = P + 8, the two numbers, P, U,
// the compressed block and four zero bytes. Checks the block by decoding it again.
// False (with why) when the block or the decoded length does not fit 16 bits.
bool BuildContentContainer(int firstNumber, int secondNumber, const std::vector<uint8_t>& decoded,
                           std::vector<uint8_t>* container, std::string* why);

// Decodes a container's block (P cut to what the container holds). False with why
// when the header or the block is malformed.
bool DecodeContentContainer(const uint8_t* bytes, size_t size, std::vector<uint8_t>* decoded, std::string* why);

// One resource of a pack file.
struct PackEntry {
    uint16_t type;
    uint16_t id;
    std::vector<uint8_t> bytes;
};

// The pack image of a library: lessons 1001 upwards, then the index.
bool BuildPackImage(const LibrarySources& lib, std::vector<uint8_t>* image, PackDiagnostics* diag);
// Splits a pack image into its entries; false when it is malformed.
bool ParsePackImage(const std::vector<uint8_t>& image, std::vector<PackEntry>* entries);

// Writes bytes to path through a temporary file in the same folder and a rename, so
// the file is either the old one or the whole new one. False with why on failure.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string* why);
