#include "platform/resource.h"

#include <gtest/gtest.h>

TEST(Resource, FindsByTypeAndIdInAnInstalledTable) {
    static const char a[] = "abc";
    static const ResourceEntry table[] = {{RT_RCDATA, 1001, a, 3}, {RT_BITMAP, 1001, a, 2}, {RT_RCDATA, 7, a, 0}};
    ResourceInstallTable(table, 3);
    HRSRC r = FindResourceW(nullptr, MAKEINTRESOURCEW(1001), MAKEINTRESOURCEW(RT_BITMAP));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, r), 2u);
    EXPECT_EQ(LoadResource(nullptr, r), (HGLOBAL)a);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(1002), MAKEINTRESOURCEW(RT_RCDATA)), nullptr);
    HRSRC empty = FindResourceW(nullptr, MAKEINTRESOURCEW(7), MAKEINTRESOURCEW(RT_RCDATA));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(LoadResource(nullptr, empty), nullptr);
    ResourceInstallTable(nullptr, 0);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(1001), MAKEINTRESOURCEW(RT_RCDATA)), nullptr);
}

TEST(Resource, ParsesAPackImageAndRejectsATruncatedOne) {
    const unsigned char pack[] = {10, 0, 0xE9, 0x03, 2, 0, 0, 0, 'h', 'i', 2, 0, 0x66, 0, 0, 0, 0, 0};
    ResourceEntry table[4];
    ASSERT_EQ(ResourceParsePack(pack, sizeof pack, table, 4), 2);
    EXPECT_EQ(table[0].type, 10);
    EXPECT_EQ(table[0].id, 1001);
    EXPECT_EQ(table[0].size, 2u);
    EXPECT_EQ(table[1].id, 0x66);
    EXPECT_EQ(table[1].size, 0u);
    EXPECT_EQ(ResourceParsePack(pack, sizeof pack - 1, table, 4), -1);
    EXPECT_EQ(ResourceParsePack(pack, 9, table, 4), -1);
}
