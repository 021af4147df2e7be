#include "bookmarks/bookmarks.h"

#include <cstring>

#include "app/frame_services.h"
#include "content/index_records.h"
#include "platform/heap.h"
#include "platform/msgbox.h"

namespace {

constexpr WCHAR kValueName[] = u"Bookmarks";
constexpr char kSectionTitle[] = "Bookmarks";
constexpr WORD kSectionKey = 0x8877;     // a section with id 2167
constexpr BYTE kSectionStyle = 0xC1;     // visible, open
constexpr BYTE kEntryStyle = 0x81;       // visible
constexpr size_t kHeaderSize = 4 + sizeof kSectionTitle;  // 14 bytes

BYTE* PutRecord(BYTE* at, WORD key, BYTE style, BYTE level, const char* title) {
    at[0] = (BYTE)key;
    at[1] = (BYTE)(key >> 8);
    at[2] = style;
    at[3] = level;
    size_t n = std::strlen(title) + 1;
    std::memcpy(at + 4, title, n);
    return at + 4 + n;
}

}  // namespace

void InitBookmarks() {
    g_app.bookmarks = nullptr;
    g_app.bookmarkCount = 0;
    LoadBookmarks();
}

void LoadBookmarks() {
    DWORD size = 0;
    BYTE* stored = ReadSettingBlob(kValueName, nullptr, &size);
    FreeBookmarks();
    if (!stored) return;
    // The list must end with a 0 entry; a damaged value is cut before its first 0 (or
    // to its whole entries) and terminated, so no walk runs past the buffer.
    size_t entries = size / 2;
    size_t count = 0;
    while (count < entries && (stored[2 * count] | stored[2 * count + 1]) != 0) ++count;
    uint16_t* list;
    if (count < entries) {
        list = (uint16_t*)stored;
    } else {
        list = (uint16_t*)GuardedAlloc((count + 1) * 2);
        if (!list) {
            LocalFree(stored);
            return;
        }
        std::memcpy(list, stored, count * 2);
        LocalFree(stored);
    }
    // Entries are little-endian on disk; this host's order is the same.
    list[count] = 0;
    g_app.bookmarks = list;
    g_app.bookmarkCount = (uint16_t)count;
}

int SaveBookmarks() {
    if (g_app.bookmarks) return WriteSettingBlob(kValueName, g_app.bookmarks, (DWORD)(g_app.bookmarkCount + 1) * 2);
    const uint16_t empty = 0;
    return WriteSettingBlob(kValueName, &empty, 2);
}

void FreeBookmarks() {
    LocalFree(g_app.bookmarks);
    g_app.bookmarks = nullptr;
    g_app.bookmarkCount = 0;
}

int IsBookmarked() {
    if (!g_app.bookmarks) return 0;
    for (const uint16_t* p = g_app.bookmarks; *p; ++p)
        if (*p == g_app.lesson) return 1;
    return 0;
}

void AddBookmark() {
    if (IsBookmarked()) return;
    uint16_t* list = (uint16_t*)LocalAlloc(LMEM_FIXED, ((size_t)g_app.bookmarkCount + 2) * 2);
    if (!list) return;
    if (g_app.bookmarks) {
        std::memcpy(list, g_app.bookmarks, (size_t)g_app.bookmarkCount * 2);
        LocalFree(g_app.bookmarks);
    }
    list[g_app.bookmarkCount++] = g_app.lesson;
    list[g_app.bookmarkCount] = 0;
    g_app.bookmarks = list;
}

void RemoveBookmark() {
    if (!g_app.bookmarks) return;
    uint16_t* out = g_app.bookmarks;
    for (const uint16_t* p = g_app.bookmarks; *p; ++p) {
        if (*p == g_app.lesson)
            --g_app.bookmarkCount;
        else
            *out++ = *p;
    }
    *out = 0;
}

void ToggleBookmark(int isBookmarked) {
    if (!isBookmarked) {
        AddBookmark();
        return;
    }
    if (g_app.bookmarkFlags & 1) {
        RemoveBookmark();
        return;
    }
    int answer = MessageBoxW(g_app.mainWindow, u"Remove Bookmark?\n\nCancel - Don't ask again", u"Bookmark",
                             MB_YESNOCANCEL);
    if (answer == IDYES) {
        RemoveBookmark();
    } else if (answer == IDCANCEL) {
        g_app.bookmarkFlags |= 1;
        RemoveBookmark();
    }
}

BYTE* BuildBookmarksSection(const BYTE* index) {
    bool haveIndex = index && FirstIndexRecord(index, nullptr);
    size_t size = kHeaderSize;
    if (g_app.bookmarks && haveIndex)
        for (const uint16_t* p = g_app.bookmarks; *p; ++p)
            if (const char* title = IndexLessonTitle(index, nullptr, *p)) size += std::strlen(title) + 5;
    // Sizes stay full-width: a 16-bit sum could wrap on a damaged list and under-allocate.
    BYTE* section = (BYTE*)LocalAlloc(LMEM_FIXED, size + kIndexRecordOverhead);
    if (!section) return nullptr;
    BYTE* at = PutRecord(section, kSectionKey, kSectionStyle, 1, kSectionTitle);
    if (g_app.bookmarks && haveIndex)
        for (const uint16_t* p = g_app.bookmarks; *p; ++p)
            if (const char* title = IndexLessonTitle(index, nullptr, *p))
                at = PutRecord(at, (WORD)(*p | kIndexKeyLesson), kEntryStyle, 2, title);
    std::memset(at, 0, kIndexRecordOverhead);
    return section;
}

BYTE* JoinIndex(BYTE* first, BYTE* second) {
    if (!second) return first;
    if (!first) return second;
    size_t a = IndexRecordsSize(first, nullptr);
    size_t b = IndexRecordsSize(second, nullptr);
    BYTE* joined = (BYTE*)LocalAlloc(LMEM_FIXED, a + b + kIndexRecordOverhead);
    if (!joined) {
        LocalFree(first);
        return second;
    }
    std::memcpy(joined, first, a);
    std::memcpy(joined + a, second, b);
    std::memset(joined + a + b, 0, kIndexRecordOverhead);
    LocalFree(first);
    LocalFree(second);
    return joined;
}

BYTE* AddBookmarksSection(BYTE* index) {
    if (!g_app.bookmarks || g_app.bookmarkCount == 0) return index;
    BYTE* section = BuildBookmarksSection(index);
    if (!section) return index;
    return JoinIndex(section, index);
}
