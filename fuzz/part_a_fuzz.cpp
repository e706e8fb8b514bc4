// Part A reader: any text either ends the program with its message or reads
// as tables whose written form is a fixed point. A file may hold more digits
// than the writer keeps, so what was read first is matched with its written
// form only to the writer's rounding (integers and title exactly); what the
// writer wrote must read back, write as the same text, and read again as the
// same tables.
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "dat_file.h"
#include "fuzz_support.h"
#include "prompts.h"

namespace vortan::fuzz {
namespace {

// Reads `text` as a .dat file into m; false when the reader ends the program.
bool read_part_a(const std::string& text, MeshModel& m) {
  std::istringstream in(text);
  try {
    INPUT(in, m);
  } catch (const ProgramExit&) {
    return false;
  }
  return true;
}

std::string written(const MeshModel& m) {
  std::ostringstream out;
  OUTPUT(out, m);
  return out.str();
}

// Two reals agree when they are equal, or, with `loose`, when they differ by
// no more than the rounding of the field they are written to: half a unit
// of the 5th decimal of F10.5, or of the 3rd digit of an E10.3 mantissa
// (0.100 to 0.999), which is at most 5.0E-3 of the value.
bool same(double a, double b, bool loose) {
  if (!loose) return a == b;
  return std::fabs(a - b) <= 5e-6 + 5.0001e-3 * std::fabs(a);
}

// The first table that differs, for the fuzzer's log; empty when none does.
// Integers and the title must always agree; reals exactly or as `loose` says.
std::string first_difference(const MeshModel& a, const MeshModel& b, bool loose) {
  if (a.npoin != b.npoin || a.nelem != b.nelem || a.ndofn != b.ndofn || a.npros != b.npros ||
      trimmed(a.title) != trimmed(b.title) || a.iextra != b.iextra)
    return "counts, title or integer parameters";
  for (int i = 1; i <= 4; ++i)
    if (!same(a.rextra[i], b.rextra[i], loose)) return "real parameter " + std::to_string(i);
  for (int n = 1; n <= a.npoin; ++n) {
    if (!same(a.coord(n, 1), b.coord(n, 1), loose) || !same(a.coord(n, 2), b.coord(n, 2), loose) ||
        a.kode(n) != b.kode(n) || a.ndof(n) != b.ndof(n))
      return "node " + std::to_string(n);
  }
  for (int e = 1; e <= a.nelem; ++e) {
    if (a.nnode(e) != b.nnode(e) || a.nside(e) != b.nside(e) || a.mattyp(e) != b.mattyp(e) ||
        a.matset(e) != b.matset(e))
      return "element " + std::to_string(e);
    for (int k = 1; k <= MNODE; ++k)
      if (a.lnods(e, k) != b.lnods(e, k)) return "nodes of element " + std::to_string(e);
  }
  for (int s = 1; s <= MPROP; ++s)
    for (int c = 1; c <= MCOMP; ++c)
      if (!same(a.props(s, c), b.props(s, c), loose)) return "property set " + std::to_string(s);
  return "";
}

}  // namespace
}  // namespace vortan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vortan;
  using namespace vortan::fuzz;
  quiet_platform();
  MeshModel& first = empty_mesh(0);
  if (!read_part_a(text_of(data, size), first)) return 0;
  const std::string once = written(first);
  auto fails = [&](const std::string& what) { round_trip_fails("Part A", what, once); };
  MeshModel& second = empty_mesh(1);
  if (!read_part_a(once, second)) fails("the written Part A is refused");
  std::string diff = first_difference(first, second, true);
  if (!diff.empty()) fails("what was written reads back far from what was read at " + diff);
  const std::string twice = written(second);
  if (twice != once) fails("the second write differs from the first:\n" + twice);
  MeshModel& third = empty_mesh(2);
  if (!read_part_a(twice, third)) fails("the second write is refused");
  diff = first_difference(second, third, false);
  if (!diff.empty()) fails("second and third reads differ at " + diff);
  return 0;
}
