// Saving under failure: injected I/O errors, crashes in the middle of a save, and
// processes writing at the same time.
#include "registry_fixture.h"

#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* KindName(RegistryIoKind kind) {
    static const char* names[] = {"read", "write", "fsync", "rename"};
    return names[kind];
}

// Every write, fsync and rename of a save, made to fail in turn: the call's result
// must agree with what is stored, and a failure must leave the old file byte for byte.
TEST_F(RegistryTest, EachFailedFileOperationLeavesTheOldFile) {
    ASSERT_EQ(Set(u"Flags", REG_DWORD, DwordBytes(1)), ERROR_SUCCESS);
    long before[REGISTRY_IO_KINDS];
    for (int k = 0; k < REGISTRY_IO_KINDS; ++k) before[k] = RegistryIoCount(RegistryIoKind(k));
    ASSERT_EQ(Set(u"Flags", REG_DWORD, DwordBytes(2)), ERROR_SUCCESS);
    DWORD next = 3;
    for (RegistryIoKind kind : {REGISTRY_IO_WRITE, REGISTRY_IO_FSYNC, REGISTRY_IO_RENAME}) {
        long perSave = RegistryIoCount(kind) - before[kind];
        ASSERT_GT(perSave, 0) << KindName(kind);
        for (int n = 1; n <= perSave; ++n) {
            SCOPED_TRACE(::testing::Message() << KindName(kind) << " #" << n);
            std::string oldText = ReadText();
            DWORD oldValue = next - 1;
            RegistryFailIo(kind, n);
            LONG rc = Set(u"Flags", REG_DWORD, DwordBytes(next));
            RegistryFailIo(kind, 0);
            // The data file's own write, fsync and rename must be reported.
            bool mustFail = n == 1;
            if (mustFail) { EXPECT_NE(rc, ERROR_SUCCESS); }
            DWORD expect = rc == ERROR_SUCCESS ? next : oldValue;
            if (rc != ERROR_SUCCESS) {
                EXPECT_EQ(ReadText(), oldText);
                EXPECT_NE(std::string(RegistryLastError()), "");
            }
            EXPECT_FALSE(Exists("registry.reg.tmp")) << "a failed save must clean up";
            EXPECT_EQ(Get(u"Flags").data, DwordBytes(expect)) << "this process";
            NewProcess();
            EXPECT_EQ(Get(u"Flags").data, DwordBytes(expect)) << "a new process";
            if (rc == ERROR_SUCCESS) ++next;
            // And the registry still works afterwards.
            ASSERT_EQ(Set(u"Flags", REG_DWORD, DwordBytes(next)), ERROR_SUCCESS);
            ++next;
        }
    }
}

TEST_F(RegistryTest, FailedSaveCreatesNoKeyAndNoValue) {
    ASSERT_EQ(Set(u"Flags", REG_DWORD, DwordBytes(1)), ERROR_SUCCESS);
    RegistryFailIo(REGISTRY_IO_RENAME, 1);
    HKEY k = reinterpret_cast<HKEY>(1);
    DWORD disposition = 0;
    EXPECT_NE(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &k, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(k, nullptr);
    EXPECT_EQ(Get(u"Software\\New", u"x").rc, ERROR_FILE_NOT_FOUND);
    RegistryFailIo(REGISTRY_IO_WRITE, 1);
    EXPECT_NE(Set(u"Other", REG_BINARY, {1, 2}), ERROR_SUCCESS);
    EXPECT_EQ(Get(u"Other").rc, ERROR_FILE_NOT_FOUND);
    RegistryFailIo(REGISTRY_IO_FSYNC, 1);
    HKEY settings = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_ALL_ACCESS, &settings), ERROR_SUCCESS);
    EXPECT_NE(RegDeleteValueW(settings, u"Flags"), ERROR_SUCCESS);
    RegCloseKey(settings);
    EXPECT_EQ(Get(u"Flags").data, DwordBytes(1));
}

// A read error may pass (a full descriptor table, a flaky disk): the good file must
// not be set aside, and a write must not replace it with what little was read.
TEST_F(RegistryTest, ReadErrorNeitherSetsAsideNorOverwrites) {
    ASSERT_EQ(Set(u"Flags", REG_DWORD, DwordBytes(1)), ERROR_SUCCESS);
    ASSERT_EQ(Set(u"Lesson", REG_DWORD, DwordBytes(5)), ERROR_SUCCESS);
    std::string text = ReadText();
    NewProcess();
    RegistryFailIo(REGISTRY_IO_READ, 1);
    EXPECT_EQ(Get(u"Flags").rc, ERROR_READ_FAULT);
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
    NewProcess();
    RegistryFailIo(REGISTRY_IO_READ, 1);
    BYTE two[4] = {2, 0, 0, 0};
    EXPECT_EQ(RegSetValueExW(k, u"Flags", 0, REG_DWORD, two, 4), ERROR_READ_FAULT);
    RegCloseKey(k);
    EXPECT_FALSE(Exists("registry.reg.bad"));
    EXPECT_EQ(ReadText(), text);
    EXPECT_EQ(Get(u"Lesson").data, DwordBytes(5));
}

// A child saves two contents in turn as fast as it can and is killed at random
// moments; the file must always be one of the two, whole.
TEST_F(RegistryTest, KillDuringSaveLeavesOldOrNewFile) {
    const std::vector<BYTE> a(6000, 0x11), b(9000, 0x22);
    ASSERT_EQ(Set(u"Blob", REG_BINARY, a), ERROR_SUCCESS);
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> delayUs(500, 12000);
    int sawA = 0, sawB = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    for (int round = 0; round < 40 && std::chrono::steady_clock::now() < deadline; ++round) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            RegistryReset();
            auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            for (int i = 0; std::chrono::steady_clock::now() < stop; ++i)
                Set(u"Blob", REG_BINARY, i % 2 ? a : b);
            _exit(0);
        }
        usleep(useconds_t(delayUs(rng)));
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status));
        SCOPED_TRACE(::testing::Message() << "round " << round);
        NewProcess();
        RegRead r = Get(u"Blob");
        ASSERT_EQ(r.rc, ERROR_SUCCESS) << RegistryLastError();
        ASSERT_FALSE(Exists("registry.reg.bad")) << "a torn file was found";
        ASSERT_TRUE(r.data == a || r.data == b);
        (r.data == a ? sawA : sawB)++;
    }
    EXPECT_GT(sawA + sawB, 10);
    // A half-written temporary file left by the last kill is never read, the lock died
    // with its holder, and the next save goes through.
    WriteText("REGEDIT4\n\n[HKEY_CURRENT_USER\\Soft", "registry.reg.tmp");
    NewProcess();
    EXPECT_EQ(Get(u"Blob").rc, ERROR_SUCCESS);
    ASSERT_EQ(Set(u"Blob", REG_BINARY, {1}), ERROR_SUCCESS);
    EXPECT_FALSE(Exists("registry.reg.tmp"));
    NewProcess();
    EXPECT_EQ(Get(u"Blob").data, std::vector<BYTE>{1});
    RecordProperty("kills_seen_old", sawA);
    RecordProperty("kills_seen_new", sawB);
}

// Two processes writing different values at once: with the lock and the re-read
// before each change, no write is lost.
TEST_F(RegistryTest, ConcurrentWritersLoseNothing) {
    ASSERT_EQ(Set(u"Start", REG_DWORD, DwordBytes(0)), ERROR_SUCCESS);
    constexpr int kWrites = 25;
    pid_t pids[2];
    for (int w = 0; w < 2; ++w) {
        pids[w] = fork();
        ASSERT_GE(pids[w], 0);
        if (pids[w] == 0) {
            RegistryReset();
            int failures = 0;
            for (int i = 0; i < kWrites; ++i) {
                std::u16string name = (w ? u"B" : u"A") + std::u16string(1, char16_t(u'a' + i));
                failures += Set(name.c_str(), REG_DWORD, DwordBytes(DWORD(i))) != ERROR_SUCCESS;
            }
            _exit(failures);
        }
    }
    for (pid_t pid : pids) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    NewProcess();
    for (int w = 0; w < 2; ++w) {
        for (int i = 0; i < kWrites; ++i) {
            std::u16string name = (w ? u"B" : u"A") + std::u16string(1, char16_t(u'a' + i));
            EXPECT_EQ(Get(name.c_str()).data, DwordBytes(DWORD(i))) << w << " " << i;
        }
    }
}

}  // namespace
