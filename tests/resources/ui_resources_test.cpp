// The program's own UI resources, loaded through the layer's loaders.
#include "library/ui_resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/shell_internal.h"
#include "platform/resource.h"
#include "platform/ui_resources.h"

namespace {

class UiResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ResourceEntry* table;
        size_t count;
        UiResources(&table, &count);
        ResourceInstallTable(table, count);
    }
    void TearDown() override { ResourceInstallTable(nullptr, 0); }

    static const uint8_t* Bytes(WORD type, WORD id, DWORD* size) {
        HRSRC r = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
        *size = SizeofResource(nullptr, r);
        return (const uint8_t*)LockResource(LoadResource(nullptr, r));
    }
};

// One entry of a menu template as read back: its depth, whether it is a popup, its
// id, its text in UTF-8 (0x08 kept) and whether it closes its level.
struct MenuEntry {
    int depth;
    bool popup;
    int id;
    std::string text;
    bool end;
    bool operator==(const MenuEntry&) const = default;
};

std::ostream& operator<<(std::ostream& os, const MenuEntry& e) {
    return os << "{" << e.depth << (e.popup ? " popup " : " item ") << e.id << " \"" << e.text << "\""
              << (e.end ? " end" : "") << "}";
}

// Walks a template the way a menu loader does; false when it runs off the end or
// leaves bytes over.
bool ReadMenu(const uint8_t* p, size_t size, std::vector<MenuEntry>* out) {
    size_t at = 0;
    auto word = [&](uint16_t* w) {
        if (at + 2 > size) return false;
        *w = uint16_t(p[at] | p[at + 1] << 8);
        at += 2;
        return true;
    };
    uint16_t version, offset;
    if (!word(&version) || !word(&offset) || version != 0 || offset != 0) return false;
    std::vector<bool> open{true};  // levels still taking items
    while (!open.empty()) {
        uint16_t flags, id = 0, unit;
        if (!word(&flags)) return false;
        bool popup = flags & 0x10;
        if (!popup && !word(&id)) return false;
        std::string text;
        for (;;) {
            if (!word(&unit)) return false;
            if (!unit) break;
            if (unit > 0x7F) return false;  // the menus are ASCII
            text += char(unit);
        }
        out->push_back(MenuEntry{int(open.size()) - 1, popup, id, text, (flags & 0x80) != 0});
        if (flags & 0x80) open.back() = false;
        if (popup) {
            open.push_back(true);
            continue;
        }
        while (!open.empty() && !open.back()) open.pop_back();
    }
    return at == size;
}

TEST_F(UiResourcesTest, MainMenuHoldsFileAndGoInOrder) {
    DWORD size;
    const uint8_t* p = Bytes(RT_MENU, 102, &size);
    ASSERT_NE(p, nullptr);
    std::vector<MenuEntry> got;
    ASSERT_TRUE(ReadMenu(p, size, &got));
    const std::vector<MenuEntry> want = {
        {0, true, 0, "&File", false},
        {1, false, 40004, "&About", false},
        {1, false, 129, "Check For &Updates", false},
        {1, false, 119, "&Choose Article\x08" "Ctrl+D", false},
        {1, false, 40006, "F&ont\x08" "Ctrl+F", false},
        {1, false, 40007, "&Copy\x08" "Ctrl+C", false},
        {1, false, 40009, "&Append to ClipBoard\x08" "Ctrl+E", false},
        {1, false, 40005, "E&xit\x08" "Ctrl+Q", true},
        {0, true, 0, "&Go", true},
        {1, false, 119, "&Index\x08" "Ctrl+D", false},
        {1, false, 123, "&Bookmark", false},
        {1, false, 110, "&Previous Article", false},
        {1, false, 109, "&Next Article", false},
        {1, false, 0, "", false},
        {1, false, 116, "&Search\x08" "Alt+F3", false},
        {1, false, 117, "Search A&gain\x08" "F3", true},
    };
    EXPECT_EQ(got, want);
}

TEST_F(UiResourcesTest, MainMenuLoadsWithTheBookmarkItemCheckable) {
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(102));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    HMENU file = GetSubMenu(menu, 0), go = GetSubMenu(menu, 1);
    EXPECT_EQ(GetMenuItemCount(file), 7);
    EXPECT_EQ(GetMenuItemCount(go), 7);
    MenuItemInfo item;
    ASSERT_TRUE(MenuGetItem(go, 4, &item));
    EXPECT_EQ(item.flags & MF_SEPARATOR, (UINT)MF_SEPARATOR);
    ASSERT_TRUE(MenuGetItem(go, 6, &item));
    EXPECT_EQ(item.id, 117u);
    EXPECT_EQ(std::u16string((const char16_t*)item.text, (size_t)item.length), u"Search A&gain\x08" u"F3");
    // The frame keeps the Bookmark item's check mark by command on the whole menu.
    EXPECT_EQ(CheckMenuItem(menu, 123, MF_BYCOMMAND | MF_CHECKED), (DWORD)MF_UNCHECKED);
    EXPECT_EQ(GetMenuState(go, 1, MF_BYPOSITION) & MF_CHECKED, (UINT)MF_CHECKED);
    DestroyMenu(menu);
}

TEST_F(UiResourcesTest, MenuBarWordsNameTheTwoPopups) {
    DWORD size;
    const uint8_t* p = Bytes(RT_RCDATA, 102, &size);
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(size, 32u);
    const uint16_t want[16] = {102, 2, 65534, 40001, 4, 24, 303, 0, 0, 65534, 40002, 4, 24, 302, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(p[2 * i] | p[2 * i + 1] << 8, want[i]) << "word " << i;
}

TEST_F(UiResourcesTest, MenuBarLabelsLoadAsStrings) {
    const struct {
        UINT id;
        std::u16string text;
    } cases[] = {{302, u"Go"}, {303, u"File"}};
    for (const auto& c : cases) {
        WCHAR buffer[16];
        EXPECT_EQ(LoadStringW(nullptr, c.id, buffer, 16), (int)c.text.size());
        EXPECT_EQ(std::u16string((const char16_t*)buffer), c.text) << c.id;
    }
    WCHAR buffer[4];
    EXPECT_EQ(LoadStringW(nullptr, 301, buffer, 4), 0);
}

struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// A white 32-bpp canvas with `source` copied to its top-left corner.
Canvas Blit(HBITMAP source, int width, int height) {
    Canvas c;
    c.dc = CreateCompatibleDC(nullptr);
    c.bitmap = CreateCompatibleBitmap(nullptr, width, height);
    c.old = SelectObject(c.dc, c.bitmap);
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ srcOld = SelectObject(src, source);
    BitBlt(c.dc, 0, 0, width, height, src, 0, 0, SRCCOPY);
    SelectObject(src, srcOld);
    DeleteDC(src);
    return c;
}

void Release(Canvas* c) {
    SelectObject(c->dc, c->old);
    DeleteDC(c->dc);
    DeleteObject(c->bitmap);
}

TEST_F(UiResourcesTest, ToolbarStripHasSixImagesOnTheButtonFace) {
    HBITMAP strip = LoadBitmapW(nullptr, MAKEINTRESOURCEW(114));
    ASSERT_NE(strip, nullptr);
    BITMAP bm{};
    ASSERT_GT(GetObjectW(strip, sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmWidth, 96);
    EXPECT_EQ(bm.bmHeight, 16);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    Canvas c = Blit(strip, 96, 16);
    // Each image keeps the face colour at its corners and draws something black.
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(GetPixel(c.dc, i * 16, 0), 0xC0C0C0u) << "image " << i;
        EXPECT_EQ(GetPixel(c.dc, i * 16 + 15, 15), 0xC0C0C0u) << "image " << i;
        int black = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) black += GetPixel(c.dc, i * 16 + x, y) == 0;
        EXPECT_GT(black, 8) << "image " << i;
    }
    Release(&c);
    DeleteObject(strip);
}

TEST_F(UiResourcesTest, OutlineIconsMatchTheirArtPixelForPixel) {
    const struct {
        WORD id;
        const char* rows[9];
    } cases[] = {
        {201, {"XXXXXXXXX", "X.......X", "X...X...X", "X...X...X", "X.XXXXX.X", "X...X...X", "X...X...X",
               "X.......X", "XXXXXXXXX"}},
        {202, {"XXXXXXXXX", "X.......X", "X.......X", "X.......X", "X.XXXXX.X", "X.......X", "X.......X",
               "X.......X", "XXXXXXXXX"}},
        {203, {".XXXXX...", ".X...XX..", ".X.X.XXX.", ".X.....X.", ".X.XXX.X.", ".X.....X.", ".X.XXX.X.",
               ".X.....X.", ".XXXXXXX."}},
    };
    for (const auto& c : cases) {
        HBITMAP icon = LoadBitmapW(nullptr, MAKEINTRESOURCEW(c.id));
        ASSERT_NE(icon, nullptr) << c.id;
        BITMAP bm{};
        ASSERT_GT(GetObjectW(icon, sizeof bm, &bm), 0);
        EXPECT_EQ(bm.bmWidth, 9);
        EXPECT_EQ(bm.bmHeight, 9);
        EXPECT_EQ(bm.bmBitsPixel, 1);
        // A 1-bpp source takes the canvas DC's colours: black text, white background.
        Canvas canvas = Blit(icon, 9, 9);
        std::string got, want;
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 9; ++x) {
                COLORREF px = GetPixel(canvas.dc, x, y);
                got += px == 0 ? 'X' : px == 0xFFFFFF ? '.' : '?';
            }
            got += '\n';
            want += std::string(c.rows[y]) + '\n';
        }
        EXPECT_EQ(got, want) << "bitmap " << c.id;
        Release(&canvas);
        DeleteObject(icon);
    }
}

TEST_F(UiResourcesTest, ProgramIconIsA32PixelSquareWithATransparentMargin) {
    HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(101));
    ASSERT_NE(icon, nullptr);
    int w = 0, h = 0;
    const uint32_t* pixels = nullptr;
    ASSERT_TRUE(IconPixels(icon, &w, &h, &pixels));
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(pixels[0], 0xFF000000u);
    EXPECT_EQ(pixels[32 * 32 - 1], 0xFF000000u);
    EXPECT_EQ(pixels[16 * 32 + 16] & 0xFF000000u, 0u);
}

TEST(UiResourcesTable, EachTypeAndIdOnce) {
    const ResourceEntry* table;
    size_t count;
    UiResources(&table, &count);
    ASSERT_GT(count, 0u);
    for (size_t i = 0; i < count; ++i) {
        EXPECT_GT(table[i].size, 0u);
        for (size_t j = i + 1; j < count; ++j)
            EXPECT_FALSE(table[i].type == table[j].type && table[i].id == table[j].id)
                << "type " << table[i].type << " id " << table[i].id;
    }
}

}  // namespace
