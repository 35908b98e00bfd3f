#include "drawn_geometry.h"

namespace {

void FormatPercent(char* text, uint32_t percent)
{
    char digits[12];
    int n = 0;
    do {
        digits[n++] = (char)('0' + percent % 10);
        percent /= 10;
    } while (percent);
    int at = 0;
    while (n)
        text[at++] = digits[--n];
    text[at++] = ' ';
    text[at++] = '%';
    text[at] = 0;
}

} // namespace

ProgressModel NewProgressModel(const Box& frame)
{
    ProgressModel bar = {0, 100, frame, frame.left, ""};
    FormatPercent(bar.text, 0);
    return bar;
}

ProgressMove MoveProgress(ProgressModel& bar, uint32_t position)
{
    if (position > bar.high || position < bar.low)
        return PROGRESS_REFUSED;
    const int32_t width = bar.frame.right - bar.frame.left;
    const float span = (float)(bar.high - bar.low);
    const bool full = position == bar.high;
    const int32_t edge = full ? bar.frame.right : bar.frame.left + (int32_t)((float)width / span * (float)position);
    if (edge == bar.fillEdge)
        return PROGRESS_SAME;
    bar.fillEdge = edge;
    FormatPercent(bar.text, full ? 100 : (uint32_t)((float)position / span * 100.0f));
    return PROGRESS_MOVED;
}

int32_t ProgressTextX(const Box& frame, int32_t textWidth)
{
    return frame.right + (frame.left - frame.right) / 2 - textWidth / 3;
}

bool PlacementOnDesktop(int mode, const Box& desktop, const Box& client, int32_t& x, int32_t& y)
{
    switch (mode) {
    case PLACE_CENTRE:
        x = desktop.right / 2 - client.right / 2;
        y = desktop.bottom / 2 - client.bottom / 2;
        return true;
    case PLACE_LOWER_RIGHT:
        x = desktop.right - desktop.right / 15 - client.right;
        y = desktop.bottom - desktop.bottom / 6 - client.bottom;
        break;
    case PLACE_UPPER_LEFT:
        x = desktop.left + desktop.right / 35;
        y = desktop.top + desktop.bottom / 8;
        break;
    default:
        return false;
    }
    x = x < 0 ? 0 : x;
    y = y < 0 ? 0 : y;
    return true;
}
