// The program's pictures as ASCII art: the toolbar strip, the outline row icons and
// the program icon. The art is turned into the bitmap layouts at compile time.
#include "resources/resource_builders.h"
#include "resources/ui_resource_parts.h"

namespace {

using res::PaletteEntry;

// Toolbar images sit on the grey of the bar's buttons.
constexpr PaletteEntry kToolbarPalette[] = {
    {'.', 0xC0C0C0},  // button face
    {'X', 0x000000},
    {'#', 0x808080},
    {'o', 0xFFFFFF},
    {'b', 0x0000C0},
};

constexpr const char* kPrevious[16] = {
    "................",
    "................",
    "................",
    ".......X........",
    "......XX........",
    ".....XbX........",
    "....XbbXXXXXXX..",
    "...XbbbbbbbbbX..",
    "..XbbbbbbbbbbX..",
    "...XbbbbbbbbbX..",
    "....XbbXXXXXXX..",
    ".....XbX........",
    "......XX........",
    ".......X........",
    "................",
    "................",
};

constexpr const char* kChooseArticle[16] = {
    "................",
    "..XXXXXXXXXXXX..",
    "..XooooooooooX..",
    "..XoXoXXXXXXoX..",
    "..XooooooooooX..",
    "..Xoo#o#####oX..",
    "..XooooooooooX..",
    "..Xoo#o#####oX..",
    "..XooooooooooX..",
    "..XoXoXXXXXXoX..",
    "..XooooooooooX..",
    "..Xoo#o#####oX..",
    "..XooooooooooX..",
    "..XXXXXXXXXXXX..",
    "................",
    "................",
};

constexpr const char* kNext[16] = {
    "................",
    "................",
    "................",
    "........X.......",
    "........XX......",
    "........XbX.....",
    "..XXXXXXXbbX....",
    "..XbbbbbbbbbX...",
    "..XbbbbbbbbbbX..",
    "..XbbbbbbbbbX...",
    "..XXXXXXXbbX....",
    "........XbX.....",
    "........XX......",
    "........X.......",
    "................",
    "................",
};

constexpr const char* kFont[16] = {
    "................",
    "................",
    ".......XX.......",
    ".......XX.......",
    "......XXXX......",
    "......X..X......",
    ".....XX..XX.....",
    ".....X....X.....",
    "....XX....XX....",
    "....XXXXXXXX....",
    "...XX......XX...",
    "...X........X...",
    "..XX........XX..",
    ".XXXX......XXXX.",
    "................",
    "................",
};

constexpr const char* kSearch[16] = {
    "................",
    ".....XXXX.......",
    "...XXooooXX.....",
    "...XooooooX.....",
    "..XooooooooX....",
    "..XooooooooX....",
    "..XooooooooX....",
    "..XooooooooX....",
    "...XooooooX.....",
    "...XXooooXXX....",
    ".....XXXX.XXX...",
    "...........XXX..",
    "............XXX.",
    ".............XX.",
    "................",
    "................",
};

constexpr const char* kSearchAgain[16] = {
    "................",
    "...XXXX.........",
    "..XooooX........",
    ".XooooooX.......",
    ".XooooooX.......",
    ".XooooooX.......",
    ".XooooooX.......",
    "..XooooXX.......",
    "...XXXX.XX......",
    "........XX..X...",
    ".........X..XX..",
    ".......XXXXXXbX.",
    ".......XbbbbbbbX",
    ".......XXXXXXbX.",
    "............XX..",
    "............X...",
};

// In the order of the toolbar buttons' image indices.
constexpr const char* const* kToolbarImages[] = {kPrevious, kChooseArticle, kNext, kFont, kSearch, kSearchAgain};
alignas(4) constexpr auto kToolbarBytes = res::Strip32<16, 16>(kToolbarImages, kToolbarPalette);
static_assert(kToolbarBytes.size() == 4 + 96 * 16 * 4);

// Outline row icons, 9 x 9 monochrome: a boxed plus (closed section), a boxed minus
// (open section) and a page with a folded corner (lesson).
constexpr const char* kBoxedPlus[9] = {
    "XXXXXXXXX",
    "X.......X",
    "X...X...X",
    "X...X...X",
    "X.XXXXX.X",
    "X...X...X",
    "X...X...X",
    "X.......X",
    "XXXXXXXXX",
};
constexpr const char* kBoxedMinus[9] = {
    "XXXXXXXXX",
    "X.......X",
    "X.......X",
    "X.......X",
    "X.XXXXX.X",
    "X.......X",
    "X.......X",
    "X.......X",
    "XXXXXXXXX",
};
constexpr const char* kPage[9] = {
    ".XXXXX...",
    ".X...XX..",
    ".X.X.XXX.",
    ".X.....X.",
    ".X.XXX.X.",
    ".X.....X.",
    ".X.XXX.X.",
    ".X.....X.",
    ".XXXXXXX.",
};
alignas(4) constexpr auto kBoxedPlusBytes = res::Image1<9, 9>(kBoxedPlus);
alignas(4) constexpr auto kBoxedMinusBytes = res::Image1<9, 9>(kBoxedMinus);
alignas(4) constexpr auto kPageBytes = res::Image1<9, 9>(kPage);

// The program icon: a closed book with a label, pages showing at the foot.
constexpr PaletteEntry kIconPalette[] = {
    {'.', 0xFF000000},  // transparent
    {'X', 0x000000},
    {'d', 0x102860},  // spine
    {'b', 0x2050B0},  // cover
    {'o', 0xFFFFFF},
    {'#', 0x909090},
};
constexpr const char* kBookIcon[32] = {
    "................................",
    "................................",
    "....XXXXXXXXXXXXXXXXXXXXXXXX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbooooooooooobbbbX....",
    "....XddXbbbbooooooooooobbbbX....",
    "....XddXbbbboXXXXXXXXXobbbbX....",
    "....XddXbbbbooooooooooobbbbX....",
    "....XddXbbbboXXXXXXXooobbbbX....",
    "....XddXbbbbooooooooooobbbbX....",
    "....XddXbbbbooooooooooobbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXbbbbbbbbbbbbbbbbbbbX....",
    "....XddXXXXXXXXXXXXXXXXXXXXX....",
    "....XddXoooooooooooooooooooX....",
    "....XddX###################X....",
    "....XddXoooooooooooooooooooX....",
    "....XXXXXXXXXXXXXXXXXXXXXXXX....",
    "................................",
    "................................",
};
// Icons are handed out as pointers to their pixels, so keep them word-aligned.
alignas(4) constexpr auto kBookIconBytes = res::Image32<32, 32>(kBookIcon, kIconPalette);

constexpr WORD kRtBitmap = 2, kRtGroupIcon = 14;

}  // namespace

const ResourceEntry kImageResources[] = {
    {kRtBitmap, 114, kToolbarBytes.data(), (DWORD)kToolbarBytes.size()},
    {kRtBitmap, 201, kBoxedPlusBytes.data(), (DWORD)kBoxedPlusBytes.size()},
    {kRtBitmap, 202, kBoxedMinusBytes.data(), (DWORD)kBoxedMinusBytes.size()},
    {kRtBitmap, 203, kPageBytes.data(), (DWORD)kPageBytes.size()},
    {kRtGroupIcon, 101, kBookIconBytes.data(), (DWORD)kBookIconBytes.size()},
};
const size_t kImageResourceCount = sizeof kImageResources / sizeof kImageResources[0];
