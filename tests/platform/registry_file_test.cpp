// The text form alone: whatever tree the registry can hold is written so that it
// reads back to the same tree.
#include "platform/registry_tree.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::u16string RandomName(std::mt19937& rng, bool key) {
    static const char16_t kUnits[] = u"aZ09 _-\"\\]=[@;.\t\u00e9\u4e2d";
    std::u16string name;
    int len = int(rng() % 6) + (key ? 1 : 0);
    for (int i = 0; i < len; ++i) {
        char16_t c = kUnits[rng() % (sizeof kUnits / sizeof kUnits[0] - 1)];
        if (key && c == u'\\') c = u'/';
        name.push_back(c);
    }
    if (rng() % 8 == 0) name += u"\U0001F600";
    return name;
}

std::vector<BYTE> RandomData(std::mt19937& rng, DWORD type) {
    std::vector<BYTE> data;
    if (type == REG_SZ && rng() % 3) {
        std::u16string s = RandomName(rng, false);
        for (char16_t c : s) {
            data.push_back(BYTE(c));
            data.push_back(BYTE(c >> 8));
        }
        data.push_back(0);
        data.push_back(0);
        return data;
    }
    size_t n = rng() % 3 == 0 ? rng() % 200 : rng() % 8;
    for (size_t i = 0; i < n; ++i) data.push_back(BYTE(rng() % 4 == 0 ? 0 : rng()));
    return data;
}

void Populate(std::mt19937& rng, RegNode* node, int depth) {
    static const DWORD kTypes[] = {REG_DWORD, REG_SZ, REG_BINARY, REG_NONE, 7, 0x11};
    int values = int(rng() % 4);
    for (int i = 0; i < values; ++i) {
        RegValueRec v;
        v.name = RandomName(rng, false);
        if (RegFindValue(node, v.name)) continue;
        v.type = kTypes[rng() % 6];
        v.data = RandomData(rng, v.type);
        if (v.type == REG_DWORD && rng() % 2) v.data = {BYTE(rng()), BYTE(rng()), BYTE(rng()), BYTE(rng())};
        node->values.push_back(std::move(v));
    }
    int children = depth < 3 ? int(rng() % 3) : 0;
    for (int i = 0; i < children; ++i) {
        std::u16string name = RandomName(rng, true);
        if (RegFindChild(node, name)) continue;
        node->children.push_back(std::make_unique<RegNode>());
        node->children.back()->name = name;
        Populate(rng, node->children.back().get(), depth + 1);
    }
}

// Empty keys at the root only persist through a section of their own, which every
// non-root key gets; the root's section appears only with values. Both read back.
TEST(RegistryFileTest, AnyTreeReadsBackEqual) {
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        RegNode tree;
        Populate(rng, &tree, 0);
        std::string text;
        RegistryFormatText(tree, &text);
        RegNode back;
        std::string why;
        ASSERT_TRUE(RegistryParseText(text.data(), text.size(), &back, &why)) << why << "\n" << text;
        ASSERT_TRUE(RegTreeEqual(tree, back)) << text;
        std::string again;
        RegistryFormatText(back, &again);
        ASSERT_EQ(again, text);
    }
}

TEST(RegistryFileTest, KeyNamesMayHoldBracketsAndQuotes) {
    RegNode tree;
    tree.children.push_back(std::make_unique<RegNode>());
    tree.children[0]->name = u"a]b [c] \"d\"]";
    std::string text;
    RegistryFormatText(tree, &text);
    EXPECT_EQ(text, "REGEDIT4\n\n[HKEY_CURRENT_USER\\a]b [c] \"d\"]]\n\n");
    RegNode back;
    ASSERT_TRUE(RegistryParseText(text.data(), text.size(), &back, nullptr));
    EXPECT_TRUE(RegTreeEqual(tree, back));
}

TEST(RegistryFileTest, ParseErrorsSayWhichLine) {
    const char text[] = "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"ok\"=dword:1\n\"bad\"=dword:xyz\n";
    RegNode tree;
    std::string why;
    EXPECT_FALSE(RegistryParseText(text, sizeof text - 1, &tree, &why));
    EXPECT_EQ(why, "line 5: bad value data");
}

TEST(RegistryFileTest, Utf8ConversionRejectsMalformedInput) {
    const char* bad[] = {"\x80", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80",
                         "\xf8\x88\x80\x80\x80", "\xe2\x82"};
    std::u16string out;
    for (const char* s : bad) EXPECT_FALSE(RegUtf8ToUtf16(s, &out)) << s;
    ASSERT_TRUE(RegUtf8ToUtf16("a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80", &out));
    EXPECT_EQ(out, u"a\u00e9\u4e2d\U0001F600");
    std::string utf8;
    EXPECT_FALSE(RegUtf16ToUtf8(std::u16string(1, char16_t(0xDC00)), &utf8));
    EXPECT_FALSE(RegUtf16ToUtf8(std::u16string(1, char16_t(0xD800)), &utf8));
}

}  // namespace
