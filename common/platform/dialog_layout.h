// Where the parts of a dialog box stand: text lines (their tab-separated
// parts at tab stops), column heads over the columns of the field rows
// below them, labels beside their fields (a label's tab-separated parts in
// columns down the rows), notes where the description puts
// them. Positions are relative to the top left of the box's text area; the
// window backend adds its margins, icon and buttons. Kept free of any
// toolkit so that it can be tested on its own.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform.h"

namespace vortan {

struct DialogBox {
  int x = 0, y = 0, w = 0, h = 0;
};

struct DialogMeasure {
  // Width of a text in the box's ordinary font, and of a part of line i
  // (which may have a font of its own).
  std::function<int(const std::string&)> text_w;
  std::function<int(size_t line, const std::string&)> line_w;
  std::function<int(size_t line)> line_h;
  std::function<int(const DialogField&)> field_w;
  int row_h = 30;  // height of a row of fields
  int gap = 8;     // between a label and its field, and between columns
  int tab = 64;    // tab stop spacing of ordinary lines
};

struct DialogLayout {
  std::vector<std::vector<DialogBox>> line_parts;  // per line, per tab part
  std::vector<DialogBox> labels;                    // per field (w 0: none)
  std::vector<std::vector<DialogBox>> label_parts;  // per field, per tab part
  std::vector<DialogBox> fields;                    // per field
  int width = 0, height = 0;                        // of the whole text area
};

// The parts of a line, split at its tabs.
std::vector<std::string> tab_parts(const std::string& text);

// What a number or text field shows at first: its value as text, a real
// as the shortest text that reads back as the same number, without an
// exponent where its size allows (100, not 1e+02).
std::string field_text(const DialogField& f);

DialogLayout layout_dialog(const DialogSpec& dlg, const DialogMeasure& m);

}  // namespace vortan
