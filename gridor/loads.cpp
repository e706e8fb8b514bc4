#include "loads.h"

#include <algorithm>
#include <cmath>

#include "help_screens.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {

constexpr int LOADED_COLOUR = 14;  // labels of loaded nodes and elements


void end_toolbar() {
  int ybar[2];
  RIGBAR(1, 1, ybar);
  BARLAB(1, ybar, " End ");
}

}  // namespace

void clear_loads(LoadTables& t) {
  t.ltype.fill(0);
  t.lval.fill(0.0);
  t.nbset = t.npset = 0;
  for (int s = 0; s <= MSETS; ++s)
    for (int c = 0; c < 3; ++c) t.bodyf[s][c] = t.trac[s][c] = 0.0;
  t.ibody.fill(0);
  t.marks.fill(0);
}

// --- the sides of an element ---------------------------------------------------

int edge_node_count(const MeshModel& m, int e, int n1, int n2) {
  if (e < 1 || e > m.nelem) return 0;
  const int nn = m.nnode(e);
  if (nn < 2) return 0;
  const int t = element_type_code(element_key(nn, m.nside(e)));
  if (t == 0) return 0;
  // Sides are walked from local position 1; each spans q positions (1 a
  // straight side, 2 a curved one with its midside node), and some types
  // skip positions between sides (joints, infinite elements).
  const int sides = t == 2 ? 2 : m.nside(e);
  int s = 1, q = 0;
  for (int k = 1; k <= sides; ++k) {
    if (k > 1) {
      s += q;
      if (t == 1 || t == 2) ++s;
      if (k == 3 && t >= 10) ++s;
      if (t == 11 || t == 13) ++s;
    }
    const bool linear = t == 3 || t == 5 || t == 6 || t >= 11 || (t == 10 && k > 1) ||
                        (t == 8 && (k == 2 || k == 4));
    q = linear ? 1 : 2;
    auto at = [&](int p) { return m.lnods(e, (p - 1) % nn + 1); };
    const int a = at(s), b = at(s + q);
    if ((a == n1 && b == n2) || (a == n2 && b == n1)) return q + 1;
  }
  return 0;
}

bool takes_body_force(const MeshModel& m, int e) {
  return m.nside(e) >= 3 || (m.nside(e) == 2 && m.nnode(e) == 3);
}

// --- drawing and zoom ------------------------------------------------------------

void plot_for_picking(const MeshModel& m, MeshWindow& frame) {
  double xmin, xmax, ymin, ymax;
  BOUNDS(m.npoin, m.coord, xmin, xmax, ymin, ymax);
  STZOOM(xmin, xmax, ymin, ymax, frame);
  FAXES(frame.xmin, frame.xmax, frame.ymin, frame.ymax, plot_state().charsize, -1);
  PLMESH(m, frame, false, false, false);
  end_toolbar();
  plat().graphics_update();
}

bool offer_zoom(const MeshModel& m, const std::string& question, MeshWindow& frame) {
  char answer;
  while ((answer = YESNOH(question)) == 'h') HPZOOM();
  if (answer != 'y') return false;
  TELL("Click on opposite corners defining zoom area:");
  double x[2], y[2];
  const double half = 0.01 * std::max(plot_state().width, plot_state().height);
  for (int got = 0; got < 2;) {
    if (!pick_click(x[got], y[got])) continue;  // a click on the toolbar is no corner
    if (got == 1 && std::fabs(x[1] - x[0]) < 1.0e-6 && std::fabs(y[1] - y[0]) < 1.0e-6) continue;
    SETCOL(15);
    MARPT(x[got], y[got], half);
    ++got;
  }
  end_tell();
  GGBOX(x[0], x[1], y[0], y[1]);
  SLEEPZ(0.5);
  STZOOM(x[0], x[1], y[0], y[1], frame);
  FAXES(frame.xmin, frame.xmax, frame.ymin, frame.ymax, plot_state().charsize, -1);
  PLMESH(m, frame, true, false, false);
  end_toolbar();
  plat().graphics_update();
  return true;
}

// --- nodal loads -----------------------------------------------------------------

std::string load_listing_line(int node, double x, double y) {
  return Rec().I(node, 5).X(3).E(x, 10, 3).X(3).E(y, 10, 3);
}

void pick_nodal_loads(const MeshModel& m, LoadTables& t, int type, const std::string& caption,
                      std::ostream* prt) {
  const bool force = type == 1;
  for (;;) {
    MeshWindow frame;
    plot_for_picking(m, frame);
    SLEEPZ(0.5);
    const bool zoomed =
        offer_zoom(m, force ? "Nodal forces... Do you want to zoom?" : "Do you want to zoom?", frame);
    for (;;) {
      const int n = PICKNZ(m,
                           force ? "Click on a node - click End if no more nodal forces"
                                 : "Click on a node - click End if no more spec. displts:",
                           frame);
      if (n == 0) break;
      DialogSpec d = two_value_dialog(
          caption,
          {force ? "Enter x and y components of force:" : "Enter x and y components of displacement:"},
          force ? "Fx" : "Ux", force ? "Fy" : "Uy", 0.0, 0.0);
      if (dialog_fitting(d, {E10_3, E10_3}) != 1) continue;
      t.ltype(n) = type;
      t.lval(n, 1) = d.fields[0].rvalue;
      t.lval(n, 2) = d.fields[1].rvalue;
      if (prt) *prt << load_listing_line(n, t.lval(n, 1), t.lval(n, 2)) << "\n";
      LABNDE(m, n, force ? LOADED_COLOUR : 12);
    }
    if (!zoomed) return;
    if (YESNOG(force ? "More nodal forces in a different part of mesh?"
                     : "More spec. displts in different part of mesh?") != 'y')
      return;
  }
}

// --- body forces and tractions -----------------------------------------------------

void pick_body_force_elements(const MeshModel& m, LoadTables& t, int s, const MeshWindow& frame) {
  const int nelem = m.nelem;
  for (int e = 1; e <= nelem; ++e)
    if (t.marks(e) < 0) LABELT(m, e, 0);
  PICKLL(m, t.marks, frame);
  for (int e = 1; e <= nelem; ++e) {
    if (t.marks(e) < 0 && takes_body_force(m, e)) t.ibody(e) = s;
    t.marks(e) = 0;
  }
  for (int e = 1; e <= nelem; ++e)
    if (t.ibody(e) == s) LABELT(m, e, LOADED_COLOUR);
}

namespace {

void body_forces(const MeshModel& m, LoadTables& t) {
  MeshWindow frame;
  plot_for_picking(m, frame);
  for (;;) {
    const int n = t.nbset + 1;
    DialogSpec d = two_value_dialog(
        "LOAD: body forces",
        {"Body force set " + std::to_string(n) + ": ", "Enter horizontal and vertical components:"},
        "Fx", "Fy", 0.0, 0.0);
    if (dialog_fitting(d, {E10_3, E10_3}) == 1) {
      if (t.nbset >= MSETS) {
        PUTERR("Exceeds max. no. of data sets - move on!");
        break;
      }
      t.nbset = n;
      t.bodyf[n][1] = d.fields[0].rvalue;
      t.bodyf[n][2] = d.fields[1].rvalue;
      for (int e = 1; e <= MELEM; ++e) t.marks(e) = 0;
      pick_body_force_elements(m, t, n, frame);
    }
    if (YESNOG("Input another body force?") != 'y') break;
  }
  PUT("Body force loading data completed.");
}

void traction_sets(LoadTables& t) {
  for (;;) {
    const int n = t.npset + 1;
    DialogSpec d = two_value_dialog(
        "LOAD: surface tractions",
        {"Surface traction set " + std::to_string(n) + ":", "Enter normal and tangential components:"},
        "Pn", "Pt", 0.0, 0.0);
    if (dialog_fitting(d, {E10_3, E10_3}) == 1) {
      if (t.npset >= MSETS) {
        PUTERR("Exceeds max. no. of data sets - move on!");
        break;
      }
      t.npset = n;
      t.trac[n][1] = d.fields[0].rvalue;
      t.trac[n][2] = d.fields[1].rvalue;
    }
    if (YESNOG("Input another surface traction?") != 'y') break;
  }
}

}  // namespace

// --- the loads section ---------------------------------------------------------------

void write_loads_section(std::ostream& out, const MeshModel& m, const LoadTables& t) {
  const int npoin = m.npoin, nelem = m.nelem;
  out << "nbset npset \n" << Rec().I(t.nbset, 5).I(t.npset, 5).str() << "\n";
  out << "  ld  node x-cmpnt   y-cmpnt\n";
  for (int n = 1; n <= npoin; ++n)
    if (t.ltype(n) != 0)
      out << Rec().I(0, 1).I(t.ltype(n), 4).I(n, 5).E(t.lval(n, 1), 10, 3).E(t.lval(n, 2), 10, 3).str()
          << "\n";
  out << "1\n";
  if (t.nbset > 0) {
    out << "   set  cpmnt     body force\n";
    for (int s = 1; s <= t.nbset; ++s)
      for (int c = 1; c <= 2; ++c)
        out << Rec().I(s == t.nbset && c == 2 ? 1 : 0, 1).I(s, 4).X(3).I(c, 2).X(10)
                   .E(t.bodyf[s][c], 10, 3).str()
            << "\n";
    out << "   set  elements in this body force set\n";
    for (int s = 1; s <= t.nbset; ++s) {
      int list[14], first = 1, last;
      do {
        SCAN(list, first, last, s, t.ibody, nelem);
        Rec r;
        r.I(0, 1).I(s, 4);
        for (int k = 0; k < 14; ++k) r.I(list[k], 5);
        out << r.str() << "\n";
        first = last + 1;
      } while (last < nelem);
    }
    out << "1\n";
  }
  if (t.npset > 0) {
    out << "   set  forces:     normal    tangential\n";
    for (int s = 1; s <= t.npset; ++s)
      out << Rec().I(s == t.npset ? 1 : 0, 1).I(s, 4).X(3).I(1, 2).I(2, 2).X(8)
                 .E(t.trac[s][1], 10, 3).E(t.trac[s][2], 10, 3).str()
          << "\n";
  }
}

void list_sets(std::ostream& prt, const MeshModel& m, const LoadTables& t) {
  const int nelem = m.nelem;
  if (t.nbset > 0) {
    prt << "Body forces\n-----------\n  Set  x-component  y-component\n";
    for (int s = 1; s <= t.nbset; ++s)
      prt << load_listing_line(s, t.bodyf[s][1], t.bodyf[s][2]) << "\n";
    prt << "  set  elements in this body force set\n";
    for (int s = 1; s <= t.nbset; ++s) {
      int list[14], first = 1, last;
      do {
        SCAN(list, first, last, s, t.ibody, nelem);
        Rec r;
        r.I(s, 5);
        for (int k = 0; k < 14 && list[k] != 0; ++k) r.I(list[k], 5);
        prt << r.str() << "\n";
        first = last + 1;
      } while (last < nelem);
    }
  }
  if (t.npset > 0) {
    prt << "Surface tractions\n-----------------\n  set    normal      tangential\n";
    for (int s = 1; s <= t.npset; ++s)
      prt << load_listing_line(s, t.trac[s][1], t.trac[s][2]) << "\n";
  }
}

// --- loaded edges ------------------------------------------------------------------------

void start_edge_list(std::ostream& out, std::ostream& prt) {
  out << " nnas elt  n set     n set\n";
  prt << "elmnt  node1  set       node2  set\n";
}

void write_edge(std::ostream& out, std::ostream& prt, int nnas, int e, int n1, int s1, int n2,
                int s2) {
  out << Rec().I(0, 1).I(nnas, 4).I(e, 5).I(n1, 5).I(s1, 2).X(1).I(n2, 5).I(s2, 2).str() << "\n";
  prt << Rec().I(e, 5).I(n1, 7).I(s1, 5).X(5).I(n2, 7).I(s2, 5).str() << "\n";
}

bool ask_edge_sets(const std::string& caption, const std::vector<std::string>& lines,
                   const std::vector<std::string>& buttons, int accept, int npset, int n1,
                   int n2, int& s1, int& s2) {
  for (;;) {
    DialogSpec d;
    d.caption = caption;
    d.icon = DialogIcon::Question;
    for (const auto& l : lines) d.lines.push_back(DialogLine{l});
    d.fields.push_back(integer_field("Node " + std::to_string(n1) + " has set ",
                                     std::clamp(s1, 1, npset), 1, npset, 3));
    d.fields.push_back(integer_field("Node " + std::to_string(n2) + " has set ",
                                     std::clamp(s2, 1, npset), 1, npset, 3));
    d.buttons = buttons;
    d.default_button = accept;
    if (plat().dialog(d) != accept) return false;
    s1 = static_cast<int>(d.fields[0].ivalue);
    s2 = static_cast<int>(d.fields[1].ivalue);
    if (s1 >= 1 && s1 <= npset && s2 >= 1 && s2 <= npset) return true;
    PUTERR("No. of sets exceeded!");
  }
}

void pick_loaded_edges(const MeshModel& m, const LoadTables& t, std::ostream& out,
                       std::ostream& prt) {
  for (;;) {
    MeshWindow frame;
    plot_for_picking(m, frame);
    const bool zoomed = offer_zoom(m, "Do you want to zoom?", frame);
    for (;;) {
      const int e = PICKLZ(m, "Click on an element with loaded edge, or click End:", frame);
      if (e == 0) break;
      if (element_type_code(element_key(m.nnode(e), m.nside(e))) == 0) {
        OUTGI("Error: unrecognized element ", e);
        continue;
      }
      LABELT(m, e, LOADED_COLOUR);
      const int n1 = PICKNZ(m, "Click on first corner node of the edge to be loaded:", frame);
      if (n1 == 0) {
        TELL("Click End again to end");
        continue;
      }
      SLEEPZ(0.3);
      const int n2 = PICKNZ(m, "Now click on second corner node:", frame);
      if (n2 == 0) {
        TELL("Click End again to end");
        continue;
      }
      const int nnas = edge_node_count(m, e, n1, n2);
      if (nnas == 0) {
        PUTERR("Nodes do not define an edge of the element!");
        continue;
      }
      LABNDE(m, n1, LOADED_COLOUR);
      LABNDE(m, n2, LOADED_COLOUR);
      int s1 = 1, s2 = 1;
      if (t.npset == 1) {
        PUT("Only one traction set; assigning it to the edge...");
      } else if (!ask_edge_sets("LOAD: surface tractions",
                                {"Traction on edge of element " + std::to_string(e) + ": ",
                                 "Enter traction set no.s:"},
                                {"OK", "Cancel"}, 1, t.npset, n1, n2, s1, s2)) {
        continue;
      }
      write_edge(out, prt, nnas, e, n1, s1, n2, s2);
    }
    if (!zoomed || YESNOG("Assign tractions in another part of mesh?") != 'y') return;
  }
}

// --- LOADG -----------------------------------------------------------------------------

void LOADG(MeshModel& m, LoadTables& t, std::ostream& out, std::ostream& prt) {
  CENTRD(m);
  prt << "Applied nodal forces\n" << std::string(20, '-') << "\n Node  x-component  y-component\n";
  pick_nodal_loads(m, t, 1, "LOAD: nodal forces", &prt);
  if (m.ndofn < 0 && YESNOG("Will there be Specified Nodal Displacements?") == 'y') {
    prt << "Specified displacements.\n" << std::string(23, '-')
        << "\n Node  x-component  y-component\n";
    pick_nodal_loads(m, t, 2, "LOAD: specified displacements", &prt);
  }
  PUT("End of nodal forces & specified displacements.");
  const bool body = m.ndofn < 0 && YESNOG("Will there be any body force loading?") == 'y';
  const bool traction = YESNOG("Will there be any surface tractions?") == 'y';
  if (body) body_forces(m, t);
  if (traction) traction_sets(t);
  write_loads_section(out, m, t);
  list_sets(prt, m, t);
  if (t.npset > 0) {
    PUT("Tractions along element edges....");
    start_edge_list(out, prt);
    pick_loaded_edges(m, t, out, prt);
    out << "1\n";
  }
}

}  // namespace vortan
