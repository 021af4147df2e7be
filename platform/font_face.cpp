// Fonts: faces found through fontconfig and rasterised by FreeType, the built-in test
// face, glyph caches and metrics. Instances are cached for the whole run: the program
// uses a handful of sizes, and a font object only points at its instance.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include FT_SIZES_H
#include FT_ADVANCES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

#include "gdi_internal.h"

struct GlyphEntry {
    GlyphInfo info;
    std::vector<uint8_t> coverage;
};

struct FontInstance {
    bool test;
    FT_Face face;     // shared by every instance of the same file
    FT_Size size;     // this instance's size on the face
    bool synthBold;   // the face has no bold of its own
    bool bold;
    int height, ascent, descent, internalLeading, aveWidth, maxWidth;
    GlyphEntry* fast[256];
    std::unordered_map<uint32_t, GlyphEntry> glyphs;
    // Advances of the 8-bit units, 0 until asked for: measuring needs no rendering.
    int advances[256];
};

namespace {

struct FaceFile {
    std::string path;
    int index;
    bool synthBold;
};

FT_Library g_ft = nullptr;
std::map<std::pair<std::string, int>, FT_Face> g_faces;
std::map<std::string, FaceFile> g_matches;                 // "name|bold" -> file
std::map<std::string, std::unique_ptr<FontInstance>> g_instances;
FontInstance* g_default = nullptr;

const uint16_t kCp1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string Utf8(const WCHAR* s, int max) {
    std::string out;
    for (int i = 0; i < max && s[i]; ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDFFF) c = '?';
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xC0 | (c >> 6));
            out += (char)(0x80 | (c & 0x3F));
        } else {
            out += (char)(0xE0 | (c >> 12));
            out += (char)(0x80 | ((c >> 6) & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// A UTF-8 family name as a NUL-terminated face name; false when it does not fit.
bool Utf16Name(const std::string& s, WCHAR* out) {
    size_t n = 0;
    for (size_t i = 0; i < s.size();) {
        uint32_t c = (unsigned char)s[i];
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= extra == 3 ? 0x07 : extra == 2 ? 0x0F : extra == 1 ? 0x1F : 0x7F;
        for (int k = 1; k <= extra && i + k < s.size(); ++k) c = (c << 6) | ((unsigned char)s[i + k] & 0x3F);
        i += 1 + extra;
        if (c > 0xFFFF || n + 1 >= LF_FACESIZE) return false;
        out[n++] = (WCHAR)c;
    }
    out[n] = 0;
    return true;
}

// fontconfig keeps what it parsed from its configuration until FcFini; releasing it
// at exit keeps leak checkers quiet about memory that is not ours.
bool FontconfigReady() {
    static int state = 0;  // 0 not tried, 1 ready, 2 failed
    if (state == 0) {
        state = FcInit() ? 1 : 2;
        if (state == 1) std::atexit([] { FcFini(); });
    }
    return state == 1;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower((unsigned char)x) == std::tolower((unsigned char)y);
           });
}

// fontconfig's best file for a family; `exact` demands that the family really exists
// (fontconfig otherwise answers with whatever it likes best).
bool MatchFamily(const std::string& family, bool bold, bool exact, FaceFile* out) {
    if (!FontconfigReady()) return false;
    FcPattern* pat = FcPatternCreate();
    if (!pat) return false;
    FcPatternAddString(pat, FC_FAMILY, (const FcChar8*)family.c_str());
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    if (!match) return false;
    bool ok = true;
    if (exact) {
        ok = false;
        FcChar8* name;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
            if (SameName((const char*)name, family)) ok = true;
    }
    FcChar8* file = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR;
    if (ok && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        *out = FaceFile{(const char*)file, index, bold && weight < FC_WEIGHT_DEMIBOLD};
    } else {
        ok = false;
    }
    FcPatternDestroy(match);
    return ok;
}

// The file for a face name: the family itself when installed, else the sans face.
bool FindFace(const std::string& name, bool bold, FaceFile* out) {
    std::string key = name + (bold ? "|b" : "|r");
    auto it = g_matches.find(key);
    if (it != g_matches.end()) {
        *out = it->second;
        return true;
    }
    bool ok = (!name.empty() && MatchFamily(name, bold, true, out)) || MatchFamily("DejaVu Sans", bold, true, out) ||
              MatchFamily("sans-serif", bold, false, out);
    if (!ok) return false;
    g_matches[key] = *out;
    return true;
}

FT_Face OpenFace(const FaceFile& f) {
    if (!g_ft && FT_Init_FreeType(&g_ft) != 0) {
        g_ft = nullptr;
        return nullptr;
    }
    auto key = std::make_pair(f.path, f.index);
    auto it = g_faces.find(key);
    if (it != g_faces.end()) return it->second;
    FT_Face face = nullptr;
    if (FT_New_Face(g_ft, f.path.c_str(), f.index, &face) != 0) return nullptr;
    if (!FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        return nullptr;
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    g_faces[key] = face;
    return face;
}

int HeightOf(LONG lfHeight) {
    if (lfHeight == 0) return GDI_DEFAULT_FONT_HEIGHT;
    long h = lfHeight < 0 ? -(long)lfHeight : lfHeight;
    return (int)std::min(h, 1000L);  // far beyond any screen; keeps glyph buffers bounded
}

void FinishMetrics(FontInstance* f) {
    f->aveWidth = FontAdvance(f, 'x');
    f->maxWidth = 0;
    for (int u = 0x20; u <= 0xFF; ++u) f->maxWidth = std::max(f->maxWidth, FontAdvance(f, (WCHAR)u));
}

FontInstance* MakeTestInstance(const LOGFONTW* lf) {
    int h = HeightOf(lf->lfHeight);
    bool bold = lf->lfWeight >= 600;
    std::string key = "test|" + std::to_string(h) + (bold ? "b" : "r");
    auto it = g_instances.find(key);
    if (it != g_instances.end()) return it->second.get();
    auto f = std::make_unique<FontInstance>();
    f->test = true;
    f->bold = bold;
    f->height = h;
    f->ascent = (13 * h + 8) / 16;
    f->descent = h - f->ascent;
    FinishMetrics(f.get());
    return (g_instances[key] = std::move(f)).get();
}

FontInstance* MakeFreeTypeInstance(const LOGFONTW* lf) {
    bool bold = lf->lfWeight >= 600;
    FaceFile file;
    std::string name = Utf8(lf->lfFaceName, LF_FACESIZE);
    if (!FindFace(name, bold, &file)) {
        GdiFail("fontconfig found no font file");
        return nullptr;
    }
    // A negative height is the em size, a positive one the cell; 0 is a cell of 16.
    LONG lfHeight = lf->lfHeight == 0 ? GDI_DEFAULT_FONT_HEIGHT : lf->lfHeight;
    int h = HeightOf(lfHeight);
    std::string key = file.path + "#" + std::to_string(file.index) + (lfHeight < 0 ? "|em" : "|cell") +
                      std::to_string(h) + (bold ? "b" : "r");
    auto it = g_instances.find(key);
    if (it != g_instances.end()) return it->second.get();

    FT_Face face = OpenFace(file);
    if (!face) {
        GdiFail("FreeType cannot open the font file");
        return nullptr;
    }
    double upem = face->units_per_EM ? face->units_per_EM : 2048;
    double winAscent = face->ascender, winDescent = -face->descender;
    if (TT_OS2* os2 = (TT_OS2*)FT_Get_Sfnt_Table(face, FT_SFNT_OS2)) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            winAscent = os2->usWinAscent;
            winDescent = os2->usWinDescent;
        }
    }
    if (winAscent + winDescent <= 0) winAscent = upem, winDescent = 0;
    double ppem = lfHeight < 0 ? h : h * upem / (winAscent + winDescent);

    auto f = std::make_unique<FontInstance>();
    f->face = face;
    f->bold = bold;
    f->synthBold = file.synthBold;
    if (FT_New_Size(face, &f->size) != 0 || FT_Activate_Size(f->size) != 0 ||
        FT_Set_Char_Size(face, 0, (FT_F26Dot6)std::lround(ppem * 64), 72, 72) != 0) {
        GdiFail("FreeType cannot size the face");
        return nullptr;
    }
    f->ascent = (int)std::lround(winAscent * ppem / upem);
    if (lfHeight > 0) {
        f->ascent = std::min(f->ascent, h);
        f->descent = h - f->ascent;
    } else {
        f->descent = (int)std::lround(winDescent * ppem / upem);
    }
    f->height = f->ascent + f->descent;
    f->internalLeading = std::max(0, f->height - (int)std::lround(ppem));
    FinishMetrics(f.get());
    return (g_instances[key] = std::move(f)).get();
}

// An outlined box for a glyph the face lacks.
void MissingBox(FontInstance* f, GlyphEntry* g) {
    int adv = g->info.advance;
    int w = std::max(2, adv - 2), h = std::max(2, f->ascent * 3 / 4);
    g->coverage.assign((size_t)w * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1) g->coverage[(size_t)y * w + x] = 255;
    g->info.left = (adv - w) / 2;
    g->info.top = h;
    g->info.width = w;
    g->info.height = h;
}

void LoadTestGlyph(FontInstance* f, WCHAR unit, GlyphEntry* g) {
    g->info.advance = GdiTestFaceAdvance(unit, f->height, f->bold ? 700 : 400);
    if (unit == 0x20 || unit == 0xA0) return;
    int w = g->info.advance - 1, h = f->ascent;
    if (w <= 0 || h <= 0) return;
    g->coverage.assign((size_t)w * h, 255);
    g->info.top = f->ascent;
    g->info.width = w;
    g->info.height = h;
}

void LoadFreeTypeGlyph(FontInstance* f, uint32_t cp, GlyphEntry* g) {
    FT_Face face = f->face;
    FT_Activate_Size(f->size);
    FT_UInt index = FT_Get_Char_Index(face, cp);
    bool missing = index == 0;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0) {
        g->info.advance = std::max(1, f->aveWidth);
        MissingBox(f, g);
        return;
    }
    FT_GlyphSlot slot = face->glyph;
    if (f->synthBold) FT_GlyphSlot_Embolden(slot);
    // Integer advances: the pen moves by whole pixels, so a run's measured extent is
    // exactly the sum of these and drawing lands where measuring said.
    g->info.advance = (int)((slot->advance.x + 32) >> 6);
    if (missing) {
        if (g->info.advance <= 0) g->info.advance = std::max(2, f->ascent / 2);
        MissingBox(f, g);
        return;
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0) return;
    g->info.left = slot->bitmap_left;
    g->info.top = slot->bitmap_top;
    g->info.width = (int)bm.width;
    g->info.height = (int)bm.rows;
    g->coverage.resize((size_t)bm.width * bm.rows);
    for (unsigned y = 0; y < bm.rows; ++y) {
        const uint8_t* row = bm.pitch >= 0 ? bm.buffer + (size_t)y * bm.pitch
                                           : bm.buffer + (size_t)(bm.rows - 1 - y) * (-bm.pitch);
        std::memcpy(&g->coverage[(size_t)y * bm.width], row, bm.width);
    }
}

}  // namespace

uint32_t GdiCodePoint(WCHAR unit) {
    if (unit >= 0x80 && unit <= 0x9F) return kCp1252[unit - 0x80];
    return unit;
}

int GdiTestFaceAdvance(WCHAR unit, int height, int weight) {
    int a = 8;
    if (unit >= 'A' && unit <= 'Z') {
        a = unit == 'I' ? 4 : unit == 'J' ? 6 : (unit == 'M' || unit == 'W') ? 14 : 10;
    } else if (unit >= 'a' && unit <= 'z') {
        switch (unit) {
            case 'f': case 'r': case 't': a = 5; break;
            case 'i': case 'j': case 'l': a = 3; break;
            case 'm': case 'w': a = 12; break;
            default: a = 8;
        }
    } else if (unit >= '0' && unit <= '9') {
        a = 8;
    } else if (unit >= 0x20 && unit < 0x7F) {
        static const char punct[] = " !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
        static const uint8_t widths[] = {4, 4, 5, 8, 8, 12, 10, 3, 5, 5, 6, 8, 4, 5, 4, 5, 4,
                                         4, 8, 8, 8, 7, 13, 5, 5, 5, 8, 8, 5, 6, 3, 6, 8};
        a = widths[std::strchr(punct, (char)unit) - punct];
    } else if (unit >= 0x80 && unit <= 0x9F) {
        switch (unit) {
            case 0x85: case 0x97: a = 14; break;
            case 0x91: case 0x92: a = 3; break;
            case 0x93: case 0x94: a = 5; break;
            case 0x95: a = 6; break;
            default: a = 8;
        }
    } else if (unit == 0xA0) {
        a = 4;
    } else if (unit >= 0xC0 && unit <= 0xDE) {
        a = 10;
    }
    int h = height == 0 ? GDI_DEFAULT_FONT_HEIGHT : std::abs(height);
    int scaled = std::max(1, (a * h + 8) / 16);
    return scaled + (weight >= 600 ? 1 : 0);
}

FontInstance* FontInstanceGet(const LOGFONTW* lf) {
    LOGFONTW copy = *lf;
    copy.lfFaceName[LF_FACESIZE - 1] = 0;
    if (SameName(Utf8(copy.lfFaceName, LF_FACESIZE), "Velmora Test")) return MakeTestInstance(&copy);
    return MakeFreeTypeInstance(&copy);
}

FontInstance* FontDefaultInstance() {
    if (g_default) return g_default;
    LOGFONTW lf{};
    lf.lfWeight = FW_NORMAL;
    g_default = FontInstanceGet(&lf);
    if (!g_default) {
        // No usable font file at all: the test face keeps text measurable and visible.
        std::memcpy(lf.lfFaceName, GDI_TEST_FACE, sizeof(GDI_TEST_FACE));
        g_default = FontInstanceGet(&lf);
    }
    return g_default;
}

int FontAdvance(FontInstance* f, WCHAR unit) {
    if (unit < 256 && f->advances[unit] > 0) return f->advances[unit];
    int advance = 0;
    if (!f->test && !f->synthBold) {
        // Light hinting leaves advances alone, so FreeType reads them without loading
        // the glyph; drawing uses this same value, so runs land where they were measured.
        FT_UInt index = FT_Get_Char_Index(f->face, GdiCodePoint(unit));
        FT_Fixed scaled;
        FT_Activate_Size(f->size);
        if (index != 0 && FT_Get_Advance(f->face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT, &scaled) == 0)
            advance = (int)((scaled + 0x8000) >> 16);
    }
    if (advance <= 0) advance = FontGlyph(f, unit)->advance;
    if (unit < 256) f->advances[unit] = advance;
    return advance;
}

const GlyphInfo* FontGlyph(FontInstance* f, WCHAR unit) {
    if (unit < 256 && f->fast[unit]) return &f->fast[unit]->info;
    uint32_t cp = GdiCodePoint(unit);
    auto [it, added] = f->glyphs.try_emplace(unit);
    GlyphEntry* g = &it->second;
    if (added) {
        if (f->test)
            LoadTestGlyph(f, unit, g);
        else
            LoadFreeTypeGlyph(f, cp, g);
        g->info.coverage = g->coverage.empty() ? nullptr : g->coverage.data();
        if (unit < 256 && f->advances[unit] > 0) g->info.advance = f->advances[unit];
    }
    if (unit < 256) f->fast[unit] = g;
    return &g->info;
}

void FontMetrics(FontInstance* f, TEXTMETRICW* tm) {
    *tm = TEXTMETRICW{};
    tm->tmHeight = f->height;
    tm->tmAscent = f->ascent;
    tm->tmDescent = f->descent;
    tm->tmInternalLeading = f->internalLeading;
    tm->tmAveCharWidth = f->aveWidth;
    tm->tmMaxCharWidth = f->maxWidth;
    tm->tmWeight = f->bold ? FW_BOLD : FW_NORMAL;
    tm->tmDigitizedAspectX = 96;
    tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFF;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmPitchAndFamily = f->test ? 0 : 0x06;  // variable pitch, TrueType
}

int FontHeight(FontInstance* f) { return f->height; }
int FontAscent(FontInstance* f) { return f->ascent; }
bool FontIsBold(FontInstance* f) { return f->bold; }
bool FontIsTestFace(FontInstance* f) { return f->test; }

HFONT CreateFontIndirectW(const LOGFONTW* lf) {
    if (!lf) {
        GdiFail("no LOGFONTW");
        return nullptr;
    }
    FontInstance* f = FontInstanceGet(lf);
    if (!f) return nullptr;
    GdiObjectRec* o = GdiNewObject(GDI_KIND_FONT);
    if (!o) return nullptr;
    o->font = f;
    o->underline = lf->lfUnderline != 0;
    return o;
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* tm) {
    DcRec* d = GdiDc(dc);
    if (!d || !tm) return FALSE;
    FontInstance* f = GdiDcFont(d, nullptr);
    if (!f) return GdiFail("no font");
    FontMetrics(f, tm);
    return TRUE;
}

int EnumFontFamiliesW(HDC dc, LPCWSTR family, FONTENUMPROCW proc, LPARAM lParam) {
    if (!proc) return 0;
    std::set<std::string, bool (*)(const std::string&, const std::string&)> names(
        [](const std::string& a, const std::string& b) {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                return std::tolower((unsigned char)x) < std::tolower((unsigned char)y);
            });
        });
    if (FontconfigReady()) {
        FcPattern* pat = FcPatternCreate();
        FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, FC_SCALABLE, nullptr);
        FcFontSet* fs = pat && os ? FcFontList(nullptr, pat, os) : nullptr;
        for (int i = 0; fs && i < fs->nfont; ++i) {
            FcChar8* name;
            FcBool scalable = FcFalse;
            FcPatternGetBool(fs->fonts[i], FC_SCALABLE, 0, &scalable);
            if (scalable && FcPatternGetString(fs->fonts[i], FC_FAMILY, 0, &name) == FcResultMatch)
                names.insert((const char*)name);
        }
        if (fs) FcFontSetDestroy(fs);
        if (os) FcObjectSetDestroy(os);
        if (pat) FcPatternDestroy(pat);
    }
    names.insert("Velmora Test");
    std::string wanted = family ? Utf8(family, LF_FACESIZE) : std::string();
    int result = 0;
    for (const std::string& name : names) {
        if (family && !SameName(name, wanted)) continue;
        LOGFONTW lf{};
        lf.lfHeight = GDI_DEFAULT_FONT_HEIGHT;
        lf.lfWeight = FW_NORMAL;
        if (!Utf16Name(name, lf.lfFaceName)) continue;  // too long for a LOGFONTW
        FontInstance* f = FontInstanceGet(&lf);
        if (!f) continue;
        TEXTMETRICW tm;
        FontMetrics(f, &tm);
        result = proc(&lf, &tm, f->test ? RASTER_FONTTYPE : TRUETYPE_FONTTYPE, lParam);
        if (!result) break;
    }
    return result;
}
