// Walking the index records in place. A record is a 16-bit little-endian key, a style
// code (0 ends the index), a level and a NUL-terminated title; the next record starts
// title length + 5 bytes further on.
//
// Every walker takes the end of the buffer and never reads at or past it: the walk
// stops at a zero style byte, or where the next record would not fit before end. With
// end null the walk trusts the end record, as the stored index and buffers built from
// it hold.
#pragma once

#include "platform/win_types.h"

enum : WORD {
    kIndexKeySection = 0x8000,  // a section; the low 14 bits are its id
    kIndexKeyLesson = 0x4000,   // a lesson entry; the low 14 bits are its number
    kIndexKeyNumberMask = 0x3FFF,  // section id or lesson number
};

enum : BYTE {
    kIndexStyleOpen = 0x40,     // an open section: its children are shown
    kIndexStyleVisible = 0x80,  // the record's rows are shown when the outline opens
};

// Bytes of a record besides its title's characters; also the size of the end record.
enum : size_t { kIndexRecordOverhead = 5 };

inline WORD IndexRecordKey(const BYTE* record) { return (WORD)(record[0] | record[1] << 8); }
inline BYTE IndexRecordStyle(const BYTE* record) { return record[2]; }
inline BYTE IndexRecordLevel(const BYTE* record) { return record[3]; }
// The title, NUL-terminated.
inline const char* IndexRecordTitle(const BYTE* record) { return (const char*)record + 4; }

// The first record, or null when the buffer holds none.
const BYTE* FirstIndexRecord(const BYTE* index, const BYTE* end);
// The record after `record` (one the walk returned), or null at the end.
const BYTE* NextIndexRecord(const BYTE* record, const BYTE* end);
// Bytes of one record: title length + 5.
size_t IndexRecordSize(const BYTE* record);
// Bytes of all the records the walk visits, without the end record.
size_t IndexRecordsSize(const BYTE* index, const BYTE* end);
// The title of the first record whose whole key equals lesson | 0x4000; null when no
// record has that key.
const char* IndexLessonTitle(const BYTE* index, const BYTE* end, int lesson);
