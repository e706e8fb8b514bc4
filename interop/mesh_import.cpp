#include "mesh_import.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

#include "element_orders.h"
#include "import_geometry.h"

namespace vortan {

namespace {

// Thrown by the checks below; import_mesh turns it into the report's error.
struct Refusal {
  std::string text;
};

std::string num(long v) { return std::to_string(v); }

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// A list of numbers for a message, the first ten of them.
std::string few(const std::vector<std::size_t>& tags) {
  std::string s;
  for (size_t i = 0; i < tags.size() && i < 10; ++i) s += (i ? ", " : "") + num(tags[i]);
  if (tags.size() > 10) s += " and " + num(static_cast<long>(tags.size() - 10)) + " more";
  return s;
}

std::string real(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, v >= 1 && v < 1e15 ? "%.0f" : "%.3g", v);
  return buf;
}

const char* PROBLEM_NAMES[4] = {"", "Poisson", "elasticity", "beam"};

// --- fixity groups -----------------------------------------------------------

std::string lower_trimmed(const std::string& s) {
  std::string t;
  for (char c : s) t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto first = t.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return t.substr(first, t.find_last_not_of(" \t") - first + 1);
}

// The fixity names, each with its code (one digit per d.o.f., x y r) and
// the problems that have it: 1 Poisson, 2 elasticity, 3 beams.
struct FixityName {
  const char* name;
  int code;
  int problems[2];
};
constexpr FixityName FIXITY_NAMES[] = {
    {"fixed", 1, {1, 0}},     {"fix x", 10, {2, 0}},   {"fix y", 1, {2, 0}},
    {"fix xy", 11, {2, 0}},   {"fix x", 100, {3, 0}},  {"fix y", 10, {3, 0}},
    {"fix r", 1, {3, 0}},     {"fix xy", 110, {3, 0}}, {"fix xr", 101, {3, 0}},
    {"fix yr", 11, {3, 0}},   {"fix xyr", 111, {3, 0}},
};

// "fixity code D...": the code as the data file writes it, one digit 0 or
// 1 per d.o.f. of the node (1 to 4 of them), for any code that has no name
// of its own. The number of digits; 0 when the name is not of this form.
int code_digits(const std::string& lower) {
  const std::string head = "fixity code ";
  if (lower.rfind(head, 0) != 0) return 0;
  const std::string d = lower.substr(head.size());
  const bool ok = !d.empty() && d.size() <= 4 && d.find_first_not_of("01") == std::string::npos;
  return ok ? static_cast<int>(d.size()) : 0;
}

bool is_fixity_name(const std::string& name) {
  const std::string n = lower_trimmed(name);
  return code_digits(n) > 0 || std::any_of(std::begin(FIXITY_NAMES), std::end(FIXITY_NAMES),
                                           [&](const FixityName& f) { return n == f.name; });
}

// A fixity group's code and the number of d.o.f. its nodes have, refused
// where the problem, its level or the group's dimension cannot have them.
struct Fixity {
  int code = 0, ndof = 0;
};
Fixity fixity_code(const SourceGroup& g, int problem, bool advanced) {
  const std::string where = "physical group " + quoted(g.name) + ": ";
  if (g.dim == 2)
    throw Refusal{where + "fixity codes come from curves and points, not from surfaces"};
  const std::string n = lower_trimmed(g.name);
  if (const int digits = code_digits(n)) {
    if (!advanced && digits != problem)
      throw Refusal{where + "a node of a Basic-level " + PROBLEM_NAMES[problem] + " mesh has " +
                    num(problem) + " d.o.f."};
    return {std::stoi(n.substr(n.size() - digits)), digits};
  }
  for (const auto& f : FIXITY_NAMES)
    if (n == f.name && (f.problems[0] == problem || f.problems[1] == problem))
      return {f.code, problem};
  if (problem == 1) throw Refusal{where + "a Poisson problem has one fixity, named \"fixed\""};
  throw Refusal{where + (problem == 3 ? "a beam problem's fixities are \"fix\" and x, y, r "
                                        "(\"fix x\", \"fix xy\", \"fix r\", \"fix xyr\" ...)"
                                      : "an elasticity problem's fixities are \"fix x\", "
                                        "\"fix y\" and \"fix xy\"")};
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
  int use = 0;           // the group it comes from (SetPlan::uses, from 1)
  int set = 0, type = 1;  // its property set and material type
  bool in_many = false;  // its elements lie in more than one physical group
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
  static const std::map<int, size_t> count = {{GMSH_LINE2, 2}, {GMSH_LINE3, 3},
                                              {GMSH_TRIANGLE3, 3}, {GMSH_TRIANGLE6, 6},
                                              {GMSH_QUAD4, 4}, {GMSH_QUAD8, 8}, {GMSH_QUAD9, 9}};
  if (e.nodes.size() != count.at(e.type)) return false;
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

// A Basic-level mesh holds the element types its problem allows: one type,
// except that a Poisson mesh may mix 3-node triangles and 4-node
// quadrilaterals, as GRIDOR's own meshes do.
void check_basic_types(const std::vector<Mapped>& elements, int problem) {
  std::map<int, int> count;
  for (const auto& e : elements) ++count[key_of(e)];
  std::string found;
  for (auto [key, n] : count)
    found += (found.empty() ? "" : ", ") + num(n) + " " + type_description(key);
  auto allowed = [&](int key) {
    return problem == 1 ? key == 33 || key == 44 : problem == 2 ? key == 84 : key == 21;
  };
  if (count.size() > 1 && problem != 1)
    throw Refusal{"a Basic-level mesh has a single element type; found " + found +
                  " (use --level advanced)"};
  static const char* wanted[4] = {"", "3-node triangles and 4-node quadrilaterals",
                                  "8-node quadrilaterals", "2-node beam elements"};
  for (auto [key, n] : count)
    if (!allowed(key))
      throw Refusal{std::string("a Basic-level ") + PROBLEM_NAMES[problem] + " mesh is made of " +
                    wanted[problem] + "; found " + found + " (use --level advanced)"};
}

// --- geometry --------------------------------------------------------------------

using Coords = std::map<std::size_t, Point2>;

// Twice the signed area of the element's corners, positive counter-clockwise.
double corner_area(const Coords& at, const Mapped& e) {
  const int step = static_cast<int>(e.nodes.size()) / e.nside;
  double a = 0;
  for (int k = 0; k < e.nside; ++k) {
    Point2 p = at.at(e.nodes[k * step]), q = at.at(e.nodes[(k + 1) % e.nside * step]);
    a += p.x * q.y - q.x * p.y;
  }
  return a;
}

// The corners turn both ways: the sides cross each other.
bool crossed(const Coords& at, const Mapped& e) {
  const int step = static_cast<int>(e.nodes.size()) / e.nside;
  bool left = false, right = false;
  for (int k = 0; k < e.nside; ++k) {
    const Point2 p = at.at(e.nodes[k * step]), q = at.at(e.nodes[(k + 1) % e.nside * step]),
                 r = at.at(e.nodes[(k + 2) % e.nside * step]);
    const double turn = (q.x - p.x) * (r.y - q.y) - (q.y - p.y) * (r.x - q.x);
    left = left || turn > 0;
    right = right || turn < 0;
  }
  return left && right;
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

void check_midsides(const Coords& at, const Mapped& e) {
  const int nn = static_cast<int>(e.nodes.size());
  const bool quadratic = e.nside == 1 ? nn == 3 : nn == 2 * e.nside;
  if (!quadratic) return;
  for (int k = 1; k < nn; k += 2) {
    const std::size_t a = e.nodes[k - 1], m = e.nodes[k], b = e.nodes[(k + 1) % nn];
    if (!midside_in_place(at.at(a), at.at(m), at.at(b)))
      throw Refusal{"mid-side node " + num(m) + " of element " + num(e.tag) +
                    " of the Gmsh mesh does not lie on the middle of the side from node " +
                    num(a) + " to node " + num(b)};
  }
}

// Area elements are turned counter-clockwise, then each must have a
// positive Jacobian at every corner and mid-side node (an arrow-head or a
// crossed quadrilateral has not), on the coordinates the file will hold.
// Returns the number of elements turned.
int orient_and_check(const Coords& at, std::vector<Mapped>& elements) {
  int turned = 0;
  std::vector<std::size_t> folded;
  for (auto& e : elements) {
    if (e.nside >= 3) {
      const double area = corner_area(at, e);
      if (!(std::abs(area) > 0) && crossed(at, e)) {
        folded.push_back(e.tag);  // a bow-tie: its halves' areas cancel
        continue;
      }
      if (!(std::abs(area) > 0))
        throw Refusal{"element " + num(e.tag) + " of the Gmsh mesh has no area"};
      if (area < 0) {
        std::reverse(e.nodes.begin() + 1, e.nodes.end());
        ++turned;
      }
    }
    check_midsides(at, e);
    std::vector<Point2> xy;
    for (auto t : e.nodes) xy.push_back(at.at(t));
    const auto dets = node_jacobians(xy, e.nside);
    if (std::any_of(dets.begin(), dets.end(), [](double d) { return !(d > 0); }))
      folded.push_back(e.tag);
  }
  if (!folded.empty())
    throw Refusal{num(static_cast<long>(folded.size())) +
                  " elements of the Gmsh mesh fold over (their Jacobian is not positive at "
                  "every corner and mid-side node): element " + few(folded)};
  return turned;
}

// The nodes the elements use, scaled; coincident ones merged unless asked
// not to, the elements then naming the node of lowest tag of each place.
Coords place_nodes(const SourceMesh& src, const ImportOptions& opt, std::vector<Mapped>& elements,
                   std::map<std::size_t, std::size_t>& merged, std::vector<std::string>& notes) {
  Coords at;
  for (const auto& e : elements)
    for (auto t : e.nodes) {
      const auto& n = src.nodes.at(t);
      at[t] = {n.x * opt.scale, n.y * opt.scale};
    }
  double x0 = HUGE_VAL, x1 = -HUGE_VAL, y0 = HUGE_VAL, y1 = -HUGE_VAL;
  for (const auto& [t, p] : at)
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  const double tol = 1e-6 * std::hypot(x1 - x0, y1 - y0);
  if (opt.merge) {
    merged = coincident_nodes(at, tol);
    for (auto& e : elements)
      for (auto& t : e.nodes)
        if (merged.count(t)) t = merged.at(t);
    for (const auto& [t, to] : merged) at.erase(t);
    if (!merged.empty())
      notes.push_back(num(static_cast<long>(merged.size())) +
                      " nodes at the place of another merged with it (--no-merge keeps them "
                      "apart)");
  }
  const Collapse c = collapsed_nodes(at, tol);
  if (c.pairs > 0) {
    const double scale = std::pow(10.0, std::ceil(std::log10(1e-3 / c.distance)));
    throw Refusal{num(c.pairs) + " nodes would be written at the place of another, the data "
                  "file keeping five decimals: nodes " + num(c.a) + " and " + num(c.b) +
                  " lie " + real(c.distance) + " apart, the smallest distance found; scale the "
                  "model (--scale " + real(opt.scale * scale) + ", say)"};
  }
  return at;
}

// --- choosing the elements and their sets ------------------------------------------

// A group of elements and the property set and material type it gives.
struct GroupUse {
  int set = 0, type = 1;
  std::string name;  // for the notes
};

struct SetPlan {
  std::vector<GroupUse> uses;  // groups of elements, surfaces then curves, in tag order
  // (dim, entity) -> the uses (numbered from 1) of the groups that hold it, lowest first
  std::map<std::pair<int, int>, std::vector<int>> of_entity;
  std::set<std::pair<int, int>> fixity_entities;  // entities of fixity groups
  bool grouped = false;  // the model has groups of elements: only their elements count
  int npros = 0;
};

// Digits at `at` as a number of at most `most`; -1 if there are none.
long number_at(const std::string& s, size_t& at, long most) {
  long v = 0;
  const size_t start = at;
  while (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at])) && v <= most)
    v = v * 10 + (s[at++] - '0');
  return at == start ? -1 : v;
}

// A name "property set S" or "property set S material type T" (as
// vortan-export names its groups) gives its elements set S and type T.
bool named_set(const std::string& name, GroupUse& use) {
  const std::string n = lower_trimmed(name), head = "property set ", mid = " material type ";
  if (n.rfind(head, 0) != 0) return false;
  size_t at = head.size();
  const long set = number_at(n, at, MPROP);
  long type = 1;
  if (n.compare(at, mid.size(), mid) == 0) type = number_at(n, at += mid.size(), 99);
  if (at != n.size() || set < 0 || type < 0) return false;
  if (set < 1 || set > MPROP || type < 1 || type > 99)
    throw Refusal{"physical group " + quoted(name) + ": a property set is 1 to " + num(MPROP) +
                  " (MPROP), a material type 1 to 99"};
  use.set = static_cast<int>(set);
  use.type = static_cast<int>(type);
  return true;
}

// Named groups keep their sets; the others take the lowest sets left, in
// tag order, one each.
void number_sets(SetPlan& plan) {
  std::set<int> taken;
  for (const auto& u : plan.uses) taken.insert(u.set);
  int next = 1;
  for (auto& u : plan.uses) {
    if (u.set > 0) continue;
    while (taken.count(next)) ++next;
    u.set = next++;
  }
  for (const auto& u : plan.uses) plan.npros = std::max(plan.npros, u.set);
}

// The physical groups by dimension, then tag.
std::vector<SourceGroup> groups_in_order(const SourceMesh& src) {
  std::vector<SourceGroup> groups = src.groups;
  std::stable_sort(groups.begin(), groups.end(), [](const SourceGroup& a, const SourceGroup& b) {
    return a.dim != b.dim ? a.dim < b.dim : a.tag < b.tag;
  });
  return groups;
}

// One set per physical group of surfaces, then of curves when lines become
// elements, in tag order, unless the group's name gives its set. As Gmsh
// saves only the elements of physical groups, a model with groups of
// elements gives only theirs; one whose groups are fixities alone (or that
// has none) gives one set of all its surfaces (and one of all its curves
// but the fixities').
SetPlan plan_sets(const SourceMesh& src, bool lines, std::vector<std::string>& notes) {
  SetPlan plan;
  const std::vector<SourceGroup> groups = groups_in_order(src);
  plan.grouped = std::any_of(groups.begin(), groups.end(), [&](const SourceGroup& g) {
    return !is_fixity_name(g.name) && (g.dim == 2 || (g.dim == 1 && lines));
  });
  for (const auto& g : groups) {
    if (is_fixity_name(g.name)) {
      for (int ent : g.entities) plan.fixity_entities.insert({g.dim, ent});
    } else if (g.dim == 0 || (g.dim == 1 && !lines)) {
      notes.push_back("physical group " + quoted(g.name) + " is neither a fixity nor " +
                      (g.dim == 0 ? "elements" : "elements without --lines") + ": left alone");
    }
  }
  for (int dim : {2, 1}) {
    if (dim == 1 && !lines) continue;
    if (!plan.grouped) {
      const bool any = std::any_of(src.elements.begin(), src.elements.end(),
                                   [&](const SourceElement& e) { return e.dim == dim; });
      if (!any) continue;
      plan.uses.push_back({0, 1, dim == 2 ? "all surfaces" : "all curves"});
      plan.of_entity[{dim, -1}] = {static_cast<int>(plan.uses.size())};
      continue;
    }
    for (const auto& g : groups) {
      if (g.dim != dim || is_fixity_name(g.name)) continue;
      GroupUse use;
      named_set(g.name, use);
      use.name = (dim == 2 ? "physical surface " : "physical curve ") +
                 quoted(g.name.empty() ? num(g.tag) : g.name);
      plan.uses.push_back(use);
      for (int ent : g.entities)
        plan.of_entity[{dim, ent}].push_back(static_cast<int>(plan.uses.size()));
    }
  }
  number_sets(plan);
  return plan;
}

// The sets an element's entity gives it: none for a fixity's elements.
const std::vector<int>* sets_of(const SetPlan& plan, const SourceElement& e) {
  if (plan.fixity_entities.count({e.dim, e.entity})) return nullptr;
  auto it = plan.of_entity.find({e.dim, plan.grouped ? e.entity : -1});
  return it == plan.of_entity.end() ? nullptr : &it->second;
}

// Elements with the same nodes (as Gmsh's version 2 files give an element
// of two physical groups, once for each) are kept once, in the lowest set.
std::vector<Mapped> once_each(std::vector<Mapped> elements) {
  std::map<std::vector<std::size_t>, size_t> first;
  std::vector<Mapped> out;
  for (auto& e : elements) {
    std::vector<std::size_t> key = e.nodes;
    std::sort(key.begin(), key.end());
    auto [it, fresh] = first.insert({key, out.size()});
    if (fresh) {
      out.push_back(std::move(e));
      continue;
    }
    Mapped& kept = out[it->second];
    kept.in_many = true;
    kept.use = std::min(kept.use, e.use);
  }
  return out;
}

std::string unknown_types(const SourceMesh& src, const std::map<int, int>& unknown, bool lines) {
  std::string found;
  for (auto [type, n] : unknown)
    found +=
        (found.empty() ? "" : ", ") + num(n) + " of type " + quoted(gmsh_type_name(src, type));
  return "the mesh holds elements that have no VORTAN type: " + found +
         " (3- and 6-node triangles, 4-, 8- and 9-node quadrilaterals" +
         (lines ? ", 2- and 3-node lines" : "") + " are imported)";
}

void note_choice(int left_out, int centres, int many, std::vector<std::string>& notes) {
  if (left_out > 0)
    notes.push_back(num(left_out) + " elements outside every physical group are left out");
  if (centres > 0)
    notes.push_back(num(centres) +
                    " 9-node quadrilaterals lose their centre nodes and become "
                    "8-noded quadrilaterals");
  if (many > 0)
    notes.push_back(num(many) +
                    " elements lie in more than one physical group: each is imported once, "
                    "in the group of the lowest tag");
}

std::vector<Mapped> choose_elements(const SourceMesh& src, const SetPlan& plan, bool lines,
                                    std::vector<std::string>& notes) {
  std::vector<Mapped> out;
  std::map<int, int> unknown;
  int left_out = 0, centres = 0;
  for (const auto& e : src.elements) {
    if (e.dim == 0 || (e.dim == 1 && !lines)) continue;
    const auto* sets = sets_of(plan, e);
    if (!sets) {
      // Only what would have been an element counts as left out.
      if (e.dim <= 2 && !plan.fixity_entities.count({e.dim, e.entity})) ++left_out;
      continue;
    }
    Mapped m;
    if (e.dim > 2 || !map_type(e, m) || (e.dim == 2) != (m.nside >= 3)) {
      ++unknown[e.type];
      continue;
    }
    for (std::size_t t : m.nodes)
      if (!src.nodes.count(t))
        throw Refusal{"element " + num(e.tag) + " of the Gmsh mesh uses node " + num(t) +
                      ", which the mesh does not have"};
    m.use = sets->front();
    m.in_many = sets->size() > 1;
    centres += e.type == GMSH_QUAD9;
    out.push_back(std::move(m));
  }
  if (!unknown.empty()) throw Refusal{unknown_types(src, unknown, lines)};
  out = once_each(std::move(out));
  for (auto& m : out) {
    m.set = plan.uses[m.use - 1].set;
    m.type = plan.uses[m.use - 1].type;
  }
  note_choice(left_out, centres,
              static_cast<int>(std::count_if(out.begin(), out.end(),
                                             [](const Mapped& m) { return m.in_many; })),
              notes);
  // A file Gmsh saved from a model whose groups are all fixities holds
  // only the fixities' elements.
  const std::string hint = src.groups.empty() ? ""
                           : "; Gmsh saves only the elements of physical groups: "
                             "give the surfaces a physical group";
  if (out.empty())
    throw Refusal{plan.grouped && lines
                      ? "the mesh's physical groups hold no surface or line elements to import "
                        "(only elements of a physical group that is not a fixity are imported)"
                  : plan.grouped
                      ? "the mesh's physical groups hold no surface elements (only elements of a "
                        "physical surface are imported; lines become elements only with --lines)"
                  : lines ? "the mesh holds no surface or line elements to import" + hint
                          : "the mesh holds no surface elements (lines become elements only "
                            "with --lines)" + hint};
  return out;
}

// --- checks before the model is filled ---------------------------------------------

void check_plane(const SourceMesh& src) {
  if (src.dimension >= 3) throw Refusal{"the model has volumes: a 3D mesh is not imported"};
  double extent = 1;
  for (const auto& [tag, n] : src.nodes) {
    if (!std::isfinite(n.x) || !std::isfinite(n.y) || !std::isfinite(n.z))
      throw Refusal{"node " + num(tag) + " has a coordinate that is not a finite number"};
    extent = std::max({extent, std::abs(n.x), std::abs(n.y)});
  }
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
  if (!(opt.scale > 0) || !std::isfinite(opt.scale))
    throw Refusal{"--scale takes a positive number"};
  for (char c : opt.title)
    if (static_cast<unsigned char>(c) < 32 || c == 127)
      throw Refusal{std::string("the title holds ") +
                    (c == '\n' || c == '\r' ? "a line break" : "a control character") +
                    "; the data file's title is one line"};
  if (opt.title.size() > 50)
    throw Refusal{"the title has " + num(static_cast<long>(opt.title.size())) +
                  " characters; the data file keeps 50 (give a shorter --title)"};
}

// The node line writes x and y with 5 decimals in 10 columns.
void check_coordinate(double v, std::size_t tag, const char* axis) {
  const double rounded = five_decimals(v);
  if (!(rounded >= -999.99999 && rounded <= 9999.99999))
    throw Refusal{std::string(axis) + "-coordinate " + std::to_string(v) + " of node " + num(tag) +
                  " does not fit its 10-column field (-999.99999 to 9999.99999); scale the "
                  "model (--scale)"};
}

void check_coordinates(const SourceMesh& src, const std::vector<Mapped>& elements, double scale) {
  for (const auto& e : elements)
    for (auto t : e.nodes) {
      check_coordinate(src.nodes.at(t).x * scale, t, "x");
      check_coordinate(src.nodes.at(t).y * scale, t, "y");
    }
}

// Each node is met by at most MNODE elements.
void check_elements_at_nodes(const std::vector<Mapped>& elements) {
  std::map<std::size_t, int> meeting;
  for (const auto& e : elements) {
    std::set<std::size_t> own(e.nodes.begin(), e.nodes.end());
    for (auto t : own)
      if (++meeting[t] > MNODE)
        throw Refusal{"node " + num(t) + " of the Gmsh mesh is met by more than " + num(MNODE) +
                      " elements, the model's limit"};
  }
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

// The fixity groups' codes on their nodes; a node's d.o.f. count is the
// one its groups give, which must agree.
void set_fixities(const SourceMesh& src, const std::map<std::size_t, int>& number,
                  const std::map<std::size_t, std::size_t>& merged, const ImportOptions& opt,
                  MeshModel& m, std::vector<std::string>& notes) {
  std::map<int, std::string> given;  // node -> the group that gave its d.o.f.
  for (const auto& g : src.groups) {
    if (!is_fixity_name(g.name)) continue;
    const Fixity f = fixity_code(g, opt.problem, opt.advanced);
    int outside = 0;
    for (std::size_t t : g.nodes) {
      auto to = merged.find(t);
      auto it = number.find(to == merged.end() ? t : to->second);
      if (it == number.end()) {
        ++outside;
        continue;
      }
      const int n = it->second;
      if (given.count(n) && m.ndof(n) != f.ndof)
        throw Refusal{"node " + num(static_cast<long>(t)) + " has " + num(m.ndof(n)) +
                      " d.o.f. by physical group " + quoted(given[n]) + " and " + num(f.ndof) +
                      " by " + quoted(g.name)};
      given.emplace(n, g.name);
      m.ndof(n) = f.ndof;
      m.kode(n) = merge_codes(m.kode(n), f.code);
    }
    if (outside > 0)
      notes.push_back("physical group " + quoted(g.name) + ": " + num(outside) +
                      " nodes belong to no imported element and are left out");
  }
}

void fill_model(const Coords& at, const ImportOptions& opt, const std::vector<Mapped>& elements,
                const std::map<std::size_t, int>& number, int npros, MeshModel& m) {
  clear_mesh(m);
  m.npoin = static_cast<int>(number.size());
  m.nelem = static_cast<int>(elements.size());
  m.ndofn = opt.advanced ? -opt.problem : opt.problem;
  m.npros = npros;
  m.title = opt.title.substr(0, 50);
  m.title.resize(80, ' ');
  for (const auto& [tag, n] : number) {
    m.coord(n, 1) = at.at(tag).x;
    m.coord(n, 2) = at.at(tag).y;
    m.ndof(n) = opt.problem;
  }
  for (int e = 1; e <= m.nelem; ++e) {
    const Mapped& el = elements[e - 1];
    m.nside(e) = el.nside;
    m.nnode(e) = static_cast<int>(el.nodes.size());
    m.mattyp(e) = el.type;
    m.matset(e) = el.set;
    for (int k = 1; k <= m.nnode(e); ++k) m.lnods(e, k) = number.at(el.nodes[k - 1]);
  }
  for (const auto& [set, values] : opt.props)
    for (size_t c = 0; c < values.size(); ++c) m.props(set, static_cast<int>(c) + 1) = values[c];
}

void describe_sets(const SetPlan& plan, const std::vector<Mapped>& elements,
                   const ImportOptions& opt, std::vector<std::string>& notes) {
  for (int set = 1; set <= plan.npros; ++set) {
    std::string names;
    for (const auto& u : plan.uses)
      if (u.set == set) names += (names.empty() ? "" : " and ") + u.name;
    const long n = std::count_if(elements.begin(), elements.end(),
                                 [&](const Mapped& e) { return e.set == set; });
    notes.push_back(
        "set " + num(set) + ": " + (names.empty() ? "no physical group" : names) + ", " + num(n) +
        " elements" +
        (opt.props.count(set) ? "" : ", no property values (GRIDOR's \"Modify mesh\" gives them)"));
  }
}

// The whole import, throwing a Refusal for the first thing refused.
void build(const SourceMesh& src, const ImportOptions& opt, MeshModel& m,
           std::vector<std::string>& notes) {
  check_options(opt);
  check_plane(src);
  const bool lines = opt.lines != LineUse::None;
  // Fixity names are checked before anything else is built.
  for (const auto& g : src.groups)
    if (is_fixity_name(g.name)) fixity_code(g, opt.problem, opt.advanced);
  SetPlan plan = plan_sets(src, lines, notes);
  std::vector<Mapped> elements = choose_elements(src, plan, lines, notes);
  if (!opt.advanced) check_basic_types(elements, opt.problem);
  check_coordinates(src, elements, opt.scale);
  std::map<std::size_t, std::size_t> merged;
  const Coords exact = place_nodes(src, opt, elements, merged, notes);
  const auto number = number_nodes(elements);
  check_limits(number.size(), elements.size(), plan.npros, opt);
  check_elements_at_nodes(elements);
  // The elements are checked where the file will put their nodes.
  Coords at;
  for (const auto& [t, p] : exact) at[t] = {five_decimals(p.x), five_decimals(p.y)};
  const int turned = orient_and_check(at, elements);
  if (turned > 0) notes.push_back(num(turned) + " elements turned counter-clockwise");
  fill_model(exact, opt, elements, number, plan.npros, m);
  set_fixities(src, number, merged, opt, m, notes);
  describe_sets(plan, elements, opt, notes);
}

}  // namespace

ImportReport import_mesh(const SourceMesh& src, const ImportOptions& opt, MeshModel& m) {
  ImportReport report;
  clear_mesh(m);
  try {
    build(src, opt, m, report.notes);
  } catch (const Refusal& r) {
    clear_mesh(m);
    report.error = r.text;
    report.notes.clear();
  }
  return report;
}

}  // namespace vortan
