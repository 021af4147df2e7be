// A fresh registry folder and a cleared AppState for each test of the frame's logic.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/frame_services.h"

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Writes a value under the settings key as its own type and bytes.
    void Store(const WCHAR* name, DWORD type, const void* data, DWORD size);
    void StoreString(const WCHAR* name, const char16_t* text);
    // The stored value's type and bytes; false when it is missing.
    bool Stored(const WCHAR* name, DWORD* type, std::string* bytes);
    std::string folder_;
};
