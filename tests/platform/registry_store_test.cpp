// The registry calls over the file: types, names, sizes, errors, bad files and two
// processes.
#include "registry_fixture.h"

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TypeCase {
    const char* label;
    const char16_t* name;
    DWORD type;
    std::vector<BYTE> data;
    const char* line;  // how the value must look in the file; null: not checked
};

std::vector<BYTE> Bytes(std::initializer_list<int> b) {
    std::vector<BYTE> v;
    for (int x : b) v.push_back(BYTE(x));
    return v;
}

std::vector<BYTE> Ramp(size_t n) {
    std::vector<BYTE> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = BYTE(i * 7);
    return v;
}

TEST_F(RegistryTest, EveryTypeRoundTripsThroughTheFile) {
    const TypeCase cases[] = {
        {"dword", u"Flags", REG_DWORD, DwordBytes(0xD1140040), "\"Flags\"=dword:d1140040\n"},
        {"dword zero", u"Zero", REG_DWORD, DwordBytes(0), "\"Zero\"=dword:00000000\n"},
        {"plain string", u"FontName", REG_SZ, Utf16Bytes(u"Tahoma"), "\"FontName\"=\"Tahoma\"\n"},
        {"escapes", u"Esc", REG_SZ, Utf16Bytes(u"a \"b\" \\c\\"), "\"Esc\"=\"a \\\"b\\\" \\\\c\\\\\"\n"},
        {"non-ASCII as UTF-8", u"Uni", REG_SZ, Utf16Bytes(u"caf\u00e9 \U0001F600"),
         "\"Uni\"=\"caf\xc3\xa9 \xf0\x9f\x98\x80\"\n"},
        {"empty string", u"Empty", REG_SZ, Utf16Bytes(u""), "\"Empty\"=\"\"\n"},
        {"tab kept in string", u"Tab", REG_SZ, Utf16Bytes(u"a\tb"), nullptr},
        {"string without terminator", u"NoNul", REG_SZ, Bytes({0x41, 0, 0x42, 0}),
         "\"NoNul\"=hex(1):41,00,42,00\n"},
        {"odd-sized string", u"Odd", REG_SZ, Bytes({0x41, 0, 0}), "\"Odd\"=hex(1):41,00,00\n"},
        {"string with inner NUL", u"Inner", REG_SZ, Bytes({0x41, 0, 0, 0, 0x42, 0, 0, 0}), nullptr},
        {"string with newline", u"Nl", REG_SZ, Utf16Bytes(u"a\nb"), nullptr},
        {"lone surrogate", u"Sur", REG_SZ, Bytes({0x00, 0xD8, 0x41, 0, 0, 0}), nullptr},
        {"zero-length string", u"Nothing", REG_SZ, {}, "\"Nothing\"=hex(1):\n"},
        {"binary", u"Bookmarks", REG_BINARY, Bytes({7, 0, 3, 0, 0, 0}),
         "\"Bookmarks\"=hex:07,00,03,00,00,00\n"},
        {"empty binary", u"NoBytes", REG_BINARY, {}, "\"NoBytes\"=hex:\n"},
        {"long binary wraps", u"Long", REG_BINARY, Ramp(300), nullptr},
        {"short dword", u"Short", REG_DWORD, Bytes({1, 2, 3}), "\"Short\"=hex(4):01,02,03\n"},
        {"other type", u"Multi", 7, Bytes({0x41, 0, 0, 0, 0, 0}), "\"Multi\"=hex(7):41,00,00,00,00,00\n"},
        {"default value", u"", REG_SZ, Utf16Bytes(u"dflt"), "@=\"dflt\"\n"},
        {"name with quote and backslash", u"n\"a\\me", REG_DWORD, DwordBytes(5),
         "\"n\\\"a\\\\me\"=dword:00000005\n"},
    };
    for (const TypeCase& c : cases) {
        ASSERT_EQ(Set(c.name, c.type, c.data), ERROR_SUCCESS) << c.label;
    }
    std::string text = ReadText();
    NewProcess();
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(c.label);
        RegRead r = Get(c.name);
        ASSERT_EQ(r.rc, ERROR_SUCCESS);
        EXPECT_EQ(r.type, c.type);
        EXPECT_EQ(r.data, c.data);
        if (c.line) { EXPECT_NE(text.find(c.line), std::string::npos) << text; }
    }
    // Nothing was set aside and no line is longer than an editor likes.
    EXPECT_FALSE(Exists("registry.reg.bad"));
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
}

TEST_F(RegistryTest, FileHasTheDocumentedShape) {
    ASSERT_EQ(Set(u"Flags", REG_DWORD, DwordBytes(0xD1140040)), ERROR_SUCCESS);
    ASSERT_EQ(Set(u"SearchString", REG_SZ, Utf16Bytes(u"say \"hi\" \\ bye")), ERROR_SUCCESS);
    ASSERT_EQ(Set(u"Bookmarks", REG_BINARY, Bytes({7, 0, 3, 0, 0, 0})), ERROR_SUCCESS);
    ASSERT_EQ(Set(u"software\\Orlavex", u"FullScreen", REG_DWORD, DwordBytes(1)), ERROR_SUCCESS);
    EXPECT_EQ(ReadText(),
              "REGEDIT4\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software]\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Orlavex]\n"
              "\"FullScreen\"=dword:00000001\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Orlavex\\Almarest-Velmora]\n"
              "\"Flags\"=dword:d1140040\n"
              "\"SearchString\"=\"say \\\"hi\\\" \\\\ bye\"\n"
              "\"Bookmarks\"=hex:07,00,03,00,00,00\n"
              "\n");
    struct stat st;
    ASSERT_EQ(stat(folder_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(stat(Path("registry.reg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u) << "settings must not be readable by others";
}

TEST_F(RegistryTest, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
    ASSERT_EQ(Set(u"LastPosition", REG_DWORD, DwordBytes(12)), ERROR_SUCCESS);
    // The boot-options key is spelt with a lower-case s; it is the same key.
    ASSERT_EQ(Set(u"software\\ORLAVEX", u"IgnoreActivate", REG_DWORD, DwordBytes(1)), ERROR_SUCCESS);
    ASSERT_EQ(Set(u"SOFTWARE\\orlavex\\ALMAREST-velmora", u"LASTPOSITION", REG_DWORD, DwordBytes(34)),
              ERROR_SUCCESS);
    NewProcess();
    RegRead r = Get(u"software\\orlavex\\almarest-VELMORA", u"lastposition");
    ASSERT_EQ(r.rc, ERROR_SUCCESS);
    EXPECT_EQ(r.data, DwordBytes(34));
    EXPECT_EQ(Get(u"Software\\Orlavex", u"ignoreactivate").rc, ERROR_SUCCESS);
    std::string text = ReadText();
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Orlavex\\Almarest-Velmora]"), std::string::npos);
    EXPECT_NE(text.find("\"LastPosition\"=dword:00000022"), std::string::npos);
    EXPECT_EQ(text.find("LASTPOSITION"), std::string::npos);
    EXPECT_EQ(text.find("ORLAVEX"), std::string::npos);
    // Folding is ASCII only: these are different names.
    ASSERT_EQ(Set(u"\u00c9t\u00e9", REG_DWORD, DwordBytes(1)), ERROR_SUCCESS);
    EXPECT_EQ(Get(u"\u00e9t\u00e9").rc, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, QueryGivesTypeAndSizeThenDataAndAsksForMoreWhenShort) {
    std::vector<BYTE> six = Bytes({1, 2, 3, 4, 5, 6});
    ASSERT_EQ(Set(u"Bookmarks", REG_BINARY, six), ERROR_SUCCESS);
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &k), ERROR_SUCCESS);
    DWORD type = 99, size = 0;
    EXPECT_EQ(RegQueryValueExW(k, u"Bookmarks", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(size, 6u);
    // Type and size slots are both optional.
    EXPECT_EQ(RegQueryValueExW(k, u"Bookmarks", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);

    for (DWORD capacity : {0u, 1u, 5u}) {
        BYTE buf[8] = {};
        size = capacity;
        EXPECT_EQ(RegQueryValueExW(k, u"Bookmarks", nullptr, &type, buf, &size), ERROR_MORE_DATA)
            << capacity;
        EXPECT_EQ(size, 6u);
    }
    BYTE buf[8] = {};
    size = sizeof buf;
    EXPECT_EQ(RegQueryValueExW(k, u"Bookmarks", nullptr, &type, buf, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(std::vector<BYTE>(buf, buf + 6), six);
    EXPECT_EQ(buf[6], 0) << "wrote past the data";
    // Data without a size slot cannot be bounded.
    EXPECT_EQ(RegQueryValueExW(k, u"Bookmarks", nullptr, &type, buf, nullptr), ERROR_INVALID_PARAMETER);
    RegCloseKey(k);
}

TEST_F(RegistryTest, DigitsStringComesBackAsTheUtf16BytesAReaderParses) {
    ASSERT_EQ(Set(u"Lesson", REG_SZ, Utf16Bytes(u"12")), ERROR_SUCCESS);
    EXPECT_NE(ReadText().find("\"Lesson\"=\"12\"\n"), std::string::npos);
    NewProcess();
    RegRead r = Get(u"Lesson");
    ASSERT_EQ(r.rc, ERROR_SUCCESS);
    EXPECT_EQ(r.type, DWORD(REG_SZ));
    EXPECT_EQ(r.data, Bytes({'1', 0, '2', 0, 0, 0}));
    // A hand-written file says it the same way.
    WriteText("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orlavex\\Almarest-Velmora]\n\"Lesson\"=\"12\"\n");
    NewProcess();
    EXPECT_EQ(Get(u"Lesson").data, Bytes({'1', 0, '2', 0, 0, 0}));
}

TEST_F(RegistryTest, MissingThingsAndBadArgumentsGiveWin32Errors) {
    // Reading with no file and no folder creates neither.
    HKEY k = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &k), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(k, nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder_));

    ASSERT_EQ(Set(u"Flags", REG_DWORD, DwordBytes(1)), ERROR_SUCCESS);
    EXPECT_EQ(Get(u"Software\\Orlavex\\Nothing", u"Flags").rc, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Get(u"NoSuchValue").rc, ERROR_FILE_NOT_FOUND);

    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &k), ERROR_SUCCESS);
    BYTE b[4] = {1, 2, 3, 4};
    EXPECT_EQ(RegSetValueExW(k, u"Flags", 0, REG_DWORD, b, 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueW(k, u"Flags"), ERROR_ACCESS_DENIED);
    HKEY sub = nullptr;
    EXPECT_EQ(RegCreateKeyExW(k, u"Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_ACCESS_DENIED);
    RegCloseKey(k);
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_WRITE, &k), ERROR_SUCCESS);
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExW(k, u"Flags", nullptr, nullptr, b, &size), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueExW(k, u"X", 0, REG_BINARY, nullptr, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(k, u"Bad\nName", 0, REG_BINARY, b, 1), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(k, u"X", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(k, u"Nope"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(k);

    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(&size)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExW(reinterpret_cast<HKEY>(&size), u"Flags", nullptr, nullptr, nullptr,
                               nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    std::u16string longName(256, u'k');
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, longName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &sub, nullptr),
              ERROR_INVALID_PARAMETER);
    std::vector<BYTE> huge((1u << 20) + 1);
    EXPECT_EQ(Set(u"Huge", REG_BINARY, huge), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, CreateMakesParentsReportsDispositionAndKeepsEmptyKeys) {
    HKEY k = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettings, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    HKEY sub = nullptr;
    ASSERT_EQ(RegCreateKeyExW(k, u"A\\B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    RegCloseKey(sub);
    RegCloseKey(k);
    NewProcess();
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"software\\orlavex\\almarest-velmora\\a\\b", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    // A null or empty subkey is the key itself.
    ASSERT_EQ(RegOpenKeyExW(k, nullptr, 0, KEY_READ, &sub), ERROR_SUCCESS);
    RegCloseKey(sub);
    ASSERT_EQ(RegOpenKeyExW(k, u"", 0, KEY_READ, &sub), ERROR_SUCCESS);
    RegCloseKey(sub);
    RegCloseKey(k);
}

TEST_F(RegistryTest, DeleteKeyTakesItsSubtreeAndStrandsOpenHandles) {
    ASSERT_EQ(Set(u"Software\\Orlavex\\Almarest-Velmora\\Sub", u"V", REG_DWORD, DwordBytes(1)),
              ERROR_SUCCESS);
    ASSERT_EQ(Set(u"Software\\Orlavex", u"Keep", REG_DWORD, DwordBytes(2)), ERROR_SUCCESS);
    HKEY open = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Orlavex\\Almarest-Velmora\\Sub", 0,
                            KEY_ALL_ACCESS, &open),
              ERROR_SUCCESS);
    HKEY parent = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Orlavex", 0, KEY_ALL_ACCESS, &parent),
              ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(parent, u""), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKeyW(parent, u"Nothing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(parent, u"ALMAREST-VELMORA"), ERROR_SUCCESS);
    RegCloseKey(parent);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(open, u"V", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    BYTE b[4] = {};
    EXPECT_EQ(RegSetValueExW(open, u"V", 0, REG_DWORD, b, 4), ERROR_KEY_DELETED);
    RegCloseKey(open);
    NewProcess();
    EXPECT_EQ(Get(u"Software\\Orlavex\\Almarest-Velmora\\Sub", u"V").rc, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Get(u"Software\\Orlavex", u"Keep").data, DwordBytes(2));
    EXPECT_EQ(ReadText().find("Almarest"), std::string::npos);
}

TEST_F(RegistryTest, UnusableFileIsKeptAsideAndReadsAsEmpty) {
    const char* kSection = "[HKEY_CURRENT_USER\\Software\\Orlavex\\Almarest-Velmora]\n";
    const std::string cases[] = {
        "",
        "garbage\n",
        std::string("\0\0\xff\xfe", 4),
        "REGEDIT5\n\n" + std::string(kSection),
        "Windows Registry Editor Version 5.00\n",
        "\nREGEDIT4\n",
        "REGEDIT4\n\n\"Flags\"=dword:00000001\n",
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\\\Software]\n",
        "REGEDIT4\n\n[HKEY_CURRENT_USERX\\Software]\n",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"Flags\"=dword:123456789\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"Flags\"=dword:\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"Flags\"=dword:12g4\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"Flags\"=qword:1\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"Flags\"\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"Flags=dword:1\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"S\"=\"unterminated\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"S\"=\"bad \\n escape\"\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"S\"=\"x\" trailing\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"S\"=\"\xc3\x28\"\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"S\"=\"\xed\xa0\x80\"\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"B\"=hex:0,1\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"B\"=hex:01,\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"B\"=hex:01,\\\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"B\"=hex:01;02\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"B\"=hex(zz):01\n",
        "REGEDIT4\n\n" + std::string(kSection) + "\"B\"=-\n",
        "REGEDIT4\n\n[-HKEY_CURRENT_USER\\Software]\n",
        "REGEDIT4\n\n" + std::string(kSection) + "stray words\n",
    };
    int index = 0;
    for (const std::string& bad : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << index++ << ": " << bad);
        WriteText(bad);
        NewProcess();
        EXPECT_EQ(Get(u"Flags").rc, ERROR_FILE_NOT_FOUND);
        EXPECT_FALSE(Exists("registry.reg"));
        EXPECT_EQ(ReadText("registry.reg.bad"), bad) << "the older .bad is replaced";
        EXPECT_NE(std::string(RegistryLastError()), "");
        // The next write starts a fresh, good file.
        ASSERT_EQ(Set(u"Flags", REG_DWORD, DwordBytes(7)), ERROR_SUCCESS);
        NewProcess();
        EXPECT_EQ(Get(u"Flags").data, DwordBytes(7));
    }
}

TEST_F(RegistryTest, SomethingThatIsNotAFileIsKeptAsideWithoutHanging) {
    std::filesystem::create_directories(folder_);
    ASSERT_EQ(mkfifo(Path("registry.reg").c_str(), 0600), 0);
    EXPECT_EQ(Get(u"Flags").rc, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(Exists("registry.reg.bad"));
    EXPECT_EQ(Set(u"Flags", REG_DWORD, DwordBytes(7)), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ToleratedSpellingsAreRead) {
    WriteText(
        "\xEF\xBB\xBFREGEDIT4\r\n"
        "\r\n"
        "; written by hand\r\n"
        "  [hkey_current_user\\Software\\Orlavex\\Almarest-Velmora]  \r\n"
        "\"Flags\"=dword:D114004\r\n"
        "   ; a comment between values\r\n"
        "\"Bookmarks\"=hex:07,00,\\\r\n"
        "  03,00,\\\r\n"
        "\t00,00\r\n"
        "\"Raw\"=hex(3):AB,cd\r\n"
        "\"\"=\"default\"\r\n"
        "\"FontName\"=\"old\"\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orlavex\\Almarest-Velmora]\r\n"
        "\"fontname\"=\"new\"\r\n");
    EXPECT_EQ(Get(u"Flags").data, DwordBytes(0x0D114004));
    EXPECT_EQ(Get(u"Bookmarks").data, Bytes({7, 0, 3, 0, 0, 0}));
    RegRead raw = Get(u"Raw");
    EXPECT_EQ(raw.type, DWORD(REG_BINARY));
    EXPECT_EQ(raw.data, Bytes({0xAB, 0xCD}));
    EXPECT_EQ(Get(nullptr).data, Utf16Bytes(u"default"));
    EXPECT_EQ(Get(u"FontName").data, Utf16Bytes(u"new")) << "a repeated value: the last wins";
    EXPECT_FALSE(Exists("registry.reg.bad"));
}

TEST_F(RegistryTest, AnotherProcessSeesWritesWithoutRestarting) {
    ASSERT_EQ(Set(u"Lesson", REG_DWORD, DwordBytes(1)), ERROR_SUCCESS);
    EXPECT_EQ(Get(u"Lesson").data, DwordBytes(1));  // cached here now
    for (DWORD lesson : {2u, 3u}) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            RegistryReset();
            _exit(Set(u"Lesson", REG_DWORD, DwordBytes(lesson)) == ERROR_SUCCESS ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(Get(u"Lesson").data, DwordBytes(lesson));
    }
    // And a write here starts from what the other process wrote.
    ASSERT_EQ(Set(u"Flags", REG_DWORD, DwordBytes(9)), ERROR_SUCCESS);
    NewProcess();
    EXPECT_EQ(Get(u"Lesson").data, DwordBytes(3));
}

TEST_F(RegistryTest, FolderComesFromXdgConfigHome) {
    RegistrySetFolder(nullptr);
    const char* old = getenv("XDG_CONFIG_HOME");
    std::string keep = old ? old : "";
    std::string xdg = root_ + "/xdg";
    setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    RegistryReset();
    EXPECT_EQ(std::string(RegistryFilePath()), xdg + "/velmora/registry.reg");
    ASSERT_EQ(Set(u"Flags", REG_DWORD, DwordBytes(1)), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::exists(xdg + "/velmora/registry.reg"));
    // A relative value is ignored in favour of ~/.config.
    setenv("XDG_CONFIG_HOME", "relative/path", 1);
    std::string home = getenv("HOME") ? getenv("HOME") : "";
    RegistryReset();
    if (!home.empty()) { EXPECT_EQ(std::string(RegistryFilePath()), home + "/.config/velmora/registry.reg"); }
    if (old) setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    RegistrySetFolder(folder_.c_str());
}

}  // namespace
