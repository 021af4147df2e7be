// The sockets between instances: the private folder, listening, connecting with the
// peer's credentials checked, and reads and writes that never wait forever.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "backend.h"
#include "instance.h"
#include "platform.h"

namespace {

struct Transport {
    int listenFd = -1;
    long listenPid = 0;
    bool exitHook = false;
    int connectMs = 2000;
    int replyMs = 3000;
};

Transport& X() {
    static Transport x;
    return x;
}

long NowMs() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000L + ts.tv_nsec / 1000000L;
}

// A folder we may keep sockets in: a real folder (not a link), ours, closed to others.
bool PrivateFolder(const char* path, bool create) {
    if (create && mkdir(path, 0700) != 0 && errno != EEXIST) return false;
    struct stat st;
    if (lstat(path, &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

bool FillAddress(const char* path, sockaddr_un* addr) {
    std::memset(addr, 0, sizeof *addr);
    addr->sun_family = AF_UNIX;
    if (std::strlen(path) >= sizeof addr->sun_path) return false;
    std::strcpy(addr->sun_path, path);
    return true;
}

bool PeerIsUs(int fd) {
    struct ucred cred;
    socklen_t len = sizeof cred;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || len != sizeof cred) return false;
    return cred.uid == geteuid();
}

// Waits for `events` on fd; with no limit, wakes every quarter second to notice a
// peer that went away (poll reports that as POLLHUP or POLLERR), and gives up when the
// user asks the program to close (the request stays for the loop to see).
bool Wait(int fd, short events, long deadline) {
    for (;;) {
        int slice = 250;
        if (deadline >= 0) {
            long left = deadline - NowMs();
            if (left <= 0) return false;
            if (left < slice) slice = (int)left;
        } else if (InputTakeSignalClose()) {
            InputRequestCloseFromSignal();
            return false;
        }
        struct pollfd p{fd, events, 0};
        int r = poll(&p, 1, slice);
        if (r < 0 && errno != EINTR) return false;
        if (r > 0) return true;  // readiness, hang-up or error: the read or write says which
    }
}

void RemoveOwnSocket() {
    char path[sizeof(sockaddr_un{}.sun_path)];
    if (X().listenPid && InstanceSocketPath(X().listenPid, path, sizeof path)) unlink(path);
}

void StopAtExit() { InstanceStop(); }

}  // namespace

bool InstanceFolder(bool create, char* out, size_t size) {
    char base[512];
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
        if (std::snprintf(base, sizeof base, "%s", runtime) >= (int)sizeof base) return false;
    } else {
        // No session runtime folder: one of our own in /tmp, which others could have
        // made first, so it is checked like ours.
        std::snprintf(base, sizeof base, "/tmp/velmora-%lu", (unsigned long)geteuid());
        if (!PrivateFolder(base, create)) return false;
    }
    if (std::snprintf(out, size, "%s/velmora", base) >= (int)size) return false;
    return PrivateFolder(out, create);
}

bool InstanceSocketPath(long pid, char* out, size_t size) {
    char folder[600];
    if (!InstanceFolder(false, folder, sizeof folder)) return false;
    int n = std::snprintf(out, size, "%s/instance-%ld.sock", folder, pid);
    return n > 0 && (size_t)n < size && (size_t)n < sizeof(sockaddr_un{}.sun_path);
}

bool InstanceListen() {
    Transport& x = X();
    if (x.listenFd >= 0) return true;
    char folder[600], path[700], temp[700];
    if (!InstanceFolder(true, folder, sizeof folder)) {
        PlatformSetError("no private folder for the instance socket");
        return false;
    }
    long pid = (long)getpid();
    std::snprintf(path, sizeof path, "%s/instance-%ld.sock", folder, pid);
    std::snprintf(temp, sizeof temp, "%s/instance-%ld.new", folder, pid);
    sockaddr_un addr;
    if (!FillAddress(path, &addr) || !FillAddress(temp, &addr)) {
        PlatformSetError("the instance socket path is too long");
        return false;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        PlatformSetError("cannot make the instance socket");
        return false;
    }
    // Bound and listening under a temporary name first, so that nobody ever sees the
    // real name refuse connections and takes it for a dead instance's.
    unlink(temp);
    if (bind(fd, (const sockaddr*)&addr, sizeof addr) != 0 || listen(fd, 16) != 0 || rename(temp, path) != 0) {
        PlatformSetError("cannot listen on the instance socket");
        unlink(temp);
        close(fd);
        return false;
    }
    x.listenFd = fd;
    x.listenPid = pid;
    if (!x.exitHook) {
        x.exitHook = true;
        atexit(StopAtExit);
    }
    return true;
}

void InstanceStop() {
    Transport& x = X();
    if (x.listenFd < 0) return;
    // A forked child inherits the socket but not the name: only the owner removes it.
    if (x.listenPid == (long)getpid()) RemoveOwnSocket();
    close(x.listenFd);
    x.listenFd = -1;
    x.listenPid = 0;
}

int InstanceListenFd() { return X().listenFd; }

bool InstanceServe(int timeoutMs) {
    long deadline = NowMs() + (timeoutMs > 0 ? timeoutMs : 0);
    for (;;) {
        int fd = X().listenFd;
        long left = deadline - NowMs();
        if (left < 0) left = 0;
        int r;
        if (fd < 0) {
            r = poll(nullptr, 0, (int)left);
        } else {
            struct pollfd p{fd, POLLIN, 0};
            r = poll(&p, 1, (int)left);
        }
        if (r < 0) return false;  // a signal: let the loop look at it
        if (r == 0) return false;
        bool served = false;
        int failure = 0;
        // Take what is queued now; each connection runs to its end before the next.
        while (X().listenFd >= 0) {
            int c = accept4(X().listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (c < 0) {
                failure = errno;
                break;
            }
            served = true;
            if (PeerIsUs(c)) InstanceServeConnection(c);
            close(c);
        }
        if (served) return true;
        // Out of descriptors or the like: do not spin on a socket that stays readable.
        if (failure != EAGAIN && failure != EINTR && failure != ECONNABORTED) return false;
        if (NowMs() >= deadline) return false;
    }
}

int InstanceConnect(long pid, int* error) {
    char path[sizeof(sockaddr_un{}.sun_path)];
    sockaddr_un addr;
    if (!InstanceSocketPath(pid, path, sizeof path) || !FillAddress(path, &addr)) {
        *error = ENAMETOOLONG;
        return -1;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    long deadline = NowMs() + X().connectMs;
    for (;;) {
        if (connect(fd, (const sockaddr*)&addr, sizeof addr) == 0) break;
        int e = errno;
        // A full queue: the instance is busy; try again for a while.
        if ((e == EAGAIN || e == EINTR) && NowMs() < deadline) {
            struct timespec ts{0, 10 * 1000000L};
            nanosleep(&ts, nullptr);
            continue;
        }
        close(fd);
        *error = e == EAGAIN ? ETIMEDOUT : e;
        return -1;
    }
    if (!PeerIsUs(fd)) {
        close(fd);
        *error = EPERM;
        return -1;
    }
    return fd;
}

bool InstanceWriteAll(int fd, const void* data, size_t size, int timeoutMs) {
    long deadline = timeoutMs < 0 ? -1 : NowMs() + timeoutMs;
    const char* p = (const char*)data;
    while (size) {
        ssize_t n = send(fd, p, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            p += n;
            size -= (size_t)n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && Wait(fd, POLLOUT, deadline)) continue;
        return false;
    }
    return true;
}

bool InstanceReadAll(int fd, void* data, size_t size, int timeoutMs) {
    long deadline = timeoutMs < 0 ? -1 : NowMs() + timeoutMs;
    char* p = (char*)data;
    while (size) {
        ssize_t n = recv(fd, p, size, MSG_DONTWAIT);
        if (n > 0) {
            p += n;
            size -= (size_t)n;
            continue;
        }
        if (n == 0) return false;  // the peer closed or died
        if (errno == EINTR) continue;
        if (errno == EAGAIN && Wait(fd, POLLIN, deadline)) continue;
        return false;
    }
    return true;
}

void InstanceSetTimeouts(int connectMs, int replyMs) {
    X().connectMs = connectMs > 0 ? connectMs : 2000;
    X().replyMs = replyMs > 0 ? replyMs : 3000;
}

int InstanceConnectTimeout() { return X().connectMs; }
int InstanceReplyTimeout() { return X().replyMs; }
