// Writing decoded lessons and the index back as sources that pack to the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The source of a decoded lesson: canonical tags where they give the same bytes, raw
// .style/.param and escapes otherwise. False (with why) when the bytes are not a lesson
// the packer could have made (no end marker, trailing bytes, first record rejected).
bool DumpLessonSource(const std::vector<uint8_t>& lesson, std::string* text, std::string* why);

// The source of a decoded index. exists[n] tells which lessons the library holds.
bool DumpIndexSource(const std::vector<uint8_t>& index, const std::vector<bool>& exists, std::string* text,
                     std::string* why);

// A file-name slug from the lesson's first record ("hydrogen"); "lesson" when empty.
std::string LessonSlug(const std::vector<uint8_t>& lesson);
