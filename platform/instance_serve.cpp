// The running instance's answers: each request names its own windows by their local
// handles, and runs on the loop's thread like any other message.
#include <cstring>
#include <string>

#include "instance.h"
#include "message.h"
#include "window.h"

namespace {

int g_answering = 0;  // depth of answers that must not reach out to other processes

// A window of this process (never a remote one, never a stale handle).
HWND LocalWindow(uint64_t value) {
    HWND h = (HWND)(uintptr_t)value;
    return value && !InstanceIsRemote(h) && IsWindow(h) ? h : nullptr;
}

bool ReadText(uint16_t length, const uint16_t* units, std::u16string* out, bool* any) {
    *any = length == INSTANCE_NO_TEXT;
    if (*any) return true;
    if (length > INSTANCE_TEXT_MAX) return false;
    out->assign((const char16_t*)units, length);
    return out->find(u'\0') == std::u16string::npos;
}

// Messages whose parameters mean the same in any process.
bool MayCross(UINT msg, LPARAM lParam) {
    return msg == WM_NULL || msg == WM_CLOSE || (msg == WM_COMMAND && lParam == 0);
}

InstanceReply Answer(const InstanceRequest& q) {
    InstanceReply r{INSTANCE_MAGIC, INSTANCE_OK, 0};
    switch (q.op) {
        case INSTANCE_FIND: {
            std::u16string cls, title;
            bool anyClass, anyTitle;
            if (!ReadText(q.classLength, q.className, &cls, &anyClass) ||
                !ReadText(q.titleLength, q.title, &title, &anyTitle))
                break;
            r.value = (int64_t)(uintptr_t)FindWindowW(anyClass ? nullptr : (LPCWSTR)cls.c_str(),
                                                      anyTitle ? nullptr : (LPCWSTR)title.c_str());
            return r;
        }
        case INSTANCE_FOREGROUND:
            // Without the input focus this instance has no foreground window.
            r.value = (int64_t)(uintptr_t)GetActiveWindow();
            return r;
        case INSTANCE_PARENT:
            if (HWND h = LocalWindow(q.hwnd)) {
                HWND p = GetParent(h);
                r.value = InstanceIsRemote(p) ? 0 : (int64_t)(uintptr_t)p;
                return r;
            }
            break;
        case INSTANCE_IS_WINDOW: r.value = LocalWindow(q.hwnd) != nullptr; return r;
        case INSTANCE_SET_FOREGROUND:
            if (HWND h = LocalWindow(q.hwnd)) {
                r.value = SetForegroundWindow(h);
                return r;
            }
            break;
    }
    r.status = INSTANCE_REFUSED;
    return r;
}

}  // namespace

bool InstanceAnswering() { return g_answering > 0; }

void InstanceServeConnection(int fd) {
    InstanceRequest q;
    // The caller writes its request at once; one that dawdles loses its turn.
    if (!InstanceReadAll(fd, &q, sizeof q, 500) || q.magic != INSTANCE_MAGIC) return;
    InstanceReply r{INSTANCE_MAGIC, INSTANCE_REFUSED, 0};
    if (q.op == INSTANCE_SEND) {
        HWND h = LocalWindow(q.hwnd);
        if (h && MayCross(q.msg, (LPARAM)q.lParam)) {
            // The procedure may open a modal dialog; its loop goes on serving others.
            r.value = (int64_t)SendMessageW(h, q.msg, (WPARAM)q.wParam, (LPARAM)q.lParam);
            r.status = INSTANCE_OK;
        }
    } else {
        ++g_answering;
        r = Answer(q);
        --g_answering;
    }
    InstanceWriteAll(fd, &r, sizeof r, 1000);
}
