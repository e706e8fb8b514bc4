#include "mesh_model.h"

#include <cmath>

#include "platform/platform.h"

namespace vortan {

void clear_mesh(MeshModel& m) {
  m.npoin = m.nelem = m.ndofn = m.npros = 0;
  m.coord.fill(0.0);
  m.kode.fill(0);
  m.ndof.fill(0);
  m.lnods.fill(0);
  m.nnode.fill(0);
  m.nside.fill(0);
  m.mattyp.fill(0);
  m.matset.fill(0);
  m.props.fill(0.0);
  m.rextra.fill(0.0);
  m.iextra.fill(0);
  m.title.assign(80, ' ');
  m.xycen.fill(0.0);
}

std::string title_shown(const MeshModel& m) {
  const std::string t = m.title.substr(0, TITLE_ROOM);
  return t.substr(0, LENSTR(t));
}

std::string typed_title(const std::string& typed) {
  std::string t = typed.substr(0, TITLE_ROOM);
  t.resize(80, ' ');
  return t;
}

bool valid_element(const MeshModel& m, int e) {
  if (e < 1 || e > m.nelem) return false;
  const int nn = m.nnode(e);
  if (nn < 1 || nn > MNODE) return false;
  // The row is read once; a node outside 1..npoin, seen as unsigned after
  // taking one away, is at least npoin (0 and negatives wrap to the top).
  const int* nodes = m.lnods.row(e);
  const unsigned npoin = static_cast<unsigned>(m.npoin);
  // Every column is looked at, those past nn masked off: a fixed count the
  // compiler does at once.
  unsigned bad = 0;
  for (int k = 1; k <= MNODE; ++k)
    bad |= static_cast<unsigned>(k <= nn) & (static_cast<unsigned>(nodes[k]) - 1u >= npoin);
  return bad == 0;
}

int element_type_code(int key) {
  for (int c = 1; c <= NTYPES; ++c)
    if (ELEMENT_KEYS[c] == key) return c;
  return 0;
}

std::string element_type_name(int code) {
  static const char* const NAMES[NTYPES + 1] = {"",
                                                "quadratic joint element",
                                                "rockbolt element",
                                                "linear bar element",
                                                "quadratic bar element",
                                                "linear triangle",
                                                "linear quadrilateral",
                                                "quadratic triangle",
                                                "thin quadrilateral",
                                                "8-noded (Serendipity) quadrilateral",
                                                "quadratic infinite element",
                                                "corner infinite element",
                                                "linear infinite element",
                                                "infinite joint element"};
  if (code < 1 || code > NTYPES) code = 1;
  return NAMES[code];
}

void ELTYP(int code) {
  plat().text_write("You have chosen the");
  plat().text_newline();
  plat().text_write(element_type_name(code));
  plat().text_newline();
}

int LENSTR(const std::string& text) {
  size_t n = text.find_last_not_of(' ');
  return n == std::string::npos ? 0 : static_cast<int>(n + 1);
}

void GETHOM(const std::string& path, std::string& folder, int& length) {
  std::string p = path.substr(0, LENSTR(path));
  size_t slash = p.find_last_of("/\\");
  size_t dot = p.find('.', slash == std::string::npos ? 0 : slash + 1);
  if (dot != std::string::npos) {
    // A file name is present: the folder is what stands before it.
    folder = slash == std::string::npos ? "" : p.substr(0, slash);
  } else {
    folder = p;
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\') && folder.size() > 1)
      folder.pop_back();
  }
  length = static_cast<int>(folder.size());
}

long TRUNC(double x) { return std::lround(x * 1000.0); }

int CHECKEL(int e, const MeshModel& m, double xmin, double xmax, double ymin, double ymax) {
  for (int k = 1; k <= m.nnode(e); ++k) {
    int n = m.lnods(e, k);
    if (n < 1 || n > MPOIN) return 0;
    double x = m.coord(n, 1), y = m.coord(n, 2);
    if (x < xmin || x > xmax || y < ymin || y > ymax) return 0;
  }
  return 1;
}

void SHAPE(double s, double t, int key, double* v) {
  switch (key) {
    case 21:  // linear line
      v[0] = 0.5 * (1.0 - s);
      v[1] = 0.5 * (1.0 + s);
      break;
    case 31:  // quadratic line: end, middle, end
      v[0] = -0.5 * s * (1.0 - s);
      v[1] = 1.0 - s * s;
      v[2] = 0.5 * s * (1.0 + s);
      break;
    case 33: {  // linear triangle, corners at (0,0), (1,0), (0,1)
      v[0] = 1.0 - s - t;
      v[1] = s;
      v[2] = t;
      break;
    }
    case 44:  // bilinear quadrilateral, corners anticlockwise from (-1,-1)
      v[0] = 0.25 * (1 - s) * (1 - t);
      v[1] = 0.25 * (1 + s) * (1 - t);
      v[2] = 0.25 * (1 + s) * (1 + t);
      v[3] = 0.25 * (1 - s) * (1 + t);
      break;
    case 63: {  // quadratic triangle: corners 1, 3, 5 and midsides 2, 4, 6
      double a = 1.0 - s - t;
      v[0] = a * (2 * a - 1);
      v[1] = 4 * s * a;
      v[2] = s * (2 * s - 1);
      v[3] = 4 * s * t;
      v[4] = t * (2 * t - 1);
      v[5] = 4 * t * a;
      break;
    }
    case 84: {  // serendipity quadrilateral: corners 1, 3, 5, 7, midsides between
      const double cs[4] = {-1, 1, 1, -1}, ct[4] = {-1, -1, 1, 1};
      for (int k = 0; k < 4; ++k) {
        double si = cs[k], ti = ct[k];
        v[2 * k] = 0.25 * (1 + s * si) * (1 + t * ti) * (s * si + t * ti - 1);
      }
      v[1] = 0.5 * (1 - s * s) * (1 - t);
      v[3] = 0.5 * (1 + s) * (1 - t * t);
      v[5] = 0.5 * (1 - s * s) * (1 + t);
      v[7] = 0.5 * (1 - s) * (1 - t * t);
      break;
    }
    default:
      break;
  }
}

std::string kode_text(int kode, int digits) {
  if (digits < 1) digits = 1;
  std::string s = std::to_string(kode < 0 ? -kode : kode);
  if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), '0');
  return s;
}

}  // namespace vortan
