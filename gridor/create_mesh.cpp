// The first half of the new-mesh dialogue: problem set-up, the nodes and
// elements by mouse or keyboard, and the loops that check and edit them.
#include "create_mesh.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "mesh_display.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {

// The stages of the mesh dialogue after the set-up questions.
enum class Stage { NodeCheck, NodeEdit, Elements, Check, Review, EditElements, Unused, Done };

struct CreateState {
  bool elements_defined = false;
  int coord_edits = 0;  // how often coordinate editing was requested
  int deletions = 0;    // element deletions since the element stage began
  MeshWindow frame;     // the drawing area of the mesh in world units
};

// --- typed input ---------------------------------------------------------

// Reads `n` values from typed lines (as many lines as it takes); false when
// a value cannot be read as the type asked for.
template <class T>
bool read_values(int n, T* v, bool (*parse)(const std::string&, T&)) {
  int got = 0;
  while (got < n) {
    for (const auto& t : free_tokens(READLN())) {
      if (got == n) break;
      if (!parse(t, v[got])) return false;
      ++got;
    }
  }
  return true;
}

bool read_ints(int n, long* v) { return read_values<long>(n, v, free_int); }


// One key between lo and hi, echoed; other keys give `again`.
int ask_key_digit(int lo, int hi, const std::string& again) {
  for (;;) {
    int k = GETKZZ();
    if (k >= '0' + lo && k <= '0' + hi) {
      WRLINE(std::string(1, static_cast<char>(k)));
      return k - '0';
    }
    if (k >= 32 && k <= 126) {
      WRLINE();
      WRLINE(again);
    }
  }
}

void print_type_table() {
  WRLINE("Sides  Nodes");
  for (const char* l : {" 2       6     quadratic joint", " 1       2     linear bar",
                        " 1       3     quadratic bar", " 3       3     linear triangle",
                        " 4       4     linear quadrilateral", " 3       6     quadratic triangle",
                        " 4       6     thin quadrilateral", " 4       8     8-noded quadrilateral",
                        " 3       5     quadratic infinite elt.", " 2       3     corner infinite elt.",
                        " 3       4     linear infinite elt.", " 2       4     infinite joint elt."})
    WRLINE(l);
}

std::string real12(double v) { return fmt_F(v, 12, 5); }

// --- 1 to 4: set-up ---------------------------------------------------------

void ask_title(MeshModel& m) {
  WRLINE("Enter a title for the problem:");
  m.title = READLN().substr(0, 80);
  m.title.resize(80, ' ');
}

void ask_problem_type(MeshModel& m) {
  WRLINE("What type of problem do you want to analyse?");
  for (const char* l : {" - For a scalar-variable analysis, e.g. solving",
                        "   the Poisson equation for U(x,y), type 1...",
                        " - For a 2D vector-variable analysis, e.g. plane",
                        "   elasticity for displacements (u,v), type 2...",
                        " - For an analysis with displacements and rotation,",
                        "   e.g. beams or frames for (u,v,theta), type 3..."})
    WRLINE(l);
  for (;;) {
    WRLINE("Type  1  or  2  or  3  now:");
    int k = GETKZZ();
    if (k == '3') {
      m.ndofn = 3;
      WRLINE("3");
      WRLINE("Beam-type analysis: NDOFN = 3 degrees of freedom per node.");
    } else if (k == '2') {
      m.ndofn = 2;
      WRLINE("2");
      WRLINE("Elasticity-type analysis: NDOFN = 2 degrees of freedom per node.");
    } else if (k == '1') {
      m.ndofn = 1;
      WRLINE("1");
      WRLINE("Poisson-type analysis: NDOFN = 1 degree of freedom per node.");
    } else {
      WRLINE("Type 1 or 2 or 3 .....");
      continue;
    }
    return;
  }
}

void ask_level(MeshModel& m) {
  for (const char* l : {"There are two levels of analysis: Advanced and Basic.",
                        "In the Basic analysis you can only use a single type",
                        "of element. For elasticity-type analyses, this is the",
                        "8-noded quadrilateral, and for Poisson-type ",
                        "analyses it is the 3-noded triangle (though you can",
                        "also use 4-noded quadrilaterals in generating the ",
                        "mesh, then triangulate them in a later menu display).",
                        "You will be able to change a mesh from Basic to",
                        "Advanced level in 'Modify mesh' later. You can also",
                        "create additional degrees of freedom in the mesh then.",
                        "What level of analysis do you want?"})
    WRLINE(l);
  for (;;) {
    WRLINE("Type  b  for Basic, or");
    WRTEXT("      a  for Advanced: ");
    int k = GETKZZ();
    if (k == 'b' || k == 'B') {
      WRLINE("b");
      WRLINE("Basic analysis");
    } else if (k == 'a' || k == 'A') {
      WRLINE("a");
      m.ndofn = -m.ndofn;
      for (const char* l : {"Advanced analysis", "For other applications, you will be able to add",
                            "additional d.o.f.s at nodes after creating this",
                            "file, by choosing the Modify Mesh menu option.."})
        WRLINE(l);
    } else {
      WRLINE();
      WRLINE("Type a or b .....");
      continue;
    }
    break;
  }
  WRLINE("This means that the parameter NDOFN is set to " + fmt_I(m.ndofn, 3));
  WRLINE("                  ( - sign indicates Advanced level)");
}

void ask_extra_parameters(MeshModel& m) {
  WRLINE("At Advanced level, you can define extra mesh");
  WRLINE("parameters (up to four reals + four integers).");
  if (YESNO("Do you want to do this?") != 'y') return;
  const char* ordinal[] = {"first", "second", "third", "fourth"};
  const char* Ordinal[] = {"First", "Second", "Third", "Fourth"};
  do {
    WRLINE("Type in values; type 0 or 0.0 if not used.");
    auto real_param = [&](int i) {
      ask_reals(std::string("Enter value of ") + ordinal[i - 1] + " real parameter: ", 1,
                &m.rextra[i], F10_5);
    };
    auto int_param = [&](int i) {
      for (;;) {
        WRTEXT(std::string("Enter value of ") + ordinal[i - 1] + " integer parameter: ");
        long v;
        if (!read_ints(1, &v)) {
          WRLINE("You must type an integer");
        } else if (!value_fits(static_cast<double>(v), I5)) {
          WRLINE(does_not_fit(static_cast<double>(v), I5));
        } else {
          m.iextra[i] = static_cast<int>(v);
          return;
        }
      }
    };
    real_param(1);
    real_param(2);
    for (int i = 1; i <= 4; ++i) int_param(i);
    real_param(3);
    real_param(4);
    WRLINE("Values entered are:");
    WRLINE(std::string(Ordinal[0]) + " real parameter = " + free_real_text(m.rextra[1]));
    WRLINE(std::string(Ordinal[1]) + " real parameter = " + free_real_text(m.rextra[2]));
    for (int i = 1; i <= 4; ++i)
      WRLINE(std::string(Ordinal[i - 1]) + " integer parameter = " + std::to_string(m.iextra[i]));
    WRLINE(std::string(Ordinal[2]) + " real parameter = " + free_real_text(m.rextra[3]));
    WRLINE(std::string(Ordinal[3]) + " real parameter = " + free_real_text(m.rextra[4]));
  } while (YESNO("do you want to make any changes?") == 'y');
}

// --- drawing helpers ---------------------------------------------------------

// Opens the plot around the rectangle, frames it and fills it with the
// drawing-area colour; the frame is the clickable area.
void open_drawing_area(double xmin, double xmax, double ymin, double ymax, CreateState& st) {
  double d = std::max(xmax - xmin, ymax - ymin);
  if (d <= 0) d = 1.0;
  double charsize;
  STPLOT(xmin - 0.3 * d, xmin + 1.3 * d, ymin - 0.3 * d, ymin + 1.3 * d, charsize, 15);
  st.frame = MeshWindow{xmin - 0.1 * d, xmin + 1.1 * d, ymin - 0.1 * d, ymin + 1.1 * d};
  const double xs[4] = {st.frame.xmin, st.frame.xmax, st.frame.xmax, st.frame.xmin};
  const double ys[4] = {st.frame.ymin, st.frame.ymin, st.frame.ymax, st.frame.ymax};
  FILPOL(4, xs, ys, 7);
  FAXES(st.frame.xmin, st.frame.xmax, st.frame.ymin, st.frame.ymax, charsize, -1);
}

// A one-pixel square at a node in colour 0.
void mark_node(const MeshModel& m, int n) {
  int ix, iy;
  MAPPXL(m.coord(n, 1), m.coord(n, 2), ix, iy);
  Framebuffer& fb = plat().fb();
  fb.fill_rect(ix - 1, iy - 1, ix + 1, iy + 1, 0);
  plat().graphics_update();
}

void plot_nodes(const MeshModel& m, CreateState& st) {
  double xmin, xmax, ymin, ymax;
  BOUNDS(m.npoin, m.coord, xmin, xmax, ymin, ymax);
  open_drawing_area(xmin, xmax, ymin, ymax, st);
  for (int n = 1; n <= m.npoin; ++n) mark_node(m, n);
  LABNOD(m, 1, m.npoin, st.frame);
}

void draw_end_button() {
  int ybar[2];
  RIGBAR(1, 1, ybar);
  BARLAB(1, ybar, "End");
}

void text_window_notice() {
  MPUT("Dialogue reverts to text window. Click on its", "caption bar to bring it on top");
}

// --- 6: nodes by mouse ---------------------------------------------------------

void ask_extent(const char* axis, double& lo, double& hi) {
  for (;;) {
    double v[2];
    ask_reals(std::string("Enter minimum and maximum values of ") + axis + "-coordinate:", 2, v);
    if (v[1] < v[0]) {
      WRLINE(std::string("ERROR: ") + axis + "max is less than " + axis + "min! Try again..");
      continue;
    }
    // A range typed as exactly 0.1 may come out a hair below it in binary.
    if (v[1] - v[0] < 0.1 - 1.0e-9) {
      WRLINE("ERROR: range must be >0.1. Try again..");
      continue;
    }
    lo = v[0];
    hi = v[1];
    return;
  }
}

// The nearest multiple of the unit; a point snapped to zero from the
// negative side is written as 0.0, not -0.0.
double snap(double v, double unit) {
  double s = std::round(v / unit) * unit;
  return s == 0.0 ? 0.0 : s;
}

void mouse_nodes(MeshModel& m, CreateState& st) {
  WRLINE("First specify the horizontal (x) and vertical (y)");
  WRLINE("                              extent of the mesh:");
  double xmin, xmax, ymin, ymax;
  ask_extent("x", xmin, xmax);
  ask_extent("y", ymin, ymax);
  double unit = snapping_unit(std::min(xmax - xmin, ymax - ymin));
  WRLINE("Coordinates will be defined in units of " + free_real_text(unit));
  WRLINE("You can change this in the prompt box...");
  SLEEPZ(2.0);
  const double offered = unit;
  PUTGR2("Unit for coordinates: ", unit);
  if (!(unit > 0)) {
    // A unit of zero or less cannot snap anything; keep the one offered.
    PUTERR("The unit must be positive - " + free_real_text(offered) + " is used.");
    unit = offered;
  }
  open_drawing_area(xmin, xmax, ymin, ymax, st);
  HEADNG("Click on nodes; click brown panel to end");
  draw_end_button();
  for (int n = 1; n <= MPOIN;) {
    MouseState ms = plat().mouse_poll();
    double x, y;
    PXLMAP(ms.x, ms.y, x, y);
    x = snap(x, unit);
    y = snap(y, unit);
    if (ms.y >= 34 && ms.x < 500) show_cursor(x, y);
    if (ms.buttons == 0) continue;
    if (on_toolbar(ms) && below_heading(ms)) {
      // A mesh needs at least one node before its elements can be drawn.
      if (m.npoin >= 1) return;
      PUTERR("Click on at least one node before ending.");
      continue;
    }
    if (!st.frame.holds(x, y) || ms.x >= 500) continue;
    m.coord(n, 1) = x;
    m.coord(n, 2) = y;
    m.npoin = n;
    mark_node(m, n);
    LABNOD(m, n, n, st.frame);
    SLEEPZ(2.5);
    ++n;
  }
  m.npoin = MPOIN;
  PUT("Maximum number of nodes reached!");
}

// --- 7: elements by mouse ------------------------------------------------------

// The checks of the "Define new element" dialog; empty when accepted.
std::string mouse_element_error(int ndofn, int sides, int nodes) {
  int key = element_key(nodes, sides);
  if (key == 62 || key == 61 || key == 42) return "Cannot define joint elements graphically.";
  if (element_type_code(key) == 0) return "Not a valid element type. ";
  if (ndofn < 0) return "";
  if (ndofn == 3 && sides != 1) return "You can only use 2-noded beam elements (1 side)";
  if (ndofn == 2 && sides != 4) return "You can only use 8-noded quadrilaterals (4 sides)";
  if (ndofn == 1 && sides != 3 && sides != 4)
    return "You can only use linear triangles and quads (3 or 4 sides)";
  if (ndofn == 3 && nodes != 2) return "You can only use 2-noded beam elements (NNODE=2)";
  if (ndofn == 2 && nodes != 8) return "You can only use 8-noded quadrilaterals (NNODE=8)";
  if (ndofn == 1 && key != 33 && key != 44)
    return "You can only use linear triangles and quads (NNODE=3 or 4)";
  return "";
}

// Waits for a press in the clickable area and returns the nearest node.
int pick_node_in_area(const MeshModel& m) {
  for (;;) {
    MouseState ms = button_down();
    if (!in_drawing_area(ms)) continue;
    double x, y;
    PXLMAP(ms.x, ms.y, x, y);
    int n = nearest_point(m.npoin, m.coord, x, y, WHOLE_PLANE);
    if (n > 0) return n;
  }
}

void replot_elements(const MeshModel& m, int upto) {
  for (int e = 1; e <= upto; ++e) {
    if (m.nside(e) < 2)
      PLOT1D(m, e);
    else
      PLOTEL(m, e);
  }
}

void mouse_elements(MeshModel& m, CreateState& st) {
  PUT("Now define element-node connections");
  HEADNG("Click on nodes anticlockwise around element...");
  long sides = 1, nodes = 1, type = 1;
  m.nelem = 0;
  for (int e = 1; e <= MELEM;) {
    DialogSpec d;
    d.caption = "Define new element";
    d.lines = {DialogLine{"Define element type by no. of sides and nodes"},
               DialogLine{"No. of  sides", true, false, true},
               DialogLine{"No. of nodes", true, false, true}};
    d.fields = {integer_field("", sides, 1, 4, 3), integer_field("", nodes, 1, 8, 3),
                integer_field("Material type = ", type, 1, 8, 3)};
    d.fields[0].column = 1;  // under the heads
    d.fields[1].column = 2;
    d.buttons = {"OK", "End"};
    if (plat().dialog(d) == 2) {
      // A mesh without elements could not be written and read back.
      if (m.nelem >= 1) return;
      PUTERR("Define at least one element before ending.");
      continue;
    }
    sides = d.fields[0].ivalue;
    nodes = d.fields[1].ivalue;
    type = d.fields[2].ivalue;
    std::string error = mouse_element_error(m.ndofn, static_cast<int>(sides),
                                            static_cast<int>(nodes));
    if (!error.empty()) {
      PUTERR(error);
      continue;
    }
    m.nelem = e;
    m.mattyp(e) = static_cast<int>(type);
    m.nnode(e) = static_cast<int>(nodes);
    m.nside(e) = static_cast<int>(sides);
    for (int k = 1; k <= MNODE; ++k) m.lnods(e, k) = 0;
    const int code = element_type_code(element_key(m.nnode(e), m.nside(e)));
    const bool infinite = code >= 10;
    SETCOL(0);
    int first = 0;
    while (first == 0) first = PICKLN(m.npoin, m.coord, WHOLE_PLANE);
    m.lnods(e, 1) = first;
    for (int k = 2; k <= m.nnode(e); ++k) {
      SLEEPZ(0.5);
      int n = pick_node_in_area(m);
      m.lnods(e, k) = n;
      if (!(infinite && k == m.nnode(e))) {
        int p = m.lnods(e, k - 1);
        JOINP1(m.coord(p, 1), m.coord(p, 2), m.coord(n, 1), m.coord(n, 2));
      }
    }
    auto close_line = [&]() {
      int a = m.lnods(e, m.nnode(e)), b = m.lnods(e, 1);
      JOINP1(m.coord(a, 1), m.coord(a, 2), m.coord(b, 1), m.coord(b, 2));
    };
    if (code >= 5) close_line();
    SLEEPZ(0.5);
    char answer = YESNOG("Accept this element?");
    // Erase the outline just drawn, then draw the accepted elements anew.
    SETCOL(7);
    for (int k = 2; k <= m.nnode(e); ++k) {
      if (infinite && k == m.nnode(e)) continue;
      int p = m.lnods(e, k - 1), n = m.lnods(e, k);
      JOINP1(m.coord(p, 1), m.coord(p, 2), m.coord(n, 1), m.coord(n, 2));
    }
    if (code >= 5) close_line();
    replot_elements(m, answer == 'y' ? e : e - 1);
    SLEEPZ(1.0);
    if (answer == 'n') {
      m.nelem = e - 1;
      continue;
    }
    ++e;
  }
  m.nelem = MELEM;
  PUT("Maximum number of elements reached!");
  (void)st;
}

// --- 8: nodes by keyboard -------------------------------------------------------

int ask_count(const std::string& prompt, int max, const std::string& refusal_head,
              const std::string& refusal_tail) {
  WRTEXT(prompt);
  for (;;) {
    long v;
    if (read_ints(1, &v) && v >= 1 && v <= max) return static_cast<int>(v);
    WRTEXT(refusal_head + std::to_string(max) + refusal_tail);
  }
}

void keyboard_nodes(MeshModel& m) {
  WRLINE("Defining the mesh via the keyboard...");
  m.npoin = ask_count("Enter NPOIN, the number of nodes in the mesh: ", MPOIN,
                      "min. is 1 node, max. is ", ". Try again: ");
  m.nelem = ask_count("Enter NELEM, the number of elements in the mesh: ", MELEM,
                      "min.is 1 element, max. is ", ". Try again: ");
  WRLINE("Nodal Coordinates");
  WRLINE("-----------------");
  for (int n = 1; n <= m.npoin; ++n) {
    double v[2];
    ask_reals("x,y coordinates of node " + fmt_I(n, 5) + ": ", 2, v, F10_5);
    m.coord(n, 1) = v[0];
    m.coord(n, 2) = v[1];
  }
}

// The node-number loop of coordinate editing.
void edit_coordinates(MeshModel& m) {
  for (;;) {
    WRTEXT("Enter a node number (Type 0 to end): ");
    long n;
    if (!read_ints(1, &n) || n > MPOIN || n < 0) {
      WRLINE("Illegal node no. - try again: ");
      continue;
    }
    if (n == 0) return;
    if (n > m.npoin) {
      WRLINE("You said there would only be NPOIN = " + std::to_string(m.npoin));
      if (YESNO("in the mesh. Should NPOIN be increased? ") != 'y') {
        WRLINE("This node no. ignored.");
        continue;
      }
      m.npoin = static_cast<int>(n);
    }
    WRLINE("Current coordinates are: " + real12(m.coord(n, 1)) + real12(m.coord(n, 2)));
    double v[2];
    ask_reals("Type new coordinates: ", 2, v, F10_5);
    m.coord(n, 1) = v[0];
    m.coord(n, 2) = v[1];
    SHOWND(m);
  }
}

Stage node_check(MeshModel& m, CreateState& st) {
  plot_nodes(m, st);
  char answer = YESNOG("Check node positions. Do you want to make any changes? ");
  text_window_notice();
  if (answer == 'y' && st.coord_edits == 0) {
    ++st.coord_edits;
    SHOWND(m);
    return Stage::NodeEdit;
  }
  return st.elements_defined ? Stage::Check : Stage::Elements;
}

// --- 9: elements by keyboard -------------------------------------------------

// The Basic-level checks of a number of sides; empty when accepted.
std::string basic_sides_error(int ndofn, int sides, bool short_texts) {
  if (ndofn == 3 && sides != 1)
    return short_texts ? "You can only use 2-noded beam elements."
                       : "ERROR: You can only use 2-noded beam elements (1 side)";
  if (ndofn == 2 && sides != 4)
    return short_texts ? "You can only use 8-noded quadrilaterals."
                       : "ERROR: You can only use 8-noded quadrilaterals (4 sides)";
  if (ndofn == 1 && sides != 3 && sides != 4)
    return short_texts ? "You can only use linear triangles and quadrilaterals."
                       : "You can only use linear triangles and quads (3 or 4 sides)";
  return "";
}

std::string basic_nodes_error(int ndofn, int sides, int nodes, bool short_texts) {
  int key = element_key(nodes, sides);
  if (ndofn == 3 && nodes != 2)
    return short_texts ? "You can only use 2-noded beam elements."
                       : "ERROR: You can only use 2-noded beam elements (NNODE=2)";
  if (ndofn == 2 && nodes != 8)
    return short_texts ? "You can only use 8-noded quadrilaterals."
                       : "ERROR: You can only use 8-noded quadrilaterals (NNODE=8)";
  if (ndofn == 1 && key != 33 && key != 44)
    return short_texts ? "You can only use linear triangles and quadrilaterals."
                       : "You can only use linear triangles and quads (NNODE=3 or 4)";
  return "";
}

// Reads the node numbers of an element; numbers outside 1..MPOIN would
// address nodes the model cannot hold, so the list is asked for again.
void read_element_nodes(const std::string& prompt, int count, long* v) {
  for (;;) {
    WRTEXT(prompt);
    bool ok = read_ints(count, v);
    for (int k = 0; ok && k < count; ++k) ok = v[k] >= 1 && v[k] <= MPOIN;
    if (ok) return;
    WRLINE("Node numbers must lie between 1 and " + std::to_string(MPOIN) + ". Try again:");
  }
}

int ask_material_type() {
  WRTEXT("Material type for the element: ");
  return ask_key_digit(0, 8, "Enter a number between 0 and 8. Try again...");
}

void keyboard_elements(MeshModel& m) {
  for (const char* l :
       {"Element-node connection data", "----------------------------",
        "For each element, you must specify:", "   - the number of sides",
        "     (e.g. 3 for triangle, 4 for quadrilateral)", "   - the number of nodes in the element",
        "   - the nodes around the element", "     (anticlockwise, starting at a corner node)",
        "Possible element types are:"})
    WRLINE(l);
  print_type_table();
  for (int l = 1; l <= m.nelem;) {
    WRTEXT("Number of sides in element " + std::to_string(l) + "? (0 to abandon) ");
    int sides = -1;
    for (;;) {
      int k = GETKZZ();
      if (k == '0') {
        WRLINE("0");
        if (YESNO("Do you want to stop defining elements?") == 'n') {
          WRTEXT("Number of sides in element " + std::to_string(l) + "? (0 to abandon) ");
          continue;
        }
        m.nelem = l - 1;
        return;
      }
      if (k >= '1' && k <= '4') {
        sides = k - '0';
        WRLINE(std::string(1, static_cast<char>(k)));
        break;
      }
      if (k >= 32 && k <= 126) {
        WRLINE();
        WRLINE("Enter a number between 1 and 4. Try again...");
      }
    }
    std::string error = m.ndofn > 0 ? basic_sides_error(m.ndofn, sides, false) : "";
    if (!error.empty()) {
      WRLINE(error);
      continue;
    }
    int nodes;
    for (;;) {
      WRTEXT("Number of nodes in the element? ");
      nodes = ask_key_digit(1, 8, "Enter a number between 1 and 8. Try again...");
      error = m.ndofn > 0 ? basic_nodes_error(m.ndofn, sides, nodes, false) : "";
      if (error.empty()) break;
      WRLINE(error);
    }
    int code = element_type_code(element_key(nodes, sides));
    if (code == 0) {
      WRLINE("Error: not a valid element. Possible types are: ");
      print_type_table();
      WRLINE("                                   Try again!");
      continue;
    }
    ELTYP(code);
    long v[MNODE];
    read_element_nodes("Type nodes anticlockwise around element " + std::to_string(l) + ": ",
                       nodes, v);
    for (int a = 0; a < nodes; ++a)
      for (int b = a + 1; b < nodes; ++b)
        if (v[a] == v[b]) {
          WRLINE("Warning: node " + std::to_string(v[a]) + " repeated.");
          break;
        }
    for (int k = 1; k <= MNODE; ++k) m.lnods(l, k) = k <= nodes ? static_cast<int>(v[k - 1]) : 0;
    m.nnode(l) = nodes;
    m.nside(l) = sides;
    m.mattyp(l) = ask_material_type();
    ++l;
  }
}

// --- 10: consistency checks ----------------------------------------------------

Stage consistency_checks(MeshModel& m) {
  SHOWEL(m);
  int largest = 0;
  for (int e = 1; e <= m.nelem; ++e)
    for (int k = 1; k <= m.nnode(e); ++k) largest = std::max(largest, m.lnods(e, k));
  if (largest > m.npoin) {
    WRLINE("Largest node no. used was " + std::to_string(largest) + " but coordinates");
    WRLINE("were only given for nodes 1 to " + std::to_string(m.npoin));
    WRLINE("Do you want to give coordinates for ");
    if (YESNO("the new node(s)? ") == 'y') return Stage::NodeEdit;
  }
  for (int e = 1; e <= m.nelem; ++e)
    if (m.nside(e) == 0) WRLINE("Elt. no. " + std::to_string(e) + " not yet defined!");
  // Which nodes some element uses; the search stops at the first element
  // with no nodes.
  auto used = std::make_unique<Table1<char, MPOIN>>();
  for (int e = 1; e <= m.nelem && m.nnode(e) > 0; ++e)
    for (int k = 1; k <= m.nnode(e); ++k) {
      int n = m.lnods(e, k);
      if (n >= 1 && n <= MPOIN) (*used)(n) = 1;
    }
  for (int n = 1; n <= m.npoin; ++n)
    if (!(*used)(n)) WRLINE("Node no. " + std::to_string(n) + " has not been included!");
  return YESNO("Do you want to make any changes?") == 'y' ? Stage::EditElements
                                                          : Stage::Unused;
}

// --- 11: review by mouse ----------------------------------------------------------

Stage review(MeshModel& m, CreateState& st) {
  HEADNG(title_shown(m));
  DISPL(m, "Click above blue screen to start cursor coord display");
  if (YESNOG("Do you want to make any changes?") != 'y') return Stage::Done;
  text_window_notice();
  if (YESNO("Do you want to change nodal coordinates?") == 'y') {
    if (st.coord_edits == 0) {
      ++st.coord_edits;
      SHOWND(m);
      return Stage::NodeEdit;
    }
    return Stage::Check;
  }
  return Stage::EditElements;
}

// --- 12: element editing -------------------------------------------------------

void delete_element(MeshModel& m, int l) {
  for (int e = l; e < m.nelem; ++e) {
    m.nnode(e) = m.nnode(e + 1);
    m.nside(e) = m.nside(e + 1);
    m.mattyp(e) = m.mattyp(e + 1);
    for (int k = 1; k <= MNODE; ++k) m.lnods(e, k) = m.lnods(e + 1, k);
  }
  int last = m.nelem;
  m.nnode(last) = m.nside(last) = m.mattyp(last) = 0;
  for (int k = 1; k <= MNODE; ++k) m.lnods(last, k) = 0;
  --m.nelem;
}

// Changes or adds element l; false when the type asked for does not exist.
bool change_element(MeshModel& m, int l) {
  const bool added = l > m.nelem;
  if (!added) {
    WRLINE("Element " + std::to_string(l) + " has " + std::to_string(m.nside(l)) +
           " sides, and mat. type " + std::to_string(m.mattyp(l)));
    WRLINE("The nodes around the element are:");
    Rec r;
    for (int k = 1; k <= m.nnode(l); ++k) r.I(m.lnods(l, k), 5);
    WRLINE(r);
  }
  int sides = added ? 0 : m.nside(l), nodes = added ? 0 : m.nnode(l);
  if (added || YESNO("Will you change the number of sides?") == 'y') {
    for (;;) {
      WRTEXT("New number of sides in element " + std::to_string(l) + "? ");
      sides = ask_key_digit(1, 4, "Enter a number between 1 and 4. Try again...");
      std::string error = m.ndofn > 0 ? basic_sides_error(m.ndofn, sides, true) : "";
      if (error.empty()) break;
      WRLINE(error);
    }
    if (added || YESNO("Will you change the number of nodes in the element?") == 'y') {
      for (;;) {
        WRTEXT("Number of nodes in the element? ");
        nodes = ask_key_digit(1, 8, "Enter a number between 1 and 8. Try again...");
        std::string error = m.ndofn > 0 ? basic_nodes_error(m.ndofn, sides, nodes, true) : "";
        if (error.empty()) break;
        WRLINE(error);
      }
    }
    if (element_type_code(element_key(nodes, sides)) == 0) {
      WRLINE("Error: such an element type does not exist!");
      return false;
    }
  }
  long v[MNODE];
  bool renode = added || nodes != m.nnode(l);
  if (renode || YESNO("Will you change the node numbers? ") == 'y') {
    read_element_nodes("Type " + std::to_string(nodes) + " nodes around the element:", nodes, v);
    for (int k = 0; k < nodes; ++k) {
      if (v[k] > m.npoin) {
        m.npoin = static_cast<int>(v[k]);
        WRLINE("Node" + fmt_I(v[k], 6) + " is new:");
        double c[2];
        ask_reals("type coordinates of new node: ", 2, c, F10_5);
        m.coord(v[k], 1) = c[0];
        m.coord(v[k], 2) = c[1];
      }
    }
    for (int k = 1; k <= MNODE; ++k) m.lnods(l, k) = k <= nodes ? static_cast<int>(v[k - 1]) : 0;
  }
  m.nside(l) = sides;
  m.nnode(l) = nodes;
  if (added || YESNO("Will you change the material type? ") == 'y') m.mattyp(l) = ask_material_type();
  if (l > m.nelem) m.nelem = l;
  return true;
}

Stage edit_elements(MeshModel& m, CreateState& st) {
  for (;;) {
    WRLINE("Type the number of the element you wish to change: ");
    WRLINE("Type -l to delete element l, for example: type -6 ");
    WRLINE("to delete element 6. Type 0 to quit, or type " + std::to_string(m.nelem + 1));
    WRLINE("to add a new element, since there are now " + std::to_string(m.nelem) + " elements.");
    long l;
    if (!read_ints(1, &l)) continue;
    if (l == 0) return Stage::Unused;
    if (l > 0) {
      if (l > m.nelem + 1) l = m.nelem + 1;
      if (l > MELEM) {
        WRLINE("Exceeds maximum number of elements, which is" + fmt_I(MELEM, 6));
        continue;
      }
      if (!change_element(m, static_cast<int>(l))) continue;
      return Stage::Check;
    }
    l = -l;
    if (l > m.nelem) {
      WRLINE("Error: no such element exists!");
      continue;
    }
    if (m.nelem == 1) {
      // Deleting the last element would leave a mesh that cannot be saved.
      WRLINE("The last element cannot be deleted.");
      continue;
    }
    if (++st.deletions >= 20) {
      WRLINE("No more elts can be deleted in one go.");
      continue;
    }
    delete_element(m, static_cast<int>(l));
    WRLINE("Elt. " + std::to_string(l) + " deleted, and later elts renumbered.");
    WRLINE("The preprocessor will ");
    WRLINE("delete unused nodes in the next section!");
    return Stage::Check;
  }
}

// --- 13: unused nodes -------------------------------------------------------------

bool node_used(const MeshModel& m, int n) {
  for (int e = 1; e <= m.nelem; ++e)
    for (int k = 1; k <= m.nnode(e); ++k)
      if (m.lnods(e, k) == n) return true;
  return false;
}

Stage unused_nodes(MeshModel& m) {
  WRLINE("Checking for any unused nodes...");
  SLEEPZ(0.2);
  int deleted = 0;
  for (int n = 1; n <= m.npoin;) {
    if (node_used(m, n)) {
      ++n;
      continue;
    }
    WRLINE("Node number " + std::to_string(n) + " is not used in the mesh!");
    if (YESNO("Should it be deleted?") != 'y') {
      ++n;
      continue;
    }
    for (int i = n; i < m.npoin; ++i) {
      m.coord(i, 1) = m.coord(i + 1, 1);
      m.coord(i, 2) = m.coord(i + 1, 2);
    }
    m.coord(m.npoin, 1) = m.coord(m.npoin, 2) = 0.0;
    --m.npoin;
    for (int e = 1; e <= m.nelem; ++e)
      for (int k = 1; k <= m.nnode(e); ++k)
        if (m.lnods(e, k) > n) --m.lnods(e, k);
    if (++deleted == 50) {
      WRLINE("No more nodes can be deleted - max is 50!");
      return Stage::NodeEdit;
    }
    WRLINE("Node " + std::to_string(n) + " deleted & subsequent nodes renumbered.");
    SHOWND(m);
  }
  PUT("Now drawing to graphics window...");
  return Stage::Review;
}

}  // namespace

double snapping_unit(double s) {
  if (s <= 1) return 0.025;
  if (s <= 2) return 0.05;
  if (s <= 5) return 0.1;
  if (s <= 10) return 0.25;
  if (s <= 20) return 0.5;
  if (s <= 50) return 1.0;
  if (s <= 100) return 2.5;
  if (s <= 200) return 5.0;
  return 10.0;
}

void CREATE(MeshModel& m) {
  clear_mesh(m);
  ask_title(m);
  ask_problem_type(m);
  ask_level(m);
  if (m.ndofn < 0) ask_extra_parameters(m);
  for (const char* l : {"Input of mesh data", "------------------",
                        "You can enter nodal coordinates and", "element-node connections in this window,",
                        "via the keyboard, or for a simple mesh you can",
                        "define them on a graphics screen using the mouse."})
    WRLINE(l);
  CreateState st;
  Stage stage;
  if (YESNO("Do you want to use the mouse to define the mesh graphically?") == 'y') {
    mouse_nodes(m, st);
    mouse_elements(m, st);
    st.elements_defined = true;
    stage = Stage::Review;
  } else {
    keyboard_nodes(m);
    stage = Stage::NodeCheck;
  }
  while (stage != Stage::Done) {
    switch (stage) {
      case Stage::NodeCheck:
        stage = node_check(m, st);
        break;
      case Stage::NodeEdit:
        edit_coordinates(m);
        stage = Stage::NodeCheck;
        break;
      case Stage::Elements:
        keyboard_elements(m);
        st.elements_defined = true;
        stage = Stage::Check;
        break;
      case Stage::Check:
        stage = consistency_checks(m);
        break;
      case Stage::Review:
        stage = review(m, st);
        break;
      case Stage::EditElements:
        stage = edit_elements(m, st);
        break;
      case Stage::Unused:
        stage = unused_nodes(m);
        break;
      case Stage::Done:
        break;
    }
  }
  CREATE_PROPERTIES(m);
}

}  // namespace vortan
