#include "renumber.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "dat_file.h"
#include "help_screens.h"
#include "mesh_display.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {

// Meshes of fewer nodes than this have their matrix picture offered: each
// node then gets a cell of at least 2 pixels in the 420-pixel square.
constexpr int PICTURE_NODES = 211;
constexpr int PICTURE_SIDE = 420;


std::string num(long v) { return std::to_string(v); }

void set_identity(const MeshModel& m, Table1<int, MPOIN>& newnod, Table1<int, MELEM>& newelt) {
  for (int i = 1; i <= MPOIN; ++i) newnod(i) = i <= m.npoin ? i : 0;
  for (int i = 1; i <= MELEM; ++i) newelt(i) = i <= m.nelem ? i : 0;
}

// The element numbered k in an ordering, for k = 1..nelem.
void invert(const MeshModel& m, const Table1<int, MELEM>& order, Table1<int, MELEM>& inverse) {
  const int nelem = m.nelem;
  for (int k = 1; k <= nelem; ++k) inverse(k) = 0;
  for (int e = 1; e <= nelem; ++e)
    if (order(e) >= 1 && order(e) <= nelem) inverse(order(e)) = e;
}

// --- the dialogue ------------------------------------------------------------

// Marks a chosen start element with a cross at its centroid.
void mark_start(const MeshModel& m, int e) {
  const short old = plot_state().colour;
  SETCOL(14);
  const double half = 0.01 * std::max(plot_state().width, plot_state().height);
  MARPT(m.xycen(e, 1), m.xycen(e, 2), half);
  SETCOL(old);
  plat().graphics_update();
}

// Lets the user try start elements until End; newelt keeps the best
// ordering. False when a sweep was refused.
bool try_start_elements(const MeshModel& m, Table1<int, MELEM>& newelt, RenumberWork& w) {
  const int nelem = m.nelem;
  int best = frontwidth(m, newelt, w);
  bool improved = false;
  for (;;) {
    const int start = PICKEL(m, "Click on an element to start reordering at, or click End");
    if (start < 1 || start > nelem) break;
    mark_start(m, start);
    if (!sweep(m, start, w)) {
      PUTERR("Too many levels encountered.");
      return false;
    }
    const int trial = frontwidth(m, w.neword, w);
    MPUT("This gives frontwidth of " + num(trial), " - previous best was " + num(best));
    if (trial < best) {
      for (int e = 1; e <= nelem; ++e) newelt(e) = w.neword(e);
      best = trial;
      improved = true;
      BEEPZ();
    }
  }
  if (!improved) PUT("No improved element ordering");
  return true;
}

// Asks whether the nodes are to follow the new element order and keeps the
// new numbers only when they reduce the half-bandwidth. Returns the
// half-bandwidth in force; `renumbered` tells whether newnod changed.
int ask_node_numbering(const MeshModel& m, const Table1<int, MELEM>& newelt,
                       Table1<int, MPOIN>& newnod, RenumberWork& w, bool& renumbered) {
  char answer;
  while ((answer = YESNOH("Do you want to renumber the nodes?")) == 'h') HPREDN();
  const int before = half_bandwidth(m, newnod);
  renumbered = false;
  if (answer != 'y') return before;
  number_nodes(m, newelt, newnod, w);
  const int after = half_bandwidth(m, newnod);
  if (after < before) {
    PUT("Half-bandwidth reduced from " + num(before) + " to " + num(after));
    renumbered = true;
    return after;
  }
  PUTERR("Reordering increases bandwidth - ignored.");
  for (int n = 1; n <= m.npoin; ++n) newnod(n) = n;
  return before;
}

// Shows the matrix blocks element by element in `order` (the element
// numbered k is order(k)), node numbers taken through `numbers`.
void show_matrix(const MeshModel& m, const std::string& caption, int bandwidth,
                 const Table1<int, MELEM>& order, const Table1<int, MPOIN>& numbers,
                 bool new_numbers) {
  const int cell = PICTURE_SIDE / std::max(m.npoin, 1);
  plat().fb().fill_rect(AREA_X1, AREA_Y1, AREA_X2, AREA_Y2, BACKGROUND);
  // The matrix itself on white, so its filled blocks stand out.
  plat().fb().fill_rect(41, 41, 40 + PICTURE_SIDE, 40 + PICTURE_SIDE, 15);
  plat().graphics_update();
  OUTGI(caption, bandwidth);
  for (int k = 1; k <= m.nelem; ++k) {
    const int e = order(k);
    if (e < 1 || e > m.nelem) continue;
    int nodes[MNODE];
    const int nn = m.nnode(e);
    for (int i = 0; i < nn; ++i) {
      const int n = m.lnods(e, i + 1);
      nodes[i] = valid_node(m, n) ? numbers(n) : 0;
    }
    ELSTM(nn, nodes, cell, 4);
    DialogSpec d;
    d.icon = DialogIcon::Information;
    d.lines.push_back(DialogLine{"Element " + fmt_I(new_numbers ? k : e, 5)});
    for (int i = 0; i < nn; ++i)
      d.lines.push_back(DialogLine{"Node " + fmt_I(i + 1, 1) + " is " + fmt_I(nodes[i], 5)});
    d.buttons = {"OK"};
    plat().dialog(d);
    ELSTM(nn, nodes, cell, 0);
  }
  TELL("Click to continue");
  SLEEPZ(0.3);
  double x, y;
  pick_click(x, y);
}

void offer_matrix_picture(const MeshModel& m, const Table1<int, MELEM>& newelt,
                          const Table1<int, MPOIN>& newnod, int original, int reordered,
                          bool nodes_renumbered, RenumberWork& w) {
  if (m.npoin >= PICTURE_NODES) {
    PUT("Large mesh - cannot show global matrix structure");
    return;
  }
  char answer;
  while ((answer = YESNOH("Do you want to see the global stiffness matrix structure?")) == 'h')
    HPGMAT();
  if (answer != 'y') return;
  Table1<int, MELEM>& order = w.neword;  // free again once the trials are over
  Table1<int, MPOIN>& same = w.lowest;
  for (int k = 1; k <= m.nelem; ++k) order(k) = k;
  for (int n = 1; n <= m.npoin; ++n) same(n) = n;
  show_matrix(m, "Here is the original matrix, halfbandwidth", original, order, same, false);
  if (!nodes_renumbered) return;
  invert(m, newelt, order);
  show_matrix(m, "Here is the reordered matrix, halfbandwidth", reordered, order, newnod, true);
}

}  // namespace

// --- the working tables --------------------------------------------------------

bool NODELS(const MeshModel& m, RenumberWork& w) {
  const int npoin = m.npoin, nelem = m.nelem;
  for (int n = 1; n <= npoin; ++n) w.nelnod(n) = 0;
  bool fits = true;
  for (int e = 1; e <= nelem; ++e)
    for (int k = 1; k <= m.nnode(e); ++k) {
      const int n = m.lnods(e, k);
      if (!valid_node(m, n)) continue;
      const int count = w.nelnod(n);
      if (count > 0 && w.nodel(n, std::min(count, MNODE)) == e) continue;  // node repeated
      if (count == MNODE) {
        fits = false;
        continue;
      }
      w.nelnod(n) = count + 1;
      w.nodel(n, count + 1) = e;
    }
  return fits;
}

int frontwidth(const MeshModel& m, const Table1<int, MELEM>& order, RenumberWork& w) {
  const int npoin = m.npoin;
  for (int n = 1; n <= npoin; ++n) {
    w.lowest(n) = MELEM + 1;
    w.highest(n) = 0;
  }
  for (int e = 1; e <= m.nelem; ++e)
    for (int k = 1; k <= m.nnode(e); ++k) {
      const int n = m.lnods(e, k);
      if (!valid_node(m, n)) continue;
      w.lowest(n) = std::min(w.lowest(n), order(e));
      w.highest(n) = std::max(w.highest(n), order(e));
    }
  int width = 0;
  for (int n = 1; n <= npoin; ++n)
    if (w.highest(n) > 0) width = std::max(width, w.highest(n) - w.lowest(n));
  return width;
}

bool sweep(const MeshModel& m, int start, RenumberWork& w) {
  const int nelem = m.nelem, npoin = m.npoin;
  for (int e = 1; e <= nelem; ++e) w.neword(e) = 0;
  if (start < 1 || start > nelem) return false;
  int count = 1, size = 1;
  w.neword(start) = 1;
  w.level[0] = start;
  bool fits = true;
  while (count < nelem && fits) {
    int grown = 0;
    for (int i = 0; i < size && count < nelem && fits; ++i) {
      const int e = w.level[i];
      for (int k = 1; k <= m.nnode(e) && count < nelem && fits; ++k) {
        const int n = m.lnods(e, k);
        if (!valid_node(m, n) || w.nelnod(n) <= 0) continue;  // visited, or in no list
        w.nelnod(n) = -w.nelnod(n);
        for (int j = 1; j <= -w.nelnod(n) && count < nelem; ++j) {
          const int f = w.nodel(n, j);
          if (w.neword(f) != 0) continue;
          w.neword(f) = ++count;
          if (count == nelem) break;  // nothing left to reach from it
          if (grown == MLEVEL) {
            fits = false;
            break;
          }
          w.next[grown++] = f;
        }
      }
    }
    // A piece of the mesh swept to its end: go on from the lowest-numbered
    // element not yet reached.
    if (grown == 0 && count < nelem && fits) {
      int f = 1;
      while (w.neword(f) != 0) ++f;
      w.neword(f) = ++count;
      w.next[grown++] = f;
    }
    std::swap(w.level, w.next);
    size = grown;
  }
  for (int n = 1; n <= npoin; ++n) w.nelnod(n) = std::abs(w.nelnod(n));
  return fits;
}

void number_nodes(const MeshModel& m, const Table1<int, MELEM>& newelt,
                  Table1<int, MPOIN>& newnod, RenumberWork& w) {
  const int npoin = m.npoin, nelem = m.nelem;
  for (int n = 1; n <= npoin; ++n) newnod(n) = 0;
  invert(m, newelt, w.oldelt);
  int next = 0;
  for (int k = 1; k <= nelem; ++k) {
    const int e = w.oldelt(k);
    if (e == 0) continue;
    for (int i = 1; i <= m.nnode(e); ++i) {
      const int n = m.lnods(e, i);
      if (valid_node(m, n) && newnod(n) == 0) newnod(n) = ++next;
    }
  }
  for (int n = 1; n <= npoin; ++n)
    if (newnod(n) == 0) newnod(n) = ++next;
}

int half_bandwidth(const MeshModel& m, const Table1<int, MPOIN>& numbers) {
  int spread = 0;
  for (int e = 1; e <= m.nelem; ++e) {
    int lo = MPOIN + 1, hi = 0;
    for (int k = 1; k <= m.nnode(e); ++k) {
      const int n = m.lnods(e, k);
      if (!valid_node(m, n)) continue;
      lo = std::min(lo, numbers(n));
      hi = std::max(hi, numbers(n));
    }
    if (hi > 0) spread = std::max(spread, hi - lo);
  }
  return (spread + 1) * std::abs(m.ndofn);
}

// --- the renumbered Part A -------------------------------------------------------

void write_renumbered(std::ostream& unit, const MeshModel& m, const Table1<int, MPOIN>& newnod,
                      const Table1<int, MELEM>& newelt) {
  auto put = [&](const std::string& s) { unit << s << '\n'; };
  write_part_a_head(unit, m);

  const int nelem = m.nelem, npoin = m.npoin;
  auto node_number = [&](int n) { return valid_node(m, n) ? newnod(n) : n; };
  put("nside typ/set elt     nodes");
  for (int e = 1; e <= nelem; ++e) {
    Rec r;
    r.I(e == nelem ? 1 : 0, 1).I(m.nside(e), 4).I(m.mattyp(e), 2).I(m.matset(e), 3);
    r.I(newelt(e), 5);
    for (int k = 1; k <= m.nnode(e); ++k) r.I(node_number(m.lnods(e, k)), 5);
    put(r);
  }

  put("kode  node  x-coord   y-coord ndof");
  for (int n = 1; n <= npoin; ++n) put(node_record(m, n, newnod(n), n == npoin));
  write_properties(unit, m, "  set cmpnt        value");
}

// --- the matrix picture ------------------------------------------------------------

void ELSTM(int n, const int* nodes, int cell, int colour) {
  if (cell < 2) return;
  auto paint = [&](int a, int b) {
    const int x = 40 + (a - 1) * cell + 1, y = 40 + (b - 1) * cell + 1;
    const int x2 = x + cell - 2, y2 = y + cell - 2;
    if (x < AREA_X1 || y <= AREA_Y1 || x2 > AREA_X2 || y2 > AREA_Y2) return;
    plat().fb().fill_rect(x, y, x2, y2, colour);
  };
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n; ++j) {
      if (nodes[i] < 1 || nodes[j] < 1) continue;
      paint(nodes[i], nodes[j]);
      paint(nodes[j], nodes[i]);
    }
  plat().graphics_update();
}

// --- the whole renumbering -----------------------------------------------------------

int REDUCE(MeshModel& m, std::ostream& out, Table1<int, MPOIN>& newnod,
           Table1<int, MELEM>& newelt, RenumberWork& w) {
  set_identity(m, newnod, newelt);
  if (m.nelem < 1) return 1;
  CENTRD(m);
  int ybar[2];
  RIGBAR(1, 1, ybar);
  BARLAB(1, ybar, " End ");

  const bool fits = NODELS(m, w);
  OUTGI("Original frontwidth = ", frontwidth(m, newelt, w));
  if (!fits) {
    PUTERR("Too many elts meeting at a single node.");
    SLEEPZ(1.0);
    return 1;
  }
  if (!try_start_elements(m, newelt, w)) {
    set_identity(m, newnod, newelt);
    return 1;
  }

  const int original = half_bandwidth(m, newnod);
  bool nodes_renumbered = false;
  const int reordered = ask_node_numbering(m, newelt, newnod, w, nodes_renumbered);
  offer_matrix_picture(m, newelt, newnod, original, reordered, nodes_renumbered, w);

  // The caller saves the renumbered Part A in place of the last one.
  write_renumbered(out, m, newnod, newelt);
  if (!out) {
    set_identity(m, newnod, newelt);
    return 1;
  }
  return 0;
}

}  // namespace vortan
