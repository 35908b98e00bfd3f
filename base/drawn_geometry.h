// The arithmetic of the drawn progress bar and of placing dialogs on the
// desktop, free of Windows so that it can be checked anywhere.
#pragma once
#include <stdint.h>

struct Box {
    int32_t left, top, right, bottom;
};

// The bar's state apart from drawing: accepted range, fill edge and text.
struct ProgressModel {
    uint32_t low, high;
    Box frame;
    int32_t fillEdge; // from frame.left (empty) to frame.right (full)
    char text[52];    // "<percent> %"
};

// An empty bar over frame with the range 0 to 100 and the text "0 %".
ProgressModel NewProgressModel(const Box& frame);

enum ProgressMove { PROGRESS_REFUSED = 0, PROGRESS_SAME = 1, PROGRESS_MOVED = 2 };

// Moves the bar to position: refused outside low to high; the same when the
// fill edge stays on its pixel (the text then stays too); else moved, with the
// fill edge and text of the new position. The edge is computed in single
// precision and truncated toward zero, so it is the same pixel on every
// machine; position high fills the frame and shows 100.
ProgressMove MoveProgress(ProgressModel& bar, uint32_t position);

// Where the percentage text starts: a third of its width left of the frame's middle.
int32_t ProgressTextX(const Box& frame, int32_t textWidth);

enum PlaceMode { PLACE_CENTRE = 0, PLACE_LOWER_RIGHT = 1, PLACE_UPPER_LEFT = 2 };

// Top-left corner for a window of client size client (right and bottom) on
// the desktop; false for an unknown mode. The lower right and upper left
// places are kept off negative coordinates, the centre is not.
bool PlacementOnDesktop(int mode, const Box& desktop, const Box& client, int32_t& x, int32_t& y);
