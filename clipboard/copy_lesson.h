// Copying the shown lesson to the clipboard as plain text.
#pragma once

struct TextView;

// Puts the view's lesson on the clipboard, or after the text already there with
// `append`; 0 when done.
int CopyLessonToClipboard(TextView* view, int append);
