// Mouse presses between the window and the program's polls. A press made
// while the program is busy (a pause, a redraw) is kept, in order, until a
// poll takes it; the poll after a press sees the button up where it went
// down, as a replayed click does. Kept free of any toolkit so that it can be
// tested on its own.
#pragma once

#include "platform.h"

namespace vortan {

constexpr int MAX_PRESSES = 64;

struct PressQueue {
  MouseState presses[MAX_PRESSES];
  int first = 0;  // index of the oldest press
  int count = 0;
  bool release_due = false;
  MouseState last;  // the press taken last
};

// A button went down at framebuffer pixel (x, y). False when the queue is
// full and the press is refused (the caller says so with a beep).
bool press_down(PressQueue& q, int x, int y, int buttons);
// What the next poll sees: the release of the press taken before, else the
// oldest press, else the pointer with no button down.
MouseState press_poll(PressQueue& q, const MouseState& pointer);
// Drops the presses not yet taken (the dialogue has moved to another
// window); returns how many there were.
int press_forget(PressQueue& q);

}  // namespace vortan
