#include "content/index_records.h"

#include <cstring>

namespace {

const BYTE* WholeRecordAt(const BYTE* p, const BYTE* end) {
    if (end) {
        // Key, style, level and at least the title's terminator must fit.
        if (end - p < (ptrdiff_t)kIndexRecordOverhead || p[2] == 0) return nullptr;
        if (!std::memchr(p + 4, 0, (size_t)(end - p - 4))) return nullptr;
        return p;
    }
    return p[2] == 0 ? nullptr : p;
}

}  // namespace

size_t IndexRecordSize(const BYTE* record) { return std::strlen(IndexRecordTitle(record)) + kIndexRecordOverhead; }

const BYTE* FirstIndexRecord(const BYTE* index, const BYTE* end) {
    if (!index || (end && end <= index)) return nullptr;
    return WholeRecordAt(index, end);
}

const BYTE* NextIndexRecord(const BYTE* record, const BYTE* end) {
    return WholeRecordAt(record + IndexRecordSize(record), end);
}

size_t IndexRecordsSize(const BYTE* index, const BYTE* end) {
    size_t size = 0;
    for (const BYTE* r = FirstIndexRecord(index, end); r; r = NextIndexRecord(r, end)) size += IndexRecordSize(r);
    return size;
}

const char* IndexLessonTitle(const BYTE* index, const BYTE* end, int lesson) {
    WORD key = (WORD)(lesson | kIndexKeyLesson);
    for (const BYTE* r = FirstIndexRecord(index, end); r; r = NextIndexRecord(r, end))
        if (IndexRecordKey(r) == key) return IndexRecordTitle(r);
    return nullptr;
}
