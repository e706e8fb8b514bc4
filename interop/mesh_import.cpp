#include "mesh_import.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

#include "element_orders.h"

namespace vortan {

namespace {

// Thrown by the checks below; import_mesh turns it into the report's error.
struct Refusal {
  std::string text;
};

std::string num(long v) { return std::to_string(v); }

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

const char* PROBLEM_NAMES[4] = {"", "Poisson", "elasticity", "beam"};

// --- fixity groups -----------------------------------------------------------

std::string lower_trimmed(const std::string& s) {
  std::string t;
  for (char c : s) t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto first = t.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return t.substr(first, t.find_last_not_of(' ') - first + 1);
}

bool is_fixity_name(const std::string& name) { return lower_trimmed(name).rfind("fix", 0) == 0; }

// The fixity code a group's name stands for, with one digit per d.o.f.:
// "fixed" for Poisson problems, "fix" and the letters x, y (and r for a
// beam node's rotation) otherwise.
int fixity_code(const SourceGroup& g, int problem) {
  const std::string name = lower_trimmed(g.name);
  const std::string where = "physical group " + quoted(g.name) + ": ";
  if (g.dim == 2)
    throw Refusal{where + "fixity codes come from curves and points, not from surfaces"};
  if (problem == 1) {
    if (name != "fixed") throw Refusal{where + "a Poisson problem has one fixity, named \"fixed\""};
    return 1;
  }
  const std::string letters = name.size() > 4 && name[3] == ' ' ? name.substr(4) : "";
  const std::string allowed = problem == 3 ? "xyr" : "xy";
  int code = 0;
  for (char c : letters) {
    const auto at = allowed.find(c);
    const int digit =
        at == std::string::npos ? 0 : static_cast<int>(std::pow(10, allowed.size() - 1 - at));
    if (digit == 0 || code / digit % 10 == 1) code = -1;
    if (code < 0) break;
    code += digit;
  }
  if (code <= 0)
    throw Refusal{where + (problem == 3 ? "a beam problem's fixities are \"fix\" and x, y, r "
                                          "(\"fix x\", \"fix xy\", \"fix r\", \"fix xyr\" ...)"
                                        : "an elasticity problem's fixities are \"fix x\", "
                                          "\"fix y\" and \"fix xy\"")};
  return code;
}

// Two codes together: a d.o.f. fixed by either is fixed.
int merge_codes(int a, int b) {
  int code = 0;
  for (int place = 1; a > 0 || b > 0; place *= 10, a /= 10, b /= 10)
    if (a % 10 == 1 || b % 10 == 1) code += place;
  return code;
}

// --- element types -------------------------------------------------------------

struct Mapped {
  int nside = 0;
  std::vector<std::size_t> nodes;  // Gmsh node tags in the project's order
  std::size_t tag = 0;             // Gmsh element tag, for messages
  int set = 0;
};

// Gmsh lists the corners first and the mid-side nodes after them (and the
// middle of a 3-node line last), as around_element expects.
bool map_type(const SourceElement& e, Mapped& out) {
  out.tag = e.tag;
  switch (e.type) {
    case GMSH_LINE2:
    case GMSH_LINE3:
      out.nside = 1;
      break;
    case GMSH_TRIANGLE3:
    case GMSH_TRIANGLE6:
      out.nside = 3;
      break;
    case GMSH_QUAD4:
    case GMSH_QUAD8:
    case GMSH_QUAD9:  // its centre node, the ninth, is dropped below
      out.nside = 4;
      break;
    default:
      return false;
  }
  const size_t kept = e.type == GMSH_QUAD9 ? 8 : e.nodes.size();
  out.nodes =
      around_element(std::vector<std::size_t>(e.nodes.begin(), e.nodes.begin() + kept), out.nside);
  return true;
}

std::string type_description(int key) {
  switch (key) {
    case 21:
      return "2-node lines";
    case 31:
      return "3-node lines";
    case 33:
      return "3-node triangles";
    case 63:
      return "6-node triangles";
    case 44:
      return "4-node quadrilaterals";
    case 84:
      return "8-node quadrilaterals";
    default:
      return "elements of key " + num(key);
  }
}

int key_of(const Mapped& e) { return element_key(static_cast<int>(e.nodes.size()), e.nside); }

// A Basic-level mesh holds one element type, the one its problem allows.
void check_basic_types(const std::vector<Mapped>& elements, int problem) {
  std::map<int, int> count;
  for (const auto& e : elements) ++count[key_of(e)];
  std::string found;
  for (auto [key, n] : count)
    found += (found.empty() ? "" : ", ") + num(n) + " " + type_description(key);
  if (count.size() > 1)
    throw Refusal{"a Basic-level mesh has a single element type; found " + found +
                  " (use --level advanced)"};
  const int key = count.begin()->first;
  const bool allowed = problem == 1 ? key == 33 || key == 44 : problem == 2 ? key == 84 : key == 21;
  static const char* wanted[4] = {"", "3-node triangles or 4-node quadrilaterals",
                                  "8-node quadrilaterals", "2-node beam elements"};
  if (!allowed)
    throw Refusal{std::string("a Basic-level ") + PROBLEM_NAMES[problem] + " mesh is made of " +
                  wanted[problem] + "; found " + found + " (use --level advanced)"};
}

// --- geometry --------------------------------------------------------------------

struct Point2 {
  double x, y;
};

Point2 at(const SourceMesh& src, std::size_t tag) {
  const auto& n = src.nodes.at(tag);
  return {n.x, n.y};
}

// Twice the signed area of the element's corners, positive counter-clockwise.
double corner_area(const SourceMesh& src, const Mapped& e) {
  const int step = static_cast<int>(e.nodes.size()) / e.nside;
  double a = 0;
  for (int k = 0; k < e.nside; ++k) {
    Point2 p = at(src, e.nodes[k * step]), q = at(src, e.nodes[(k + 1) % e.nside * step]);
    a += p.x * q.y - q.x * p.y;
  }
  return a;
}

// A mid-side node must lie over the middle half of its side and not far off
// it, or the element's mapping folds over.
bool midside_in_place(Point2 a, Point2 m, Point2 b) {
  const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
  if (len2 == 0) return false;
  const double t = ((m.x - a.x) * dx + (m.y - a.y) * dy) / len2;
  const double off = std::abs((m.x - a.x) * dy - (m.y - a.y) * dx) / len2;
  return t > 0.25 && t < 0.75 && off <= 0.5;
}

// Area elements are turned counter-clockwise, and every mid-side node is
// checked against the corners on either side of it. Returns the number of
// elements turned.
int orient_and_check(const SourceMesh& src, std::vector<Mapped>& elements) {
  int turned = 0;
  for (auto& e : elements) {
    const int nn = static_cast<int>(e.nodes.size());
    if (e.nside >= 3) {
      const double area = corner_area(src, e);
      if (!(std::abs(area) > 0))
        throw Refusal{"element " + num(e.tag) + " of the Gmsh mesh has no area"};
      if (area < 0) {
        std::reverse(e.nodes.begin() + 1, e.nodes.end());
        ++turned;
      }
    }
    const bool quadratic = e.nside == 1 ? nn == 3 : nn == 2 * e.nside;
    if (!quadratic) continue;
    for (int k = 1; k < nn; k += 2) {
      const std::size_t a = e.nodes[k - 1], m = e.nodes[k], b = e.nodes[(k + 1) % nn];
      if (!midside_in_place(at(src, a), at(src, m), at(src, b)))
        throw Refusal{"mid-side node " + num(m) + " of element " + num(e.tag) +
                      " of the Gmsh mesh does not lie on the middle of the side from node " +
                      num(a) + " to node " + num(b)};
    }
  }
  return turned;
}

// --- choosing the elements and their sets ------------------------------------------

struct SetPlan {
  std::vector<std::string> names;                // one per property set, in set order
  std::map<std::pair<int, int>, int> of_entity;  // (dim, entity) -> set
  std::set<int> grouped_dims;                    // dimensions whose groups choose the elements
};

// One set per physical group of surfaces, then of curves when lines become
// elements, in tag order; a dimension without such groups gives one set of
// all its elements.
SetPlan plan_sets(const SourceMesh& src, bool lines, std::vector<std::string>& notes) {
  SetPlan plan;
  for (const auto& g : src.groups)
    if (!is_fixity_name(g.name) && (g.dim == 0 || (g.dim == 1 && !lines)))
      notes.push_back("physical group " + quoted(g.name) + " is neither a fixity nor " +
                      (g.dim == 0 ? "elements" : "elements without --lines") + ": left alone");
  for (int dim : {2, 1}) {
    if (dim == 1 && !lines) continue;
    for (const auto& g : src.groups) {
      if (g.dim != dim || is_fixity_name(g.name)) continue;
      plan.grouped_dims.insert(dim);
      const int set = static_cast<int>(plan.names.size()) + 1;
      plan.names.push_back((dim == 2 ? "physical surface " : "physical curve ") +
                           quoted(g.name.empty() ? num(g.tag) : g.name));
      for (int ent : g.entities) {
        auto [it, fresh] = plan.of_entity.insert({{dim, ent}, set});
        if (!fresh)
          notes.push_back("entity " + num(ent) +
                          " lies in two physical groups; its elements "
                          "go to set " +
                          num(it->second) + ", the first");
      }
    }
    if (!plan.grouped_dims.count(dim)) {
      const bool any = std::any_of(src.elements.begin(), src.elements.end(),
                                   [&](const SourceElement& e) { return e.dim == dim; });
      if (any) plan.names.push_back(dim == 2 ? "all surfaces" : "all curves");
    }
  }
  return plan;
}

int set_of(const SetPlan& plan, const SourceElement& e) {
  if (plan.grouped_dims.count(e.dim)) {
    auto it = plan.of_entity.find({e.dim, e.entity});
    return it == plan.of_entity.end() ? 0 : it->second;
  }
  const std::string all = e.dim == 2 ? "all surfaces" : "all curves";
  return static_cast<int>(std::find(plan.names.begin(), plan.names.end(), all) -
                          plan.names.begin()) +
         1;
}

std::vector<Mapped> choose_elements(const SourceMesh& src, const SetPlan& plan, bool lines,
                                    std::vector<std::string>& notes) {
  std::vector<Mapped> out;
  std::map<int, int> unknown;
  int left_out = 0, centres = 0;
  for (const auto& e : src.elements) {
    if (e.dim == 0 || (e.dim == 1 && !lines)) continue;
    Mapped m;
    if (e.dim > 2 || !map_type(e, m) || (e.dim == 2) != (m.nside >= 3)) {
      ++unknown[e.type];
      continue;
    }
    for (std::size_t t : m.nodes)
      if (!src.nodes.count(t))
        throw Refusal{"element " + num(e.tag) + " of the Gmsh mesh uses node " + num(t) +
                      ", which the mesh does not have"};
    m.set = set_of(plan, e);
    if (m.set == 0) {
      ++left_out;
      continue;
    }
    centres += e.type == GMSH_QUAD9;
    out.push_back(std::move(m));
  }
  if (!unknown.empty()) {
    std::string found;
    for (auto [type, n] : unknown)
      found +=
          (found.empty() ? "" : ", ") + num(n) + " of type " + quoted(gmsh_type_name(src, type));
    throw Refusal{"the mesh holds elements that have no VORTAN type: " + found +
                  " (3- and 6-node triangles, 4-, 8- and 9-node quadrilaterals" +
                  (lines ? ", 2- and 3-node lines" : "") + " are imported)"};
  }
  if (left_out > 0)
    notes.push_back(num(left_out) + " elements outside every physical group are left out");
  if (centres > 0)
    notes.push_back(num(centres) +
                    " 9-node quadrilaterals lose their centre nodes and become "
                    "8-noded quadrilaterals");
  if (out.empty())
    throw Refusal{lines ? "the mesh holds no surface or line elements to import"
                        : "the mesh holds no surface elements (lines become elements only "
                          "with --lines)"};
  return out;
}

// --- checks before the model is filled ---------------------------------------------

void check_plane(const SourceMesh& src) {
  if (src.dimension >= 3) throw Refusal{"the model has volumes: a 3D mesh is not imported"};
  double extent = 1;
  for (const auto& [tag, n] : src.nodes) extent = std::max({extent, std::abs(n.x), std::abs(n.y)});
  for (const auto& [tag, n] : src.nodes)
    if (std::abs(n.z) > 1e-9 * extent)
      throw Refusal{"node " + num(tag) + " lies at z = " + std::to_string(n.z) +
                    ", off the plane z = 0: a 3D mesh is not imported"};
}

void check_options(const ImportOptions& opt) {
  if (opt.lines == LineUse::Bars && !(opt.problem == 2 && opt.advanced))
    throw Refusal{"--lines bars needs an Advanced-level elasticity problem"};
  if (opt.lines == LineUse::Beams && opt.problem != 3)
    throw Refusal{"--lines beams needs a beam problem (--problem beams)"};
  if (opt.title.size() > 50)
    throw Refusal{"the title has " + num(static_cast<long>(opt.title.size())) +
                  " characters; the data file keeps 50"};
}

// The node line writes x and y with 5 decimals in 10 columns.
void check_coordinate(double v, std::size_t tag, const char* axis) {
  const double rounded = std::round(v * 1e5) / 1e5;
  if (rounded < -999.99999 || rounded > 9999.99999)
    throw Refusal{std::string(axis) + "-coordinate " + std::to_string(v) + " of node " + num(tag) +
                  " does not fit its 10-column field (-999.99999 to 9999.99999); scale the model"};
}

void check_limits(std::size_t npoin, std::size_t nelem, std::size_t npros,
                  const ImportOptions& opt) {
  if (npoin > static_cast<std::size_t>(MPOIN))
    throw Refusal{"the mesh has " + num(static_cast<long>(npoin)) + " nodes; at most " +
                  num(MPOIN) + " (MPOIN)"};
  if (nelem > static_cast<std::size_t>(MELEM))
    throw Refusal{"the mesh has " + num(static_cast<long>(nelem)) + " elements; at most " +
                  num(MELEM) + " (MELEM)"};
  if (npros > static_cast<std::size_t>(MPROP))
    throw Refusal{"the mesh has " + num(static_cast<long>(npros)) +
                  " property sets (physical groups); at most " + num(MPROP) + " (MPROP)"};
  for (const auto& [set, values] : opt.props) {
    if (set < 1 || set > static_cast<int>(npros))
      throw Refusal{"--props gives set " + num(set) + ", but the mesh has " +
                    num(static_cast<long>(npros)) + " property sets"};
    if (values.size() > static_cast<std::size_t>(MCOMP))
      throw Refusal{"--props gives set " + num(set) + " " + num(static_cast<long>(values.size())) +
                    " components; at most " + num(MCOMP) + " (MCOMP)"};
  }
}

// --- filling the model --------------------------------------------------------------

std::map<std::size_t, int> number_nodes(const std::vector<Mapped>& elements) {
  std::map<std::size_t, int> number;
  for (const auto& e : elements)
    for (std::size_t t : e.nodes) number[t] = 0;
  int n = 0;
  for (auto& [tag, k] : number) k = ++n;  // in Gmsh's tag order
  return number;
}

void set_fixities(const SourceMesh& src, const std::map<std::size_t, int>& number, int problem,
                  MeshModel& m, std::vector<std::string>& notes) {
  for (const auto& g : src.groups) {
    if (!is_fixity_name(g.name)) continue;
    const int code = fixity_code(g, problem);
    int outside = 0;
    for (std::size_t t : g.nodes) {
      auto it = number.find(t);
      if (it == number.end())
        ++outside;
      else
        m.kode(it->second) = merge_codes(m.kode(it->second), code);
    }
    if (outside > 0)
      notes.push_back("physical group " + quoted(g.name) + ": " + num(outside) +
                      " nodes belong to no imported element and are left out");
  }
}

void fill_model(const SourceMesh& src, const ImportOptions& opt,
                const std::vector<Mapped>& elements, const std::map<std::size_t, int>& number,
                int npros, MeshModel& m) {
  clear_mesh(m);
  m.npoin = static_cast<int>(number.size());
  m.nelem = static_cast<int>(elements.size());
  m.ndofn = opt.advanced ? -opt.problem : opt.problem;
  m.npros = npros;
  m.title = opt.title.substr(0, 50);
  m.title.resize(80, ' ');
  for (const auto& [tag, n] : number) {
    m.coord(n, 1) = src.nodes.at(tag).x;
    m.coord(n, 2) = src.nodes.at(tag).y;
    m.ndof(n) = opt.problem;
  }
  for (int e = 1; e <= m.nelem; ++e) {
    const Mapped& el = elements[e - 1];
    m.nside(e) = el.nside;
    m.nnode(e) = static_cast<int>(el.nodes.size());
    m.mattyp(e) = 1;
    m.matset(e) = el.set;
    for (int k = 1; k <= m.nnode(e); ++k) m.lnods(e, k) = number.at(el.nodes[k - 1]);
  }
  for (const auto& [set, values] : opt.props)
    for (size_t c = 0; c < values.size(); ++c) m.props(set, static_cast<int>(c) + 1) = values[c];
}

void describe_sets(const SetPlan& plan, const std::vector<Mapped>& elements,
                   const ImportOptions& opt, std::vector<std::string>& notes) {
  for (size_t s = 0; s < plan.names.size(); ++s) {
    const int set = static_cast<int>(s) + 1;
    const long n = std::count_if(elements.begin(), elements.end(),
                                 [&](const Mapped& e) { return e.set == set; });
    notes.push_back(
        "set " + num(set) + ": " + plan.names[s] + ", " + num(n) + " elements" +
        (opt.props.count(set) ? "" : ", no property values (GRIDOR's \"Modify mesh\" gives them)"));
  }
}

}  // namespace

ImportReport import_mesh(const SourceMesh& src, const ImportOptions& opt, MeshModel& m) {
  ImportReport report;
  clear_mesh(m);
  try {
    check_options(opt);
    check_plane(src);
    const bool lines = opt.lines != LineUse::None;
    // Fixity names are checked before anything else is built.
    for (const auto& g : src.groups)
      if (is_fixity_name(g.name)) fixity_code(g, opt.problem);
    SetPlan plan = plan_sets(src, lines, report.notes);
    std::vector<Mapped> elements = choose_elements(src, plan, lines, report.notes);
    if (!opt.advanced) check_basic_types(elements, opt.problem);
    const auto number = number_nodes(elements);
    check_limits(number.size(), elements.size(), plan.names.size(), opt);
    for (const auto& [tag, n] : number) {
      check_coordinate(src.nodes.at(tag).x, tag, "x");
      check_coordinate(src.nodes.at(tag).y, tag, "y");
    }
    const int turned = orient_and_check(src, elements);
    if (turned > 0) report.notes.push_back(num(turned) + " elements turned counter-clockwise");
    fill_model(src, opt, elements, number, static_cast<int>(plan.names.size()), m);
    set_fixities(src, number, opt.problem, m, report.notes);
    describe_sets(plan, elements, opt, report.notes);
  } catch (const Refusal& r) {
    clear_mesh(m);
    report.error = r.text;
    report.notes.clear();
  }
  return report;
}

}  // namespace vortan
