// The caller's side: finding other instances, naming their windows with handles of
// our own, and asking them about those windows.
#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "instance.h"
#include "message.h"

namespace {

// A remote handle: bit 62 set, the low bits an index into the table. A local handle
// is a small slot and generation, far below.
constexpr uintptr_t kRemoteTag = (uintptr_t)1 << 62;
constexpr size_t kMaxRemote = 256;
static_assert(sizeof(uintptr_t) == 8, "remote handles need 64-bit pointers");

struct Remote {
    long pid;
    uint64_t handle;  // as the remote process names the window
};

std::vector<Remote>& Table() {
    static std::vector<Remote> t;
    return t;
}

HWND MapRemote(long pid, uint64_t handle) {
    if (!handle) return nullptr;
    auto& t = Table();
    for (size_t i = 0; i < t.size(); ++i)
        if (t[i].pid == pid && t[i].handle == handle) return (HWND)(kRemoteTag | (i + 1));
    // Full: the oldest names are the least likely still in use; reuse from the start.
    static size_t next = 0;
    size_t i = t.size();
    if (i < kMaxRemote) {
        t.push_back(Remote{pid, handle});
    } else {
        i = next;
        next = (next + 1) % kMaxRemote;
        t[i] = Remote{pid, handle};
    }
    return (HWND)(kRemoteTag | (i + 1));
}

const Remote* Lookup(HWND hwnd) {
    if (!InstanceIsRemote(hwnd)) return nullptr;
    return &Table()[((uintptr_t)hwnd & 0xFFFFFFFFu) - 1];
}

InstanceRequest NewRequest(uint32_t op) {
    InstanceRequest q;
    std::memset(&q, 0, sizeof q);
    q.magic = INSTANCE_MAGIC;
    q.op = op;
    q.classLength = INSTANCE_NO_TEXT;
    q.titleLength = INSTANCE_NO_TEXT;
    return q;
}

bool PutText(LPCWSTR text, uint16_t* length, uint16_t* units) {
    if (!text) return true;
    size_t n = 0;
    while (text[n]) ++n;
    if (n > INSTANCE_TEXT_MAX) return false;
    std::memcpy(units, text, n * 2);
    *length = (uint16_t)n;
    return true;
}

enum Outcome { ASKED, UNREACHABLE, STALE };

// One request to process `pid`; `replyMs` -1 waits as long as the peer lives. A
// socket that refuses connections is a dead instance's: it is removed.
Outcome Ask(long pid, const InstanceRequest& q, int replyMs, InstanceReply* r) {
    int error = 0;
    int fd = InstanceConnect(pid, &error);
    if (fd < 0) {
        if (error != ECONNREFUSED) return UNREACHABLE;
        char path[200];
        if (InstanceSocketPath(pid, path, sizeof path)) unlink(path);
        return STALE;
    }
    bool ok = InstanceWriteAll(fd, &q, sizeof q, InstanceReplyTimeout()) &&
              InstanceReadAll(fd, r, sizeof *r, replyMs) && r->magic == INSTANCE_MAGIC && r->status == INSTANCE_OK;
    close(fd);
    return ok ? ASKED : UNREACHABLE;
}

// The other instances, oldest socket first.
std::vector<long> Peers() {
    std::vector<long> out;
    char folder[600];
    if (InstanceFolder(false, folder, sizeof folder) == false) return out;
    DIR* dir = opendir(folder);
    if (!dir) return out;
    struct Found {
        long pid;
        struct timespec made;
    };
    std::vector<Found> found;
    long self = (long)getpid();
    while (dirent* e = readdir(dir)) {
        long pid;
        int end = 0;
        if (std::sscanf(e->d_name, "instance-%ld.sock%n", &pid, &end) != 1 || e->d_name[end] || pid <= 0 ||
            pid == self)
            continue;
        char path[1200];
        std::snprintf(path, sizeof path, "%s/%s", folder, e->d_name);
        struct stat st;
        if (lstat(path, &st) != 0) continue;
        found.push_back(Found{pid, st.st_mtim});
    }
    closedir(dir);
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.made.tv_sec != b.made.tv_sec) return a.made.tv_sec < b.made.tv_sec;
        if (a.made.tv_nsec != b.made.tv_nsec) return a.made.tv_nsec < b.made.tv_nsec;
        return a.pid < b.pid;
    });
    for (const Found& f : found) out.push_back(f.pid);
    return out;
}

// Asks every other instance in turn until one answers with a window.
HWND AskEach(const InstanceRequest& q) {
    for (long pid : Peers()) {
        InstanceReply r;
        if (Ask(pid, q, InstanceReplyTimeout(), &r) == ASKED && r.value) return MapRemote(pid, (uint64_t)r.value);
    }
    return nullptr;
}

// A question about one remote window; false when it cannot be asked.
bool AskAbout(HWND remote, uint32_t op, InstanceReply* r, int replyMs) {
    const Remote* w = Lookup(remote);
    if (!w || InstanceAnswering()) return false;
    InstanceRequest q = NewRequest(op);
    q.hwnd = w->handle;
    return Ask(w->pid, q, replyMs, r) == ASKED;
}

}  // namespace

bool InstanceIsRemote(HWND hwnd) {
    uintptr_t v = (uintptr_t)hwnd;
    if ((v & ~(uintptr_t)0xFFFFFFFFu) != kRemoteTag) return false;
    size_t i = v & 0xFFFFFFFFu;
    return i >= 1 && i <= Table().size();
}

HWND InstanceFindWindow(LPCWSTR className, LPCWSTR windowName) {
    // Atoms name classes of one process only.
    if (InstanceAnswering() || (className && IS_INTRESOURCE(className)) || (windowName && IS_INTRESOURCE(windowName)))
        return nullptr;
    InstanceRequest q = NewRequest(INSTANCE_FIND);
    if (!PutText(className, &q.classLength, q.className) || !PutText(windowName, &q.titleLength, q.title))
        return nullptr;
    return AskEach(q);
}

HWND InstanceForegroundWindow() {
    if (InstanceAnswering()) return nullptr;
    return AskEach(NewRequest(INSTANCE_FOREGROUND));
}

HWND InstanceGetParent(HWND remote) {
    InstanceReply r;
    if (!AskAbout(remote, INSTANCE_PARENT, &r, InstanceReplyTimeout())) return nullptr;
    return MapRemote(Lookup(remote)->pid, (uint64_t)r.value);
}

BOOL InstanceIsWindow(HWND remote) {
    InstanceReply r;
    return AskAbout(remote, INSTANCE_IS_WINDOW, &r, InstanceReplyTimeout()) && r.value ? TRUE : FALSE;
}

BOOL InstanceSetForegroundWindow(HWND remote) {
    InstanceReply r;
    return AskAbout(remote, INSTANCE_SET_FOREGROUND, &r, InstanceReplyTimeout()) && r.value ? TRUE : FALSE;
}

LRESULT InstanceSendMessage(HWND remote, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!(msg == WM_NULL || msg == WM_CLOSE || (msg == WM_COMMAND && lParam == 0))) return 0;
    const Remote* w = Lookup(remote);
    if (!w || InstanceAnswering()) return 0;
    InstanceRequest q = NewRequest(INSTANCE_SEND);
    q.hwnd = w->handle;
    q.msg = msg;
    q.wParam = wParam;
    q.lParam = lParam;
    InstanceReply r;
    // The remote procedure may run a dialog for as long as the user keeps it open.
    return Ask(w->pid, q, -1, &r) == ASKED ? (LRESULT)r.value : 0;
}
