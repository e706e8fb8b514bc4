#include "press_queue.h"

namespace vortan {

bool press_down(PressQueue& q, int x, int y, int buttons) {
  if (q.count >= MAX_PRESSES) return false;
  MouseState& m = q.presses[(q.first + q.count) % MAX_PRESSES];
  m.x = x;
  m.y = y;
  m.buttons = buttons;
  ++q.count;
  return true;
}

MouseState press_poll(PressQueue& q, const MouseState& pointer) {
  if (q.release_due) {
    q.release_due = false;
    MouseState up = q.last;
    up.buttons = 0;
    return up;
  }
  if (q.count == 0) {
    MouseState m = pointer;
    m.buttons = 0;
    return m;
  }
  q.last = q.presses[q.first];
  q.first = (q.first + 1) % MAX_PRESSES;
  --q.count;
  q.release_due = true;
  return q.last;
}

int press_forget(PressQueue& q) {
  const int n = q.count;
  q.count = 0;
  q.release_due = false;
  return n;
}

}  // namespace vortan
