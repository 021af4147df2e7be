// Running the real velmora executable from tests: a private settings and runtime
// folder for the whole test program, scripts written there, and the run's exit status.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct RunResult {
    int status = -1;  // exit code, or 128 + signal
    std::string err;
};

// The test program's own folder; XDG_CONFIG_HOME and XDG_RUNTIME_DIR point inside it,
// so runs never touch the user's settings or find the user's reader.
std::string TempDir();
std::string WriteFile(const std::string& name, const std::string& text);
std::string ReadFile(const std::string& path);
// Starts velmora with the arguments; `env` replaces the environment when not empty;
// `signalAfterMs` > 0 sends SIGTERM after that long. A run over 30 s is killed.
RunResult Velmora(std::vector<std::string> args, std::vector<std::string> env = {}, int signalAfterMs = 0);

// ---- Runs with settings of their own -------------------------------------------------

// TempDir()/name with config/ and run/ (0700) made afresh, and an environment that
// names them (plus PATH, HOME and the sanitizers' options of this process), so
// nothing leaks between cases. Two runs given the same Home see each other.
struct Home {
    std::string dir, config, run;
    std::vector<std::string> env;
    std::string Registry() const { return config + "/velmora/registry.reg"; }
    std::string InstanceFolder() const { return run + "/velmora"; }
    std::string Path(const std::string& name) const { return dir + "/" + name; }
    // Writes `text` to Path(name) and returns that path.
    std::string Write(const std::string& name, const std::string& text) const;
};
Home MakeHome(const std::string& name);
// Writes registry.reg (a REGEDIT4 body: the header line is added) before a run.
void PresetRegistry(const Home& home, const std::string& sections);

// A process in the background. The destructor kills (SIGKILL) and reaps it if it is
// still there, so a failing test leaves nothing running.
struct Child {
    pid_t pid = -1;
    std::string errPath;
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child();
    bool Running();  // reaps it when it has ended
    // Waits up to `timeoutMs` for the end; a process still running then is killed and
    // the result's status is -1.
    RunResult Wait(int timeoutMs = 30000);
    void Signal(int sig);
    bool done = false;
    int status = 0;
};
// Starts `exe` (velmora when empty) with argv[1..] = args; stderr goes to `errPath`.
// `newGroup` puts it in a process group of its own (pgid = its pid).
bool Start(Child* child, std::vector<std::string> args, const std::vector<std::string>& env,
           const std::string& errPath, const std::string& exe = "", bool newGroup = false);
std::string VelmoraPath();
// Waits until `path` exists and holds a whole line; false after `timeoutMs`.
bool WaitForFile(const std::string& path, int timeoutMs);
int64_t NowMs();

// ---- The registry file, as the test reads it --------------------------------------------

struct RegValue {
    std::string kind;  // "dword", "sz", "hex" (REG_BINARY) or "hex(N)"
    uint32_t dword = 0;
    std::string text;            // sz: the string, unescaped
    std::vector<uint8_t> bytes;  // hex kinds: the data
};
// Lower-case key path below HKEY_CURRENT_USER -> lower-case value name -> value. An
// unreadable or missing file gives an empty map.
using RegistryKeys = std::map<std::string, std::map<std::string, RegValue>>;
RegistryKeys ReadRegistry(const std::string& path);
inline constexpr char kSettingsKey[] = "software\\orlavex\\almarest-velmora";
// The settings key's values (lower-case names).
std::map<std::string, RegValue> Settings(const Home& home);

// ---- Dumps ------------------------------------------------------------------------

// One line of a dump: "CLASS "TEXT" X,Y,W,H flags..." at some depth.
struct DumpLine {
    int depth = 0;
    std::string kind, text, rest;  // rest: the flags after the rectangle
    int x = 0, y = 0, w = 0, h = 0;
    bool hasRect = false;
    int id = -1;
    bool Has(const std::string& flag) const;
    int CentreX() const { return x + w / 2; }
    int CentreY() const { return y + h / 2; }
};
std::vector<DumpLine> ParseDump(const std::string& text);
// The first line of that kind (and id, when >= 0); null when none.
const DumpLine* FindLine(const std::vector<DumpLine>& lines, const std::string& kind, int id = -1);
// The first line of that kind whose text is `text`.
const DumpLine* FindText(const std::vector<DumpLine>& lines, const std::string& kind, const std::string& text);
// The lines must outlive the pointer.
const DumpLine* FindLine(std::vector<DumpLine>&&, const std::string&, int = -1) = delete;
const DumpLine* FindText(std::vector<DumpLine>&&, const std::string&, const std::string&) = delete;

// Where the menu bar's "Go" button, the Go menu's Bookmark item (123) and the "No"
// button of the bookmark removal question are on the default screen, found once by
// runs of the program in a home of their own.
struct GoMenu {
    int goX = 0, goY = 0;
    int bookmarkX = 0, bookmarkY = 0;
    int noX = 0, noY = 0;
    bool found = false;
};
// Script lines that tap there.
std::string Tap(int x, int y);
const GoMenu& FindGoMenu();
