#include "results_file.h"

#include <algorithm>
#include <cstdlib>

#include "line_reader.h"
#include "plain_records.h"
#include "prompts.h"
#include "records.h"

namespace vortan {

namespace {

void fatal(const char* message) {
  WRLINE();
  WRLINE(message);
  WRLINE();
}

// One line of the file, without its line end, cut to the columns a record
// may use; false at the end of the file, on a read error or on a line that
// is not text (a file without line ends cannot make the reader grow without
// end).
bool read_record_line(std::istream& in, std::string& line) {
  return read_data_line(in, line) == LineRead::Ok;
}

constexpr const char* LABEL_LINE = "the d.o.f. labels of a result set";
constexpr const char* NODAL_LINE = "a nodal line: node no. (I5), then four values (F10 each)";

// The fatal message of a result set, and the line naming the file, the
// line (its number counted only now, from the offset where the reading
// started) and what that line should hold.
void fatal_at(const char* message, std::istream& in, const std::string& file,
              std::streamoff start, long lines_after, const std::string& what) {
  fatal(message);
  WRLINE(line_remark(file, line_number_at(in, start) + lines_after, what));
}

// The next line of a block of lines, held until the next line is read.
bool read_record_view(LineSource& in, std::string_view& line) {
  return in.next(line) == LineRead::Ok;
}

bool blank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

struct NodalLine {
  int node = 0;
  double values[4] = {};
};

constexpr quick::PlainLayout<5> NODAL_FIELDS{{{'I', 5}, {'F', 10}, {'F', 10}, {'F', 10}, {'F', 10}}};
constexpr quick::PlainLayout<9> GAUSS_FIELDS{
    {{'I', 5}, {'I', 2}, {'I', 3}, {'F', 10}, {'F', 10}, {'F', 10}, {'F', 10}, {'F', 10}, {'F', 10}}};

// I5, 4F10: the node number and its four values. The line comes from a
// LineSource, readable around it as whole records are read.
bool read_nodal(std::string_view line, NodalLine& n) {
  long node = 0;
  if (quick::read_plain_record<NODAL_FIELDS>(line.data(), line.size(), &node, n.values)) {
    n.node = static_cast<int>(node);
    return true;
  }
  RecordReader c(line);
  n.node = static_cast<int>(c.I(5));
  for (double& v : n.values) v = c.F(10, 0);
  return c.ok();
}

struct GaussLine {
  int element = 0, point = 0, yield = 0;
  double xy_values[6] = {};  // the point's x and y, then its four values
};

// I5, I2, I3, 6F10: element, Gauss point, yield code, the point's x and y
// and its four values. A blank line is not a Gauss-point line. The line
// comes from a LineSource.
bool read_gauss(std::string_view line, GaussLine& g) {
  long numbers[3];
  // A line read whole with element 0 may be blank: it is looked at again.
  if (quick::read_plain_record<GAUSS_FIELDS>(line.data(), line.size(), numbers, g.xy_values) &&
      numbers[0] != 0) {
    g.element = static_cast<int>(numbers[0]);
    g.point = static_cast<int>(numbers[1]);
    g.yield = static_cast<int>(numbers[2]);
    return true;
  }
  if (blank(line)) return false;
  RecordReader c(line);
  g.element = static_cast<int>(c.I(5));
  g.point = static_cast<int>(c.I(2));
  g.yield = static_cast<int>(c.I(3));
  for (double& v : g.xy_values) v = c.F(10, 0);
  return c.ok();
}


// After the Gauss-point tables are full: passes over the rest of the
// section, so that the next read finds the title of the next result set
// and not left-over Gauss-point lines.
void skip_gauss_lines(LineSource& in) {
  std::string_view line;
  GaussLine g;
  while (read_record_view(in, line)) {
    if (!read_gauss(line, g)) {
      in.put_back();
      return;
    }
  }
}

// The Gauss-point lines after the section's header. Lines whose element or
// point number lies outside the mesh or the index table are passed over and
// counted in one warning.
void read_gauss_section(LineSource& in, const MeshModel& m, ResultSet& r) {
  const int nelem = m.nelem;
  int outside = 0;
  std::string_view line;
  GaussLine g;
  while (read_record_view(in, line)) {
    if (!read_gauss(line, g)) {
      // Normally the title line of the next result set: read it again there.
      in.put_back();
      break;
    }
    if (g.element < 1 || g.element > nelem || g.point < 1 || g.point > MGPEL) {
      ++outside;
      continue;
    }
    const int i = ++r.ngaus;
    r.igaus(g.element, g.point) = i;
    r.iyield(i) = g.yield;
    r.gpval(i) = 0.0;
    // Whole rows: the reach of each table checked once a line.
    std::copy(g.xy_values, g.xy_values + 2, r.xgaus.row_to_fill(i) + 1);
    std::copy(g.xy_values + 2, g.xy_values + 6, r.stres.row_to_fill(i) + 1);
    if (r.ngaus == MGAUS) {
      WRLINE(" Warning: max. no. of Gauss-point values reached.");
      WRLINE(" Any subsequent values will be ignored.");
      skip_gauss_lines(in);
      break;
    }
  }
  if (outside > 0)
    WRLINE(" Warning: " + std::to_string(outside) +
           " Gauss-point lines with element or point numbers out of range ignored.");
}

}  // namespace

void clear_results(ResultSet& r) {
  for (auto& name : r.dofnam) name.assign(10, ' ');
  r.disp.fill(0.0);
  r.hasgp = 0;
  r.ngaus = 0;
  r.igaus.fill(0);
  r.iyield.fill(0);
  r.xgaus.fill(0.0);
  r.stres.fill(0.0);
  r.gpval.fill(0.0);
}

SetRead read_result_set(std::istream& in, const MeshModel& m, ResultSet& r,
                        const std::string& file) {
  WRLINE("Starting to read output data...");
  std::string line;
  const std::streamoff label_at = in.tellg();
  const LineRead label = read_data_line(in, line);
  if (label != LineRead::Ok) {
    const bool end = label == LineRead::End;
    fatal_at(end ? "FATAL ERROR: premature end of data!" : "FATAL ERROR: data in unexpected format!",
             in, file, label_at, 0,
             (end ? std::string("the file ends here") : not_text_remark(label)) +
                 "; it should hold " + LABEL_LINE);
    return end ? SetRead::PrematureEnd : SetRead::BadFormat;
  }
  {
    RecordReader labels(line);
    labels.X(7);
    for (int k = 1; k <= 4; ++k) r.dofnam[k] = labels.A(10);
  }

  WRLINE("Reading nodal output data...");
  const int npoin = m.npoin;
  int outside = 0;
  // The nodal and Gauss-point lines in blocks; the stream is put back after
  // the last line taken when the source ends with this function.
  const std::streamoff nodal_at = in.tellg();
  LineSource lines(in, DATA_LINES);
  std::string_view nodal;
  for (int i = 1; i <= m.npoin; ++i) {
    const LineRead got = lines.next(nodal);
    NodalLine n;
    if (got != LineRead::Ok || !read_nodal(nodal, n)) {
      const bool end = got == LineRead::End;
      const long at = got == LineRead::Ok ? lines.lines() - 1 : lines.lines();
      lines.finish();
      fatal_at(end ? "FATAL ERROR: premature end of data!" : "FATAL ERROR: data in unexpected format!",
               in, file, nodal_at, at,
               (got == LineRead::Ok ? std::string("it should hold ")
                                    : (end ? std::string("the file ends here")
                                           : not_text_remark(got)) + "; it should hold ") +
                   NODAL_LINE);
      return end ? SetRead::PrematureEnd : SetRead::BadFormat;
    }
    if (n.node < 1 || n.node > npoin) {
      ++outside;
      continue;
    }
    std::copy(n.values, n.values + 4, r.disp.row_to_fill(n.node) + 1);
  }
  if (outside > 0)
    WRLINE(" Warning: " + std::to_string(outside) +
           " nodal lines with node numbers out of range ignored.");

  // No Gauss-point record of an earlier set is carried into this one.
  r.hasgp = 0;
  r.ngaus = 0;
  r.igaus.fill(0);

  const bool elasticity = std::abs(m.ndofn) >= 2;
  if (elasticity) WRLINE("Reading Gauss pt output data...");
  std::string_view header;
  if (!read_record_view(lines, header)) {
    WRLINE(elasticity ? "End of file reached - no stress data found."
                      : "End of file reached - no flow rate data found.");
  } else {
    if (!elasticity) WRLINE("Reading Gauss point output data...");
    r.hasgp = 1;
    read_gauss_section(lines, m, r);
  }

  WRLINE();
  WRLINE("Results title:");
  WRLINE(std::string(12, ' ') + title_shown(m));
  return SetRead::Read;
}

bool read_next_title(std::istream& in, std::string& title) {
  std::string line;
  if (!read_record_line(in, line)) return false;
  if (blank(line)) {
    // Blank lines at the very end of a file are no further result set.
    std::streampos pos = in.tellg();
    std::string rest;
    bool more = false;
    while (!more && read_record_line(in, rest)) more = !blank(rest);
    in.clear();
    in.seekg(pos);
    if (!more) return false;
  }
  title = line.substr(0, 80);
  title.resize(80, ' ');
  return true;
}

}  // namespace vortan
