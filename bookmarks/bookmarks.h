// The bookmark list: lesson numbers kept in g_app, stored as the registry value
// "Bookmarks" (each entry a 16-bit little-endian number, then a 16-bit 0), and the
// synthetic "Bookmarks" section put at the head of the outline.
#pragma once

#include "platform/win_types.h"

// Sets the list to none and loads it (once, at start).
void InitBookmarks();
// Reads the stored value into a new list. A value of odd size or without its final 0
// is cut to its whole entries before the first 0 and terminated.
void LoadBookmarks();
// Writes the list (an empty one as a single 0); 1 when written.
int SaveBookmarks();
void FreeBookmarks();
// 1 when the current lesson is in the list.
int IsBookmarked();
// Appends the current lesson unless it is there; a failed allocation changes nothing.
void AddBookmark();
// Removes the current lesson from the list.
void RemoveBookmark();
// The Bookmark command: adds, or removes after the "Remove Bookmark?" question
// (Yes removes, No keeps, Cancel removes and stops asking until exit).
void ToggleBookmark(int isBookmarked);

// A new buffer with the "Bookmarks" header and one record per bookmarked lesson found
// in `index` (which may be null), ended by five zero bytes; null when out of memory.
BYTE* BuildBookmarksSection(const BYTE* index);
// One buffer with the records of `first` then of `second`, then five zero bytes. Takes
// both: frees them, except that a failed allocation frees `first` and returns
// `second`, and a missing buffer returns the other one unchanged.
BYTE* JoinIndex(BYTE* first, BYTE* second);
// The buffer the outline uses: `index` itself, or the "Bookmarks" section joined in
// front of it when the list has entries.
BYTE* AddBookmarksSection(BYTE* index);
