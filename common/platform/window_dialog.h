// Modal dialog boxes of the window backend, built from their description
// and laid out by layout_dialog. Shared by the files of the window backend
// only.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <vector>

#include "platform.h"

namespace vortan {

struct DialogState {
  DialogSpec* dlg = nullptr;
  std::vector<Fl_Widget*> inputs;  // one per field
  Fl_Widget* default_button = nullptr;
  int pressed = 0;
};

// The box for `dlg`, not yet shown; `font` is the scaled size of ordinary
// text, `ui` the scale of every other measure.
Fl_Double_Window* build_dialog(DialogSpec& dlg, DialogState& st, int font, double ui);

// Gives the keyboard to the first field, or else to the default button.
void focus_first(DialogState& st);

// A status box: one line in a yellow, shadowed, borderless box.
Fl_Double_Window* build_status_box(const std::string& text, int font, double ui);

}  // namespace vortan
