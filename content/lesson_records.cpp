#include "content/lesson_records.h"

#include <cstring>

namespace {

// The record at p when it is a whole record before end; null at the end marker.
const BYTE* WholeRecordAt(const BYTE* p, const BYTE* end) {
    if (end) {
        // Style, parameter and at least the terminator must fit.
        if (end - p < 3 || p[0] == kStyleEnd) return nullptr;
        if (!std::memchr(p + 2, 0, (size_t)(end - p - 2))) return nullptr;
        return p;
    }
    return p[0] == kStyleEnd ? nullptr : p;
}

}  // namespace

size_t ParagraphRecordSize(const BYTE* record) { return 2 + std::strlen(ParagraphText(record)) + 1; }

const BYTE* FirstParagraphRecord(const BYTE* lesson, const BYTE* end) {
    if (!lesson || (end && end <= lesson)) return nullptr;
    return WholeRecordAt(lesson, end);
}

const BYTE* NextParagraphRecord(const BYTE* record, const BYTE* end) {
    return WholeRecordAt(record + ParagraphRecordSize(record), end);
}

const BYTE* LessonTitleRecord(const BYTE* lesson, const BYTE* end) {
    const BYTE* first = FirstParagraphRecord(lesson, end);
    return first && first[0] == kStyleTitle ? first : nullptr;
}

const BYTE* LessonSubtitleRecord(const BYTE* lesson, const BYTE* end) {
    const BYTE* r = FirstParagraphRecord(lesson, end);
    if (r && r[0] == kStyleTitle) r = NextParagraphRecord(r, end);
    return r && r[0] == kStyleSubtitle ? r : nullptr;
}
