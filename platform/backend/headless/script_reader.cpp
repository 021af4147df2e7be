// Parsing of script lines.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/backend/headless/script.h"
#include "platform/window_internal.h"

namespace {

bool Fail(char* error, size_t size, const char* fmt, const char* arg = "") {
    if (error && size) snprintf(error, size, fmt, arg);
    return false;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits off the next word; false when there is none.
bool NextWord(std::string* rest, std::string* word) {
    size_t i = 0;
    while (i < rest->size() && IsBlank((*rest)[i])) ++i;
    size_t j = i;
    while (j < rest->size() && !IsBlank((*rest)[j])) ++j;
    if (i == j) return false;
    *word = rest->substr(i, j - i);
    *rest = rest->substr(j);
    return true;
}

bool ParseInt(const std::string& s, long lo, long hi, int* out) {
    if (s.empty() || s.size() > 12) return false;
    size_t i = s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    for (size_t k = i; k < s.size(); ++k)
        if (s[k] < '0' || s[k] > '9') return false;
    long v = strtol(s.c_str(), nullptr, 10);
    if (v < lo || v > hi) return false;
    *out = (int)v;
    return true;
}

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && IsBlank(s[a])) ++a;
    while (b > a && IsBlank(s[b - 1])) --b;
    return s.substr(a, b - a);
}

bool KeyFromName(const std::string& name, ScriptCommand* cmd) {
    static const struct { const char* name; int vk; } named[] = {
        {"PRIOR", VK_PRIOR}, {"NEXT", VK_NEXT},     {"END", VK_END},   {"HOME", VK_HOME},
        {"LEFT", VK_LEFT},   {"UP", VK_UP},         {"RIGHT", VK_RIGHT}, {"DOWN", VK_DOWN},
        {"RETURN", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"TAB", VK_TAB}, {"SPACE", VK_SPACE},
        {"BACK", VK_BACK},   {"DELETE", VK_DELETE},
    };
    for (const auto& k : named) {
        if (strcasecmp(k.name, name.c_str()) == 0) {
            cmd->vk = k.vk;
            return true;
        }
    }
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        int n;
        if (ParseInt(name.substr(1), 1, 12, &n) && name[1] != '-' && name[1] != '0') {
            cmd->vk = VK_F1 + n - 1;
            return true;
        }
    }
    return false;
}

bool KeyFromChar(const std::string& s, ScriptCommand* cmd) {
    std::u16string u = Utf8ToUtf16(s);
    if (u.size() != 1 || u[0] == 0xFFFD) return false;
    WCHAR c = u[0];
    cmd->ch = c;
    if (c >= 'a' && c <= 'z') {
        cmd->vk = c - 32;
    } else if (c >= 'A' && c <= 'Z') {
        cmd->vk = c;
        cmd->shift = true;
    } else if (c >= '0' && c <= '9') {
        cmd->vk = c;
    } else if (c < 0x80) {
        static const char shiftedDigits[] = ")!@#$%^&*(";
        const char* d = strchr(shiftedDigits, (char)c);
        static const struct { char plain, shifted; int vk; } oem[] = {
            {';', ':', VK_OEM_1}, {'=', '+', VK_OEM_PLUS}, {',', '<', VK_OEM_COMMA}, {'-', '_', VK_OEM_MINUS},
            {'.', '>', VK_OEM_PERIOD}, {'/', '?', VK_OEM_2}, {'`', '~', VK_OEM_3}, {'[', '{', VK_OEM_4},
            {'\\', '|', VK_OEM_5}, {']', '}', VK_OEM_6}, {'\'', '"', VK_OEM_7},
        };
        if (d && c) {
            cmd->vk = '0' + (int)(d - shiftedDigits);
            cmd->shift = true;
        }
        for (const auto& k : oem) {
            if (c == (WCHAR)k.plain) cmd->vk = k.vk;
            if (c == (WCHAR)k.shifted) cmd->vk = k.vk, cmd->shift = true;
        }
        if (!cmd->vk) return false;  // control characters
    }
    // Anything else has no key of its own: it arrives as a character.
    return true;
}

}  // namespace

bool ScriptParseLine(const char* line, size_t length, ScriptCommand* cmd, char* error, size_t errorSize) {
    *cmd = ScriptCommand{};
    std::string rest(line ? line : "", line ? length : 0);
    if (!rest.empty() && rest.back() == '\r') rest.pop_back();
    if (rest.find('\0') != std::string::npos) return Fail(error, errorSize, "a NUL byte in the line");
    std::string word;
    if (!NextWord(&rest, &word) || word[0] == '#') return true;

    static const struct { const char* name; ScriptOp op; } ops[] = {
        {"tap", SCRIPT_TAP},       {"down", SCRIPT_DOWN},     {"move", SCRIPT_MOVE},
        {"up", SCRIPT_UP},         {"key", SCRIPT_KEY},       {"type", SCRIPT_TYPE},
        {"resize", SCRIPT_RESIZE}, {"focus", SCRIPT_FOCUS},   {"screenshot", SCRIPT_SCREENSHOT},
        {"dump", SCRIPT_DUMP},     {"close", SCRIPT_CLOSE},   {"sleep", SCRIPT_SLEEP},
    };
    for (const auto& o : ops)
        if (word == o.name) cmd->op = o.op;
    if (cmd->op == SCRIPT_NONE) return Fail(error, errorSize, "unknown command \"%s\"", word.substr(0, 40).c_str());
    const char* name = ops[cmd->op - 1].name;

    std::string a, b, extra;
    switch (cmd->op) {
        case SCRIPT_TAP:
        case SCRIPT_DOWN:
        case SCRIPT_MOVE:
        case SCRIPT_UP:
        case SCRIPT_RESIZE: {
            bool resize = cmd->op == SCRIPT_RESIZE;
            long lo = resize ? 1 : -100000, hi = resize ? 16384 : 100000;
            if (!NextWord(&rest, &a) || !NextWord(&rest, &b))
                return Fail(error, errorSize, resize ? "%s needs a width and a height" : "%s needs X and Y", name);
            if (!ParseInt(a, lo, hi, &cmd->x) || !ParseInt(b, lo, hi, &cmd->y))
                return Fail(error, errorSize, resize ? "%s: the size must be whole numbers from 1 to 16384"
                                                     : "%s: X and Y must be whole numbers", name);
            break;
        }
        case SCRIPT_KEY:
            if (!NextWord(&rest, &a)) return Fail(error, errorSize, "key needs a key name or a character");
            if (!KeyFromName(a, cmd) && !KeyFromChar(a, cmd))
                return Fail(error, errorSize, "unknown key \"%s\"", a.substr(0, 40).c_str());
            break;
        case SCRIPT_TYPE: {
            // The text is the rest of the line after the one separator.
            std::string text = rest.empty() ? rest : rest.substr(1);
            if (text.empty()) return Fail(error, errorSize, "type needs a text");
            if (text.size() >= sizeof cmd->text) return Fail(error, errorSize, "the text is too long");
            memcpy(cmd->text, text.data(), text.size());
            return true;
        }
        case SCRIPT_FOCUS:
            if (!NextWord(&rest, &a) || (a != "on" && a != "off"))
                return Fail(error, errorSize, "focus needs on or off");
            cmd->x = a == "on";
            break;
        case SCRIPT_SCREENSHOT:
        case SCRIPT_DUMP: {
            std::string path = Trim(rest);
            if (path.empty()) return Fail(error, errorSize, "%s needs a file name", name);
            if (path.size() >= sizeof cmd->text) return Fail(error, errorSize, "the file name is too long");
            memcpy(cmd->text, path.data(), path.size());
            return true;
        }
        case SCRIPT_SLEEP:
            if (!NextWord(&rest, &a) || !ParseInt(a, 0, 3600000, &cmd->x))
                return Fail(error, errorSize, "sleep needs milliseconds from 0 to 3600000");
            break;
        case SCRIPT_CLOSE:
        case SCRIPT_NONE:
            break;
    }
    if (NextWord(&rest, &extra)) return Fail(error, errorSize, "unexpected \"%s\" at the end", extra.substr(0, 40).c_str());
    return true;
}
