// The right-hand toolbar, the heading strip and the cursor read-out of the
// graphics window.
#pragma once

#include <string>

#include "platform/platform.h"
#include "plot.h"

namespace vortan {

// Fills the bar and stacks n buttons from the bottom; ybar[0..n] receives
// the band edges (ybar[0] = 479, ybar[i] the top edge of button i). Only
// buttons up to `active` are filled.
void RIGBAR(int n, int active, int* ybar);
// Draws a button label 4 pixels below the top edge of button i.
void BARLAB(int i, const int* ybar, const std::string& label);
// Clears the heading strip and draws the heading at (5, 25) in colour 15.
void HEADNG(const std::string& text);
// HEADNG of a plot's name and title, cut to their first 60 characters.
void plot_heading(const std::string& text);
// Redraws "Cursor: (x,y)" for the pixel position in world coordinates.
void CURSRD(int ix, int iy);
// The cursor read-out itself: its box (300, 460)-(498, 478) cleared to the
// drawing area's colour and "Cursor: (x,y)" drawn at (300, 463).
void show_cursor(double x, double y);
// Polls until a button is down and returns that poll, its release left to
// the next poll; the cursor read-out follows the pointer unless `readout`
// is false.
MouseState button_down(bool readout = true);
// Polls until a button goes down and waits for its release, so that one
// press is taken once; the cursor read-out follows the pointer unless
// `readout` is false (plots whose key lies under the read-out's box).
// Returns the press.
MouseState next_press(bool readout = true);

// Where a press lands. The heading strip ends with its edge row at
// AREA_Y1; the toolbar lies right of AREA_X2.
// Below the heading's edge row.
inline bool below_heading(const MouseState& s) { return s.y > AREA_Y1; }
// In the drawing area: left of the toolbar and below the heading's edge row.
inline bool in_drawing_area(const MouseState& s) { return s.x <= AREA_X2 && below_heading(s); }
// On the toolbar: right of the drawing area, from the heading's edge row down.
inline bool on_toolbar(const MouseState& s) { return s.x > AREA_X2 && s.y >= AREA_Y1; }
// The button of the toolbar band holding pixel row y (button 1 takes every
// row below button 2's band), 0 above the top button.
int bar_button(int n, const int* ybar, int y);
// The button whose closed band [ybar(i), ybar(i-1)] holds pixel row y,
// tested from button 1 upwards (an edge row belongs to the lower button);
// 0 outside every band.
int bar_button_closed(int n, const int* ybar, int y);

}  // namespace vortan
