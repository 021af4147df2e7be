// velmora-pack: compiles the library sources into the pack file linked into the
// reader, and writes a pack back as sources.
#include <cstdio>

#include "tools/pack_commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string out, err;
    int code = RunVelmoraPack(args, &out, &err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return code;
}
