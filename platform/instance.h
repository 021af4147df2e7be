// Windows of other processes: the single-instance rule across processes.
//
// Each process that should be findable listens on its own socket
// `<runtime>/velmora/instance-<pid>.sock`, where <runtime> is $XDG_RUNTIME_DIR (or, when
// that is unset or not absolute, /tmp/velmora-<uid>, made 0700). The velmora/ folder
// is made 0700 and refused when it is not a folder of ours that only we can enter.
// Both ends check the peer's credentials (same uid). A socket whose connection is
// refused belongs to a process that died: the caller removes it.
//
// A request is one connection: the caller writes one InstanceRequest and reads one
// InstanceReply. The running instance answers only while its message loop is idle
// (InstanceServe); requests run on its one thread, so a sent message is handled like a
// local one and may run a nested (modal) loop, which serves further requests meanwhile.
//
// Windows of another process appear here as HWND values that no local window can have
// (InstanceIsRemote); the window calls hand them to the Instance* calls below.
#pragma once

#include <cstddef>
#include <cstdint>

#include "win_types.h"

// ---- The running instance ---------------------------------------------------------
// Starts listening (idempotent). False when no safe folder or socket can be had
// (PlatformLastError says why); the program then runs on, but cannot be found.
bool InstanceListen();
// Stops listening and removes the socket. Also run at exit.
void InstanceStop();
// Serves the requests that are waiting, or that arrive within `timeoutMs`; returns once
// it has served some (true), when the time is up or a signal interrupts (false). Waits
// the whole time also when not listening, so a sleeping loop can call it
// unconditionally. Window procedures run inside.
bool InstanceServe(int timeoutMs);
// The listening socket, for a backend that waits on descriptors; -1 when not listening.
int InstanceListenFd();

// ---- Windows of other instances -------------------------------------------------------
bool InstanceIsRemote(HWND hwnd);
// The first window of another instance (oldest instance first) of that class and
// title, as FindWindowW matches them; null when none, or the class is an atom.
HWND InstanceFindWindow(LPCWSTR className, LPCWSTR windowName);
// The foreground window of the instance that has the input focus; null when none has.
HWND InstanceForegroundWindow();
// GetParent of a remote window; null when it has none or cannot be asked.
HWND InstanceGetParent(HWND remote);
BOOL InstanceIsWindow(HWND remote);
// Activates the remote window in its instance. FALSE when it cannot be asked.
BOOL InstanceSetForegroundWindow(HWND remote);
// Sends a message and waits, without a time limit, until the remote procedure
// returned; its result. Only messages without pointers cross: WM_NULL, WM_CLOSE and
// WM_COMMAND with lParam 0 (a menu command). 0 when refused or the peer goes away.
LRESULT InstanceSendMessage(HWND remote, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- Transport (instance_transport.cpp) --------------------------------------------------
enum : uint32_t {
    INSTANCE_MAGIC = 0x31494D56,  // "VMI1"
    INSTANCE_FIND = 1,            // className, title -> the window
    INSTANCE_FOREGROUND = 2,      // -> the foreground window while the instance has the focus
    INSTANCE_PARENT = 3,          // hwnd -> its parent or owner
    INSTANCE_SET_FOREGROUND = 4,  // hwnd -> TRUE/FALSE
    INSTANCE_SEND = 5,            // hwnd, msg, wParam, lParam -> the procedure's result
    INSTANCE_IS_WINDOW = 6,       // hwnd -> TRUE/FALSE
};
enum : uint32_t {
    INSTANCE_OK = 0,
    INSTANCE_REFUSED = 1,  // malformed, unknown, or not allowed
};
enum : uint16_t { INSTANCE_NO_TEXT = 0xFFFF, INSTANCE_TEXT_MAX = 256 };

struct InstanceRequest {
    uint32_t magic;
    uint32_t op;
    uint64_t hwnd;  // the window as its own process names it
    uint32_t msg;
    uint32_t reserved;
    uint64_t wParam;
    int64_t lParam;
    uint16_t classLength;  // INSTANCE_NO_TEXT: any
    uint16_t titleLength;  // INSTANCE_NO_TEXT: any
    uint16_t className[INSTANCE_TEXT_MAX];
    uint16_t title[INSTANCE_TEXT_MAX];
};
struct InstanceReply {
    uint32_t magic;
    uint32_t status;
    int64_t value;
};

// The folder of the sockets, made (0700) when `create`; false when it is missing or
// not safe to use.
bool InstanceFolder(bool create, char* out, size_t size);
// The socket path of process `pid`; false when it does not fit a socket address.
bool InstanceSocketPath(long pid, char* out, size_t size);
// Connects to process `pid`'s socket and checks that its owner is us. -1 with *error
// set (ECONNREFUSED: nobody listens, the socket is stale; EPERM: another user's
// socket; ETIMEDOUT: no room in its queue in time).
int InstanceConnect(long pid, int* error);
// Writes all of `size` bytes, or reads exactly `size` bytes, within `timeoutMs` (-1:
// no limit, but give up when the peer goes away). False on timeout, error or end.
bool InstanceWriteAll(int fd, const void* data, size_t size, int timeoutMs);
bool InstanceReadAll(int fd, void* data, size_t size, int timeoutMs);
// Handles one accepted connection (instance_serve.cpp).
void InstanceServeConnection(int fd);
// Whether this thread is answering a request, when the window calls must not reach
// out to other processes again.
bool InstanceAnswering();

// Test hooks: how long to wait for a connection and for a reply (defaults 2000 and
// 3000 ms; a sent message's reply waits without limit).
void InstanceSetTimeouts(int connectMs, int replyMs);
int InstanceConnectTimeout();
int InstanceReplyTimeout();
