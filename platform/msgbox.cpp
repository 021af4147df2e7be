// Message boxes: the stand-in that answers with the default button and keeps a log.
#include "msgbox.h"

#include <cstring>
#include <deque>

namespace {
struct BoxState {
    MessageBoxRecord log[64];
    int count;
    std::deque<int> answers;
    MessageBoxHandler handler;
};
BoxState& B() {
    static BoxState b;
    return b;
}

void Copy(WCHAR* dst, size_t cap, LPCWSTR src) {
    size_t n = 0;
    if (src)
        while (n + 1 < cap && src[n]) dst[n] = src[n], ++n;
    dst[n] = 0;
}

int DefaultButton(UINT type) {
    static const int buttons[][3] = {
        {IDOK, IDOK, IDOK},             // MB_OK
        {IDOK, IDCANCEL, IDCANCEL},     // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},   // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},        // MB_YESNOCANCEL
        {IDYES, IDNO, IDNO},            // MB_YESNO
        {IDRETRY, IDCANCEL, IDCANCEL},  // MB_RETRYCANCEL
    };
    UINT kind = type & MB_TYPEMASK;
    if (kind > 5) kind = 0;
    UINT def = (type & MB_DEFMASK) >> 8;
    if (def > 2) def = 0;
    return buttons[kind][def];
}
}  // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    BoxState& b = B();
    int result;
    // A queued test answer wins over the drawn box, so tests can answer without input.
    if (!b.answers.empty()) {
        result = b.answers.front();
        b.answers.pop_front();
    } else if (b.handler) {
        result = b.handler(owner, text, caption, type);
    } else {
        result = DefaultButton(type);
    }
    if (b.count == 64) {
        memmove(&b.log[0], &b.log[1], sizeof(b.log[0]) * 63);
        --b.count;
    }
    MessageBoxRecord& r = b.log[b.count++];
    r.owner = owner;
    Copy(r.text, sizeof r.text / sizeof r.text[0], text);
    Copy(r.caption, sizeof r.caption / sizeof r.caption[0], caption);
    r.type = type;
    r.result = result;
    return result;
}

const MessageBoxRecord* MessageBoxLog(int* count) {
    if (count) *count = B().count;
    return B().log;
}

void MessageBoxClearLog() {
    B().count = 0;
    B().answers.clear();
}

void MessageBoxQueueAnswer(int button) {
    if (B().answers.size() < 16) B().answers.push_back(button);
}

void MessageBoxSetHandler(MessageBoxHandler handler) { B().handler = handler; }
