#include "part_b_modify.h"

#include <algorithm>
#include <string>

#include "line_reader.h"
#include "mesh_display.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {

bool line_of(std::istream& in, std::string& l) { return next_line(in, l); }

// Reads one flagged list: `take` gets each line after its flag. A list
// ends at the first line whose flag is not 0; that line is data when
// `data_on_last` (a value list) and a bare terminator otherwise. False at
// the end of the file or on a malformed field.
template <class Take>
bool read_list(std::istream& in, bool data_on_last, Take take) {
  std::string l;
  for (;;) {
    if (!line_of(in, l)) return false;
    RecordReader r(l);
    const long flag = r.I(1);
    if (!r.ok()) return false;
    if (flag != 0 && !data_on_last) return true;
    if (!take(r) || !r.ok()) return false;
    if (flag != 0) return true;
  }
}

bool read_loads(std::istream& in, OldPartB& o) {
  std::string l;
  if (!line_of(in, l)) return false;
  RecordReader counts(l);
  const long nbset = counts.I(5), npset = counts.I(5);
  if (!counts.ok() || nbset < 0 || nbset > MSETS || npset < 0 || npset > MSETS) return false;
  o.nbset = static_cast<int>(nbset);
  o.npset = static_cast<int>(npset);
  if (!line_of(in, l)) return false;  // header
  bool ok = read_list(in, false, [&](RecordReader& r) {
    const long type = r.I(4), node = r.I(5);
    const double x = r.F(10, 3), y = r.F(10, 3);
    if (node < 1 || node > MPOIN || (type != 1 && type != 2)) {  // not usable
      ++o.unusable;
      return true;
    }
    if (o.nload >= MPOIN) return false;
    ++o.nload;
    o.lnode(o.nload) = static_cast<int>(node);
    o.ltype(o.nload) = static_cast<int>(type);
    o.lval(o.nload, 1) = x;
    o.lval(o.nload, 2) = y;
    return true;
  });
  if (!ok) return false;
  if (o.nbset > 0) {
    if (!line_of(in, l)) return false;
    ok = read_list(in, true, [&](RecordReader& r) {
      const long s = r.I(4);
      r.X(3);
      const long c = r.I(2);
      r.X(10);
      const double v = r.F(10, 3);
      if (s >= 1 && s <= o.nbset && c >= 1 && c <= 2) o.bodyf[s][c] = v;
      return true;
    });
    if (!ok || !line_of(in, l)) return false;
    ok = read_list(in, false, [&](RecordReader& r) {
      const long s = r.I(4);
      for (int k = 0; k < 14; ++k) {
        const long e = r.I(5);
        if (s >= 1 && s <= o.nbset && e >= 1 && e <= MELEM) o.ibody(static_cast<int>(e)) = s;
      }
      return true;
    });
    if (!ok) return false;
  }
  if (o.npset > 0) {
    if (!line_of(in, l)) return false;
    ok = read_list(in, true, [&](RecordReader& r) {
      const long s = r.I(4);
      r.X(3);
      r.I(2);
      r.I(2);
      r.X(8);
      const double pn = r.F(10, 3), pt = r.F(10, 3);
      if (s >= 1 && s <= o.npset) {
        o.trac[s][1] = pn;
        o.trac[s][2] = pt;
      }
      return true;
    });
    if (!ok || !line_of(in, l)) return false;
    ok = read_list(in, false, [&](RecordReader& r) {
      long v[6];
      v[0] = r.I(4);
      v[1] = r.I(5);
      v[2] = r.I(5);
      v[3] = r.I(2);
      r.X(1);
      v[4] = r.I(5);
      v[5] = r.I(2);
      if (o.nedge >= MEDGE) return false;
      ++o.nedge;
      for (int k = 0; k < 6; ++k) o.edges(o.nedge, k + 1) = static_cast<int>(v[k]);
      return true;
    });
    if (!ok) return false;
  }
  return true;
}

bool read_boundaries(std::istream& in, OldPartB& o) {
  std::string l;
  if (!line_of(in, l)) return false;
  RecordReader counts(l);
  const long nbdry = counts.I(5), nbdir = counts.I(5);
  if (!counts.ok() || nbdry < 0 || nbdry > MSETS || nbdir < 0 || nbdir > MSETS) return false;
  o.nbdry = static_cast<int>(nbdry);
  o.nbdir = static_cast<int>(nbdir);
  if (o.nbdry > 0) {
    if (!line_of(in, l)) return false;
    bool ok = read_list(in, false, [&](RecordReader& r) {
      const long first = r.I(2), s = r.I(2);
      const double p1 = r.F(10, 3), p2 = r.F(10, 3);
      const bool good = s >= 1 && s <= o.nbdry;
      if (good) {
        o.bfirst[s] = static_cast<int>(first);
        o.bpar[s][1] = p1;
        o.bpar[s][2] = p2;
      }
      for (int k = 0; k < 10; ++k) {
        const long n = r.I(5);
        if (good && n >= 1 && n <= MPOIN) o.lbset(static_cast<int>(n)) = static_cast<int>(s);
      }
      return true;
    });
    if (!ok) return false;
  }
  if (o.nbdir > 0) {
    if (!line_of(in, l)) return false;
    bool ok = read_list(in, false, [&](RecordReader& r) {
      const std::string axis = r.A(1);
      r.A(2);
      const double c = r.F(10, 3);
      r.X(5);
      const double v = r.F(10, 3);
      const long dof = r.I(5);
      const char a = static_cast<char>(std::tolower(static_cast<unsigned char>(axis[0])));
      if ((a != 'x' && a != 'y') || o.ndval >= MDIRV) {  // cannot be used
        ++o.unusable;
        return true;
      }
      o.dirv[++o.ndval] = OldDirichlet{a, c, v, static_cast<int>(std::clamp(dof, 1L, 4L))};
      return true;
    });
    if (!ok) return false;
  }
  return true;
}

bool read_control(std::istream& in, OldPartB& o) {
  std::string l;
  if (!line_of(in, l) || !line_of(in, l)) return false;  // increments header and line
  RecordReader inc(l);
  const long nincs = inc.I(5);
  if (!inc.ok() || nincs < 0 || nincs > 9) return false;
  o.nincs = static_cast<int>(nincs);
  for (int i = 1; i <= o.nincs; ++i) o.sizes[i] = inc.F(5, 2);
  if (!inc.ok() || !line_of(in, l)) return false;  // timestepping header
  if (!line_of(in, l)) l.clear();                  // a last empty line may be missing
  RecordReader ts(l);
  double* v[] = {&o.dtint, &o.ftime, &o.allow, &o.theta, &o.ttend};
  for (double* p : v) *p = ts.F(10, 3);
  return ts.ok();
}

// A node or element number of the old file in the new numbering; 0 when
// it has no place in the mesh.
int new_node(const Table1<int, MPOIN>& newnod, const MeshModel& m, int old) {
  if (old < 1 || old > MPOIN) return 0;
  const int n = newnod(old);
  return valid_node(m, n) ? n : 0;
}

int new_element(const Table1<int, MELEM>& newelt, const MeshModel& m, int old) {
  if (old < 1 || old > MELEM) return 0;
  const int e = newelt(old);
  return e >= 1 && e <= m.nelem ? e : 0;
}

void existing_loads(const MeshModel& m, LoadTables& t, const OldPartB& old,
                    const Table1<int, MPOIN>& newnod) {
  if (old.nload == 0) PUT("No load/displt data in input file!");
  for (int i = 1; i <= old.nload; ++i) {
    const int n = new_node(newnod, m, old.lnode(i));
    if (n == 0) continue;
    LABNDE(m, n, 14);
    DialogSpec d;
    d.caption = "LOAD: existing nodal forces/displts";
    d.icon = DialogIcon::Question;
    d.lines = {DialogLine{(old.ltype(i) == 1 ? "Point force on node " : "Spec. displacement on node ") +
                          std::to_string(n) + ":"}};
    d.fields.push_back(real_field("x-component = ", old.lval(i, 1), 10));
    d.fields.push_back(real_field("y-component = ", old.lval(i, 2), 10));
    d.buttons = {"Ignore", "Include"};
    d.default_button = 2;
    if (dialog_fitting(d, {E10_3, E10_3}, 2) != 2) continue;
    t.ltype(n) = old.ltype(i);
    t.lval(n, 1) = d.fields[0].rvalue;
    t.lval(n, 2) = d.fields[1].rvalue;
  }
}

void list_nodal_loads(std::ostream& prt, const MeshModel& m, const LoadTables& t) {
  const int npoin = m.npoin;
  prt << "Applied nodal forces\n" << std::string(20, '-') << "\n Node  x-component  y-component\n";
  for (int n = 1; n <= npoin; ++n)
    if (t.ltype(n) == 1) prt << load_listing_line(n, t.lval(n, 1), t.lval(n, 2)) << "\n";
  bool any = false;
  for (int n = 1; n <= npoin; ++n) any = any || t.ltype(n) == 2;
  if (!any) return;
  prt << "Specified displacements\n" << std::string(23, '-') << "\n Node  x-component  y-component\n";
  for (int n = 1; n <= npoin; ++n)
    if (t.ltype(n) == 2) prt << load_listing_line(n, t.lval(n, 1), t.lval(n, 2)) << "\n";
}

// Old body force sets are offered in turn, then new ones; a kept set takes
// the next set number and its old elements start marked.
void edit_body_forces(const MeshModel& m, LoadTables& t, const OldPartB& old,
                      const Table1<int, MELEM>& newelt) {
  MeshWindow frame;
  plot_for_picking(m, frame);
  if (old.nbset == 0) PUT("No body force data in input file!");
  for (int k = 1;; ++k) {
    const bool existing = k <= old.nbset;
    if (!existing && YESNOG("Input a further body force set?") != 'y') break;
    DialogSpec d;
    d.caption = "LOAD: body forces";
    d.icon = DialogIcon::Question;
    d.lines = {DialogLine{"Body force set " + std::to_string(t.nbset + 1) + ":"}};
    d.fields.push_back(real_field("x-component = ", existing ? old.bodyf[k][1] : 0.0, 10));
    d.fields.push_back(real_field("y-component = ", existing ? old.bodyf[k][2] : 0.0, 10));
    d.buttons = {"OK", "Cancel"};
    if (dialog_fitting(d, {E10_3, E10_3}) != 1) continue;
    const double bx = d.fields[0].rvalue, by = d.fields[1].rvalue;
    if (bx == 0.0 && by == 0.0) continue;
    if (t.nbset >= MSETS) {
      PUTERR("Exceeds max. no. of data sets - move on!");
      break;
    }
    const int s = ++t.nbset;
    t.bodyf[s][1] = bx;
    t.bodyf[s][2] = by;
    t.marks.fill(0);
    if (existing) {
      MPUT("You can remove existing elements from", "the set by clicking on them!");
      for (int oe = 1; oe <= MELEM; ++oe) {
        if (old.ibody(oe) != k) continue;
        const int e = new_element(newelt, m, oe);
        if (e != 0) t.marks(e) = -1;
      }
    }
    pick_body_force_elements(m, t, s, frame);
  }
  PUT("Body force loading data completed.");
}

void edit_traction_sets(LoadTables& t, const OldPartB& old, int (&setmap)[MSETS + 1]) {
  for (int& s : setmap) s = 0;
  if (old.npset == 0) PUT("No surface traction data in input file!");
  PUT("Surface traction sets...");
  for (int k = 1;; ++k) {
    const bool existing = k <= old.npset;
    if (!existing && YESNOG("Input a further, new surface traction?") != 'y') break;
    DialogSpec d;
    d.caption = "LOAD: surface tractions";
    d.icon = DialogIcon::Question;
    d.lines = {DialogLine{"Surface traction set " + std::to_string(t.npset + 1) + ":"}};
    d.fields.push_back(real_field("normal component = ", existing ? old.trac[k][1] : 0.0, 10));
    d.fields.push_back(real_field("tangential component = ", existing ? old.trac[k][2] : 0.0, 10));
    d.buttons = {"OK", "Cancel"};
    if (dialog_fitting(d, {E10_3, E10_3}) != 1) continue;
    if (t.npset >= MSETS) {
      PUTERR("Exceeds max. no. of data sets - move on!");
      break;
    }
    const int s = ++t.npset;
    t.trac[s][1] = d.fields[0].rvalue;
    t.trac[s][2] = d.fields[1].rvalue;
    if (existing) setmap[k] = s;
  }
}

void existing_edges(const MeshModel& m, const LoadTables& t, const OldPartB& old,
                    const Table1<int, MPOIN>& newnod, const Table1<int, MELEM>& newelt,
                    const int (&setmap)[MSETS + 1], std::ostream& out, std::ostream& prt) {
  MeshWindow frame;
  plot_for_picking(m, frame);
  for (int i = 1; i <= old.nedge; ++i) {
    const int e = new_element(newelt, m, old.edges(i, 2));
    if (e == 0) continue;
    if (element_type_code(element_key(m.nnode(e), m.nside(e))) == 0) {
      PUTERR("Error: unrecognized element");
      continue;
    }
    const int n1 = new_node(newnod, m, old.edges(i, 3)), n2 = new_node(newnod, m, old.edges(i, 5));
    const int nnas = edge_node_count(m, e, n1, n2);
    if (n1 == 0 || n2 == 0 || nnas == 0) {
      PUTERR("Existing edge traction ignored - no longer makes sense!");
      continue;
    }
    LABELT(m, e, 14);
    LABNDE(m, n1, 14);
    LABNDE(m, n2, 14);
    auto mapped = [&](int s) { return s >= 1 && s <= MSETS && setmap[s] != 0 ? setmap[s] : 1; };
    int s1 = mapped(old.edges(i, 4)), s2 = mapped(old.edges(i, 6));
    if (ask_edge_sets("LOAD: surface tractions",
                      {"Traction on element " + std::to_string(e) + ":"}, {"Ignore", "Include"}, 2,
                      t.npset, n1, n2, s1, s2))
      write_edge(out, prt, nnas, e, n1, s1, n2, s2);
  }
}

}  // namespace

void clear_old_part_b(OldPartB& o) {
  o.has_loads = false;
  o.nbset = o.npset = o.nload = o.nedge = o.nbdry = o.nbdir = o.ndval = o.nincs = 0;
  o.unusable = 0;
  o.lnode.fill(0);
  o.ltype.fill(0);
  o.lval.fill(0.0);
  o.ibody.fill(0);
  o.edges.fill(0);
  o.lbset.fill(0);
  for (int s = 0; s <= MSETS; ++s) {
    o.bfirst[s] = 0;
    for (int c = 0; c < 3; ++c) o.bodyf[s][c] = o.trac[s][c] = o.bpar[s][c] = 0.0;
  }
  for (auto& d : o.dirv) d = OldDirichlet{};
  for (double& v : o.sizes) v = 0.0;
  o.dtint = o.ftime = o.allow = o.theta = o.ttend = 0.0;
}

bool read_old_part_b(std::istream& in, OldPartB& old) {
  // Every copy starts from empty tables.
  clear_old_part_b(old);
  std::string header;
  if (!line_of(in, header)) return false;
  old.has_loads = header.find("nbset") != std::string::npos;
  if (old.has_loads) {
    if (!read_loads(in, old) || !line_of(in, header)) return false;
  }
  return read_boundaries(in, old) && read_control(in, old);
}

void MDFYLD(MeshModel& m, LoadTables& t, const OldPartB& old, const Table1<int, MPOIN>& newnod,
            const Table1<int, MELEM>& newelt, std::ostream& out, std::ostream& prt) {
  CENTRD(m);
  HEADNG("LOAD: nodal forces and spec. displacements");
  PUT("   Nodal Forces & spec. displacements ....");
  MeshWindow frame;
  plot_for_picking(m, frame);
  existing_loads(m, t, old, newnod);
  if (YESNOG("Will you add more nodal loads or spec. displacements?") == 'y') {
    pick_nodal_loads(m, t, 1, "LOAD: new nodal forces", nullptr);
    if (m.ndofn < 0 && YESNOG("Will you add any Specified Displacements?") == 'y')
      pick_nodal_loads(m, t, 2, "LOAD: new specified displacements", nullptr);
  }
  list_nodal_loads(prt, m, t);
  PUT("End of nodal forces & specified displacements.");
  const bool body = m.ndofn < 0 && YESNOG("Will there be any body force loading?") == 'y';
  const bool traction = YESNOG("Will there be any surface tractions?") == 'y';
  if (body) edit_body_forces(m, t, old, newelt);
  int setmap[MSETS + 1] = {};
  if (traction) edit_traction_sets(t, old, setmap);
  write_loads_section(out, m, t);
  list_sets(prt, m, t);
  if (t.npset > 0) {
    PUT("Existing tractions along element edges....");
    start_edge_list(out, prt);
    existing_edges(m, t, old, newnod, newelt, setmap, out, prt);
    if (YESNOG("Do you want to add new tractions?") == 'y') pick_loaded_edges(m, t, out, prt);
    out << "1\n";
  }
}

void MDFYPB(MeshModel& m, BoundaryTables& b, const OldPartB& old,
            const Table1<int, MPOIN>& newnod, std::ostream& out, std::ostream& prt) {
  clear_boundaries(b);
  if (m.ndofn == 2 || m.ndofn == 3) {
    out << " nbrad nbdir (no. of rad. bdry sets & Dirichlet bdry sets)\n"
        << Rec().I(0, 5).I(0, 5).str() << "\n";
    return;
  }
  bool sets, planes;
  ask_boundary_kinds(m.ndofn, sets, planes);
  // The old sets are the starting point: their nodes, types and values.
  for (int o = 1; o <= MPOIN; ++o) {
    if (old.lbset(o) < 1 || old.lbset(o) > old.nbdry) continue;
    const int n = new_node(newnod, m, o);
    if (n != 0) b.lbset(n) = old.lbset(o);
  }
  for (int s = 1; s <= old.nbdry; ++s) {
    b.bfirst[s] = std::max(old.bfirst[s], 1);
    b.bpar[s][1] = old.bpar[s][1];
    b.bpar[s][2] = old.bpar[s][2];
  }
  if (sets) {
    start_boundary_sets(m.ndofn, prt);
    OUTGI("No. of existing boundary sets =", old.nbdry);
    const int count = ask_set_count("How many sets in total will you define?");
    for (int s = 1; s <= count; ++s) {
      OUTGI("Defining boundary set ", s);
      prt << "Boundary set: " << s << "\n";
      boundary_set_values(m.ndofn, b, s, s <= old.nbdry, prt);
      boundary_set_nodes(m, b, s, true, prt);
    }
    b.nbdry = count;
    if (count > 0) end_boundary_sets(m.ndofn);
  }
  for (int n = 1; n <= MPOIN; ++n)
    if (b.lbset(n) > b.nbdry) b.lbset(n) = 0;
  if (planes) {
    PUT("Start of Dirichlet boundary data");
    b.nbdir = ask_set_count("How many boundary planes will you define (max = 9)?");
  }
  write_boundary_sets(out, m, b);
  plat().text_open("GRIDOR text");
  if (b.nbdir == 0) return;
  start_dirichlet(out, prt);
  for (int i = 1; i <= old.ndval && b.ndval < MDIRV; ++i) {
    const OldDirichlet& v = old.dirv[i];
    DialogSpec d;
    d.caption = "Existing dirichlet boundary";
    d.icon = DialogIcon::Question;
    d.lines = {DialogLine{"(For degree of freedom " + std::to_string(v.dof) + ")"},
               DialogLine{"U = " + free_real_text(v.value) + " on Dirichlet"},
               DialogLine{"boundary where  " + std::string(1, v.axis) + " = " +
                          free_real_text(v.coord)}};
    d.buttons = {"Ignore", "Include"};
    d.default_button = 2;
    if (plat().dialog(d) != 2) continue;
    prt << "Applies to degree of freedom " << v.dof << "\n";
    write_dirichlet(out, prt, v.axis, v.coord, v.value, v.dof);
    ++b.ndval;
  }
  if (YESNOG("Do you want to define more Dirichlet boundaries?") == 'y')
    dirichlet_value_sets(m.ndofn, b, out, prt);
  end_dirichlet(out);
}

}  // namespace vortan
