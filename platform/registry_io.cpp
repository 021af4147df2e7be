// The registry's file store: where registry.reg lives, reading it when it changed,
// and saving it atomically under a lock. Every file operation goes through the Io*
// wrappers at the top so that tests can make any one of them fail.
#include "registry.h"
#include "registry_tree.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kFileName[] = "registry.reg";
constexpr char kTempName[] = "registry.reg.tmp";
constexpr char kBadName[] = "registry.reg.bad";
constexpr char kLockName[] = "registry.lock";
// A file this large is not one we wrote (values are capped at 1 MiB each, and the
// program keeps a handful).
constexpr off_t kMaxFileSize = 64 << 20;

// What identifies one version of registry.reg; a save always makes a new inode.
struct FileIdentity {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtimeNs = 0;

    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& st) {
    FileIdentity id;
    id.exists = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.size = st.st_size;
    id.mtimeNs = (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    return id;
}

struct Store {
    std::string folderOverride;  // from RegistrySetFolder; empty for the default
    std::string folder;          // resolved; empty until first needed
    std::string filePath;
    bool loaded = false;         // `tree` matches `identity`
    FileIdentity identity;
    RegNode tree;
    std::string lastError;
    long ioCount[REGISTRY_IO_KINDS] = {};
    int failCountdown[REGISTRY_IO_KINDS] = {};
};

Store& S() {
    static Store* store = new Store;  // never destroyed: usable from exit paths
    return *store;
}

// --- The wrapper: every file operation, with fault injection -------------------------

bool Injected(RegistryIoKind kind) {
    Store& s = S();
    ++s.ioCount[kind];
    if (s.failCountdown[kind] > 0 && --s.failCountdown[kind] == 0) {
        errno = EIO;
        return true;
    }
    return false;
}

ssize_t IoRead(int fd, void* buf, size_t n) {
    if (Injected(REGISTRY_IO_READ)) return -1;
    ssize_t r;
    do r = read(fd, buf, n);
    while (r < 0 && errno == EINTR);
    return r;
}

// Writes all of it (short writes are continued); false with errno on failure.
bool IoWriteAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        if (Injected(REGISTRY_IO_WRITE)) return false;
        ssize_t r = write(fd, p, n);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            if (r == 0) errno = EIO;
            return false;
        }
        p += r;
        n -= size_t(r);
    }
    return true;
}

bool IoFsync(int fd) {
    if (Injected(REGISTRY_IO_FSYNC)) return false;
    int r;
    do r = fsync(fd);
    while (r < 0 && errno == EINTR);
    return r == 0;
}

bool IoRename(const std::string& from, const std::string& to) {
    if (Injected(REGISTRY_IO_RENAME)) return false;
    return rename(from.c_str(), to.c_str()) == 0;
}

bool Fail(const std::string& what, const std::string& path) {
    S().lastError = what + " " + path + ": " + std::strerror(errno);
    return false;
}

// --- Where the file lives ----------------------------------------------------------

const std::string& Folder() {
    Store& s = S();
    if (s.folder.empty()) {
        if (!s.folderOverride.empty()) {
            s.folder = s.folderOverride;
        } else {
            const char* xdg = std::getenv("XDG_CONFIG_HOME");
            std::string base;
            if (xdg && xdg[0] == '/') {
                base = xdg;  // a relative value is to be ignored
            } else {
                const char* home = std::getenv("HOME");
                if (!home || !home[0]) {
                    struct passwd* pw = getpwuid(getuid());
                    home = pw ? pw->pw_dir : "/tmp";
                }
                base = std::string(home) + "/.config";
            }
            s.folder = base + "/velmora";
        }
        s.filePath = s.folder + "/" + kFileName;
    }
    return s.folder;
}

std::string PathOf(const char* name) { return Folder() + "/" + name; }

// mkdir -p, the last level 0700.
bool MakeFolder(const std::string& folder) {
    struct stat st;
    if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode) || (errno = ENOTDIR, false);
    for (size_t i = 1; i < folder.size(); ++i) {
        if (folder[i] != '/') continue;
        std::string part = folder.substr(0, i);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// --- The lock ------------------------------------------------------------------------

// Takes the exclusive lock (creating the folder); returns its descriptor or -1.
int Lock() {
    if (!MakeFolder(Folder())) return Fail("cannot create", Folder()), -1;
    std::string path = PathOf(kLockName);
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return Fail("cannot open", path), -1;
    int r;
    do r = flock(fd, LOCK_EX);
    while (r < 0 && errno == EINTR);
    if (r < 0) {
        Fail("cannot lock", path);
        close(fd);
        return -1;
    }
    return fd;
}

void Unlock(int fd) {
    if (fd >= 0) close(fd);  // closing releases the flock
}

// --- Reading -----------------------------------------------------------------------

enum ReadResult {
    READ_OK,         // the tree and identity are the file's (or empty: no file)
    READ_BAD,        // the file cannot be used; `identity` is what was looked at
    READ_TRANSIENT,  // an error that may pass: try again later, write nothing
};

ReadResult ReadFile(RegNode* tree, FileIdentity* identity) {
    *tree = RegNode();
    *identity = FileIdentity();
    const std::string& path = S().filePath;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return READ_OK;
        if (errno == EACCES || errno == EISDIR || errno == ELOOP || errno == ENXIO) {
            struct stat st;
            if (stat(path.c_str(), &st) == 0) *identity = IdentityOf(st);
            return Fail("cannot open", path), READ_BAD;
        }
        return Fail("cannot open", path), READ_TRANSIENT;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        Fail("cannot stat", path);
        close(fd);
        return READ_TRANSIENT;
    }
    *identity = IdentityOf(st);
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxFileSize) {
        errno = S_ISREG(st.st_mode) ? EFBIG : EINVAL;
        Fail("unusable", path);
        close(fd);
        return READ_BAD;
    }
    std::string text;
    text.resize(size_t(st.st_size));
    size_t got = 0;
    for (;;) {
        if (got == text.size()) {
            if (text.size() >= size_t(kMaxFileSize)) break;
            text.resize(text.size() + 4096);  // it grew since fstat (an editor at work)
        }
        ssize_t r = IoRead(fd, &text[got], text.size() - got);
        if (r < 0) {
            Fail("cannot read", path);
            close(fd);
            return READ_TRANSIENT;
        }
        if (r == 0) break;
        got += size_t(r);
    }
    close(fd);
    text.resize(got);
    std::string why;
    if (!RegistryParseText(text.data(), text.size(), tree, &why)) {
        *tree = RegNode();
        S().lastError = path + ": " + why;
        return READ_BAD;
    }
    return READ_OK;
}

// Moves an unusable file aside as registry.reg.bad, under the lock, and only if the
// file is still the one found bad: another process may have replaced it meanwhile.
// Returns true when the caller should read again.
bool SetAside(const FileIdentity& bad, bool haveLock) {
    int lock = haveLock ? -1 : Lock();
    if (!haveLock && lock < 0) return false;
    const std::string& path = S().filePath;
    struct stat st;
    bool same = stat(path.c_str(), &st) == 0 && IdentityOf(st).dev == bad.dev &&
                IdentityOf(st).ino == bad.ino;
    bool changed = !same && (stat(path.c_str(), &st) == 0 || errno != ENOENT);
    if (same && !IoRename(path, PathOf(kBadName))) Fail("cannot set aside", path);
    Unlock(lock);
    return changed;
}

// Reads the file into the cache, setting a bad file aside; false on a passing error.
bool Load(bool haveLock) {
    Store& s = S();
    for (int attempt = 0; attempt < 3; ++attempt) {
        ReadResult r = ReadFile(&s.tree, &s.identity);
        if (r == READ_TRANSIENT) {
            s.loaded = false;
            return false;
        }
        if (r == READ_OK) {
            s.loaded = true;
            return true;
        }
        std::string why = s.lastError;
        bool again = SetAside(s.identity, haveLock);
        s.lastError = why;
        if (!again) break;
    }
    // Read as empty; the identity of a missing file makes the next look re-check.
    s.tree = RegNode();
    s.identity = FileIdentity();
    s.loaded = true;
    return true;
}

FileIdentity CurrentIdentity() {
    struct stat st;
    if (stat(S().filePath.c_str(), &st) != 0) return FileIdentity();
    return IdentityOf(st);
}

// --- Saving ------------------------------------------------------------------------

// Writes `text` to the temporary file, syncs it and renames it over registry.reg,
// then syncs the folder. The caller holds the lock, so one temporary name serves (a
// leftover from a crash is simply overwritten). On success `identity` is the new
// file's.
LONG Save(const std::string& text, FileIdentity* identity) {
    std::string tmp = PathOf(kTempName);
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return Fail("cannot create", tmp), ERROR_WRITE_FAULT;
    bool ok = IoWriteAll(fd, text.data(), text.size()) || Fail("cannot write", tmp);
    ok = ok && (IoFsync(fd) || Fail("cannot sync", tmp));
    struct stat st;
    ok = ok && (fstat(fd, &st) == 0 || Fail("cannot stat", tmp));
    close(fd);
    ok = ok && (IoRename(tmp, S().filePath) || Fail("cannot rename", tmp));
    if (!ok) {
        unlink(tmp.c_str());
        return ERROR_WRITE_FAULT;
    }
    *identity = IdentityOf(st);
    // The new file is complete and in place; a failed folder sync only leaves the
    // rename less durable across a power cut, so it does not undo the save.
    int dir = open(Folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        if (!IoFsync(dir)) Fail("cannot sync", Folder());
        close(dir);
    }
    return ERROR_SUCCESS;
}

}  // namespace

RegNode* RegistryCurrentTree(LONG* error) {
    Store& s = S();
    Folder();
    if (!s.loaded || !(CurrentIdentity() == s.identity)) {
        if (!Load(false)) {
            *error = ERROR_READ_FAULT;
            return nullptr;
        }
    }
    *error = ERROR_SUCCESS;
    return &s.tree;
}

LONG RegistryModify(RegistryChange change, void* arg) {
    Store& s = S();
    int lock = Lock();
    if (lock < 0) return ERROR_WRITE_FAULT;
    // Always re-read under the lock: a write must start from the latest file, and
    // identity checks alone could miss a quick succession of saves.
    LONG result = ERROR_SUCCESS;
    if (!Load(true)) {
        result = ERROR_READ_FAULT;
    } else {
        bool changed = false;
        result = change(&s.tree, arg, &changed);
        if (result == ERROR_SUCCESS && changed) {
            std::string text;
            RegistryFormatText(s.tree, &text);
            result = Save(text, &s.identity);
        }
        // Whatever failed may have left the tree changed in memory: let the file speak.
        if (result != ERROR_SUCCESS) s.loaded = false;
    }
    Unlock(lock);
    return result;
}

void RegistrySetError(const std::string& why) { S().lastError = why; }

void RegistrySetFolder(const char* folder) {
    Store& s = S();
    s.folderOverride = folder ? folder : "";
    s.folder.clear();
    s.loaded = false;
    s.tree = RegNode();
}

void RegistryReset() {
    Store& s = S();
    s.folder.clear();
    s.loaded = false;
    s.tree = RegNode();
    s.identity = FileIdentity();
    for (int& n : s.failCountdown) n = 0;
}

void RegistryFailIo(RegistryIoKind kind, int n) {
    if (kind >= 0 && kind < REGISTRY_IO_KINDS) S().failCountdown[kind] = n > 0 ? n : 0;
}

long RegistryIoCount(RegistryIoKind kind) {
    return (kind >= 0 && kind < REGISTRY_IO_KINDS) ? S().ioCount[kind] : 0;
}

const char* RegistryLastError() { return S().lastError.c_str(); }

const char* RegistryFilePath() {
    Folder();
    return S().filePath.c_str();
}
