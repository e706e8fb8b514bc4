#include "listing.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "prompts.h"
#include "records.h"

namespace vortan {

namespace {

constexpr const char* BANNER = "VORTAN - two-dimensional finite element package: mesh data listing";

// Lines go to the listing file, or to the text window with pauses.
struct Lister {
  std::ostream* unit;

  void line(const std::string& s = "") const {
    if (unit)
      *unit << s << '\n';
    else
      WRLINE(s);
  }
  void pause() const {
    if (!unit) PROMPT();
  }
  void underlined(const std::string& s, int n) const {
    line(s);
    line(std::string(n, '-'));
  }
  // Ends a section: a blank line, then a pause in the text window.
  void section_end() const {
    line();
    pause();
  }
};

// Lists the indices 1..end whose table entry equals value, 14 to a line.
template <class Get>
void list_matches(const Lister& out, Get table, int value, int end) {
  int first = 1;
  while (first <= end) {
    int list[14];
    int last;
    SCAN(list, first, last, value, table, end);
    Rec r;
    for (int i : list)
      if (i != 0) r.I(i, 5);
    if (!r.str().empty()) out.line(r);
    first = last + 1;
  }
}

// Digit `i` (1 = most significant) of a fixity code of `d` digits; digits
// beyond the code's length count as free.
int code_digit(int code, int d, int i) {
  if (i > d) return 0;
  int p = 1;
  for (int k = 0; k < d - i; ++k) p *= 10;
  return (code / p) % 10;
}

// One group of fixed nodes: for each number of d.o.f. per node, the codes
// whose digits satisfy `wanted`, in increasing order, each with its nodes.
template <class Wanted>
void fixity_group(const Lister& out, const MeshModel& m, int npoin, const std::string& heading,
                  Wanted wanted) {
  out.line();
  out.underlined(heading, static_cast<int>(heading.size()) - 1);
  for (int d = 1; d <= 4; ++d) {
    for (int bits = 0; bits < (1 << d); ++bits) {
      int code = 0;
      for (int i = d - 1; i >= 0; --i) code = 10 * code + ((bits >> i) & 1);
      if (!wanted(code, d)) continue;
      list_matches(out, [&](int n) { return m.ndof(n) == d ? m.kode(n) : -1; }, code, npoin);
    }
  }
}

// The banner, the title, the counts, the kind of problem and the level.
void list_controls(const Lister& out, const MeshModel& m) {
  const int kind = std::abs(m.ndofn);
  out.line(BANNER);
  out.line();

  out.line("Mesh title is: ");
  out.line(trimmed(m.title));
  out.line();

  out.underlined("Integer problem constants", 25);
  out.line(Rec().A("npoin = ").I(m.npoin, 5).A("   nelem = ").I(m.nelem, 5));
  out.line();

  if (kind == 3) out.line("Frame or beam problem");
  if (kind == 2) out.line("Elasticity problem");
  if (kind == 1) out.line("Poisson/Laplace problem");
  if (kind >= 1 && kind <= 3) out.line();

  if (m.ndofn < 0) {
    out.line("Advanced-level analysis");
    out.line("   Extra mesh parameters:");
    out.line("     First real parameter = " + free_real_text(m.rextra[1]));
    out.line("     Second real parameter = " + free_real_text(m.rextra[2]));
    out.line("     First integer parameter = " + std::to_string(m.iextra[1]));
    out.line("     Second integer parameter = " + std::to_string(m.iextra[2]));
    out.line("     Third integer parameter = " + std::to_string(m.iextra[3]));
    out.line("     Fourth integer parameter = " + std::to_string(m.iextra[4]));
    out.line("     Third real parameter = " + free_real_text(m.rextra[3]));
    out.line("     Fourth real parameter = " + free_real_text(m.rextra[4]));
  } else {
    out.line("Basic-level analysis");
  }
  out.section_end();
}

void list_elements(const Lister& out, const MeshModel& m) {
  out.underlined("Element-node connection data", 28);
  out.line();
  out.line("Element  No. of  No. of  Matl     Nodes around element");
  out.line(" number   sides   nodes   type");
  for (int e = 1; e <= m.nelem; ++e) {
    if (e % 25 == 0) out.pause();
    Rec r;
    r.I(e, 5).I(m.nside(e), 7).I(m.nnode(e), 8).I(m.mattyp(e), 8).X(5);
    for (int k = 1; k <= m.nnode(e); ++k) r.I(m.lnods(e, k), 5);
    out.line(r);
  }
  out.section_end();
}

void list_nodes(const Lister& out, const MeshModel& m) {
  out.underlined("Nodal Coordinates", 17);
  out.line();
  out.line(" Node     x-coord      y-coord  ndof");
  for (int n = 1; n <= m.npoin; ++n) {
    if (n % 25 == 0) out.pause();
    out.line(Rec().I(n, 5).X(3).F(m.coord(n, 1), 10, 3).X(3).F(m.coord(n, 2), 10, 3).I(m.ndof(n), 5));
  }
  out.section_end();
}

void list_fixities(const Lister& out, const MeshModel& m) {
  const int npoin = m.npoin;
  const int kind = std::abs(m.ndofn);
  if (kind < 2) {
    out.underlined("Dirichlet nodes (KODE=1):", 25);
    list_matches(out, [&](int n) { return m.kode(n); }, 1, npoin);
  } else {
    // Groups by the first two digits (x and y) and, for frames, the third
    // (rotation); nodes are taken with their own number of d.o.f.
    out.underlined("Fixed degrees of freedom:", 25);
    fixity_group(out, m, npoin, "Fixed in x-direction:", [](int c, int d) {
      return code_digit(c, d, 1) == 1 && code_digit(c, d, 2) == 0;
    });
    fixity_group(out, m, npoin, "Fixed in y-direction:", [](int c, int d) {
      return code_digit(c, d, 1) == 0 && code_digit(c, d, 2) == 1;
    });
    fixity_group(out, m, npoin, "Fixed in both directions:", [](int c, int d) {
      return code_digit(c, d, 1) == 1 && code_digit(c, d, 2) == 1;
    });
    if (kind == 3)
      fixity_group(out, m, npoin, "Fixed rotations:",
                   [](int c, int d) { return code_digit(c, d, 3) == 1; });
  }
  out.section_end();
}

// The elements of each property set, then the non-zero values of each.
void list_materials(const Lister& out, const MeshModel& m) {
  out.underlined("Material Properties", 19);
  for (int s = 1; s <= m.npros; ++s) {
    out.line("Elts in mat. prop. set " + std::to_string(s) + ":");
    list_matches(out, [&](int e) { return m.matset(e); }, s, m.nelem);
  }
  out.section_end();

  out.line("The non-zero mat. properties are:");
  for (int s = 1; s <= m.npros; ++s) {
    out.line();
    out.line("Set number " + std::to_string(s));
    for (int c = 1; c <= MCOMP; ++c)
      if (m.props(s, c) != 0.0)
        out.line("Component " + std::to_string(c) + " has value " + free_real_text(m.props(s, c)));
  }
}

}  // namespace

void PRINT(std::ostream* unit, const MeshModel& m) {
  const Lister out{unit};
  list_controls(out, m);
  list_elements(out, m);
  list_nodes(out, m);
  list_fixities(out, m);
  list_materials(out, m);
}

}  // namespace vortan
