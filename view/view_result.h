// Result codes of the article view's operations.
#pragma once

enum : int {
    kViewNoView = -1,           // no view given, or the view lacks its text or line table
    kViewOk = 0,                // done
    kViewNothingChanged = 1,    // scrolling: the top line stayed and nothing was painted
    kViewLayoutFailed = 1,      // font change: laying the text out again failed
    kViewNoText = 2,            // layout: no text was given
    kViewMovedNoPaint = 3,      // scrolling: the top line moved, painting was not asked for
    kViewMalformed = 0xFFFC,    // layout: the first record ends the lesson or has no text
    kViewNoMemory = 0xFFFE,     // layout: the line table (or a text buffer) could not grow
    kViewBadSize = -5,          // resize: width or height not positive
    kViewGrowFailed = -2,       // the line table could not be enlarged
};
