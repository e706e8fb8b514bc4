// Mesh modification: the level and extra d.o.f.s of the mesh, then the
// graphical menu that changes constraints, moves nodes, adds and deletes
// elements. Unused nodes are removed before every showing of the menu.
#include "modify_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "create_mesh.h"
#include "help_screens.h"
#include "mesh_display.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {

enum MenuButton { DELETE_ELTS = 1, ADD_ELTS, CHANGE_COORDS, NEW_CONSTRAINTS, CONTINUE };


// A press inside the drawing area, in world coordinates.
void click_in_area(double& x, double& y) {
  for (;;) {
    MouseState s = next_press();
    if (!in_drawing_area(s)) continue;
    PXLMAP(s.x, s.y, x, y);
    return;
  }
}

void end_bar() {
  int ybar[2];
  RIGBAR(1, 1, ybar);
  BARLAB(1, ybar, "End");
}

// Draws the mesh in the window of the rectangle; returns the frame inside
// which elements are drawn and nodes picked.
MeshWindow plot_window(const MeshModel& m, double x1, double x2, double y1, double y2,
                       bool zoomed) {
  MeshWindow frame;
  STZOOM(x1, x2, y1, y2, frame);
  plat().fb().line(0, 34, 639, 34, 15);
  FAXES(frame.xmin, frame.xmax, frame.ymin, frame.ymax, plot_state().charsize, -1);
  PLMESH(m, frame, zoomed, false, false);
  plat().graphics_update();
  return frame;
}

MeshWindow plot_whole(MeshModel& m) {
  CENTRD(m);
  double xmin, xmax, ymin, ymax;
  BOUNDS(m.npoin, m.coord, xmin, xmax, ymin, ymax);
  return plot_window(m, xmin, xmax, ymin, ymax, false);
}

int menu_choice() {
  int ybar[6];
  RIGBAR(5, 5, ybar);
  const char* labels[] = {"", "Delete elts", "Add elts", "Change coords", "New constraints",
                          "Continue"};
  for (int i = 1; i <= 5; ++i) BARLAB(i, ybar, labels[i]);
  TELL("Choose a menu item, or continue for mat. properties");
  for (;;) {
    MouseState s = next_press();
    if (!on_toolbar(s)) continue;
    const int b = bar_button_closed(5, ybar, s.y);
    if (b == 0) continue;
    if (s.buttons & MOUSE_LEFT) return b;
    if (b == CONTINUE) HPPROP();
    if (b == NEW_CONSTRAINTS) HPCNST();
    if (b == CHANGE_COORDS) HPCORD();
  }
}

// The zoom offer before an action; a zoom replaces the frame.
void zoom_offer(const MeshModel& m, MeshWindow& frame) {
  end_bar();
  char answer;
  while ((answer = YESNOH("Do you want to zoom?")) == 'h') HPZOOM();
  if (answer != 'y') return;
  TELL("Click on opposite corners defining zoom area:");
  const double half = 0.01 * (frame.xmax - frame.xmin);
  double x[2], y[2];
  SETCOL(15);
  for (int got = 0; got < 2;) {
    click_in_area(x[got], y[got]);
    if (got == 1 && std::fabs(x[1] - x[0]) < 1.0e-6 && std::fabs(y[1] - y[0]) < 1.0e-6) continue;
    MARPT(x[got], y[got], half);
    ++got;
  }
  end_tell();
  GGBOX(x[0], x[1], y[0], y[1]);
  plat().graphics_update();
  SLEEPZ(1.0);
  frame = plot_window(m, x[0], x[1], y[0], y[1], true);
  end_bar();
}

// --- 1 and 2: level, extra parameters, extra d.o.f.s ----------------------

void choose_level(MeshModel& m) {
  if (m.ndofn <= 0) return;
  char answer;
  while ((answer = YESNOH(" Do you want to write new mesh at Advanced level?")) == 'h') HPLEVL();
  if (answer == 'y') m.ndofn = -m.ndofn;
}

void extra_parameters(MeshModel& m) {
  DialogSpec d;
  d.caption = "Extra mesh parameters";
  d.lines = {DialogLine{"Add or change extra mesh parameters, if required"}};
  const char* ordinal[] = {"", "1st", "2nd", "3rd", "4th"};
  for (int i = 1; i <= 4; ++i) {
    d.fields.push_back(real_field(std::string(ordinal[i]) + " real parameter = ", m.rextra[i], 10));
    // The integers are written five columns wide in the data file.
    d.fields.push_back(
        integer_field(std::string(ordinal[i]) + " integer parameter = ", m.iextra[i], -9999, 99999, 5));
  }
  d.buttons = {"OK"};
  dialog_fitting(d, {F10_5, I5, F10_5, I5, F10_5, I5, F10_5, I5});
  for (int i = 1; i <= 4; ++i) {
    m.rextra[i] = d.fields[2 * (i - 1)].rvalue;
    m.iextra[i] = static_cast<int>(d.fields[2 * (i - 1) + 1].ivalue);
  }
}

void additional_dofs(MeshModel& m) {
  char answer;
  while ((answer = YESNOH("Do you want to add additional degrees of freedom?")) == 'h') HPDOF();
  if (answer != 'y') return;
  const int base = std::abs(m.ndofn);
  int top = 1;
  for (int e = 1; e <= m.nelem; ++e) top = std::max(top, m.mattyp(e));
  long corner = base, midside = base;
  do {
    long type;
    for (;;) {
      DialogSpec which;
      which.caption = "Additional degrees of freedom";
      which.lines = {DialogLine{"Which material type will have these extra d.o.f.s?"},
                     DialogLine{"(Choose 0 to apply to all nodes)"}};
      which.fields = {integer_field("", 0, 0, top, 5)};
      which.buttons = {"OK"};
      plat().dialog(which);
      type = which.fields[0].ivalue;
      DialogSpec counts;
      counts.caption = "Additional degrees of freedom";
      counts.lines = {DialogLine{"How many degrees of freedom ...."},
                      DialogLine{"At corner nodes", true, false, true},
                      DialogLine{"At midside nodes", true, false, true}};
      counts.fields = {integer_field("", corner, base, 4, 3), integer_field("", midside, base, 4, 3)};
      counts.fields[0].column = 1;
      counts.fields[1].column = 2;
      counts.buttons = {"OK"};
      plat().dialog(counts);
      corner = std::clamp<long>(counts.fields[0].ivalue, base, 4);
      midside = std::clamp<long>(counts.fields[1].ivalue, base, 4);
      if (corner >= midside) break;
      PUTERR("Ndof cannot be less at corners than at midsides!");
    }
    set_material_dofs(m, static_cast<int>(type), static_cast<int>(corner),
                      static_cast<int>(midside));
  } while (YESNOG("Add d.o.f.s for another material type?") == 'y');
  MPUT("No. of d.o.f.s and fixity codes at all nodes updated.",
       "Fixities of new dof.s can be set using New Constraints");
}

// --- 6 and 7: constraints and coordinates -------------------------------------

void new_constraints(MeshModel& m, MeshWindow frame) {
  zoom_offer(m, frame);
  do {
    const int n = PICKNZ(m, "Click on node to be changed:", frame);
    if (n == 0) return;
    const int old = std::clamp(m.ndof(n), 1, 4);
    DialogSpec d;
    d.caption = "D.o.f.s of node";
    d.lines = {DialogLine{"Degrees of freedom at node " + std::to_string(n)}};
    d.fields = {integer_field("No. of d.o.f.s at node = ", old, 1, 4, 3)};
    d.buttons = {"OK", "Cancel"};
    if (plat().dialog(d) == 2) return;
    const int count = static_cast<int>(std::clamp<long>(d.fields[0].ivalue, 1, 4));
    int kode = resize_kode(m.kode(n), old, count);
    SETKOD(count, kode);
    m.kode(n) = kode;
    m.ndof(n) = count;
    LABNOD(m, n, n, frame);
    SLEEPZ(0.1);
  } while (YESNOG("Change another node?") == 'y');
}

void change_coords(MeshModel& m, MeshWindow frame) {
  zoom_offer(m, frame);
  const int n = PICKNZ(m, "Click on a node to be moved...", frame);
  if (n == 0) return;
  TELL("Now click on new position for the node...");
  double x, y;
  click_in_area(x, y);
  SETCOL(15);
  MARPT(x, y, 0.01 * (frame.xmax - frame.xmin));
  plat().graphics_update();
  DialogSpec d;
  d.caption = "Vortan - node coords";
  d.lines = {DialogLine{"New coords of node " + std::to_string(n) + ":"},
             DialogLine{"Adjust values if needed, then click OK"}};
  d.fields = {real_field("x-coord = ", x, 10), real_field("y-coord = ", y, 10)};
  d.buttons = {"OK", "Cancel"};
  if (dialog_fitting(d, {F10_5, F10_5}) != 1) return;
  m.coord(n, 1) = d.fields[0].rvalue;
  m.coord(n, 2) = d.fields[1].rvalue;
  CENTRD(m);
}

// --- 8: adding an element ---------------------------------------------------------

// The type, material type and property set of the new element; false on Cancel.
bool define_new_element(const MeshModel& m, int& sides, int& nodes, int& type, int& set) {
  DialogSpec d;
  d.caption = "Define new element";
  d.lines = {DialogLine{"Define element type by no. of sides and nodes"},
             DialogLine{"No. of  sides", true, false, true},
               DialogLine{"No. of nodes", true, false, true}};
  d.fields = {integer_field("", 1, 1, 4, 3), integer_field("", 1, 1, 8, 3),
              integer_field("Material type = ", 1, 1, 8, 3),
              integer_field("Material property set = ", 1, 1, 8, 3)};
  d.fields[0].column = 1;  // under the heads
  d.fields[1].column = 2;
  d.buttons = {"OK", "Cancel"};
  for (;;) {
    if (plat().dialog(d) != 1) return false;
    sides = static_cast<int>(std::clamp<long>(d.fields[0].ivalue, 1, 4));
    nodes = static_cast<int>(std::clamp<long>(d.fields[1].ivalue, 1, MNODE));
    type = static_cast<int>(d.fields[2].ivalue);
    set = static_cast<int>(d.fields[3].ivalue);
    if (element_type_code(element_key(nodes, sides)) == 0) {
      PUTERR("Not a valid element type. ");
      continue;
    }
    // An element may only refer to a property set that exists.
    if (set < 1 || set > m.npros) {
      PUTERR("Invalid set no. Try again:");
      continue;
    }
    return true;
  }
}

// The node numbers around the new element into v[1..nodes]; false on Cancel.
bool ask_element_nodes(const MeshModel& m, int nodes, int* v) {
  DialogSpec d;
  d.caption = "Nodes around element";
  d.lines = {DialogLine{"Enter node numbers around element anticlockwise:"},
             DialogLine{.text = "Local node no.\tGlobal node no.", .heads = true, .underline = true},
             DialogLine{.text = "Number new nodes starting from " + std::to_string(m.npoin + 1),
                        .after_fields = nodes}};
  for (int k = 1; k <= nodes; ++k) {
    // The local number stands under the first head, the field under the second.
    d.fields.push_back(integer_field(fmt_I(k, 8) + "          ", 0, 1, MPOIN, 6));
    d.fields.back().column = 2;
  }
  d.buttons = {"OK", "Cancel"};
  for (;;) {
    if (plat().dialog(d) != 1) return false;
    bool ok = true;
    for (int k = 1; k <= nodes; ++k) {
      const long n = d.fields[k - 1].ivalue;
      ok = ok && n >= 1 && n <= MPOIN;
      v[k] = static_cast<int>(n);
    }
    if (ok) return true;
    PUTERR("Node numbers must lie between 1 and " + std::to_string(MPOIN) + ". Try again:");
  }
}

// Coordinates, fixity code and d.o.f. of a node the new element brings.
void new_node_details(MeshModel& m, int n) {
  const int base = std::abs(m.ndofn);
  const bool basic = m.ndofn > 0;
  DialogSpec d;
  d.caption = "Details of new node";
  d.lines = {DialogLine{"Details of node " + std::to_string(n)},
             DialogLine{"Midside nodes left as (0,0) will be interpolated"}};
  d.fields = {real_field("X-coord = ", 0.0, 10), real_field("Y-coord = ", 0.0, 10)};
  if (basic)
    for (int i = 1; i <= base; ++i)
    {
      d.fields.push_back(integer_field(i == 1 ? "Fixity code = " : "", 0, 0, 1, 1));
      d.fields.back().joins_row = i > 1;  // the digits side by side
    }
  d.buttons = {"OK"};
  dialog_fitting(d, {F10_5, F10_5});
  m.coord(n, 1) = d.fields[0].rvalue;
  m.coord(n, 2) = d.fields[1].rvalue;
  if (basic) {
    int kode = 0;
    for (int i = 1; i <= base; ++i) kode = 10 * kode + static_cast<int>(d.fields[1 + i].ivalue);
    m.kode(n) = kode;
    m.ndof(n) = base;
    return;
  }
  DialogSpec c;
  c.caption = "Details of new node";
  c.fields = {integer_field("No. of d.o.f.s at node = ", base, 1, 4, 3)};
  c.buttons = {"OK"};
  plat().dialog(c);
  const int count = static_cast<int>(std::clamp<long>(c.fields[0].ivalue, 1, 4));
  int kode = 0;
  SETKOD(count, kode);
  m.kode(n) = kode;
  m.ndof(n) = count;
}

void add_element(MeshModel& m, MeshWindow frame) {
  if (m.nelem >= MELEM) {
    PUTERR("Max. no. of elements already reached");
    return;
  }
  zoom_offer(m, frame);
  LABNOD(m, 1, m.npoin, frame);
  const int e = m.nelem + 1;
  int sides, nodes, type, set;
  if (!define_new_element(m, sides, nodes, type, set)) return;
  int v[MNODE + 1] = {};
  if (!ask_element_nodes(m, nodes, v)) return;

  // Nodes numbered above the mesh's last node are new: ask for each once.
  const int old_npoin = m.npoin;
  bool left_at_origin[MNODE + 1] = {};
  for (int k = 1; k <= nodes; ++k) {
    const int n = v[k];
    if (n <= old_npoin) continue;
    bool asked = false;
    for (int j = 1; j < k; ++j) asked = asked || v[j] == n;
    if (!asked) new_node_details(m, n);
    left_at_origin[k] = m.coord(n, 1) == 0.0 && m.coord(n, 2) == 0.0;
    m.npoin = std::max(m.npoin, n);
  }

  // Midside nodes left at (0,0) lie halfway between their corners; nodes
  // that were already in the mesh are never moved.
  double xs[MNODE + 1] = {}, ys[MNODE + 1] = {};
  for (int k = 1; k <= nodes; ++k) {
    xs[k] = m.coord(v[k], 1);
    ys[k] = m.coord(v[k], 2);
  }
  MSNVAL(nodes, sides, xs);
  MSNVAL(nodes, sides, ys);
  double sx = 0, sy = 0;
  for (int k = 1; k <= nodes; ++k) {
    if (left_at_origin[k]) {
      m.coord(v[k], 1) = xs[k];
      m.coord(v[k], 2) = ys[k];
    }
    sx += m.coord(v[k], 1);
    sy += m.coord(v[k], 2);
  }
  for (int k = 1; k <= MNODE; ++k) m.lnods(e, k) = k <= nodes ? v[k] : 0;
  m.xycen(e, 1) = sx / nodes;
  m.xycen(e, 2) = sy / nodes;
  m.nnode(e) = nodes;
  m.nside(e) = sides;
  m.mattyp(e) = type;
  m.matset(e) = set;
  m.nelem = e;
  OUTGI("New element is number ", e);
}

// --- 9: deleting elements ---------------------------------------------------------

void delete_elements(MeshModel& m, const MeshWindow& frame, Table1<int, MELEM>& marks) {
  end_bar();
  SLEEPZ(1.0);
  for (int e = 1; e <= MELEM; ++e) marks(e) = e <= m.nelem ? e : 0;
  if (PICKLL(m, marks, frame) == 0) return;
  SETCOL(14);
  const double half = 0.01 * (frame.xmax - frame.xmin);
  for (int e = 1; e <= m.nelem; ++e)
    if (marks(e) < 0) MARPT(m.xycen(e, 1), m.xycen(e, 2), half);
  plat().graphics_update();
  if (delete_marked_elements(m, marks) == 0)
    PUTERR("At least one element must remain - nothing deleted.");
}

}  // namespace

// --- the steps -------------------------------------------------------------------

bool is_midside(int key, int position) {
  switch (key) {
    case 84:
      return position == 2 || position == 4 || position == 6 || position == 8;
    case 63:
      return position == 2 || position == 4 || position == 6;
    case 62:
    case 64:
      return position == 2 || position == 5;
    case 53:
    case 31:
      return position == 2;
    default:
      return false;
  }
}

int resize_kode(int kode, int from, int to) {
  for (; from < to; ++from) kode *= 10;
  for (; from > to; --from) kode /= 10;
  return kode;
}

void set_material_dofs(MeshModel& m, int mattyp, int corner, int midside) {
  for (int e = 1; e <= m.nelem; ++e) {
    if (mattyp != 0 && m.mattyp(e) != mattyp) continue;
    const int key = element_key(m.nnode(e), m.nside(e));
    for (int k = 1; k <= m.nnode(e); ++k) {
      const int n = m.lnods(e, k);
      if (!valid_node(m, n)) continue;
      const int count = is_midside(key, k) ? midside : corner;
      const int old = m.ndof(n) >= 1 ? m.ndof(n) : std::abs(m.ndofn);
      m.kode(n) = resize_kode(m.kode(n), old, count);
      m.ndof(n) = count;
    }
  }
}

int remove_unused_nodes(MeshModel& m, Table1<int, MPOIN>& newnod) {
  const int npoin = m.npoin;
  newnod.fill(0);
  for (int e = 1; e <= m.nelem; ++e)
    for (int k = 1; k <= m.nnode(e); ++k) {
      const int n = m.lnods(e, k);
      if (n >= 1 && n <= npoin) newnod(n) = 1;
    }
  int used = 0;
  for (int n = 1; n <= npoin; ++n)
    if (newnod(n)) newnod(n) = ++used;
  if (used == npoin) return 0;
  PUT("Deleting unused nodes and renumbering...");
  SLEEPZ(0.2);
  // New numbers never exceed old ones, so moving upwards is safe.
  for (int n = 1; n <= npoin; ++n) {
    const int k = newnod(n);
    if (k == 0 || k == n) continue;
    m.coord(k, 1) = m.coord(n, 1);
    m.coord(k, 2) = m.coord(n, 2);
    m.kode(k) = m.kode(n);
    m.ndof(k) = m.ndof(n);
  }
  for (int e = 1; e <= m.nelem; ++e)
    for (int k = 1; k <= m.nnode(e); ++k) {
      const int n = m.lnods(e, k);
      if (n >= 1 && n <= npoin) m.lnods(e, k) = newnod(n);
    }
  for (int n = used + 1; n <= npoin; ++n) {
    m.coord(n, 1) = m.coord(n, 2) = 0.0;
    m.kode(n) = 0;
    m.ndof(n) = 0;
  }
  m.npoin = used;
  return npoin - used;
}

int delete_marked_elements(MeshModel& m, const Table1<int, MELEM>& marks) {
  const int nelem = m.nelem;
  int kept = 0;
  for (int e = 1; e <= nelem; ++e)
    if (marks(e) >= 0) ++kept;
  // A mesh without elements could not be written and read back.
  if (kept == 0 || kept == nelem) return 0;
  int to = 0;
  for (int e = 1; e <= nelem; ++e) {
    if (marks(e) < 0) continue;
    if (++to == e) continue;
    for (int k = 1; k <= MNODE; ++k) m.lnods(to, k) = m.lnods(e, k);
    m.nnode(to) = m.nnode(e);
    m.nside(to) = m.nside(e);
    m.mattyp(to) = m.mattyp(e);
    m.matset(to) = m.matset(e);
    m.xycen(to, 1) = m.xycen(e, 1);
    m.xycen(to, 2) = m.xycen(e, 2);
  }
  for (int e = kept + 1; e <= nelem; ++e) {
    for (int k = 1; k <= MNODE; ++k) m.lnods(e, k) = 0;
    m.nnode(e) = m.nside(e) = m.mattyp(e) = m.matset(e) = 0;
    m.xycen(e, 1) = m.xycen(e, 2) = 0.0;
  }
  m.nelem = kept;
  return nelem - kept;
}

void MODIFY(MeshModel& m, Table1<int, MPOIN>& newnod, Table1<int, MELEM>& marks) {
  choose_level(m);
  if (m.ndofn < 0) {
    extra_parameters(m);
    additional_dofs(m);
  }
  for (;;) {
    // Every pass starts without unused nodes: a deletion can leave some,
    // and so can a new element whose node numbers skip some.
    remove_unused_nodes(m, newnod);
    const MeshWindow frame = plot_whole(m);
    switch (menu_choice()) {
      case CONTINUE:
        MODIFY_PROPERTIES(m, marks);
        return;
      case NEW_CONSTRAINTS:
        new_constraints(m, frame);
        break;
      case CHANGE_COORDS:
        change_coords(m, frame);
        break;
      case ADD_ELTS:
        add_element(m, frame);
        break;
      case DELETE_ELTS:
        delete_elements(m, frame, marks);
        break;
    }
  }
}

}  // namespace vortan
