#include "dat_file.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <string>

#include "line_reader.h"
#include "plain_records.h"
#include "platform/platform.h"
#include "prompts.h"
#include "records.h"

namespace vortan {

namespace {

// Part A real fields are read 10 wide; a value typed without a decimal point
// has its last three digits taken as decimals.
constexpr int REAL_WIDTH = 10;
constexpr int IMPLIED = 3;

// The element and node records, read whole where their fields are plain.
static_assert(MNODE == 8, "an element record of eight node numbers");
constexpr quick::PlainLayout<5 + MNODE> ELEMENT_FIELDS{{{'I', 1}, {'I', 4}, {'I', 2}, {'I', 3}, {'I', 5},
                                                     {'I', 5}, {'I', 5}, {'I', 5}, {'I', 5}, {'I', 5},
                                                     {'I', 5}, {'I', 5}, {'I', 5}}};
constexpr quick::PlainLayout<6> NODE_FIELDS{
    {{'I', 1}, {'I', 4}, {'I', 5}, {'F', REAL_WIDTH, IMPLIED}, {'F', REAL_WIDTH, IMPLIED}, {'I', 5}}};

// What each line of Part A holds, for the line that names where a file is
// not what it should be.
constexpr const char* TITLE_LINE = "the mesh title";
constexpr const char* HEADING_LINE = "a heading line";
constexpr const char* CONTROL_LINE =
    "the control line: npoin, nelem, ndofn, npros (I5 each), then the extra parameters";
constexpr const char* ELEMENT_LINE =
    "an element line: flag (I1), nside (I4), type (I2), set (I3), element no. (I5), "
    "node nos. (I5 each)";
constexpr const char* NODE_LINE =
    "a node line: flag (I1), fixity code (4 digits), node no. (I5), x and y (F10 each), "
    "no. of d.o.f. (I5)";
constexpr const char* PROPERTY_LINE =
    "a property line: flag (I1), set (I4), component (I5), 10 blanks, value (F10)";

// The lines of Part A being read, the name of their file, and what the
// line being read should hold.
struct PartA {
  LineSource lines;
  const std::string& file;
  MeshModel& m;
  const char* expected = TITLE_LINE;
};

// Ends the reading (and the program): the half-read mesh must not be used.
[[noreturn]] void stop_reading(const MeshModel& m) {
  WRLINE("Mesh title is: " + trimmed(m.title));
  throw ProgramExit{1, ""};
}

// The malformed line is the last one read.
[[noreturn]] void format_error(const PartA& a) {
  PUTERR("Error - wrong format in data file");
  WRLINE(line_remark(a.file, a.lines.lines(), std::string("it should hold ") + a.expected));
  stop_reading(a.m);
}

// The line that could not be read is the one after the last read.
[[noreturn]] void unreadable_line(const PartA& a, LineRead got) {
  PUTERR(got == LineRead::End ? "Error - end of file encountered during input"
                              : "Error - wrong format in data file");
  WRLINE(line_remark(a.file, a.lines.lines() + 1,
                     not_text_remark(got) + "; it should hold " + a.expected));
  stop_reading(a.m);
}

// A number in the file that would not fit its table.
[[noreturn]] void table_error(const MeshModel& m, const std::string& text) {
  WRLINE(text);
  stop_reading(m);
}

// The next line, which should hold `expected`, held until the next one is
// read.
std::string_view read_line(PartA& a, const char* expected) {
  a.expected = expected;
  std::string_view line;
  const LineRead got = a.lines.next(line);
  if (got != LineRead::Ok) unreadable_line(a, got);
  return line;
}

std::string num(long v) { return std::to_string(v); }

// Clears the element, node and property tables before a file is read:
// unlisted nodes keep coordinates 0.0, code 0 and abs(ndofn) d.o.f.
void clear_tables(MeshModel& m) {
  m.nnode.fill(0);
  m.nside.fill(0);
  m.matset.fill(0);
  m.lnods.fill(0);
  m.mattyp.fill(1);
  m.kode.fill(0);
  m.ndof.fill(std::abs(m.ndofn));
  m.coord.fill(0.0);
  m.props.fill(0.0);
}

void read_control_line(PartA& a) {
  MeshModel& m = a.m;
  RecordReader r(read_line(a, CONTROL_LINE));
  m.npoin = static_cast<int>(r.I(5));
  m.nelem = static_cast<int>(r.I(5));
  m.ndofn = static_cast<int>(r.I(5));
  m.npros = static_cast<int>(r.I(5));
  m.rextra[1] = r.F(REAL_WIDTH, IMPLIED);
  m.rextra[2] = r.F(REAL_WIDTH, IMPLIED);
  for (int i = 1; i <= 4; ++i) m.iextra[i] = static_cast<int>(r.I(5));
  m.rextra[3] = r.F(REAL_WIDTH, IMPLIED);
  m.rextra[4] = r.F(REAL_WIDTH, IMPLIED);
  if (!r.ok()) format_error(a);
  // A Basic-level control line has no extra parameters and none are written
  // back: whatever stands in those columns reads as zero.
  if (m.ndofn > 0) {
    m.rextra.fill(0.0);
    m.iextra.fill(0);
  }
  // Every later loop over the nodes and property sets runs up to these
  // counts, so they must fit the tables.
  if (m.npoin < 0 || m.npoin > MPOIN)
    table_error(m, "ERROR: NPOIN = " + num(m.npoin) + " exceeds MPOIN or is negative");
  if (m.npros < 0 || m.npros > MPROP)
    table_error(m, "ERROR: NPROS = " + num(m.npros) + " exceeds MPROP or is negative");
}

void read_elements(PartA& a) {
  MeshModel& m = a.m;
  read_line(a, HEADING_LINE);
  int count = 0;
  for (;;) {
    // flag, nside, type, set, element no., then the nodes
    long f[5 + MNODE];
    const std::string_view line = read_line(a, ELEMENT_LINE);
    if (!quick::read_plain_record<ELEMENT_FIELDS>(line.data(), line.size(), f, nullptr)) {
      RecordReader r(line);
      for (int k = 0; k < 5 + MNODE; ++k) f[k] = r.I(ELEMENT_FIELDS.f[k].w);
      if (!r.ok()) format_error(a);
    }
    const long flag = f[0], ns = f[1], typ = f[2], set = f[3], e = f[4];
    const long* const nodes = f + 5;
    if (++count > MELEM)
      table_error(m, "ERROR: more than " + num(MELEM) + " element lines; exceeds MELEM");
    if (e < 1 || e > MELEM)
      table_error(m, "ERROR: element no. " + num(e) + " exceeds MELEM or is not positive");
    // All the node numbers checked together (the first one out of range is
    // named), and the blank ones marked.
    bool node_outside = false;
    static_assert(MNODE <= 32, "a bit for each node of an element");
    unsigned blank_nodes = 0;
    for (int k = 0; k < MNODE; ++k) {
      node_outside |= static_cast<unsigned long>(nodes[k]) > MPOIN;
      blank_nodes |= unsigned{nodes[k] == 0} << k;
    }
    if (node_outside)
      for (int k = 0; k < MNODE; ++k)
        if (const long n = nodes[k]; n < 0 || n > MPOIN)
          table_error(m, "ERROR: node no. " + num(n) + " of element " + num(e) +
                             " exceeds MPOIN or is negative");
    int el = static_cast<int>(e);
    // A slot is filled once: a second line of that number would silently
    // replace an element of the file.
    if (m.nside(el) != 0)
      table_error(m, "ERROR: element no. " + num(e) + " appears twice in the element lines");
    m.nside(el) = ns == 0 ? 4 : static_cast<int>(ns);
    m.mattyp(el) = static_cast<int>(typ);
    m.matset(el) = static_cast<int>(set);
    // The element has as many nodes as lead its row before the first 0;
    // the rest of the row stays 0.
    const int nn = blank_nodes != 0 ? std::countr_zero(blank_nodes) : MNODE;
    int* const row = m.lnods.row_to_fill(el);
    for (int k = 0; k < MNODE; ++k) row[k + 1] = static_cast<int>(nodes[k]) & -int{k < nn};
    m.nnode(el) = nn;
    if (flag != 0) break;
  }
  // Numbered 1 to count, each once: a number beyond the count means a gap,
  // whose slot would be written out as an element without nodes.
  for (int e = 1; e <= count; ++e)
    if (m.nside(e) == 0)
      table_error(m, "ERROR: element no. " + num(e) + " is missing from the element lines");
  if (count != m.nelem) {
    WRLINE("WARNING: no. of elements differs from NELEM");
    WRLINE("NELEM changed to " + num(count));
    m.nelem = count;
  }
}

void read_nodes(PartA& a) {
  MeshModel& m = a.m;
  read_line(a, HEADING_LINE);
  for (;;) {
    // flag, fixity code, node no., no. of d.o.f.; x and y
    long f[4];
    double xy[2];
    const std::string_view line = read_line(a, NODE_LINE);
    bool ok = quick::read_plain_record<NODE_FIELDS>(line.data(), line.size(), f, xy);
    if (!ok) {
      RecordReader r(line);
      f[0] = r.I(1), f[1] = r.I(4), f[2] = r.I(5);
      xy[0] = r.F(REAL_WIDTH, IMPLIED), xy[1] = r.F(REAL_WIDTH, IMPLIED);
      f[3] = r.I(5);
      ok = r.ok();
    }
    const long flag = f[0], kode = f[1], n = f[2], nd = f[3];
    const double x = xy[0], y = xy[1];
    // A fixity code is a row of digits: a sign makes it no code at all.
    if (!ok || kode < 0) format_error(a);
    if (n > m.npoin) {
      WRLINE("WARNING: node no. " + num(n) + " exceeds NPOIN");
      WRLINE("NPOIN increased to " + num(n));
    }
    if (n > MPOIN || n < 1)
      table_error(m, "ERROR: node no. " + num(n) + " exceeds MPOIN or is negative");
    int node = static_cast<int>(n);
    m.npoin = std::max(m.npoin, node);
    double* const place = m.coord.row_to_fill(node);
    place[1] = x;
    place[2] = y;
    m.kode(node) = static_cast<int>(kode);
    if (nd > 0) m.ndof(node) = static_cast<int>(nd);
    if (flag != 0) break;
  }
}

void read_properties(PartA& a) {
  MeshModel& m = a.m;
  read_line(a, HEADING_LINE);
  for (;;) {
    RecordReader r(read_line(a, PROPERTY_LINE));
    long flag = r.I(1), s = r.I(4), c = r.I(5);
    r.X(10);
    double v = r.F(REAL_WIDTH, IMPLIED);
    if (!r.ok()) format_error(a);
    // The closing line has a blank set and stores nothing.
    if (s > 0) {
      if (s > MPROP || c < 1 || c > MCOMP)
        table_error(m, "ERROR: property set " + num(s) + " component " + num(c) +
                           " exceeds MPROP or MCOMP");
      // A set beyond the count would not be written again: the count
      // is raised to it, as for nodes.
      if (s > m.npros) {
        WRLINE("WARNING: property set no. " + num(s) + " exceeds NPROS");
        WRLINE("NPROS increased to " + num(s));
        m.npros = static_cast<int>(s);
      }
      m.props(static_cast<int>(s), static_cast<int>(c)) = v;
    }
    if (flag != 0) break;
  }
}

// Skips lines up to and including the first whose column 1 holds a non-zero
// digit (the last line of a flagged list).
bool skip_flagged_list(std::istream& unit) {
  std::string line;
  do {
    if (!next_line(unit, line)) return false;
  } while (line.empty() || line[0] < '1' || line[0] > '9');
  return true;
}

}  // namespace

void write_part_a_head(std::ostream& unit, const MeshModel& m) {
  unit << trimmed(m.title.substr(0, 50)) << '\n';
  unit << "npoin nelem ndofn npros   extra parameters\n";
  Rec control;
  control.I(m.npoin, 5).I(m.nelem, 5).I(m.ndofn, 5).I(m.npros, 5);
  if (m.ndofn < 1) {
    control.F(m.rextra[1], 10, 5).F(m.rextra[2], 10, 5);
    for (int i = 1; i <= 4; ++i) control.I(m.iextra[i], 5);
    control.F(m.rextra[3], 10, 5).F(m.rextra[4], 10, 5);
  }
  unit << control.str() << '\n';
}

void OUTPUT(std::ostream& unit, const MeshModel& m) {
  auto put = [&](const std::string& s) { unit << s << '\n'; };

  write_part_a_head(unit, m);

  put("nside typ/set elt       nodes");
  const int nelem = m.nelem;
  for (int e = 1; e <= nelem; ++e) {
    Rec r;
    r.I(e == nelem ? 1 : 0, 1).I(m.nside(e), 4).I(m.mattyp(e), 2).I(m.matset(e), 3).I(e, 5);
    for (int k = 1; k <= m.nnode(e); ++k) r.I(m.lnods(e, k), 5);
    put(r);
  }

  put("kode  node  x-coord   y-coord ndof");
  for (int n = 1; n <= m.npoin; ++n) put(node_record(m, n, n, n == m.npoin));
  write_properties(unit, m, "  set cmpnt         value");
}

std::string node_record(const MeshModel& m, int n, int number, bool last) {
  // The code keeps its leading zeros: one digit per d.o.f., at most four.
  std::string k = kode_text(m.kode(n), std::clamp(m.ndof(n), 1, 4));
  if (k.size() > 4) k = "****";
  Rec r;
  r.I(last ? 1 : 0, 1).X(4 - static_cast<int>(k.size())).A(k).I(number, 5);
  r.F(m.coord(n, 1), 10, 5).F(m.coord(n, 2), 10, 5).I(m.ndof(n), 5);
  return r.take();
}

void write_properties(std::ostream& unit, const MeshModel& m, const std::string& header) {
  unit << header << '\n';
  for (int s = 1; s <= m.npros; ++s)
    for (int c = 1; c <= MCOMP; ++c)
      if (m.props(s, c) != 0.0)  // true for -0.0 as well
        unit << Rec().I(0, 1).I(s, 4).X(3).I(c, 2).X(10).E(m.props(s, c), 10, 3).str() << '\n';
  unit << "1\n";
}

void INPUT(std::istream& unit, MeshModel& m, const std::string& file) {
  unit.clear();
  unit.seekg(0);
  // Part A in blocks of lines; the file is left just after it.
  PartA a{LineSource(unit, DATA_LINES), file, m};
  m.title.assign(80, ' ');
  {
    m.title = RecordReader(read_line(a, TITLE_LINE)).A(50);
    m.title.resize(80, ' ');
    // A control character is no part of a title; a carriage return left
    // at its end would be taken for a line end when read back.
    for (char& c : m.title)
      if (static_cast<unsigned char>(c) < 32 || c == 127) c = ' ';
  }
  read_line(a, HEADING_LINE);
  read_control_line(a);
  clear_tables(m);
  read_elements(a);
  read_nodes(a);
  read_properties(a);
}

bool find_part_b(std::istream& unit) {
  std::streampos pos = unit.tellg();
  std::string line;
  // Part B never starts with a blank line; a blank line after Part A is
  // the end of a file without Part B.
  if (pos == std::streampos(-1) || !next_line(unit, line) || LENSTR(line) == 0) {
    unit.clear();
    if (pos != std::streampos(-1)) unit.seekg(pos);
    return false;
  }
  unit.seekg(pos);
  return static_cast<bool>(unit);
}

bool skip_copied_loads(std::istream& unit) {
  std::string line;
  if (!next_line(unit, line) || !next_line(unit, line)) return false;  // header, counts
  RecordReader r(line);
  long nbset = r.I(5), npset = r.I(5);
  if (!r.ok()) return false;
  // The load list; then values and element lists of the body forces; then
  // values and loaded edges of the surface tractions. Each has a header.
  int lists = 1 + (nbset > 0 ? 2 : 0) + (npset > 0 ? 2 : 0);
  for (int i = 0; i < lists; ++i)
    if (!next_line(unit, line) || !skip_flagged_list(unit)) return false;
  return true;
}

bool skip_copied_block(std::istream& unit) {
  std::string line;
  return next_line(unit, line) && next_line(unit, line);
}

}  // namespace vortan
