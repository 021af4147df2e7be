// The single-instance calls between two real processes: a forked "running instance"
// with a window and an idle loop, and this process asking it.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/backend.h"
#include "platform/instance.h"
#include "platform/message.h"
#include "platform/window.h"

namespace {

namespace fs = std::filesystem;

// Commands the peer's window understands.
enum : WPARAM {
    CMD_SLOW = 200,        // sleeps 300 ms, returns 1234
    CMD_OPEN_OWNED = 201,  // opens an owned window, which becomes the foreground
    CMD_FOCUS_OFF = 202,   // the instance loses the input focus
    CMD_FOCUS_ON = 203,
    CMD_DIE = 204,         // the process ends inside the procedure
    CMD_NESTED = 205,      // runs a nested loop until CMD_RELEASE arrives, returns 77
    CMD_RELEASE = 206,
};

long Ms(std::chrono::steady_clock::time_point since) {
    return (long)std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since)
        .count();
}

// ---- The peer: a process with one main window that serves while idle ----------------

int g_events = -1;  // the peer's end of the event pipe
bool g_released = false;

void Event(const std::string& text) {
    std::string line = text + "\n";
    if (write(g_events, line.data(), line.size()) < 0) _exit(9);
}

LRESULT PeerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_COMMAND) return DefWindowProcW(hwnd, msg, wParam, lParam);
    Event("command " + std::to_string(wParam));
    switch (wParam) {
        case CMD_SLOW: {
            struct timespec ts{0, 300 * 1000000L};
            nanosleep(&ts, nullptr);
            return 1234;
        }
        case CMD_OPEN_OWNED:
            CreateWindowW(u"Almarest-Velmora", u"Choose Section", WS_VISIBLE, 0, 0, 100, 100, hwnd, nullptr, nullptr,
                          nullptr);
            return 1;
        case CMD_FOCUS_OFF: InputFocus(false); return 1;
        case CMD_FOCUS_ON: InputFocus(true); return 1;
        case CMD_DIE: _exit(3);
        case CMD_NESTED: {
            // A modal loop of our own: it keeps serving, so CMD_RELEASE can reach us.
            auto start = std::chrono::steady_clock::now();
            g_released = false;
            while (!g_released && Ms(start) < 10000) {
                InstanceServe(20);
                MSG m;
                while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
            }
            return g_released ? 77 : 0;
        }
        case CMD_RELEASE: g_released = true; return 1;
    }
    return 0;
}

[[noreturn]] void RunPeer() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PeerProc;
    wc.lpszClassName = u"Almarest-Velmora";
    RegisterClassW(&wc);
    HWND main = CreateWindowW(u"Almarest-Velmora", u"Velmora", WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                              nullptr, nullptr);
    if (!main || !InstanceListen()) _exit(8);
    Event("ready");
    auto start = std::chrono::steady_clock::now();
    while (Ms(start) < 20000) {
        InstanceServe(20);
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    }
    InstanceStop();
    _exit(0);
}

class InstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/velmora-instance-test-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        runtime_ = dir;
        setenv("XDG_RUNTIME_DIR", dir, 1);
        InstanceSetTimeouts(2000, 3000);
    }
    void TearDown() override {
        if (peer_ > 0) {
            kill(peer_, SIGKILL);
            waitpid(peer_, nullptr, 0);
        }
        if (events_ >= 0) close(events_);
        std::error_code ec;
        fs::remove_all(runtime_, ec);
    }

    // Starts the peer and waits until it listens.
    void StartPeer() {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        fflush(nullptr);
        peer_ = fork();
        ASSERT_GE(peer_, 0);
        if (peer_ == 0) {
            close(fds[0]);
            g_events = fds[1];
            RunPeer();
        }
        close(fds[1]);
        events_ = fds[0];
        ASSERT_EQ(NextEvent(5000), "ready");
    }

    // The peer's next event line; "" when none comes in time.
    std::string NextEvent(int ms) {
        std::string line;
        auto start = std::chrono::steady_clock::now();
        for (;;) {
            size_t nl = pending_.find('\n');
            if (nl != std::string::npos) {
                line = pending_.substr(0, nl);
                pending_.erase(0, nl + 1);
                return line;
            }
            long left = ms - Ms(start);
            struct pollfd p{events_, POLLIN, 0};
            if (left <= 0 || poll(&p, 1, (int)left) <= 0) return "";
            char buf[256];
            ssize_t n = read(events_, buf, sizeof buf);
            if (n <= 0) return "";
            pending_.append(buf, (size_t)n);
        }
    }

    std::string Folder() const { return runtime_ + "/velmora"; }
    std::string SocketOf(long pid) const { return Folder() + "/instance-" + std::to_string(pid) + ".sock"; }

    HWND FindMain() { return InstanceFindWindow(u"Almarest-Velmora", u"Velmora"); }

    std::string runtime_;
    pid_t peer_ = -1;
    int events_ = -1;
    std::string pending_;
};

// ---- Finding --------------------------------------------------------------------------

TEST_F(InstanceTest, FindsTheOtherProcessWindowByClassAndTitle) {
    StartPeer();
    HWND w = FindMain();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(InstanceIsRemote(w));
    EXPECT_TRUE(IsWindow(w));  // a live window of the other instance
    EXPECT_TRUE(InstanceIsWindow(w));
    const struct {
        const char16_t* cls;
        const char16_t* title;
        bool found;
    } cases[] = {
        {u"Almarest-Velmora", u"Velmora", true},
        {u"almarest-velmora", u"Velmora", true},  // class names ignore case
        {nullptr, u"Velmora", true},
        {u"Almarest-Velmora", nullptr, true},
        {u"Almarest-Velmora", u"velmora", false},  // titles do not
        {u"Almarest-Velmora", u"", false},
        {u"HHTaskBar", u"", false},
    };
    for (const auto& c : cases) {
        HWND h = InstanceFindWindow((LPCWSTR)c.cls, (LPCWSTR)c.title);
        EXPECT_EQ(h, c.found ? w : nullptr) << (c.cls ? "class" : "any class") << " / " << (c.title ? "title" : "any");
    }
    EXPECT_EQ(InstanceFindWindow(MAKEINTRESOURCEW(0xC000), nullptr), nullptr);  // atoms stay local
}

TEST_F(InstanceTest, NothingIsFoundWithoutAnotherInstance) {
    EXPECT_EQ(FindMain(), nullptr);
    EXPECT_EQ(InstanceForegroundWindow(), nullptr);
    // Our own socket is not asked: a process never finds itself through it.
    ASSERT_TRUE(InstanceListen());
    EXPECT_TRUE(fs::exists(SocketOf(getpid())));
    EXPECT_EQ(InstanceFindWindow(nullptr, nullptr), nullptr);
    InstanceStop();
    EXPECT_FALSE(fs::exists(SocketOf(getpid())));
}

// ---- Sending ----------------------------------------------------------------------------

TEST_F(InstanceTest, SendWaitsUntilTheRemoteProcedureReturns) {
    StartPeer();
    HWND w = FindMain();
    ASSERT_NE(w, nullptr);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(InstanceSendMessage(w, WM_COMMAND, CMD_SLOW, 0), 1234);
    EXPECT_GE(Ms(start), 300);
    EXPECT_EQ(NextEvent(1000), "command 200");
}

TEST_F(InstanceTest, OnlyMessagesWithoutPointersCross) {
    StartPeer();
    HWND w = FindMain();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(InstanceSendMessage(w, WM_SETTEXT, 0, (LPARAM)u"x"), 0);
    EXPECT_EQ(InstanceSendMessage(w, WM_COMMAND, CMD_SLOW, 12345), 0);  // a control handle of ours
    EXPECT_EQ(InstanceSendMessage((HWND)(uintptr_t)0x10001, WM_COMMAND, CMD_SLOW, 0), 0);  // not remote
    // The next command the peer sees is the one that may cross.
    EXPECT_EQ(InstanceSendMessage(w, WM_COMMAND, CMD_FOCUS_ON, 0), 1);
    EXPECT_EQ(NextEvent(1000), "command 203");
}

TEST_F(InstanceTest, ANestedLoopInTheRemoteProcedureServesOthersMeanwhile) {
    StartPeer();
    HWND w = FindMain();
    ASSERT_NE(w, nullptr);
    // A second caller process waits in the nested loop's send; we release it.
    int result[2];
    ASSERT_EQ(pipe(result), 0);
    fflush(nullptr);
    pid_t sender = fork();
    ASSERT_GE(sender, 0);
    if (sender == 0) {
        LRESULT r = InstanceSendMessage(w, WM_COMMAND, CMD_NESTED, 0);
        _exit(write(result[1], &r, sizeof r) == sizeof r ? 0 : 1);
    }
    close(result[1]);
    EXPECT_EQ(NextEvent(3000), "command 205");
    EXPECT_EQ(FindMain(), w);  // answered from inside the nested loop
    EXPECT_EQ(InstanceSendMessage(w, WM_COMMAND, CMD_RELEASE, 0), 1);
    LRESULT r = 0;
    struct pollfd p{result[0], POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 5000), 1);
    EXPECT_EQ(read(result[0], &r, sizeof r), (ssize_t)sizeof r);
    EXPECT_EQ(r, 77);
    close(result[0]);
    waitpid(sender, nullptr, 0);
}

TEST_F(InstanceTest, ACloseRequestEndsTheWaitForAnEndlessSend) {
    StartPeer();
    HWND w = FindMain();
    ASSERT_NE(w, nullptr);
    int result[2];
    ASSERT_EQ(pipe(result), 0);
    fflush(nullptr);
    pid_t sender = fork();
    ASSERT_GE(sender, 0);
    if (sender == 0) {
        struct sigaction sa{};
        sa.sa_handler = [](int) { InputRequestCloseFromSignal(); };
        sigaction(SIGTERM, &sa, nullptr);
        LRESULT r = InstanceSendMessage(w, WM_COMMAND, CMD_NESTED, 0);
        char verdict = r == 0 && InputTakeSignalClose() ? 'c' : 'x';  // gave up, close still asked
        _exit(write(result[1], &verdict, 1) == 1 ? 0 : 1);
    }
    close(result[1]);
    EXPECT_EQ(NextEvent(3000), "command 205");
    auto start = std::chrono::steady_clock::now();
    kill(sender, SIGTERM);
    char verdict = 0;
    struct pollfd p{result[0], POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 5000), 1);
    EXPECT_EQ(read(result[0], &verdict, 1), 1);
    EXPECT_EQ(verdict, 'c');
    EXPECT_LT(Ms(start), 2000);
    close(result[0]);
    waitpid(sender, nullptr, 0);
}

TEST_F(InstanceTest, APeerThatDiesDuringASendDoesNotHangTheCaller) {
    StartPeer();
    HWND w = FindMain();
    ASSERT_NE(w, nullptr);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(InstanceSendMessage(w, WM_COMMAND, CMD_DIE, 0), 0);
    EXPECT_LT(Ms(start), 2000);
    int status = 0;
    ASSERT_EQ(waitpid(peer_, &status, 0), peer_);
    long pid = peer_;
    peer_ = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3);
    // Its socket is left behind; the next search removes it.
    EXPECT_TRUE(fs::exists(SocketOf(pid)));
    EXPECT_EQ(FindMain(), nullptr);
    EXPECT_FALSE(fs::exists(SocketOf(pid)));
    EXPECT_FALSE(InstanceIsWindow(w));
    EXPECT_EQ(InstanceSendMessage(w, WM_COMMAND, CMD_SLOW, 0), 0);
}

// ---- Foreground: what the second instance looks at before it stops ----------------------

TEST_F(InstanceTest, ForegroundParentAndActivationOfTheRunningInstance) {
    StartPeer();
    HWND w = FindMain();
    ASSERT_NE(w, nullptr);
    // Its main window is in front: the foreground is the main window itself.
    EXPECT_EQ(InstanceForegroundWindow(), w);
    EXPECT_EQ(InstanceGetParent(w), nullptr);

    // A dialog of it in front: the foreground is the dialog, whose parent is the main window.
    EXPECT_EQ(InstanceSendMessage(w, WM_COMMAND, CMD_OPEN_OWNED, 0), 1);
    HWND f = InstanceForegroundWindow();
    ASSERT_NE(f, nullptr);
    EXPECT_NE(f, w);
    EXPECT_TRUE(InstanceIsRemote(f));
    EXPECT_EQ(InstanceGetParent(f), w);

    // Bringing the main window forward makes it the foreground again.
    EXPECT_TRUE(InstanceSetForegroundWindow(w));
    EXPECT_EQ(InstanceForegroundWindow(), w);

    // Without the input focus the instance has no foreground window; being brought
    // forward gives it one again.
    EXPECT_EQ(InstanceSendMessage(w, WM_COMMAND, CMD_FOCUS_OFF, 0), 1);
    EXPECT_EQ(InstanceForegroundWindow(), nullptr);
    EXPECT_TRUE(InstanceSetForegroundWindow(w));
    EXPECT_EQ(InstanceForegroundWindow(), w);
}

// ---- The transport ----------------------------------------------------------------------

// A socket file nobody listens on, as a crashed instance leaves it.
void MakeDeadSocket(const std::string& path) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof addr.sun_path);
    std::strcpy(addr.sun_path, path.c_str());
    ASSERT_EQ(bind(fd, (sockaddr*)&addr, sizeof addr), 0);
    close(fd);
}

TEST_F(InstanceTest, AStaleSocketIsRemovedAndTheLiveOneStillAnswers) {
    char folder[600];
    ASSERT_TRUE(InstanceFolder(true, folder, sizeof folder));
    // Older than the peer's socket, so it is asked first.
    std::string stale = SocketOf(999999);
    MakeDeadSocket(stale);
    StartPeer();
    EXPECT_NE(FindMain(), nullptr);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(SocketOf(peer_)));
}

TEST_F(InstanceTest, JunkAndSilentCallersDoNotStopTheInstance) {
    StartPeer();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, SocketOf(peer_).c_str());
    int junk = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(connect(junk, (sockaddr*)&addr, sizeof addr), 0);
    ASSERT_EQ(write(junk, "hello, are you there?", 21), 21);
    int silent = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(connect(silent, (sockaddr*)&addr, sizeof addr), 0);
    // The junk is dropped; the silent caller loses its turn soon.
    char c;
    struct pollfd p{junk, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 3000), 1);
    EXPECT_EQ(read(junk, &c, 1), 0);
    EXPECT_NE(FindMain(), nullptr);
    close(junk);
    close(silent);
}

TEST_F(InstanceTest, AFolderOthersCanEnterOrALinkIsNotUsed) {
    const struct {
        const char* name;
        void (*make)(const std::string& folder, const std::string& runtime);
    } cases[] = {
        {"group-readable", [](const std::string& f, const std::string&) { mkdir(f.c_str(), 0750); }},
        {"a link to a private folder",
         [](const std::string& f, const std::string& r) {
             mkdir((r + "/elsewhere").c_str(), 0700);
             ASSERT_EQ(symlink((r + "/elsewhere").c_str(), f.c_str()), 0);
         }},
        {"a file", [](const std::string& f, const std::string&) { close(open(f.c_str(), O_CREAT | O_WRONLY, 0600)); }},
    };
    for (const auto& c : cases) {
        std::error_code ec;
        fs::remove_all(Folder(), ec);
        fs::remove_all(runtime_ + "/elsewhere", ec);
        c.make(Folder(), runtime_);
        EXPECT_FALSE(InstanceListen()) << c.name;
        EXPECT_EQ(InstanceListenFd(), -1) << c.name;
        InstanceStop();
    }
    std::error_code ec;
    fs::remove_all(Folder(), ec);
    ASSERT_TRUE(InstanceListen());
    struct stat st;
    ASSERT_EQ(lstat(Folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    InstanceStop();
}

TEST_F(InstanceTest, WithoutAnAbsoluteRuntimeFolderAPrivateOneInTmpIsUsed) {
    const std::string fallback = "/tmp/velmora-" + std::to_string(geteuid());
    for (const char* runtime : {(const char*)nullptr, "relative/run"}) {
        if (runtime) setenv("XDG_RUNTIME_DIR", runtime, 1);
        else unsetenv("XDG_RUNTIME_DIR");
        char folder[600];
        ASSERT_TRUE(InstanceFolder(true, folder, sizeof folder));
        EXPECT_EQ(std::string(folder), fallback + "/velmora");
        struct stat st;
        ASSERT_EQ(lstat(fallback.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 077, 0u);
    }
    setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
}

TEST_F(InstanceTest, ASocketOfAnotherUserIsRefusedAndKept) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    char folder[600];
    ASSERT_TRUE(InstanceFolder(true, folder, sizeof folder));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    fflush(nullptr);
    pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        // Bound where we look, then listening as nobody: its credentials say nobody.
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strcpy(addr.sun_path, SocketOf(getpid()).c_str());
        if (bind(fd, (sockaddr*)&addr, sizeof addr) != 0 || setresuid(65534, 65534, 65534) != 0 ||
            listen(fd, 4) != 0)
            _exit(1);
        if (write(ready[1], "r", 1) != 1) _exit(1);
        // Answers anything with a window, if anybody believed it.
        for (;;) {
            int c = accept(fd, nullptr, nullptr);
            InstanceRequest q;
            if (c >= 0 && read(c, &q, sizeof q) > 0) {
                InstanceReply r{INSTANCE_MAGIC, INSTANCE_OK, 0x10001};
                if (write(c, &r, sizeof r) < 0) _exit(1);
            }
            if (c >= 0) close(c);
        }
    }
    close(ready[1]);
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(InstanceFindWindow(nullptr, nullptr), nullptr);
    EXPECT_LT(Ms(start), 1500);  // refused at once, not timed out
    EXPECT_TRUE(fs::exists(SocketOf(other)));
    kill(other, SIGKILL);
    waitpid(other, nullptr, 0);
}

TEST_F(InstanceTest, TheInstanceDropsACallerOfAnotherUser) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    StartPeer();
    // Let the other user reach the socket at all, so that only the credentials stop it.
    ASSERT_EQ(chmod(runtime_.c_str(), 0711), 0);
    ASSERT_EQ(chmod(Folder().c_str(), 0711), 0);
    ASSERT_EQ(chmod(SocketOf(peer_).c_str(), 0777), 0);
    int result[2];
    ASSERT_EQ(pipe(result), 0);
    fflush(nullptr);
    std::string path = SocketOf(peer_);
    pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        if (setresuid(65534, 65534, 65534) != 0) _exit(1);
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strcpy(addr.sun_path, path.c_str());
        if (connect(fd, (sockaddr*)&addr, sizeof addr) != 0) _exit(2);
        InstanceRequest q{};
        q.magic = INSTANCE_MAGIC;
        q.op = INSTANCE_FIND;
        q.classLength = q.titleLength = INSTANCE_NO_TEXT;
        // The instance may drop us before the request is even written.
        InstanceReply r{};
        ssize_t n = send(fd, &q, sizeof q, MSG_NOSIGNAL) == (ssize_t)sizeof q ? read(fd, &r, sizeof r) : 0;
        char verdict = n > 0 ? 'a' : 'd';  // answered, or dropped (closed or reset)
        _exit(write(result[1], &verdict, 1) == 1 ? 0 : 4);
    }
    close(result[1]);
    char verdict = 0;
    struct pollfd p{result[0], POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 5000), 1);
    EXPECT_EQ(read(result[0], &verdict, 1), 1);
    EXPECT_EQ(verdict, 'd');
    close(result[0]);
    int status = 0;
    waitpid(other, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << WEXITSTATUS(status);
    ASSERT_EQ(chmod(Folder().c_str(), 0700), 0);
    EXPECT_NE(FindMain(), nullptr);  // and it goes on serving us
}

}  // namespace
