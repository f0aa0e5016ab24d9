#pragma once
// Where a keyboard or gamepad focus goes between the buttons of a screen: the
// arrows pick the nearest button that way, and past the last one in a
// direction carry on in reading order.

#include <cstddef>
#include <vector>

namespace tsv {

// A button's centre and size in view pixels.
struct FocusSpot {
    float x = 0, y = 0;
    float width = 0, height = 0;
};

enum class FocusMove { Up, Down, Left, Right, Next, Previous };

// The indices of `spots` in reading order: rows from the top (a spot whose
// centre lies within half a height of the row's first belongs to that row),
// left to right within a row.
std::vector<size_t> ReadingOrder(const std::vector<FocusSpot>& spots);

// The spot the focus moves to from `current` (-1: none yet, which gives the
// first in reading order); -1 when there are no spots. An arrow picks the
// nearest spot lying that way (within a cone twice as wide as it is deep),
// counting a sideways step as twice its length, so a button in the same row or
// column wins over a closer one off the line.
// With none that way, Right and Down go on to the next spot in reading order
// and Left and Up back to the previous one, wrapping around at the ends.
int MoveFocus(const std::vector<FocusSpot>& spots, int current, FocusMove move);

} // namespace tsv
