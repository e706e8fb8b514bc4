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
  std::vector<Fl_Widget*> inputs;   // one per field
  std::vector<Fl_Widget*> buttons;  // one per button, left to right
  Fl_Widget* default_button = nullptr;
  int pressed = 0;
};

// The 1-based button that a key or a close presses in `dlg`, 0 for none:
// Return the focused button, else the default; y and n the buttons "Yes"
// and "No"; Esc and the close box "Cancel" or else "No" (a box of one
// button and no field, a message, closes as its button; any other box
// only beeps, so that a closed box is never taken as an answer or a value).
int button_for_close(const DialogSpec& dlg);
int button_for_letter(const DialogSpec& dlg, char letter);

// The box for `dlg`, not yet shown; `font` is the scaled size of ordinary
// text, `ui` the scale of every other measure.
Fl_Double_Window* build_dialog(DialogSpec& dlg, DialogState& st, int font, double ui);

// Gives the keyboard to the first field, or else to the default button.
void focus_first(DialogState& st);

// A status box: one line in a yellow, shadowed, borderless box.
Fl_Double_Window* build_status_box(const std::string& text, int font, double ui);

}  // namespace vortan
