// Copied Part B reader: any text after a Part A is read whole or refused,
// without a crash. What is read is written as GRIDOR writes a copied Part B
// taken over whole (every old item included, nothing added, no renumbering):
// the loads and boundary sections through their writers, the increment and
// timestepping blocks through their dialogues, each accepted as offered.
// That text must read back and write again as the same text.
#include <cstdlib>
#include <memory>
#include <sstream>

#include "boundaries.h"
#include "dat_file.h"
#include "fuzz_support.h"
#include "loads.h"
#include "part_b_modify.h"
#include "part_b_sequence.h"

namespace vortan::fuzz {
namespace {

// Reads Part A and then the old Part B; false when either is refused.
bool read_both(const std::string& text, MeshModel& m, OldPartB& old) {
  std::istringstream in(text);
  try {
    INPUT(in, m);
    if (!find_part_b(in)) return false;
    return read_old_part_b(in, old);
  } catch (const ProgramExit&) {
    return false;
  }
}

// The work tables, made once: too large for the stack.
PartBTables& tables() {
  static std::unique_ptr<PartBTables> t = std::make_unique<PartBTables>();
  return *t;
}

void write_loads(std::ostream& out, const MeshModel& m, const OldPartB& o) {
  LoadTables& t = tables().loads;
  clear_loads(t);
  for (int i = 1; i <= o.nload; ++i) {
    const int n = o.lnode(i);
    if (n > m.npoin) continue;
    t.ltype(n) = o.ltype(i);
    t.lval(n, 1) = o.lval(i, 1);
    t.lval(n, 2) = o.lval(i, 2);
  }
  t.nbset = o.nbset;
  t.npset = o.npset;
  for (int s = 1; s <= MSETS; ++s)
    for (int c = 1; c <= 2; ++c) {
      t.bodyf[s][c] = o.bodyf[s][c];
      t.trac[s][c] = o.trac[s][c];
    }
  for (int e = 1; e <= m.nelem; ++e) t.ibody(e) = o.ibody(e);
  write_loads_section(out, m, t);
  if (t.npset == 0) return;
  std::ostringstream prt;
  start_edge_list(out, prt);
  for (int k = 1; k <= o.nedge; ++k)
    write_edge(out, prt, o.edges(k, 1), o.edges(k, 2), o.edges(k, 3), o.edges(k, 4),
               o.edges(k, 5), o.edges(k, 6));
  out << "1\n";
}

void write_boundaries(std::ostream& out, const MeshModel& m, const OldPartB& o) {
  BoundaryTables& b = tables().bdry;
  clear_boundaries(b);
  b.nbdry = o.nbdry;
  b.nbdir = o.nbdir;
  for (int s = 1; s <= o.nbdry; ++s) {
    b.bfirst[s] = o.bfirst[s];
    b.bpar[s][1] = o.bpar[s][1];
    b.bpar[s][2] = o.bpar[s][2];
  }
  for (int n = 1; n <= m.npoin; ++n) b.lbset(n) = o.lbset(n);
  write_boundary_sets(out, m, b);
  if (m.ndofn == 2 || m.ndofn == 3 || b.nbdir == 0) return;
  std::ostringstream prt;
  start_dirichlet(out, prt);
  for (int k = 1; k <= o.ndval; ++k)
    write_dirichlet(out, prt, o.dirv[k].axis, o.dirv[k].coord, o.dirv[k].value, o.dirv[k].dof);
  end_dirichlet(out);
}

// The increment and timestepping blocks, their dialogues answered by a
// script that takes every offered value. False when a value is refused
// (its dialogue asks again and the script runs out): a user would have
// typed another.
bool write_control(std::ostream& out, const MeshModel& m, const OldPartB& o) {
  const std::string script = std::string(o.nincs > 0 ? "dialog Yes\ndialog OK\ndialog OK\n"
                                                      : "dialog No\n") +
                             "dialog Yes\ndialog OK\n";
  set_platform(std::make_unique<HeadlessPlatform>(parse_script(script, "answers"), "/dev/null",
                                                  "/tmp"));
  AnalysisControl c;
  starting_values(o, c);
  std::ostringstream prt;
  bool done = true;
  try {
    INCREMENTS(m.ndofn, c, out, prt);
    TIMESTEPPING(m.ndofn, c, out, prt);
  } catch (const ProgramExit&) {
    done = false;
  }
  set_platform(std::make_unique<HeadlessPlatform>(std::vector<ScriptEvent>{}, "/dev/null", "/tmp"));
  return done;
}

// Part A as written, then Part B as GRIDOR writes the copied one; empty
// when a value offered would be refused.
std::string written(const MeshModel& m, const OldPartB& o) {
  std::ostringstream out;
  OUTPUT(out, m);
  if (std::abs(m.ndofn) >= 2) write_loads(out, m, o);
  write_boundaries(out, m, o);
  if (!write_control(out, m, o)) return "";
  return out.str();
}

}  // namespace
}  // namespace vortan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vortan;
  using namespace vortan::fuzz;
  quiet_platform();
  MeshModel& m = empty_mesh(0);
  OldPartB& old = tables().old;  // emptied by every read
  if (!read_both(text_of(data, size), m, old)) return 0;
  const std::string once = written(m, old);
  if (once.empty()) return 0;
  MeshModel& again = empty_mesh(1);
  if (!read_both(once, again, old)) round_trip_fails("Part B", "the written Part B is refused", once);
  const std::string twice = written(again, old);
  if (twice != once)
    round_trip_fails("Part B", "the second write differs from the first:\n" + twice, once);
  return 0;
}
