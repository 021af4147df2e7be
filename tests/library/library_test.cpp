// The shipped library, checked on what the packer makes of it: every element lesson
// names its element and gives the right symbol and atomic number, the introduction
// opens with its subtitle, the index has the shape the outline relies on and reaches
// every lesson, and every lesson lays out in a narrow and a wide view.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "content/content_resource.h"
#include "content/index_records.h"
#include "content/lesson_records.h"
#include "platform/gdi.h"
#include "platform/heap.h"
#include "platform/resource.h"
#include "view/text_view.h"

extern char** environ;

namespace {

constexpr int kLessons = 131;
constexpr int kFirstElementLesson = 14;

struct Element {
    const char* name;
    const char* symbol;
};

// Atomic number z is kElements[z - 1]; lesson z + 13 is its lesson.
const Element kElements[118] = {
    {"Hydrogen", "H"},       {"Helium", "He"},        {"Lithium", "Li"},        {"Beryllium", "Be"},
    {"Boron", "B"},          {"Carbon", "C"},         {"Nitrogen", "N"},        {"Oxygen", "O"},
    {"Fluorine", "F"},       {"Neon", "Ne"},          {"Sodium", "Na"},         {"Magnesium", "Mg"},
    {"Aluminium", "Al"},     {"Silicon", "Si"},       {"Phosphorus", "P"},      {"Sulfur", "S"},
    {"Chlorine", "Cl"},      {"Argon", "Ar"},         {"Potassium", "K"},       {"Calcium", "Ca"},
    {"Scandium", "Sc"},      {"Titanium", "Ti"},      {"Vanadium", "V"},        {"Chromium", "Cr"},
    {"Manganese", "Mn"},     {"Iron", "Fe"},          {"Cobalt", "Co"},         {"Nickel", "Ni"},
    {"Copper", "Cu"},        {"Zinc", "Zn"},          {"Gallium", "Ga"},        {"Germanium", "Ge"},
    {"Arsenic", "As"},       {"Selenium", "Se"},      {"Bromine", "Br"},        {"Krypton", "Kr"},
    {"Rubidium", "Rb"},      {"Strontium", "Sr"},     {"Yttrium", "Y"},         {"Zirconium", "Zr"},
    {"Niobium", "Nb"},       {"Molybdenum", "Mo"},    {"Technetium", "Tc"},     {"Ruthenium", "Ru"},
    {"Rhodium", "Rh"},       {"Palladium", "Pd"},     {"Silver", "Ag"},         {"Cadmium", "Cd"},
    {"Indium", "In"},        {"Tin", "Sn"},           {"Antimony", "Sb"},       {"Tellurium", "Te"},
    {"Iodine", "I"},         {"Xenon", "Xe"},         {"Caesium", "Cs"},        {"Barium", "Ba"},
    {"Lanthanum", "La"},     {"Cerium", "Ce"},        {"Praseodymium", "Pr"},   {"Neodymium", "Nd"},
    {"Promethium", "Pm"},    {"Samarium", "Sm"},      {"Europium", "Eu"},       {"Gadolinium", "Gd"},
    {"Terbium", "Tb"},       {"Dysprosium", "Dy"},    {"Holmium", "Ho"},        {"Erbium", "Er"},
    {"Thulium", "Tm"},       {"Ytterbium", "Yb"},     {"Lutetium", "Lu"},       {"Hafnium", "Hf"},
    {"Tantalum", "Ta"},      {"Tungsten", "W"},       {"Rhenium", "Re"},        {"Osmium", "Os"},
    {"Iridium", "Ir"},       {"Platinum", "Pt"},      {"Gold", "Au"},           {"Mercury", "Hg"},
    {"Thallium", "Tl"},      {"Lead", "Pb"},          {"Bismuth", "Bi"},        {"Polonium", "Po"},
    {"Astatine", "At"},      {"Radon", "Rn"},         {"Francium", "Fr"},       {"Radium", "Ra"},
    {"Actinium", "Ac"},      {"Thorium", "Th"},       {"Protactinium", "Pa"},   {"Uranium", "U"},
    {"Neptunium", "Np"},     {"Plutonium", "Pu"},     {"Americium", "Am"},      {"Curium", "Cm"},
    {"Berkelium", "Bk"},     {"Californium", "Cf"},   {"Einsteinium", "Es"},    {"Fermium", "Fm"},
    {"Mendelevium", "Md"},   {"Nobelium", "No"},      {"Lawrencium", "Lr"},     {"Rutherfordium", "Rf"},
    {"Dubnium", "Db"},       {"Seaborgium", "Sg"},    {"Bohrium", "Bh"},        {"Hassium", "Hs"},
    {"Meitnerium", "Mt"},    {"Darmstadtium", "Ds"},  {"Roentgenium", "Rg"},    {"Copernicium", "Cn"},
    {"Nihonium", "Nh"},      {"Flerovium", "Fl"},     {"Moscovium", "Mc"},      {"Livermorium", "Lv"},
    {"Tennessine", "Ts"},    {"Oganesson", "Og"},
};

// The bullet the packer puts before a bulleted item's text.
const char kBullet[] = "\x95 ";

// The packed library, installed as the module's resources for the whole program.
std::vector<unsigned char> g_pack;
std::vector<ResourceEntry> g_table;

// Runs the real packer over library/ into a temporary folder; the pack's bytes, or an
// empty vector with the reason in *why.
std::vector<unsigned char> PackLibrary(std::string* why) {
    char dir[] = "/tmp/velmora-library-test-XXXXXX";
    if (!mkdtemp(dir)) {
        *why = "mkdtemp failed";
        return {};
    }
    std::string pack = std::string(dir) + "/library.pack";
    std::string log = std::string(dir) + "/pack.log";
    std::string src = std::string(VELMORA_SOURCE_DIR) + "/library";
    std::vector<std::string> args = {VELMORA_PACK_EXE, "--lessons", std::to_string(kLessons), src, pack};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned == 0) waitpid(pid, &status, 0);

    std::vector<unsigned char> bytes;
    if (FILE* f = std::fopen(pack.c_str(), "rb")) {
        unsigned char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    std::string message;
    if (FILE* f = std::fopen(log.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) message.append(buf, n);
        std::fclose(f);
    }
    if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *why = "velmora-pack failed: " + message;
        bytes.clear();
    }
    std::remove(pack.c_str());
    std::remove(log.c_str());
    rmdir(dir);
    return bytes;
}

class Library : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string why;
        g_pack = PackLibrary(&why);
        if (g_pack.empty()) {
            std::fprintf(stderr, "%s\n", why.c_str());
            return;
        }
        g_table.resize(kLessons + 16);
        int count = ResourceParsePack(g_pack.data(), g_pack.size(), g_table.data(), g_table.size());
        g_table.resize(count < 0 ? 0 : (size_t)count);
        ResourceInstallTable(g_table.data(), g_table.size());
    }
    static void TearDownTestSuite() {
        ResourceInstallTable(nullptr, 0);
        g_table.clear();
        g_pack.clear();
    }
    void SetUp() override { ASSERT_EQ(g_table.size(), (size_t)kLessons + 1) << "the library did not pack"; }
};

// A decoded lesson or index, freed on scope exit.
struct Loaded {
    BYTE* bytes = nullptr;
    explicit Loaded(int n) {
        int status = 0;
        bytes = LoadContentResource(n, &status);
    }
    ~Loaded() {
        if (bytes) LocalFree(bytes);
    }
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;
};

std::vector<const BYTE*> Records(const BYTE* lesson) {
    std::vector<const BYTE*> out;
    for (const BYTE* r = FirstParagraphRecord(lesson, nullptr); r; r = NextParagraphRecord(r, nullptr))
        out.push_back(r);
    return out;
}

TEST_F(Library, ElementLessonsNameTheirElementWithItsSymbolAndNumber) {
    for (int z = 1; z <= 118; ++z) {
        const int n = z + kFirstElementLesson - 1;
        const Element& e = kElements[z - 1];
        SCOPED_TRACE("lesson " + std::to_string(n) + " " + e.name);
        Loaded lesson(n);
        ASSERT_NE(lesson.bytes, nullptr);
        std::vector<const BYTE*> records = Records(lesson.bytes);
        ASSERT_GE(records.size(), 2u);
        EXPECT_EQ(ParagraphStyle(records[0]), kStyleTitle);
        EXPECT_STREQ(ParagraphText(records[0]), e.name);
        EXPECT_EQ(LessonSubtitleRecord(lesson.bytes, nullptr), records[1]) << "no subtitle after the title";

        const std::string symbol = std::string(kBullet) + "Symbol: " + e.symbol;
        const std::string number = std::string(kBullet) + "Atomic number: " + std::to_string(z);
        int symbols = 0, numbers = 0;
        for (const BYTE* r : records) {
            std::string text = ParagraphText(r);
            bool bullet = LabelLevel(ParagraphParam(r)) == 1 && text.rfind(kBullet, 0) == 0;
            if (text.find("Symbol:") != std::string::npos && bullet) {
                ++symbols;
                EXPECT_EQ(text, symbol);
            }
            if (text.find("Atomic number:") != std::string::npos && bullet) {
                ++numbers;
                EXPECT_EQ(text, number);
            }
        }
        EXPECT_EQ(symbols, 1) << "the facts list needs one \"Symbol:\" item";
        EXPECT_EQ(numbers, 1) << "the facts list needs one \"Atomic number:\" item";
    }
}

TEST_F(Library, IntroductionLessonsOpenWithTheirSubtitle) {
    for (int n = 1; n < kFirstElementLesson; ++n) {
        SCOPED_TRACE("lesson " + std::to_string(n));
        Loaded lesson(n);
        ASSERT_NE(lesson.bytes, nullptr);
        const BYTE* first = FirstParagraphRecord(lesson.bytes, nullptr);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(ParagraphStyle(first), kStyleSubtitle);
        EXPECT_NE(ParagraphText(first)[0], '\0');
        EXPECT_EQ(LessonSubtitleRecord(lesson.bytes, nullptr), first);
    }
}

bool PlainTitle(const std::string& t) {
    if (t.size() < 5 || t.size() > 76 || t.front() == ' ' || t.back() == ' ') return false;
    for (size_t i = 0; i < t.size(); ++i) {
        unsigned char c = (unsigned char)t[i];
        if (c < 0x20 || c > 0x7E) return false;
        if (c == ' ' && t[i + 1] == ' ') return false;
    }
    return true;
}

TEST_F(Library, IndexHasTheOutlineShapeAndReachesEveryLesson) {
    Loaded index(kIndexLessonNumber);
    ASSERT_NE(index.bytes, nullptr);

    std::set<int> sectionIds;
    std::map<int, int> listed;  // lesson -> times listed
    int levelCount[5] = {};
    int previousKey = -1, previousLevel = 0;
    size_t records = 0;
    for (const BYTE* r = FirstIndexRecord(index.bytes, nullptr); r; r = NextIndexRecord(r, nullptr), ++records) {
        const WORD key = IndexRecordKey(r);
        const int level = IndexRecordLevel(r);
        const int number = key & kIndexKeyNumberMask;
        const std::string title = IndexRecordTitle(r);
        SCOPED_TRACE("record " + std::to_string(records) + " \"" + title + "\"");

        ASSERT_TRUE(level >= 1 && level <= 4) << level;
        ++levelCount[level];
        // A level deeper than the one before would hang the entry under no section.
        if (level > 1) {
            EXPECT_LE(level, previousLevel + 1);
        }
        if (level > previousLevel && records > 0) {
            EXPECT_NE(previousKey & kIndexKeySection, 0) << "child of a lesson";
        }
        EXPECT_EQ(IndexRecordStyle(r), level == 1 ? 0x8C : 0x01);
        EXPECT_TRUE(PlainTitle(title));
        EXPECT_NE(key, previousKey) << "the outline would take two adjacent equal keys for one entry";

        const bool section = key & kIndexKeySection, lesson = key & kIndexKeyLesson;
        ASSERT_NE(section, lesson) << std::hex << key;
        if (section) {
            EXPECT_TRUE(sectionIds.insert(number).second) << "section id " << number << " used twice";
            EXPECT_FALSE(number >= 1 && number <= kLessons) << "section id " << number << " is a lesson number";
        } else {
            ASSERT_TRUE(number >= 1 && number <= kLessons) << number;
            ++listed[number];
        }
        previousKey = key;
        previousLevel = level;
    }
    EXPECT_EQ(levelCount[1], 11);
    for (int level = 2; level <= 4; ++level) EXPECT_GT(levelCount[level], 0) << "no records at level " << level;
    EXPECT_EQ(previousKey & kIndexKeySection, 0) << "the index ends with an empty section";

    for (int n = 1; n <= kLessons; ++n) EXPECT_EQ(listed.count(n), 1u) << "lesson " << n << " is not in the index";
    int twice = 0;
    for (auto& [n, times] : listed) twice += times > 1;
    EXPECT_GT(twice, 0) << "no lesson is listed twice";
}

// Every lesson at each width, in the test face and in the default font: the layout
// succeeds, produces rows, keeps every line inside the view, and releases what it took.
TEST_F(Library, EveryLessonLaysOutNarrowAndWide) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    FontSpec fonts[2];
    std::memset(fonts, 0, sizeof fonts);
    for (int i = 0; GDI_TEST_FACE[i]; ++i) fonts[0].face[i] = GDI_TEST_FACE[i];
    fonts[0].size = 16;
    const char* fontNames[2] = {"test face", "default font"};

    // The text primitives keep shared measuring buffers that grow to the longest
    // paragraph during the first pass; after it, every pass must give back all it took.
    long settled = -1;
    for (int f = 0; f < 2; ++f) {
        for (int width : {240, 480}) {
            RECT rect = {0, 0, width, 320};
            TextView* view = CreateTextView(dc, &rect, &fonts[f], 100);
            ASSERT_NE(view, nullptr);
            for (int n = 1; n <= kLessons; ++n) {
                SCOPED_TRACE(std::string(fontNames[f]) + ", width " + std::to_string(width) + ", lesson " +
                             std::to_string(n));
                int status = 0;
                BYTE* text = LoadContentResource(n, &status);
                ASSERT_NE(text, nullptr) << "status " << status;
                int result = LayoutText(view, text, 1);
                if (result != kViewOk) LocalFree(text);
                ASSERT_EQ(result, kViewOk);
                EXPECT_GT(view->lineCount, 0);
                EXPECT_GE(view->displayLines, view->lineCount);
                for (int i = 0; i < view->lineCount; ++i) {
                    const LineRecord& line = view->lines[i];
                    EXPECT_LE(line.x + line.width, width) << "line " << i << " at offset " << line.offset
                                                           << " runs past the right edge";
                }
            }
            DestroyTextView(view, 1);
            if (settled < 0) {
                settled = HeapLiveBlocks();
            } else {
                EXPECT_EQ(HeapLiveBlocks(), settled) << fontNames[f] << ", width " << width;
            }
        }
    }
    DeleteDC(dc);
}

}  // namespace
