// Content resources: finding a lesson's (or the index's) resource and decoding its
// PalmDoc LZ77 block into a fresh heap buffer.
#pragma once

#include "platform/win_types.h"

// Status values stored by LoadContentResource and UnCompress when the caller passes a
// place for them. Callers test only the returned pointer; the status is for diagnosis.
enum : int {
    kContentNoResource = 1,   // no raw-data resource with id 1000 + n
    kContentUnobtainable = 2, // resource empty or its bytes unobtainable; or no memory
    kContentBadHeader = 3,    // block length B below 5, compressed length P 0, or a header cut short
    kContentNoLength = 4,     // decoded length U is 0 (or no source)
    kContentInputShort = 5,   // the input ran out (or was malformed) before U bytes; box shown
};

// Lesson n (1 to 131) is resource 1000 + n; the index is asked for as this number.
enum : int { kIndexLessonNumber = 31767 };
// Raw-data resource type of every content resource.
enum : WORD { kContentResourceType = 10 };
// Bytes of the container header before the compressed block.
enum : DWORD { kContentHeaderSize = 10 };

// Finds the content resource of lesson n, checks its header and decodes it. Returns a
// buffer of U + 2 bytes (U decoded bytes, then a NUL) that the caller frees with
// LocalFree; null on failure: n < 1 (status untouched), or status 1 to 5 as above.
// The compressed length is cut to what the resource really holds.
BYTE* LoadContentResource(int n, int* status);

// Decodes P bytes of PalmDoc LZ77 at source into a new buffer of exactly U + 2 bytes
// from LocalAlloc; the decoded bytes are 0 to U - 1 and byte U is a NUL. Input left
// after U bytes is ignored. Returns null with status 4 when U is 0 or source is null,
// 2 when the buffer cannot be allocated, and 5 after showing "UnCompress() buffer
// error!" when the input ends first, a command's operand bytes lie past the input end,
// or a back-reference has distance 0 or reaches before the start of the output. Never
// reads outside source[0, P) and leaves nothing allocated on failure.
BYTE* UnCompress(const BYTE* source, UINT P, UINT U, int* status);
