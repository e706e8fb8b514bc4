#include "boundaries.h"

#include <algorithm>

#include "help_screens.h"
#include "mesh_display.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"
#include "records.h"

namespace vortan {

namespace {

constexpr int SET_COLOUR = 14;  // labels of the nodes of the set being defined

bool excavation(int ndofn) { return ndofn == -2; }

std::string num(long v) { return std::to_string(v); }

// A dialog of two reals with an OK button, for the G10.3 fields of a
// boundary-set record.
void two_reals(const std::string& caption, const std::vector<std::string>& lines,
               const std::string& label1, const std::string& label2, double& v1, double& v2) {
  DialogSpec d = two_value_dialog(caption, lines, label1, label2, v1, v2, {"OK"});
  dialog_fitting(d, {G10_3, G10_3});
  v1 = d.fields[0].rvalue;
  v2 = d.fields[1].rvalue;
}

void label_set(const MeshModel& m, const BoundaryTables& b, int s, const MeshWindow& frame) {
  for (int n = 1; n <= m.npoin; ++n)
    if (b.lbset(n) == s && frame.holds(m.coord(n, 1), m.coord(n, 2))) LABNDE(m, n, SET_COLOUR);
}

// The degree of freedom of a set of Dirichlet values, typed as one key.
int ask_dof() {
  for (;;) {
    WRTEXT("Which degree of freedom will boundary values apply to? ");
    int k;
    do {
      k = GETKZZ();
    } while (k < 32 || k > 126);
    WRLINE(std::string(1, static_cast<char>(k)));
    if (k >= '1' && k <= '4') return k - '0';
    WRLINE("Enter a number between 1 and 4!");
    WRLINE("Enter 1 if there is only one d.o.f. per node.");
  }
}

char ask_axis() {
  WRTEXT("Type x (for vertical bdry) or y (for horizontal boundary): ");
  for (;;) {
    const int k = GETKZZ();
    if (k < 32 || k > 126) continue;
    if (k == 'x' || k == 'X' || k == 'y' || k == 'Y') {
      WRLINE(std::string(1, static_cast<char>(k)));
      return k == 'x' || k == 'X' ? 'x' : 'y';
    }
    if (plat().text_line_open()) plat().text_newline();
    WRTEXT("Type x or y: ");
  }
}

}  // namespace

void clear_boundaries(BoundaryTables& b) {
  b.nbdry = b.nbdir = b.ndval = 0;
  for (int s = 0; s <= MSETS; ++s) {
    b.bfirst[s] = 0;
    b.bpar[s][0] = b.bpar[s][1] = b.bpar[s][2] = 0.0;
  }
  b.lbset.fill(0);
}

void ask_boundary_kinds(int ndofn, bool& sets, bool& planes) {
  sets = planes = false;
  if (ndofn == 2 || ndofn == 3) return;
  char a;
  if (excavation(ndofn)) {
    while ((a = YESNOH("Will you define any excavation boundaries?")) == 'h') HPEXC();
  } else {
    while ((a = YESNOH("Will you define any radiating boundaries?")) == 'h') HPRAD();
  }
  sets = a == 'y';
  while ((a = YESNOH("Will you define any Dirichlet boundary planes?")) == 'h') HPBDRY();
  planes = a == 'y';
}

int ask_set_count(const std::string& question) {
  for (;;) {
    const int k = PUTGI(question);
    if (k >= 1 && k <= MSETS) return k;
    if (YESNOG("Invalid no. - abandon boundary sets?") == 'y') return 0;
  }
}

void start_boundary_sets(int ndofn, std::ostream& prt) {
  PUT(excavation(ndofn) ? "Start of excavation boundary data" : "Start of radiating boundary data");
  prt << (excavation(ndofn) ? "Excavation boundaries" : "Radiating boundaries") << "\n"
      << std::string(21, '-') << "\n";
}

void end_boundary_sets(int ndofn) {
  PUT(excavation(ndofn) ? "End of excavation boundary data" : "End of radiating boundary data");
}

void boundary_set_values(int ndofn, BoundaryTables& b, int s, bool existing, std::ostream& prt) {
  const std::string set_line = "(This is boundary set " + num(s) + ")";
  double& v1 = b.bpar[s][1];
  double& v2 = b.bpar[s][2];
  if (!existing) {
    b.bfirst[s] = 1;
    v1 = v2 = 0.0;
    if (ndofn == -1) {
      // The d.o.f. must be one a node can have: 1 to 4 (0 meaning 1).
      for (;;) {
        const int d = PUTGI("Which d.o.f. will this apply to (default is 1)?");
        if (d >= 0 && d <= 4) {
          b.bfirst[s] = d == 0 ? 1 : d;
          break;
        }
        PUTERR("Enter a number between 1 and 4!");
      }
    } else if (excavation(ndofn)) {
      DialogSpec d;
      d.caption = "In situ stress field";
      d.icon = DialogIcon::Question;
      d.lines = {DialogLine{"Choose type of in situ stress field:"}};
      d.buttons = {"Uniform", "Overburden"};
      b.bfirst[s] = plat().dialog(d) == 2 ? 2 : 1;
    }
  }
  std::vector<std::string> lines;
  if (excavation(ndofn)) {
    if (existing) lines.push_back("Existing stress field set " + num(s) + ":");
    prt << "   In-situ stress field:\n";
    if (b.bfirst[s] == 2) {
      lines.push_back("Enter density, lat. stress ratio: ");
      lines.push_back(set_line);
      two_reals("Overburden stress field", lines, "Gamma = ", "K0", v1, v2);
      prt << "Soil density = " << free_real_text(v1) << "\n"
          << "Lateral stress ratio = " << free_real_text(v2) << "\n";
    } else {
      lines.push_back("Enter horiz and vertical stresses: ");
      lines.push_back(set_line);
      two_reals("Uniform stress field", lines, "Sx", "Sy", v1, v2);
      prt << "Horizontal stress = " << free_real_text(v1) << "\n"
          << "Vertical stress = " << free_real_text(v2) << "\n";
    }
  } else {
    if (existing) lines.push_back("Existing radiation parameters of set " + num(s) + ":");
    lines.push_back("Enter radiation parameters: ");
    lines.push_back(set_line);
    two_reals("Radiating boundary", lines, "Rad. constant ALPHA = ", "Flow gradient QBAR = ", v1,
              v2);
    prt << "Radiation constant = " << free_real_text(v1) << "\n"
        << "Flow gradient = " << free_real_text(v2) << "\n";
  }
}

void boundary_set_nodes(const MeshModel& m, BoundaryTables& b, int s, bool toggle,
                        std::ostream& prt) {
  const std::string prompt = toggle ? "Click a node (click numbered node to remove from set)"
                                    : "Click on a node - click End if no more nodes on bdry";
  for (;;) {
    MeshWindow frame;
    plot_for_picking(m, frame);
    label_set(m, b, s, frame);
    if (offer_zoom(m, "Do you want to zoom?", frame)) label_set(m, b, s, frame);
    for (;;) {
      const int n = PICKNZ(m, prompt, frame);
      if (n == 0) break;
      if (toggle && b.lbset(n) == s) {
        b.lbset(n) = 0;
        LABNDE(m, n, BACKGROUND);  // the label is painted over
      } else {
        b.lbset(n) = s;
        LABNDE(m, n, SET_COLOUR);
      }
    }
    if (YESNOG("More bdry nodes in different part of mesh?") != 'y') break;
  }
  prt << "   Nodes on boundary: \n";
  const int npoin = m.npoin;
  int list[14], first = 1, last;
  do {
    SCAN(list, first, last, s, b.lbset, npoin);
    Rec r;
    for (int k = 0; k < 14 && list[k] != 0; ++k) r.I(list[k], 5);
    if (!r.str().empty()) prt << r.str() << "\n";
    first = last + 1;
  } while (last < npoin);
  prt << " applies to deg. of freedom " << b.bfirst[s] << "\n";
}

void write_boundary_sets(std::ostream& out, const MeshModel& m, const BoundaryTables& b) {
  if (m.ndofn == 2 || m.ndofn == 3) {
    out << " nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)\n"
        << Rec().I(0, 5).I(0, 5).str() << "\n";
    return;
  }
  out << (excavation(m.ndofn) ? " nbdry nbdir (no. of exc. bdry sets & Dirichlet bdry planes)\n"
                              : " nbdry nbdir (no. of rad. bdry sets & Dirichlet bdry planes)\n");
  out << Rec().I(b.nbdry, 5).I(b.nbdir, 5).str() << "\n";
  if (b.nbdry == 0) return;
  out << (excavation(m.ndofn) ? "istyp set Sx/gamma    Sy/K0     nodes in boundary set\n"
                              : "dof set rad coeft  spec flow    nodes in boundary set\n");
  const int npoin = m.npoin;
  for (int s = 1; s <= std::min(b.nbdry, MSETS); ++s) {
    int list[10], first = 1, last;
    do {
      SCAN10(list, first, last, s, b.lbset, npoin);
      Rec r;
      r.I(0, 1).I(b.bfirst[s], 2).I(s, 2).G(b.bpar[s][1], 10, 3).G(b.bpar[s][2], 10, 3);
      for (int k = 0; k < 10; ++k) r.I(list[k], 5);
      out << r.str() << "\n";
      first = last + 1;
    } while (last < npoin);
  }
  out << "1\n";
}

void write_dirichlet(std::ostream& out, std::ostream& prt, char axis, double coord, double value,
                     int dof) {
  out << Rec().I(0, 1).A(std::string(1, axis)).A(" =").G(coord, 10, 3).X(5).G(value, 10, 3)
             .I(dof, 5).str()
      << "\n";
  const std::string echo = "U = " + free_real_text(value) + " on Dirichlet bdry where " +
                           std::string(1, axis) + " = " + free_real_text(coord);
  WRLINE(echo);
  prt << echo << "\n";
}

void start_dirichlet(std::ostream& out, std::ostream& prt) {
  WRLINE("Data input nearly complete!");
  out << "x/y = coordinate    value on Dirichlet bdry   d.o.f.\n";
  WRLINE("Dirichlet boundary planes");
  WRLINE(std::string(25, '-'));
  prt << "Dirichlet boundary planes\n" << std::string(25, '-') << "\n";
}

void dirichlet_value_sets(int ndofn, BoundaryTables& b, std::ostream& out, std::ostream& prt) {
  if (ndofn < 0) {
    WRLINE("At Advanced level, you can define Dirichlet planes for each");
    WRLINE("nodal degree of freedom you have defined (max ndof = 4).");
  }
  if (b.ndval >= MDIRV) {
    WRLINE("Max number of boundary value sets reached.");
    return;
  }
  for (;;) {
    const int dof = ndofn < 0 ? ask_dof() : 1;
    prt << "Applies to degree of freedom " << dof << "\n";
    WRLINE("You can fix values of U on a vertical boundary");
    WRLINE("            (defined by specifying its x-coordinate),");
    WRLINE("or on a horizontal boundary");
    WRLINE("             (defined by specifying its y-coordinate).");
    WRLINE("Start inputting Dirichlet value sets...");
    for (;;) {
      const char axis = ask_axis();
      SLEEPZ(0.3);
      WRTEXT("Now specify the coordinate: " + std::string(1, axis) + " = ");
      double coord = 0.0, value = 0.0;
      ASKVAL(coord, G10_3);
      WRLINE("What will be the value of U on this boundary?");
      ASKVAL(value, G10_3);
      write_dirichlet(out, prt, axis, coord, value, dof);
      if (++b.ndval >= MDIRV) {
        // The analysis takes no more value sets: entry ends here for
        // every degree of freedom.
        WRLINE("Max number of boundary value sets reached.");
        return;
      }
      if (YESNO("Input another boundary value set for this d.o.f.?") != 'y') break;
    }
    if (ndofn > 0 || YESNO("Input boundary values for another degree of freedom?") != 'y') return;
  }
}

void end_dirichlet(std::ostream& out) {
  WRLINE("Any Dirichlet nodes not defined by these");
  WRLINE("data, will be assigned a value using the inbuilt");
  WRLINE("boundary function bdryfn in POISS.FOR.");
  WRLINE("If you want to change the data you have entered,");
  WRLINE("you can easily edit the .DAT file using Notepad.");
  out << "1\n";
}

void PARTB(MeshModel& m, BoundaryTables& b, std::ostream& out, std::ostream& prt) {
  bool sets, planes;
  ask_boundary_kinds(m.ndofn, sets, planes);
  b.lbset.fill(0);
  b.nbdry = b.nbdir = 0;
  if (sets) {
    start_boundary_sets(m.ndofn, prt);
    const int count = ask_set_count("How many boundary sets will you define (max = 9)?");
    for (int s = 1; s <= count; ++s) {
      OUTGI("Defining boundary set ", s);
      prt << "Boundary set: " << s << "\n";
      boundary_set_values(m.ndofn, b, s, false, prt);
      boundary_set_nodes(m, b, s, false, prt);
    }
    b.nbdry = count;
    if (count > 0) end_boundary_sets(m.ndofn);
  }
  if (planes) {
    PUT("Start of Dirichlet boundary data");
    b.nbdir = ask_set_count("How many boundary planes will you define (max = 9)?");
  }
  write_boundary_sets(out, m, b);
  if (m.ndofn == 2 || m.ndofn == 3) return;
  plat().text_open("GRIDOR text");
  if (b.nbdir > 0) {
    start_dirichlet(out, prt);
    dirichlet_value_sets(m.ndofn, b, out, prt);
    end_dirichlet(out);
  }
}

}  // namespace vortan
