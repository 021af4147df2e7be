// The lesson and index walkers on arbitrary buffers: bounded walks on the bytes as
// they are, unbounded walks on the bytes with the end markers a decoded buffer has.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "content/index_records.h"
#include "content/lesson_records.h"

namespace {

size_t WalkLesson(const BYTE* p, const BYTE* end) {
    size_t sum = 0;
    for (const BYTE* r = FirstParagraphRecord(p, end); r; r = NextParagraphRecord(r, end))
        sum += ParagraphRecordSize(r);
    const BYTE* title = LessonTitleRecord(p, end);
    const BYTE* subtitle = LessonSubtitleRecord(p, end);
    if (title && ParagraphStyle(title) != kStyleTitle) std::abort();
    if (subtitle && ParagraphStyle(subtitle) != kStyleSubtitle) std::abort();
    return sum;
}

size_t WalkIndex(const BYTE* p, const BYTE* end) {
    size_t sum = 0;
    for (const BYTE* r = FirstIndexRecord(p, end); r; r = NextIndexRecord(r, end)) {
        sum += IndexRecordSize(r);
        if (IndexRecordStyle(r) == 0) std::abort();
        if ((IndexRecordKey(r) & (kIndexKeySection | kIndexKeyLesson)) == kIndexKeyLesson) {
            const char* t = IndexLessonTitle(p, end, IndexRecordKey(r) & kIndexKeyNumberMask);
            if (!t) std::abort();
        }
    }
    if (sum != IndexRecordsSize(p, end)) std::abort();
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Exactly the input's bytes on the heap, so a read past them is caught.
    std::vector<BYTE> bytes(data, data + size);
    const BYTE* p = bytes.empty() ? nullptr : bytes.data();
    if (p) {
        // A bounded walk visits only whole records inside the buffer.
        if (WalkLesson(p, p + size) > size) std::abort();
        if (WalkIndex(p, p + size) > size) std::abort();
    }
    // Unbounded: the decoded buffer's guarantees (terminators) appended.
    std::vector<BYTE> lesson(bytes);
    lesson.insert(lesson.end(), {0, 0, 0, 0});
    WalkLesson(lesson.data(), nullptr);
    std::vector<BYTE> index(bytes);
    index.insert(index.end(), {0, 0, 0, 0, 0, 0});
    WalkIndex(index.data(), nullptr);
    return 0;
}
