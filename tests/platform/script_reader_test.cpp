// Script lines: what each parses to, and the lines that are refused.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/backend/headless/script.h"

namespace {

struct Good {
    const char* line;
    ScriptOp op;
    int x, y, vk;
    bool shift;
    WCHAR ch;
    const char* text;
};

const Good kGood[] = {
    {"", SCRIPT_NONE, 0, 0, 0, false, 0, ""},
    {"   \t ", SCRIPT_NONE, 0, 0, 0, false, 0, ""},
    {"# tap 1 2", SCRIPT_NONE, 0, 0, 0, false, 0, ""},
    {"  #comment", SCRIPT_NONE, 0, 0, 0, false, 0, ""},
    {"tap 10 20", SCRIPT_TAP, 10, 20, 0, false, 0, ""},
    {"tap\t-5   7\r", SCRIPT_TAP, -5, 7, 0, false, 0, ""},
    {"down 0 0", SCRIPT_DOWN, 0, 0, 0, false, 0, ""},
    {"move 479 639", SCRIPT_MOVE, 479, 639, 0, false, 0, ""},
    {"up 1 1", SCRIPT_UP, 1, 1, 0, false, 0, ""},
    {"key NEXT", SCRIPT_KEY, 0, 0, VK_NEXT, false, 0, ""},
    {"key PRIOR", SCRIPT_KEY, 0, 0, VK_PRIOR, false, 0, ""},
    {"key return", SCRIPT_KEY, 0, 0, VK_RETURN, false, 0, ""},
    {"key F1", SCRIPT_KEY, 0, 0, VK_F1, false, 0, ""},
    {"key F12", SCRIPT_KEY, 0, 0, VK_F12, false, 0, ""},
    {"key a", SCRIPT_KEY, 0, 0, 'A', false, u'a', ""},
    {"key Q", SCRIPT_KEY, 0, 0, 'Q', true, u'Q', ""},
    {"key 5", SCRIPT_KEY, 0, 0, '5', false, u'5', ""},
    {"key #", SCRIPT_KEY, 0, 0, '3', true, u'#', ""},
    {"key .", SCRIPT_KEY, 0, 0, VK_OEM_PERIOD, false, u'.', ""},
    {"key \xC3\xA9", SCRIPT_KEY, 0, 0, 0, false, u'\u00e9', ""},  // no key of its own: a character
    {"type Hello, world  ", SCRIPT_TYPE, 0, 0, 0, false, 0, "Hello, world  "},
    {"type # not a comment", SCRIPT_TYPE, 0, 0, 0, false, 0, "# not a comment"},
    {"resize 640 480", SCRIPT_RESIZE, 640, 480, 0, false, 0, ""},
    {"focus on", SCRIPT_FOCUS, 1, 0, 0, false, 0, ""},
    {"focus off", SCRIPT_FOCUS, 0, 0, 0, false, 0, ""},
    {"screenshot out/first shot.png ", SCRIPT_SCREENSHOT, 0, 0, 0, false, 0, "out/first shot.png"},
    {"dump tree.txt", SCRIPT_DUMP, 0, 0, 0, false, 0, "tree.txt"},
    {"close", SCRIPT_CLOSE, 0, 0, 0, false, 0, ""},
    {"sleep 250", SCRIPT_SLEEP, 250, 0, 0, false, 0, ""},
};

TEST(ScriptReader, LinesParseToCommands) {
    for (const Good& g : kGood) {
        SCOPED_TRACE(g.line);
        ScriptCommand cmd;
        char error[128] = "";
        ASSERT_TRUE(ScriptParseLine(g.line, strlen(g.line), &cmd, error, sizeof error)) << error;
        EXPECT_EQ(cmd.op, g.op);
        EXPECT_EQ(cmd.x, g.x);
        EXPECT_EQ(cmd.y, g.y);
        EXPECT_EQ(cmd.vk, g.vk);
        EXPECT_EQ(cmd.shift, g.shift);
        EXPECT_EQ(cmd.ch, g.ch);
        EXPECT_STREQ(cmd.text, g.text);
    }
}

struct Bad {
    const char* line;
    const char* reason;  // a part of the message
};

const Bad kBad[] = {
    {"tapp 1 2", "unknown command \"tapp\""},
    {"TAP 1 2", "unknown command"},
    {"tap 1", "needs X and Y"},
    {"tap 1 2 3", "unexpected \"3\""},
    {"tap x 2", "whole numbers"},
    {"tap 1.5 2", "whole numbers"},
    {"tap 99999999999 2", "whole numbers"},
    {"key", "needs a key"},
    {"key PAGEDOWN", "unknown key \"PAGEDOWN\""},
    {"key F13", "unknown key"},
    {"key F0", "unknown key"},
    {"key ab", "unknown key"},
    {"key A B", "unexpected"},
    {"type", "needs a text"},
    {"type ", "needs a text"},
    {"resize 0 480", "1 to 16384"},
    {"resize 640", "width and a height"},
    {"resize 20000 480", "1 to 16384"},
    {"focus", "on or off"},
    {"focus yes", "on or off"},
    {"screenshot", "needs a file name"},
    {"dump   ", "needs a file name"},
    {"close now", "unexpected"},
    {"sleep", "milliseconds"},
    {"sleep -1", "milliseconds"},
    {"sleep 3600001", "milliseconds"},
};

TEST(ScriptReader, MalformedLinesAreRefusedWithAReason) {
    for (const Bad& b : kBad) {
        SCOPED_TRACE(b.line);
        ScriptCommand cmd;
        char error[128] = "";
        EXPECT_FALSE(ScriptParseLine(b.line, strlen(b.line), &cmd, error, sizeof error));
        EXPECT_NE(strstr(error, b.reason), nullptr) << error;
    }
    // A NUL inside the line, and an overlong text.
    ScriptCommand cmd;
    char error[128];
    EXPECT_FALSE(ScriptParseLine("tap 1\0 2", 8, &cmd, error, sizeof error));
    std::string longText = "type " + std::string(2000, 'x');
    EXPECT_FALSE(ScriptParseLine(longText.data(), longText.size(), &cmd, error, sizeof error));
    EXPECT_NE(strstr(error, "too long"), nullptr);
}

}  // namespace
