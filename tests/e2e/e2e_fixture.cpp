#include "e2e_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

std::string TempDir() {
    static std::string dir;
    if (dir.empty()) {
        char tmpl[] = "/tmp/velmora-e2e-XXXXXX";
        dir = mkdtemp(tmpl);
        std::filesystem::create_directories(dir + "/config");
        std::filesystem::create_directories(dir + "/run");
        std::filesystem::permissions(dir + "/run", std::filesystem::perms::owner_all);
        setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (dir + "/run").c_str(), 1);
    }
    return dir;
}

std::string WriteFile(const std::string& name, const std::string& text) {
    std::string path = TempDir() + "/" + name;
    std::ofstream(path) << text;
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string VelmoraPath() { return std::string(VELMORA_BINARY_DIR) + "/velmora"; }

int64_t NowMs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

namespace {

int StatusOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

}  // namespace

bool Start(Child* child, std::vector<std::string> args, const std::vector<std::string>& env,
           const std::string& errPath, const std::string& exe, bool newGroup) {
    std::string program = exe.empty() ? VelmoraPath() : exe;
    args.insert(args.begin(), program);
    std::vector<std::string> envCopy = env;
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : envCopy) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    if (newGroup) {
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attr, 0);
    }
    pid_t pid;
    // A program on the PATH (xvfb-run) is looked up; velmora is named by its path.
    int rc = posix_spawnp(&pid, program.c_str(), &fa, &attr, argv.data(), env.empty() ? environ : envp.data());
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return false;
    child->pid = pid;
    child->errPath = errPath;
    child->done = false;
    return true;
}

Child::~Child() {
    if (pid > 0 && !done) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        done = true;
    }
}

bool Child::Running() {
    if (pid <= 0 || done) return false;
    if (waitpid(pid, &status, WNOHANG) == pid) {
        done = true;
        return false;
    }
    return true;
}

void Child::Signal(int sig) {
    if (Running()) kill(pid, sig);
}

RunResult Child::Wait(int timeoutMs) {
    RunResult run;
    if (pid <= 0) return run;
    for (int64_t end = NowMs() + timeoutMs; Running();) {
        if (NowMs() >= end) {
            // A run that hangs is a failure, not a stuck test.
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            done = true;
            run.err = ReadFile(errPath);
            return run;
        }
        usleep(5000);
    }
    run.status = StatusOf(status);
    run.err = ReadFile(errPath);
    return run;
}

RunResult Velmora(std::vector<std::string> args, std::vector<std::string> env, int signalAfterMs) {
    Child child;
    if (!Start(&child, std::move(args), env, TempDir() + "/stderr.txt")) return RunResult{};
    if (signalAfterMs > 0) {
        usleep(signalAfterMs * 1000);
        child.Signal(SIGTERM);
    }
    return child.Wait(30000);
}

bool WaitForFile(const std::string& path, int timeoutMs) {
    for (int64_t end = NowMs() + timeoutMs;;) {
        std::string text = ReadFile(path);
        if (!text.empty() && text.back() == '\n') return true;
        if (NowMs() >= end) return false;
        usleep(5000);
    }
}

// ---- Homes ------------------------------------------------------------------------------

std::string Home::Write(const std::string& name, const std::string& text) const {
    std::string path = Path(name);
    std::ofstream(path) << text;
    return path;
}

Home MakeHome(const std::string& name) {
    Home h;
    h.dir = TempDir() + "/" + name;
    std::error_code ec;
    std::filesystem::remove_all(h.dir, ec);
    h.config = h.dir + "/config";
    h.run = h.dir + "/run";
    std::filesystem::create_directories(h.config);
    std::filesystem::create_directories(h.run);
    std::filesystem::permissions(h.run, std::filesystem::perms::owner_all);
    h.env = {"HOME=" + h.dir, "PATH=/usr/bin:/bin", "XDG_CONFIG_HOME=" + h.config, "XDG_RUNTIME_DIR=" + h.run};
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TMPDIR"})
        if (const char* v = getenv(name)) h.env.push_back(std::string(name) + "=" + v);
    return h;
}

void PresetRegistry(const Home& home, const std::string& sections) {
    std::filesystem::create_directories(home.config + "/velmora");
    std::ofstream(home.Registry()) << "REGEDIT4\n\n" << sections;
}

// ---- Registry -----------------------------------------------------------------------------

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return s;
}

// A quoted string at s[*i] ('"'); \" and \\ are its escapes, and in dumps also \n,
// \r and \t (the registry file never writes those).
bool Quoted(const std::string& s, size_t* i, std::string* out) {
    if (*i >= s.size() || s[*i] != '"') return false;
    for (size_t k = *i + 1; k < s.size(); ++k) {
        if (s[k] == '\\' && k + 1 < s.size()) {
            char c = s[++k];
            out->push_back(c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c);
        } else if (s[k] == '"') {
            *i = k + 1;
            return true;
        } else {
            out->push_back(s[k]);
        }
    }
    return false;
}

}  // namespace

RegistryKeys ReadRegistry(const std::string& path) {
    RegistryKeys keys;
    std::istringstream in(ReadFile(path));
    std::string line, key, pending;
    bool inKey = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // Long hex lists go on over lines ending with a backslash.
        if (!pending.empty()) {
            size_t start = line.find_first_not_of(" \t");
            line = pending + (start == std::string::npos ? "" : line.substr(start));
            pending.clear();
        }
        if (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
            pending = line.substr(0, line.size() - 1);
            continue;
        }
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            std::string name = line.substr(1, line.find(']') - 1);
            const std::string root = "HKEY_CURRENT_USER";
            inKey = name.compare(0, root.size(), root) == 0;
            key = Lower(name.size() > root.size() ? name.substr(root.size() + 1) : "");
            if (inKey) keys[key];
            continue;
        }
        if (!inKey || line[0] != '"') continue;
        size_t i = 0;
        std::string name;
        if (!Quoted(line, &i, &name) || i >= line.size() || line[i] != '=') continue;
        std::string data = line.substr(i + 1);
        RegValue v;
        if (data.rfind("dword:", 0) == 0) {
            v.kind = "dword";
            v.dword = (uint32_t)std::strtoul(data.c_str() + 6, nullptr, 16);
        } else if (data.rfind("hex", 0) == 0) {
            size_t colon = data.find(':');
            v.kind = data.substr(0, colon);
            std::istringstream bytes(colon == std::string::npos ? "" : data.substr(colon + 1));
            std::string b;
            while (std::getline(bytes, b, ','))
                if (!b.empty()) v.bytes.push_back((uint8_t)std::strtoul(b.c_str(), nullptr, 16));
        } else {
            size_t j = 0;
            v.kind = "sz";
            if (!Quoted(data, &j, &v.text)) continue;
        }
        keys[key][Lower(name)] = v;
    }
    return keys;
}

std::map<std::string, RegValue> Settings(const Home& home) {
    RegistryKeys keys = ReadRegistry(home.Registry());
    auto it = keys.find(kSettingsKey);
    return it == keys.end() ? std::map<std::string, RegValue>{} : it->second;
}

// ---- Dumps ---------------------------------------------------------------------------------

bool DumpLine::Has(const std::string& flag) const {
    std::istringstream words(rest);
    std::string w;
    while (words >> w)
        if (w == flag) return true;
    return false;
}

std::vector<DumpLine> ParseDump(const std::string& text) {
    std::vector<DumpLine> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        DumpLine d;
        size_t i = line.find_first_not_of(' ');
        if (i == std::string::npos) continue;
        d.depth = int(i / 2);
        size_t space = line.find(' ', i);
        d.kind = line.substr(i, space - i);
        if (space == std::string::npos) {
            out.push_back(d);
            continue;
        }
        i = space + 1;
        // Parts name their id before the text: button id=N "label" ...
        if (line.compare(i, 3, "id=") == 0) {
            d.id = std::atoi(line.c_str() + i + 3);
            space = line.find(' ', i);
            if (space == std::string::npos) continue;
            i = space + 1;
        }
        if (!Quoted(line, &i, &d.text)) continue;
        std::string tail = i < line.size() ? line.substr(i) : "";
        if (std::sscanf(tail.c_str(), " %d,%d,%d,%d", &d.x, &d.y, &d.w, &d.h) == 4) {
            d.hasRect = true;
            size_t after = tail.find(' ', 1);
            tail = after == std::string::npos ? "" : tail.substr(after);
        }
        d.rest = tail;
        size_t at = tail.find(" id=");
        if (d.id < 0 && at != std::string::npos) d.id = std::atoi(tail.c_str() + at + 4);
        out.push_back(d);
    }
    return out;
}

const DumpLine* FindLine(const std::vector<DumpLine>& lines, const std::string& kind, int id) {
    for (const DumpLine& d : lines)
        if (d.kind == kind && (id < 0 || d.id == id)) return &d;
    return nullptr;
}

const DumpLine* FindText(const std::vector<DumpLine>& lines, const std::string& kind, const std::string& text) {
    for (const DumpLine& d : lines)
        if (d.kind == kind && d.text == text) return &d;
    return nullptr;
}

namespace {
constexpr int kIdNo = 7;  // the message box's "No"
}  // namespace

const GoMenu& FindGoMenu() {
    static GoMenu menu;
    static bool tried = false;
    if (tried) return menu;
    tried = true;
    Home home = MakeHome("find-go-menu");
    std::string bar = home.Path("bar.txt"), popup = home.Path("popup.txt");
    Child first;
    if (!Start(&first, {"--headless", "--script", home.Write("bar-script.txt", "dump " + bar + "\n")}, home.env,
               home.Path("err1.txt")) ||
        first.Wait().status != 0)
        return menu;
    const std::vector<DumpLine> barLines = ParseDump(ReadFile(bar));
    const DumpLine* go = FindText(barLines, "button", "Go");
    if (!go) return menu;
    menu.goX = go->CentreX();
    menu.goY = go->CentreY();
    std::string script = Tap(menu.goX, menu.goY) + "dump " + popup + "\n";
    Child second;
    if (!Start(&second, {"--headless", "--script", home.Write("popup-script.txt", script)}, home.env,
               home.Path("err2.txt")) ||
        second.Wait().status != 0)
        return menu;
    const std::vector<DumpLine> popupLines = ParseDump(ReadFile(popup));
    const DumpLine* item = FindLine(popupLines, "item", 123);
    if (!item) return menu;
    menu.bookmarkX = item->CentreX();
    menu.bookmarkY = item->CentreY();
    // With lesson 1 bookmarked, choosing Bookmark asks before removing it.
    PresetRegistry(home, std::string("[HKEY_CURRENT_USER\\") + kSettingsKey + "]\n\"Bookmarks\"=hex:01,00,00,00\n");
    std::string box = home.Path("box.txt");
    script = Tap(menu.goX, menu.goY) + Tap(menu.bookmarkX, menu.bookmarkY) + "dump " + box + "\n";
    Child third;
    if (!Start(&third, {"--headless", "--script", home.Write("box-script.txt", script)}, home.env,
               home.Path("err3.txt")) ||
        third.Wait().status != 0)
        return menu;
    const std::vector<DumpLine> boxLines = ParseDump(ReadFile(box));
    const DumpLine* no = FindLine(boxLines, "button", kIdNo);
    if (!no) return menu;
    menu.noX = no->CentreX();
    menu.noY = no->CentreY();
    menu.found = true;
    return menu;
}

std::string Tap(int x, int y) { return "tap " + std::to_string(x) + " " + std::to_string(y) + "\n"; }

namespace {

// The runs' files go when the tests are done (VELMORA_E2E_KEEP=1 keeps them).
struct RemoveTempDir : testing::Environment {
    void TearDown() override {
        if (getenv("VELMORA_E2E_KEEP")) return;
        std::error_code ec;
        std::filesystem::remove_all(TempDir(), ec);
    }
};
const testing::Environment* const kRemoveTempDir = testing::AddGlobalTestEnvironment(new RemoveTempDir);

}  // namespace
