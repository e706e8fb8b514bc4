#include "dialog_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "session_recorder.h"

namespace vortan {

namespace {

// One step of the box from top to bottom: a text line, or a row of fields
// (fields first..last).
struct Step {
  bool line;
  size_t index;  // the line, or the row's first field
  size_t last;   // the row's last field
};

bool starts_row(const std::vector<DialogField>& f, size_t k) {
  if (k == 0) return true;
  if (f[k].joins_row) return false;
  return !(f[k].column > 0 && f[k - 1].column > 0 && f[k].column > f[k - 1].column);
}

// Lines and rows in the order they stand: each line after the number of
// fields it follows, each row where its first field comes.
std::vector<Step> steps_of(const DialogSpec& d) {
  std::vector<Step> s;
  const size_t n = d.fields.size();
  for (size_t p = 0; p <= n; ++p) {
    for (size_t i = 0; i < d.lines.size(); ++i)
      if (static_cast<size_t>(std::clamp(d.lines[i].after_fields, 0, static_cast<int>(n))) == p)
        s.push_back({true, i, i});
    if (p < n && starts_row(d.fields, p)) {
      size_t last = p;
      while (last + 1 < n && !starts_row(d.fields, last + 1)) ++last;
      s.push_back({false, p, last});
    }
  }
  return s;
}

// The shortest text that reads back as v exactly, without an exponent
// where the number's size allows (100, not 1e+02).
std::string real_text(double v) {
  const std::string shortest = script_real(v);
  const double a = std::fabs(v);
  if (shortest.find('e') == std::string::npos || a < 1e-4 || a >= 1e15) return shortest;
  char buf[64];
  for (int decimals = 0; decimals <= 20; ++decimals) {
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    if (std::strtod(buf, nullptr) == v) return buf;
  }
  return shortest;
}

struct Placer {
  const DialogSpec& d;
  const DialogMeasure& m;
  DialogLayout& out;
  int y = 0;

  void grow(const DialogBox& b) {
    out.width = std::max(out.width, b.x + b.w);
    out.height = std::max(out.height, b.y + b.h);
  }
  // The widths of the tab-separated parts of a field's label.
  std::vector<int> label_part_w(size_t f) const {
    std::vector<int> w;
    if (!d.fields[f].label.empty())
      for (const std::string& part : tab_parts(d.fields[f].label)) w.push_back(m.text_w(part));
    return w;
  }
  int label_w(size_t f) const {
    int total = 0;
    for (int w : label_part_w(f)) total += (total > 0 ? m.gap : 0) + w;
    return total;
  }
  // Field f's label from x: each part at its stop (the stops of a run of
  // rows line the parts up), or just after the part before.
  DialogBox put_label(size_t f, int x, int y, const std::vector<int>& stops) {
    const std::vector<int> w = label_part_w(f);
    if (w.empty()) return {};
    int at = x;
    for (size_t k = 0; k < w.size(); ++k) {
      if (k > 0) at = std::max(at + m.gap, k < stops.size() ? x + stops[k] : 0);
      out.label_parts[f].push_back({at, y, w[k], m.row_h});
      at += w[k];
    }
    out.labels[f] = {x, y, at - x, m.row_h};
    grow(out.labels[f]);
    return out.labels[f];
  }

  // An ordinary line: its parts at the tab stops.
  void line(size_t i) {
    int x = 0;
    const int h = m.line_h(i);
    for (const std::string& part : tab_parts(d.lines[i].text)) {
      if (!out.line_parts[i].empty()) x = (x + m.gap + m.tab - 1) / m.tab * m.tab;
      DialogBox b{x, y, m.line_w(i, part), h};
      out.line_parts[i].push_back(b);
      grow(b);
      x += b.w;
    }
    y += h;
  }

  // Rows with labels beside their fields; the first fields of the rows of
  // one run line up after the widest first label, whose tab-separated
  // parts stand in columns.
  void rows(const std::vector<Step>& run) {
    std::vector<int> widest;
    for (const Step& r : run) {
      const std::vector<int> w = label_part_w(r.index);
      widest.resize(std::max(widest.size(), w.size()), 0);
      for (size_t k = 0; k < w.size(); ++k) widest[k] = std::max(widest[k], w[k]);
    }
    std::vector<int> stops(widest.size(), 0);
    for (size_t k = 1; k < widest.size(); ++k) stops[k] = stops[k - 1] + widest[k - 1] + m.gap;
    int lw = 0;
    for (const Step& r : run) {
      const std::vector<int> w = label_part_w(r.index);
      if (!w.empty()) lw = std::max(lw, stops[w.size() - 1] + w.back());
    }
    for (const Step& r : run) {
      int x = 0;
      for (size_t f = r.index; f <= r.last; ++f) {
        if (f == r.index) {
          put_label(f, 0, y, stops);
          x = lw > 0 ? lw + m.gap : 0;
        } else {
          const DialogBox b = put_label(f, x, y, {});
          x += b.w > 0 ? b.w + m.gap : 0;
        }
        out.fields[f] = {x, y, m.field_w(d.fields[f]), m.row_h};
        grow(out.fields[f]);
        x += out.fields[f].w + m.gap;
      }
      y += m.row_h + m.gap;
    }
  }

  // Column heads and the rows of fields under them.
  void table(const std::vector<size_t>& head_lines, const std::vector<Step>& run) {
    std::vector<std::pair<size_t, std::string>> heads;
    for (size_t i : head_lines)
      for (const std::string& part : tab_parts(d.lines[i].text)) heads.push_back({i, part});
    size_t cols = heads.size();
    for (const Step& r : run)
      for (size_t f = r.index; f <= r.last; ++f)
        cols = std::max(cols, static_cast<size_t>(d.fields[f].column));
    // A label stands in the column before its field when that one is free.
    auto label_apart = [&](const Step& r, size_t f) {
      const int c = d.fields[f].column;
      if (d.fields[f].label.empty() || c < 2) return false;
      for (size_t g = r.index; g <= r.last; ++g)
        if (d.fields[g].column == c - 1) return false;
      return true;
    };
    std::vector<int> width(cols + 1, 0), at(cols + 2, 0);
    for (size_t c = 0; c < heads.size(); ++c)
      width[c + 1] = m.line_w(heads[c].first, heads[c].second);
    for (const Step& r : run)
      for (size_t f = r.index; f <= r.last; ++f) {
        const int c = d.fields[f].column, fw = m.field_w(d.fields[f]), lw = label_w(f);
        if (label_apart(r, f)) width[c - 1] = std::max(width[c - 1], lw);
        width[c] = std::max(width[c], fw + (lw > 0 && !label_apart(r, f) ? lw + m.gap : 0));
      }
    for (size_t c = 2; c <= cols + 1; ++c) at[c] = at[c - 1] + width[c - 1] + 2 * m.gap;
    int h = 0;
    for (size_t i : head_lines) h = std::max(h, m.line_h(i));
    for (size_t c = 0; c < heads.size(); ++c) {
      DialogBox b{at[c + 1], y, m.line_w(heads[c].first, heads[c].second), h};
      out.line_parts[heads[c].first].push_back(b);
      grow(b);
    }
    y += h;
    for (const Step& r : run) {
      for (size_t f = r.index; f <= r.last; ++f) {
        const int c = d.fields[f].column, lw = label_w(f);
        int x = at[c];
        if (label_apart(r, f)) {
          put_label(f, at[c - 1], y, {});
        } else if (lw > 0) {
          put_label(f, x, y, {});
          x += lw + m.gap;
        }
        out.fields[f] = {x, y, m.field_w(d.fields[f]), m.row_h};
        grow(out.fields[f]);
      }
      y += m.row_h + m.gap;
    }
  }
};

}  // namespace

std::vector<std::string> tab_parts(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == '\t')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

std::string field_text(const DialogField& f) {
  switch (f.kind) {
    case DialogField::Integer: return std::to_string(f.ivalue);
    case DialogField::Real: return real_text(f.rvalue);
    case DialogField::Text: return f.svalue;
    case DialogField::List: break;
  }
  return "";
}

DialogLayout layout_dialog(const DialogSpec& d, const DialogMeasure& m) {
  DialogLayout out;
  out.line_parts.resize(d.lines.size());
  out.labels.resize(d.fields.size());
  out.label_parts.resize(d.fields.size());
  out.fields.resize(d.fields.size());
  Placer p{d, m, out};
  const std::vector<Step> steps = steps_of(d);
  auto columned = [&](const Step& s) { return !s.line && d.fields[s.index].column > 0; };
  for (size_t k = 0; k < steps.size();) {
    const Step& s = steps[k];
    if (s.line && d.lines[s.index].heads) {
      std::vector<size_t> heads;
      size_t j = k;
      while (j < steps.size() && steps[j].line && d.lines[steps[j].index].heads)
        heads.push_back(steps[j++].index);
      std::vector<Step> run;
      while (j < steps.size() && columned(steps[j])) run.push_back(steps[j++]);
      if (!run.empty()) {
        p.table(heads, run);
        k = j;
        continue;
      }
    }
    if (s.line) {
      p.line(s.index);
      ++k;
      continue;
    }
    std::vector<Step> run;
    while (k < steps.size() && !steps[k].line) run.push_back(steps[k++]);
    p.rows(run);
  }
  return out;
}

}  // namespace vortan
