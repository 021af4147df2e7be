// Running the real velmora executable from tests: a private settings and runtime
// folder for the whole test program, scripts written there, and the run's exit status.
#pragma once

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
