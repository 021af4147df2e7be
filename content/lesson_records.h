// Walking the paragraph records of a decoded lesson in place. A record is a style
// code (0 ends the lesson), a parameter byte and NUL-terminated 8-bit text.
//
// Every walker takes the end of the buffer (the decoded length) and never reads at or
// past it; a record whose text has no terminator before the end is not returned. With
// end null the walk trusts the end marker, as a buffer from LoadContentResource holds.
#pragma once

#include "platform/win_types.h"

enum : BYTE {
    kStyleEnd = 0x00,        // style code of the end marker
    kStyleRuleBits = 0x07,   // all three low bits set: a rule record
    kStyleFontKeyMask = 0x1F,// records with equal low five bits share one font
    kStyleSmaller = 0x02,    // smaller font, unless larger is set too
    kStyleLarger = 0x04,     // larger font
    kStyleBold = 0x08,       // bold; with larger, the text is blue
    kStyleBlue = 0x0C,       // both bits set: blue text
    kStyleAlignMask = 0x60,  // 0x00 left, 0x20 right, 0x40 centred, 0x60 left
    kStyleAlignRight = 0x20, // right aligned
    kStyleAlignCentre = 0x40,// centred
    kStyleBlankRow = 0x80,   // a blank row follows the paragraph
    kStyleTitle = 0xCC,      // the title record, when it is the first record
    kStyleSubtitle = 0xC1,   // the subtitle record, first or right after the title
};

enum : BYTE {
    kParamIndentMask = 0x3F, // indent in pixels of a text record
    kParamLabelShift = 6,    // label level 0-3 in the top two bits
};

inline BYTE ParagraphStyle(const BYTE* record) { return record[0]; }
inline BYTE ParagraphParam(const BYTE* record) { return record[1]; }
// The text of a record, NUL-terminated.
inline const char* ParagraphText(const BYTE* record) { return (const char*)record + 2; }
inline bool IsRuleStyle(BYTE style) { return (style & kStyleRuleBits) == kStyleRuleBits; }
inline bool IsRuleRecord(const BYTE* record) { return IsRuleStyle(record[0]); }
inline int LabelLevel(BYTE param) { return param >> kParamLabelShift; }
inline int IndentOf(BYTE param) { return param & kParamIndentMask; }

// The lesson's first record, or null when the lesson is empty (style 0 first) or the
// first record runs past end.
const BYTE* FirstParagraphRecord(const BYTE* lesson, const BYTE* end);
// The record after `record`, or null at the end marker or when the next record runs
// past end. `record` must be one the walk returned.
const BYTE* NextParagraphRecord(const BYTE* record, const BYTE* end);
// Bytes of a record: style, parameter, text and its terminator.
size_t ParagraphRecordSize(const BYTE* record);

// Title record: the first record when its style is exactly 0xCC; else null.
const BYTE* LessonTitleRecord(const BYTE* lesson, const BYTE* end);
// Subtitle record: a record of style exactly 0xC1 that is the first record or comes
// directly after the title record; else null.
const BYTE* LessonSubtitleRecord(const BYTE* lesson, const BYTE* end);
