#include "view/text_paint.h"

int ScrollTextView(TextView* view, int delta, int repaint, int clamp) {
    if (!view) return kViewNoView;
    int t = view->topLine + delta;
    if (t < 0) {
        t = 0;
    } else if (clamp || t > view->displayLines) {
        // Scrolling down while already at the end does nothing.
        if (t >= view->topLine && view->topLine >= view->maxTopLine) return kViewNothingChanged;
        if (t > view->displayLines) t = view->maxTopLine;
    }
    if (repaint == 1 && t == view->topLine) return kViewNothingChanged;
    bool moved = t != view->topLine;
    if (moved) view->topLine = (uint16_t)t;
    if (repaint) return PaintTextView(view, 1);
    return moved ? kViewMovedNoPaint : kViewNothingChanged;
}
