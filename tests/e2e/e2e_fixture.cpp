#include "e2e_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
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

RunResult Velmora(std::vector<std::string> args, std::vector<std::string> env, int signalAfterMs) {
    std::string exe = std::string(VELMORA_BINARY_DIR) + "/velmora";
    std::string errPath = TempDir() + "/stderr.txt";
    args.insert(args.begin(), exe);
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    RunResult run;
    if (posix_spawn(&pid, exe.c_str(), &fa, nullptr, argv.data(), env.empty() ? environ : envp.data()) != 0) {
        posix_spawn_file_actions_destroy(&fa);
        return run;
    }
    posix_spawn_file_actions_destroy(&fa);
    if (signalAfterMs > 0) {
        usleep(signalAfterMs * 1000);
        kill(pid, SIGTERM);
    }
    // A run that hangs is a failure, not a stuck test.
    int status = 0;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; waited += 10) {
        if (waited >= 30000) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        usleep(10000);
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.err = ReadFile(errPath);
    return run;
}
