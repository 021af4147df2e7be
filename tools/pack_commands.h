// The commands of velmora-pack, callable from tests without starting a process.
#pragma once

#include <string>
#include <vector>

enum : int {
    kPackExitOk = 0,           // done
    kPackExitSourceError = 1,  // the sources or the pack file are wrong; nothing written
    kPackExitUsage = 2,        // the command line is wrong
};

// Runs one command (args without the program name):
//   [--lessons N] SRC_DIR OUT.pack | --dump OUT.pack DIR | --stats OUT.pack
// Normal output goes to *out, errors ("file:line: message") to *err.
int RunVelmoraPack(const std::vector<std::string>& args, std::string* out, std::string* err);
