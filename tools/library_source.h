// The library's source format (library/README.md): lesson files and the index, read
// into the decoded bytes the reader walks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Errors as "file:line: message" (line 0: the file as a whole), in the order found.
struct PackDiagnostics {
    std::vector<std::string> errors;
};
void AddError(PackDiagnostics* diag, const std::string& file, int line, const std::string& message);

// Largest decoded lesson or index: its length is stored in 16 bits.
constexpr size_t kMaxDecodedSize = 65535;
// Lesson numbers run from 1 to this; section ids must avoid them.
constexpr int kLessonCount = 131;

// Parses one lesson source (UTF-8 text) into its decoded bytes: the records, the end
// style 0 and two more zero bytes. Returns false (with errors added) on any error.
bool ParseLessonSource(const std::string& text, const std::string& file, std::vector<uint8_t>* lesson,
                       PackDiagnostics* diag);

// Parses the source of one lesson record (its lines, no blank line) into the record's
// bytes: style, parameter, text and its terminator. The dump checks its output with it.
bool ParseLessonRecord(const std::string& text, std::vector<uint8_t>* record);

// Parses the index source into its decoded bytes: the records and five zero bytes.
// exists[n] says whether lesson n (1 to lessonCount) is in the library.
bool ParseIndexSource(const std::string& text, const std::string& file, const std::vector<bool>& exists,
                      std::vector<uint8_t>* index, PackDiagnostics* diag);

// A library read from its folder: lessons[n] for n = 1 to lessonCount, and the index.
struct LibrarySources {
    int lessonCount = 0;
    std::vector<std::vector<uint8_t>> lessons;
    std::vector<uint8_t> index;
};

// Reads SRC_DIR/lessons/NNN-slug.txt (every lesson 1 to lessonCount exactly once) and
// SRC_DIR/index.txt. Returns false with errors added when anything is wrong.
bool ReadLibrarySources(const std::string& dir, int lessonCount, LibrarySources* lib, PackDiagnostics* diag);

// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* text);
