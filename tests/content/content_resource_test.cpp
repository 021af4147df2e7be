#include "content/content_resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/heap.h"
#include "platform/msgbox.h"
#include "platform/resource.h"

namespace {

using Bytes = std::vector<BYTE>;

// A content container around a compressed block, as the packer lays it out.
Bytes Container(const Bytes& block, unsigned U, unsigned P = ~0u, unsigned B = ~0u) {
    if (P == ~0u) P = (unsigned)block.size();
    if (B == ~0u) B = P + 8;
    Bytes c = {(BYTE)(B >> 8), (BYTE)B, 0, 7, 0, 7, (BYTE)(P >> 8), (BYTE)P, (BYTE)(U >> 8), (BYTE)U};
    c.insert(c.end(), block.begin(), block.end());
    c.insert(c.end(), 4, 0);
    return c;
}

std::string Decode(const Bytes& block, unsigned U, int* status) {
    static const BYTE none = 0;
    BYTE* out = UnCompress(block.empty() ? &none : block.data(), (UINT)block.size(), U, status);
    if (!out) return "<null>";
    EXPECT_EQ(out[U], 0);
    std::string s((const char*)out, U);
    LocalFree(out);
    return s;
}

int BoxesShown() {
    int count = 0;
    MessageBoxLog(&count);
    return count;
}

class ContentResource : public ::testing::Test {
protected:
    void SetUp() override { MessageBoxClearLog(); }
    void TearDown() override {
        ResourceInstallTable(nullptr, 0);
        HeapFailAfter(0);
    }
};

TEST_F(ContentResource, LoaderReportsEveryStatus) {
    // "Hi" as two literals, and the same block behind each broken header.
    const Bytes ok = Container({'H', 'i'}, 2);
    const Bytes shortB = Container({'H', 'i'}, 2, 2, 4);
    const Bytes zeroP = Container({'H', 'i'}, 2, 0);
    const Bytes zeroU = Container({'H', 'i'}, 0);
    const Bytes cut = Container({'H'}, 2);
    const Bytes headerOnly(ok.begin(), ok.begin() + 8);
    static const BYTE one = 1;
    const ResourceEntry table[] = {
        {10, 1001, ok.data(), (DWORD)ok.size()},
        {10, 1002, shortB.data(), (DWORD)shortB.size()},
        {10, 1003, zeroP.data(), (DWORD)zeroP.size()},
        {10, 1004, zeroU.data(), (DWORD)zeroU.size()},
        {10, 1005, cut.data(), (DWORD)cut.size()},
        {10, 1006, &one, 0},
        {10, 1007, headerOnly.data(), (DWORD)headerOnly.size()},
        {2, 1008, ok.data(), (DWORD)ok.size()},  // not raw data
        {10, 32767, ok.data(), (DWORD)ok.size()},
    };
    ResourceInstallTable(table, sizeof table / sizeof table[0]);
    struct Case {
        int n;
        int status;  // 99: untouched
        bool loaded;
    } cases[] = {
        {1, 99, true}, {2, 3, false}, {3, 3, false}, {4, 4, false}, {5, 5, false}, {6, 2, false},
        {7, 3, false}, {8, 1, false}, {132, 1, false}, {0, 99, false}, {-3, 99, false},
        {kIndexLessonNumber, 99, true},
    };
    for (const Case& c : cases) {
        int status = 99;
        BYTE* p = LoadContentResource(c.n, &status);
        EXPECT_EQ(p != nullptr, c.loaded) << "lesson " << c.n;
        EXPECT_EQ(status, c.status) << "lesson " << c.n;
        if (p) {
            EXPECT_EQ(std::string((const char*)p), "Hi");
        }
        LocalFree(p);
        // A null status pointer is allowed everywhere.
        LocalFree(LoadContentResource(c.n, nullptr));
    }
    EXPECT_EQ(HeapLiveBlocks(), 0);
}

TEST_F(ContentResource, AllocationFailureIsStatus2AndLeavesNothing) {
    const Bytes ok = Container({'H', 'i'}, 2);
    const ResourceEntry table[] = {{10, 1001, ok.data(), (DWORD)ok.size()}};
    ResourceInstallTable(table, 1);
    long live = HeapLiveBlocks();
    HeapFailAfter(1);
    int status = 0;
    EXPECT_EQ(LoadContentResource(1, &status), nullptr);
    EXPECT_EQ(status, kContentUnobtainable);
    EXPECT_EQ(HeapLiveBlocks(), live);
    EXPECT_EQ(BoxesShown(), 0);
}

TEST_F(ContentResource, CompressedLengthIsCutToTheResource) {
    // P claims 200 bytes, the resource holds 3: the decoder sees only those 3, so the
    // output (U = 100) cannot be filled, and nothing past the resource is read.
    Bytes c = Container({'a', 'b', 'c'}, 100, 200);
    c.resize(13);  // no trailing zeros either
    const ResourceEntry table[] = {{10, 1001, c.data(), (DWORD)c.size()}};
    ResourceInstallTable(table, 1);
    int status = 0;
    EXPECT_EQ(LoadContentResource(1, &status), nullptr);
    EXPECT_EQ(status, kContentInputShort);
    // And when the resource does hold enough, the claimed P beyond it is harmless.
    Bytes d = Container({'a', 'b', 'c'}, 3, 200);
    d.resize(13);
    const ResourceEntry table2[] = {{10, 1001, d.data(), (DWORD)d.size()}};
    ResourceInstallTable(table2, 1);
    BYTE* p = LoadContentResource(1, &status);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string((const char*)p), "abc");
    LocalFree(p);
}

TEST_F(ContentResource, DecodesEveryCommandAndStopsAtTheOutputEnd) {
    struct Case {
        const char* what;
        Bytes block;
        unsigned U;
        std::string expect;  // "<null>" for a failure with status 5
    } cases[] = {
        {"literals, NUL is one of them", {'a', 0x00, 0x09, 0x7F}, 4, std::string("a\0\t\x7F", 4)},
        {"run of raw bytes", {0x03, 0x80, 0x01, 0xFF, 'z'}, 4, "\x80\x01\xFFz"},
        {"space pair", {'a', 0xE2}, 3, "a b"},
        {"back-reference distance 3 length 3", {'a', 'b', 'c', 0x80, 0x18}, 6, "abcabc"},
        {"overlapping back-reference repeats", {'a', 'b', 0x80, 0x17}, 12, "abababababab"},
        {"distance 1 run of one byte", {'x', 0x80, 0x0F}, 11, "xxxxxxxxxxx"},
        {"cut in a run", {0x04, 1, 2, 3, 4}, 2, "\x01\x02"},
        {"cut in a back-reference", {'a', 'b', 0x80, 0x17}, 5, "ababa"},
        {"cut in a space pair", {'a', 0xE2}, 2, "a "},
        {"input after the output is full is ignored", {'a', 'b', 0x80, 0x00, 0x07}, 2, "ab"},
        {"a run cut by U may end the input early", {'a', 0x08, 'b'}, 2, "ab"},
        {"input runs out", {'a', 'b'}, 3, "<null>"},
        {"run operand past the end", {0x03, 'a'}, 3, "<null>"},
        {"back-reference second byte past the end", {'a', 'b', 0x80}, 5, "<null>"},
        {"distance 0", {'a', 'b', 0x80, 0x00}, 5, "<null>"},
        {"distance before the start", {'a', 'b', 0x80, 0x18}, 5, "<null>"},
        {"back-reference first of all", {0x80, 0x08}, 3, "<null>"},
        {"empty input", {}, 1, "<null>"},
    };
    for (const Case& c : cases) {
        MessageBoxClearLog();
        int status = 0;
        std::string got = Decode(c.block, c.U, &status);
        EXPECT_EQ(got, c.expect) << c.what;
        bool failed = c.expect == "<null>";
        EXPECT_EQ(status, failed ? kContentInputShort : 0) << c.what;
        EXPECT_EQ(BoxesShown(), failed ? 1 : 0) << c.what;
        EXPECT_EQ(HeapLiveBlocks(), 0) << c.what;
    }
}

TEST_F(ContentResource, FastPathAgreesWithTheEndsOnLongInput) {
    // Long enough for the unchecked loop: the same commands far from both ends, and
    // failures (distance too far, distance 0) found there too.
    Bytes block;
    std::string expect;
    for (int i = 0; i < 40; ++i) {
        block.insert(block.end(), {'T', 'h', 'e', 0xE1, 0x03, 0x95, 0x00, 0xE9, 'n', 0x80, 0x3A});
        expect += "The a\x95";
        expect.push_back('\0');
        expect += "\xE9n";
        // distance 7, length 5: copies from 7 back
        std::string tail = expect.substr(expect.size() - 7, 5);
        expect += tail;
    }
    int status = 0;
    EXPECT_EQ(Decode(block, (unsigned)expect.size(), &status), expect);
    Bytes bad = block;
    bad[9] = 0xBF;  // distance 2047 in the first command group: before the start
    bad[10] = 0xF8;
    EXPECT_EQ(Decode(bad, (unsigned)expect.size(), &status), "<null>");
    EXPECT_EQ(status, kContentInputShort);
    bad = block;
    bad[9 + 11 * 5] = 0x80;
    bad[10 + 11 * 5] = 0x02;  // distance 0
    EXPECT_EQ(Decode(bad, (unsigned)expect.size(), &status), "<null>");
    EXPECT_EQ(HeapLiveBlocks(), 0);
}

TEST_F(ContentResource, ErrorBoxHasTheTextNoOwnerNoCaptionAndOnlyOk) {
    int status = 0;
    EXPECT_EQ(Decode({'a'}, 2, &status), "<null>");
    int count = 0;
    const MessageBoxRecord* log = MessageBoxLog(&count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(log[0].owner, nullptr);
    EXPECT_EQ(std::u16string(log[0].text), u"UnCompress() buffer error!");
    EXPECT_EQ(log[0].caption[0], 0);
    EXPECT_EQ(log[0].type, (UINT)MB_OK);
}

TEST_F(ContentResource, NoLengthOrNoSourceIsStatus4WithoutAnAllocation) {
    long before = HeapAllocationCount();
    int status = 0;
    const BYTE a = 'a';
    EXPECT_EQ(UnCompress(&a, 1, 0, &status), nullptr);
    EXPECT_EQ(status, kContentNoLength);
    status = 0;
    EXPECT_EQ(UnCompress(nullptr, 1, 1, &status), nullptr);
    EXPECT_EQ(status, kContentNoLength);
    EXPECT_EQ(HeapAllocationCount(), before);
    EXPECT_EQ(BoxesShown(), 0);
}

}  // namespace
