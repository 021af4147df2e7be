// A registry in a fresh temporary folder, with helpers that read and write whole
// values and the file itself.
#pragma once

#include "platform/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct RegRead {
    LONG rc;
    DWORD type;
    std::vector<BYTE> data;
};

inline std::vector<BYTE> Utf16Bytes(std::u16string_view s) {
    std::vector<BYTE> out;
    for (char16_t c : s) {
        out.push_back(BYTE(c & 0xFF));
        out.push_back(BYTE(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

inline std::vector<BYTE> DwordBytes(DWORD d) {
    return {BYTE(d), BYTE(d >> 8), BYTE(d >> 16), BYTE(d >> 24)};
}

class RegistryTest : public ::testing::Test {
protected:
    static constexpr const char16_t* kSettings = u"Software\\Orlavex\\Almarest-Velmora";

    void SetUp() override {
        char tmpl[] = "/tmp/velmora-registry-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        folder_ = root_ + "/config/velmora";  // not there yet: the first save makes it
        RegistrySetFolder(folder_.c_str());
        RegistryReset();
        handlesBefore_ = RegistryOpenKeyCount();
    }

    void TearDown() override {
        EXPECT_EQ(RegistryOpenKeyCount(), handlesBefore_) << "a key handle was not closed";
        RegistryReset();
        RegistrySetFolder(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    // Forgets everything cached, as a new process would.
    void NewProcess() { RegistryReset(); }

    std::string Path(const char* name) const { return folder_ + "/" + name; }
    bool Exists(const char* name) const {
        std::error_code ec;
        return std::filesystem::exists(Path(name), ec);
    }
    std::string ReadText(const char* name = "registry.reg") const {
        std::ifstream in(Path(name), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    void WriteText(const std::string& text, const char* name = "registry.reg") const {
        std::error_code ec;
        std::filesystem::create_directories(folder_, ec);
        std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
        out << text;
    }

    LONG Set(const char16_t* key, const char16_t* name, DWORD type, const std::vector<BYTE>& data) {
        HKEY k = nullptr;
        LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                                  nullptr);
        if (rc != ERROR_SUCCESS) return rc;
        rc = RegSetValueExW(k, name, 0, type, data.data(), DWORD(data.size()));
        RegCloseKey(k);
        return rc;
    }
    LONG Set(const char16_t* name, DWORD type, const std::vector<BYTE>& data) {
        return Set(kSettings, name, type, data);
    }

    RegRead Get(const char16_t* key, const char16_t* name) {
        RegRead r{ERROR_SUCCESS, REG_NONE, {}};
        HKEY k = nullptr;
        r.rc = RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &k);
        if (r.rc != ERROR_SUCCESS) return r;
        DWORD size = 0;
        r.rc = RegQueryValueExW(k, name, nullptr, &r.type, nullptr, &size);
        if (r.rc == ERROR_SUCCESS) {
            r.data.resize(size);
            r.rc = RegQueryValueExW(k, name, nullptr, &r.type, r.data.data(), &size);
            r.data.resize(size);
        }
        RegCloseKey(k);
        return r;
    }
    RegRead Get(const char16_t* name) { return Get(kSettings, name); }

    std::string root_;
    std::string folder_;
    long handlesBefore_ = 0;
};
