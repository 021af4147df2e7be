#include "app/settings_registry.h"

#include <cstring>

#include "tests/app/app_fixture.h"
#include "platform/heap.h"
#include "platform/msgbox.h"

using SettingsRegistry = FrameTest;

TEST_F(SettingsRegistry, NumbersReadFromDwordsAndDecimalStrings) {
    const DWORD dword = 0xD1140040;
    Store(u"Flags", REG_DWORD, &dword, 4);
    StoreString(u"Twelve", u"12");
    StoreString(u"Letter", u"x");
    StoreString(u"Mixed", u"12a");
    StoreString(u"Empty", u"");
    struct Case {
        const WCHAR* name;
        int32_t expected;
    } cases[] = {
        {u"Flags", (int32_t)0xD1140040}, {u"Twelve", 12}, {u"Letter", 72}, {u"Mixed", 169},
        {u"Empty", 0},                   {u"Missing", -7},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadSettingNumber(c.name, -7), c.expected);
    EXPECT_EQ(ReadRegistryNumber(u"Software\\Nowhere", u"Flags", 5), 5);
}

TEST_F(SettingsRegistry, AnOddSizedStringStopsAtItsLastWholeUnit) {
    const BYTE data[] = {'4', 0, '2', 0, '9'};
    Store(u"Odd", REG_BINARY, data, sizeof data);
    EXPECT_EQ(ReadSettingNumber(u"Odd", 0), 42);
}

TEST_F(SettingsRegistry, WritersUseTheirTypesAndSizes) {
    EXPECT_EQ(WriteSettingNumber(u"N", 97), 1);
    EXPECT_EQ(WriteSettingString(u"S", u"Tahoma"), 1);
    EXPECT_EQ(WriteSettingByteString(u"B", "iron"), 1);
    const BYTE blob[] = {7, 0, 3, 0, 0, 0};
    EXPECT_EQ(WriteSettingBlob(u"Bookmarks", blob, 6), 1);
    DWORD type;
    std::string bytes;
    ASSERT_TRUE(Stored(u"n", &type, &bytes));  // names ignore case
    EXPECT_EQ(type, (DWORD)REG_DWORD);
    EXPECT_EQ(bytes, std::string("\x61\0\0\0", 4));
    ASSERT_TRUE(Stored(u"S", &type, &bytes));
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(bytes.size(), 14u);
    ASSERT_TRUE(Stored(u"B", &type, &bytes));
    EXPECT_EQ(type, (DWORD)REG_BINARY);
    EXPECT_EQ(bytes, std::string("iron\0", 5));
    ASSERT_TRUE(Stored(u"Bookmarks", &type, &bytes));
    EXPECT_EQ(bytes, std::string((const char*)blob, 6));
}

TEST_F(SettingsRegistry, ByteStringsAreCutToTheBuffer) {
    std::string fifty(50, 'q');
    WriteSettingByteString(u"SearchString", fifty.c_str());
    char buffer[34];
    std::memset(buffer, 'z', sizeof buffer);
    LoadByteStringSetting(u"SearchString", buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), std::string(33, 'q'));

    WriteSettingByteString(u"Blank", "");
    std::strcpy(buffer, "kept");
    LoadByteStringSetting(u"Blank", buffer, sizeof buffer);
    LoadByteStringSetting(u"Missing", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "kept");

    const BYTE unterminated[] = {'n', 'e', 'o', 'n'};
    Store(u"Raw", REG_BINARY, unterminated, 4);
    LoadByteStringSetting(u"Raw", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "neon");
}

TEST_F(SettingsRegistry, BlobReaderReturnsTheFallbackOnFailure) {
    BYTE fallback = 0;
    DWORD length = 99;
    EXPECT_EQ(ReadSettingBlob(u"Missing", &fallback, &length), &fallback);
    EXPECT_EQ(length, 99u);
    WCHAR* missing = ReadSettingString(u"Missing");
    EXPECT_EQ(missing, nullptr);
}

TEST_F(SettingsRegistry, OutOfMemoryWhileReadingSavesAndQuitsWithTheDefault) {
    StoreString(u"Twelve", u"12");
    long live = HeapLiveBlocks();
    HeapFailAfter(1);
    EXPECT_EQ(ReadSettingNumber(u"Twelve", 3), 3);
    int count = 0;
    const MessageBoxRecord* log = MessageBoxLog(&count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(std::u16string(log[0].text), u"There is not enough memory, aborting");
    EXPECT_EQ(std::u16string(log[0].caption), u"Error");
    EXPECT_EQ(log[0].type, (UINT)MB_ICONHAND);
    EXPECT_TRUE(g_settingsSaved);
    EXPECT_EQ(HeapLiveBlocks(), live);
}
