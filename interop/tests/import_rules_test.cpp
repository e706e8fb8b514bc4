// The import rules on meshes built by hand: element mappings and node
// orders, physical groups, fixity codes, and every refusal with its message.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "import_command.h"
#include "mesh_import.h"

namespace vortan {
namespace {

struct Case {
  SourceMesh src;
  ImportOptions opt;
  std::unique_ptr<MeshModel> m = std::make_unique<MeshModel>();
  ImportReport report;

  Case& node(std::size_t tag, double x, double y, double z = 0) {
    src.nodes[tag] = {x, y, z};
    return *this;
  }
  Case& element(int type, std::vector<std::size_t> nodes, int entity = 1, int dim = 2) {
    src.elements.push_back({type, dim, entity, src.elements.size() + 1, std::move(nodes)});
    src.dimension = std::max(src.dimension, dim);
    return *this;
  }
  Case& group(int dim, int tag, const std::string& name, std::vector<int> entities,
              std::vector<std::size_t> nodes = {}) {
    src.groups.push_back({dim, tag, name, std::move(entities), std::move(nodes)});
    return *this;
  }
  std::vector<int> row(int e) const {
    std::vector<int> r;
    for (int k = 1; k <= m->nnode(e); ++k) r.push_back(m->lnods(e, k));
    return r;
  }
  const ImportReport& run() { return report = import_mesh(src, opt, *m); }
  bool noted(const std::string& text) const {
    for (const auto& n : report.notes)
      if (n.find(text) != std::string::npos) return true;
    return false;
  }
};

// The unit square as one 8-node quadrilateral in Gmsh's order: corners
// 1-4 counter-clockwise from the origin, then the mid-sides 5-8.
Case square8(int type = GMSH_QUAD8) {
  Case c;
  c.node(1, 0, 0).node(2, 1, 0).node(3, 1, 1).node(4, 0, 1);
  c.node(5, .5, 0).node(6, 1, .5).node(7, .5, 1).node(8, 0, .5);
  std::vector<std::size_t> n = {1, 2, 3, 4, 5, 6, 7, 8};
  if (type == GMSH_QUAD9) {
    c.node(9, .5, .5);
    n.push_back(9);
  }
  c.element(type, n);
  return c;
}

TEST(ImportMapping, AreaElementsTakeTheProjectsNodeOrder) {
  Case q = square8();
  ASSERT_EQ(q.run().error, "");
  EXPECT_EQ(q.m->nside(1), 4);
  EXPECT_EQ(q.row(1), (std::vector<int>{1, 5, 2, 6, 3, 7, 4, 8}));
  EXPECT_EQ(q.m->ndofn, 2);
  EXPECT_EQ(q.m->ndof(8), 2);

  Case n9 = square8(GMSH_QUAD9);
  ASSERT_EQ(n9.run().error, "");
  EXPECT_EQ(n9.m->npoin, 8);  // the centre node is gone
  EXPECT_EQ(n9.row(1), (std::vector<int>{1, 5, 2, 6, 3, 7, 4, 8}));
  EXPECT_TRUE(n9.noted("lose their centre nodes"));

  Case t6;
  t6.node(1, 0, 0).node(2, 1, 0).node(3, 0, 1).node(4, .5, 0).node(5, .5, .5).node(6, 0, .5);
  t6.element(GMSH_TRIANGLE6, {1, 2, 3, 4, 5, 6});
  t6.opt.advanced = true;
  ASSERT_EQ(t6.run().error, "");
  EXPECT_EQ(t6.m->ndofn, -2);
  EXPECT_EQ(t6.m->nside(1), 3);
  EXPECT_EQ(t6.row(1), (std::vector<int>{1, 4, 2, 5, 3, 6}));

  Case l4;  // Basic Poisson: linear quadrilaterals
  l4.node(1, 0, 0).node(2, 1, 0).node(3, 1, 1).node(4, 0, 1).element(GMSH_QUAD4, {1, 2, 3, 4});
  l4.opt.problem = 1;
  ASSERT_EQ(l4.run().error, "");
  EXPECT_EQ(l4.row(1), (std::vector<int>{1, 2, 3, 4}));
}

TEST(ImportMapping, LinesBecomeBarsOrBeamsOnlyWhenAsked) {
  Case bars;
  bars.node(1, 0, 0).node(2, 2, 0).node(3, 1, 0).element(GMSH_LINE3, {1, 2, 3}, 1, 1);
  bars.opt.advanced = true;
  EXPECT_NE(bars.run().error.find("no surface elements"), std::string::npos);
  bars.opt.lines = LineUse::Bars;
  ASSERT_EQ(bars.run().error, "");
  EXPECT_EQ(bars.m->nside(1), 1);
  EXPECT_EQ(bars.row(1), (std::vector<int>{1, 3, 2}));  // end, middle, end

  Case beams;
  beams.node(4, 0, 0).node(9, 0, 3).element(GMSH_LINE2, {4, 9}, 1, 1);
  beams.group(0, 1, "fix xyr", {1}, {4}).group(0, 2, "fix r", {2}, {9});
  beams.opt.problem = 3;
  beams.opt.lines = LineUse::Beams;
  ASSERT_EQ(beams.run().error, "");
  EXPECT_EQ(beams.row(1), (std::vector<int>{1, 2}));  // dense numbers
  EXPECT_EQ(beams.m->kode(1), 111);
  EXPECT_EQ(beams.m->kode(2), 1);  // "001"
}

TEST(ImportMapping, ClockwiseElementsAreTurnedWithTheirMidsideNodes) {
  Case c;  // corners clockwise: (0,0) (0,1) (1,1) (1,0)
  c.node(1, 0, 0).node(2, 0, 1).node(3, 1, 1).node(4, 1, 0);
  c.node(5, 0, .5).node(6, .5, 1).node(7, 1, .5).node(8, .5, 0);
  c.element(GMSH_QUAD8, {1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_EQ(c.run().error, "");
  EXPECT_EQ(c.row(1), (std::vector<int>{1, 8, 4, 7, 3, 6, 2, 5}));
  EXPECT_TRUE(c.noted("1 elements turned counter-clockwise"));
}

TEST(ImportGroups, SetsInTagOrderFixitiesMergedAndValuesGiven) {
  Case c;
  c.node(1, 0, 0).node(2, 1, 0).node(3, 0, 1).node(4, 1, 1).node(5, 2, 0);
  c.element(GMSH_TRIANGLE3, {1, 2, 3}, 1).element(GMSH_TRIANGLE3, {2, 4, 3}, 2);
  c.element(GMSH_TRIANGLE3, {2, 5, 4}, 3);  // in no group: left out
  c.group(1, 7, "fix x", {4}, {1, 3}).group(0, 8, "Fix Y", {1}, {1});
  c.group(2, 5, "steel", {2}).group(2, 3, "soil", {1}).group(1, 9, "loaded edge", {5});
  std::sort(c.src.groups.begin(), c.src.groups.end(),
            [](auto& a, auto& b) { return a.dim != b.dim ? a.dim < b.dim : a.tag < b.tag; });
  c.opt.advanced = true;
  c.opt.props[1] = {30e3, 0.25};
  ASSERT_EQ(c.run().error, "");
  EXPECT_EQ(c.m->nelem, 2);
  EXPECT_EQ(c.m->npoin, 4);  // node 5 only in the element left out
  EXPECT_EQ(c.m->npros, 2);
  EXPECT_EQ(c.m->matset(1), 1);  // "soil", the lower tag
  EXPECT_EQ(c.m->matset(2), 2);
  EXPECT_EQ(c.m->kode(1), 11);
  EXPECT_EQ(c.m->kode(3), 10);
  EXPECT_EQ(c.m->kode(2), 0);
  EXPECT_EQ(c.m->props(1, 1), 30e3);
  EXPECT_EQ(c.m->props(1, 2), 0.25);
  EXPECT_EQ(c.m->props(2, 1), 0.0);  // for GRIDOR's modification dialogue to fill
  EXPECT_TRUE(c.noted("1 elements outside every physical group are left out"));
  EXPECT_TRUE(c.noted("set 1: physical surface \"soil\""));
  EXPECT_TRUE(c.noted("\"loaded edge\" is neither a fixity nor elements without --lines"));

  Case p;  // Poisson's one fixity
  p.node(1, 0, 0).node(2, 1, 0).node(3, 0, 1).element(GMSH_TRIANGLE3, {1, 2, 3});
  p.group(1, 1, "fixed", {1}, {1, 2});
  p.opt.problem = 1;
  ASSERT_EQ(p.run().error, "");
  EXPECT_EQ(p.m->kode(1), 1);
  EXPECT_EQ(p.m->kode(3), 0);
}

TEST(ImportRefusals, EachIsRefusedWithItsMessageAndNothingKept) {
  using Change = std::function<void(Case&)>;
  const std::vector<std::pair<Change, std::string>> cases = {
      {[](Case& c) {
         c.src.elements[0].type = 21;
         c.src.type_names[21] = "Triangle 10";
       },
       "no VORTAN type: 1 of type \"Triangle 10\""},
      {[](Case& c) { c.src.dimension = 3; }, "a 3D mesh"},
      {[](Case& c) { c.node(3, 1, 1, 0.5); }, "node 3 lies at z = 0.5"},
      {[](Case& c) {
         c.node(10, 2, 0).element(GMSH_TRIANGLE3, {2, 10, 3});
       },
       "single element type; found 1 3-node triangles, 1 8-node quadrilaterals"},
      {[](Case& c) {
         c.src.elements[0].type = GMSH_QUAD4;
         c.src.elements[0].nodes.resize(4);
       },
       "Basic-level elasticity mesh is made of 8-node quadrilaterals; found 1 4-node"},
      {[](Case& c) { c.opt.lines = LineUse::Bars; },
       "--lines bars needs an Advanced-level elasticity"},
      {[](Case& c) { c.opt.lines = LineUse::Beams; }, "--lines beams needs a beam problem"},
      {[](Case& c) { c.group(2, 1, "fix xy", {1}); }, "not from surfaces"},
      {[](Case& c) { c.group(1, 1, "fix r", {1}, {1}); }, "elasticity problem's fixities are"},
      {[](Case& c) { c.group(1, 1, "fixed", {1}, {1}); }, "elasticity problem's fixities are"},
      {[](Case& c) {
         c.opt.problem = 1;
         c.opt.advanced = true;
         c.group(0, 1, "fix x", {1}, {1});
       },
       "one fixity, named \"fixed\""},
      {[](Case& c) { c.opt.props[3] = {1}; }, "--props gives set 3, but the mesh has 1"},
      {[](Case& c) { c.opt.props[1] = std::vector<double>(10, 1.0); }, "10 components; at most 9"},
      {[](Case& c) { c.node(3, 12345.6, 1); }, "x-coordinate 12345.6"},
      {[](Case& c) { c.node(6, 1, .1); }, "mid-side node 6 of element 1"},
      {[](Case& c) { c.node(3, .5, 0).node(4, .25, 0); }, "element 1 of the Gmsh mesh has no area"},
      {[](Case& c) { c.opt.title = std::string(51, 't'); },
       "51 characters; the data file keeps 50"},
      {[](Case& c) { c.src.elements[0].nodes[7] = 99; }, "uses node 99"},
      {[](Case& c) { c.src.elements[0].dim = 1; }, "no surface elements"},
  };
  for (const auto& [change, message] : cases) {
    Case c = square8();
    change(c);
    const std::string error = c.run().error;
    EXPECT_NE(error.find(message), std::string::npos) << "got: " << error;
    EXPECT_EQ(c.m->npoin, 0);
    EXPECT_EQ(c.m->nelem, 0);
  }
}

TEST(ImportGroups, OnlyExactFixityNamesAndOnlyGroupedElementsCount) {
  // Two triangles on surface 1, a bar on curve 2 ("fix x"), one on curve 3
  // ("tie"), one on curve 4 in no group; "fixture plate" is a surface set.
  Case c;
  c.node(1, 0, 0).node(2, 1, 0).node(3, 0, 1).node(4, 1, 1);
  c.element(GMSH_TRIANGLE3, {1, 2, 3}).element(GMSH_TRIANGLE3, {2, 4, 3});
  c.element(GMSH_LINE2, {1, 3}, 2, 1).element(GMSH_LINE2, {1, 2}, 3, 1);
  c.element(GMSH_LINE2, {2, 4}, 4, 1).element(GMSH_LINE2, {3, 4}, 5, 1);
  c.group(1, 1, " FIX X ", {2}, {1, 3}).group(1, 2, "tie", {3}).group(1, 3, "fix z", {4});
  c.group(2, 4, "fixture plate", {1});
  c.opt.advanced = true;
  c.opt.lines = LineUse::Bars;
  ASSERT_EQ(c.run().error, "");
  // Never the fixity curve's bar; "fix z" is no fixity name, bars like any other.
  EXPECT_EQ((std::vector{c.m->nelem, c.m->npros, c.m->kode(1)}), (std::vector{4, 3, 10}));
  for (const char* note : {"1 elements outside every physical group are left out",
                           "set 1: physical surface \"fixture plate\"",
                           "set 2: physical curve \"tie\"", "set 3: physical curve \"fix z\""})
    EXPECT_TRUE(c.noted(note)) << note;
  // Without --lines, no curve counts as left out.
  c.opt.lines = LineUse::None;
  ASSERT_EQ(c.run().error, "");
  EXPECT_EQ(c.m->nelem, 2);
  EXPECT_FALSE(c.noted("left out"));
}

TEST(ImportGroups, AnElementInTwoGroupsComesOnceInTheLowest) {
  Case c = square8();  // the element twice, as a version 2 file gives it
  c.src.elements.push_back(c.src.elements[0]);
  c.src.elements[0].entity = 2;
  c.group(2, 7, "upper", {2}).group(2, 3, "lower", {1});
  ASSERT_EQ(c.run().error, "");
  EXPECT_EQ((std::vector{c.m->nelem, c.m->matset(1)}), (std::vector{1, 1}));
  EXPECT_TRUE(c.noted("set 1: physical surface \"lower\", 1 elements"));
  EXPECT_TRUE(c.noted("1 elements lie in more than one physical group"));
}

TEST(ImportGroups, NamesGiveSetsTypesAndCodesAsTheExportWritesThem) {
  Case c;
  c.node(1, 0, 0).node(2, 1, 0).node(3, 0, 1).node(4, 1, 1).node(5, 2, 0);
  c.element(GMSH_TRIANGLE3, {1, 2, 3}, 1).element(GMSH_TRIANGLE3, {2, 4, 3}, 2);
  c.element(GMSH_TRIANGLE3, {2, 5, 4}, 3);
  c.group(0, 1, "fixity code 0010", {1}, {4}).group(0, 2, "fixity code 101", {2}, {5});
  c.group(2, 1, "property set 3 material type 2", {1}).group(2, 2, "plate", {2});
  c.group(2, 3, " Property Set 1 ", {3});
  c.opt.advanced = true;
  ASSERT_EQ(c.run().error, "");
  const MeshModel& m = *c.m;  // "plate" takes set 2, the lowest left
  EXPECT_EQ((std::vector{m.npros, m.matset(1), m.mattyp(1), m.matset(2), m.matset(3), m.mattyp(3)}),
            (std::vector{3, 3, 2, 2, 1, 1}));
  EXPECT_EQ((std::vector{m.kode(4), m.ndof(4), m.kode(5), m.ndof(5), m.ndof(1)}),
            (std::vector{10, 4, 101, 3, 2}));
  c.group(1, 9, "fix xy", {7}, {5});  // two d.o.f. for node 5, which has three
  EXPECT_NE(c.run().error.find("has 3 d.o.f. by physical group"), std::string::npos);
  c.src.groups.pop_back();
  c.opt.advanced = false;
  EXPECT_NE(c.run().error.find("Basic-level elasticity mesh has 2 d.o.f."), std::string::npos);
}

TEST(ImportChecks, CoincidentNodesMergedUnlessAskedAndCollapseRefused) {
  Case c;  // two triangles whose shared side has its own nodes in each
  c.node(1, 0, 0).node(2, 10, 0).node(3, 0, 10).node(4, 10, 1e-6).node(5, 0, 10).node(6, 10, 10);
  c.element(GMSH_TRIANGLE3, {1, 2, 3}).element(GMSH_TRIANGLE3, {4, 6, 5});
  c.opt.problem = 1;
  ASSERT_EQ(c.run().error, "");
  EXPECT_EQ(c.row(2), (std::vector<int>{2, 4, 3}));  // 4 nodes in all
  EXPECT_TRUE(c.noted("2 nodes at the place of another merged"));
  c.opt.merge = false;
  ASSERT_EQ(c.run().error, "");
  EXPECT_EQ(c.m->npoin, 6);

  // A part 20 micrometres wide in metres: nodes 3 and 4, 3 micrometres
  // apart, distinct in the mesh but one place in the file.
  Case small;
  small.node(1, 0, 0).node(2, 2e-5, 0).node(3, 0, 2e-5).node(4, 3e-6, 2e-5);
  small.element(GMSH_TRIANGLE3, {1, 2, 3}).element(GMSH_TRIANGLE3, {2, 4, 3});
  small.opt.problem = 1;
  const std::string error = small.run().error;
  EXPECT_NE(error.find("nodes 3 and 4 lie 3e-06 apart"), std::string::npos) << error;
  EXPECT_NE(error.find("--scale 1000,"), std::string::npos) << error;
  small.opt.scale = 1e9;
  EXPECT_NE(small.run().error.find("x-coordinate 20000"), std::string::npos);
  small.opt.scale = 1000;
  ASSERT_EQ(small.run().error, "");
  EXPECT_DOUBLE_EQ(small.m->coord(4, 1), 0.003);
}

TEST(ImportChecks, ElementsAtANodeMixedPoissonAndTitles) {
  Case fan;  // triangles round node 100, one more than the model allows
  fan.node(100, 0, 0).opt.problem = 1;
  for (int k = 0; k <= MNODE; ++k) {
    const double a = 2 * M_PI * k / (MNODE + 1);
    fan.node(k + 1, std::cos(a), std::sin(a));
    fan.element(GMSH_TRIANGLE3, {100, std::size_t(k + 1), std::size_t((k + 1) % (MNODE + 1) + 1)});
  }
  EXPECT_NE(fan.run().error.find("node 100 of the Gmsh mesh is met by more than 8"),
            std::string::npos);
  fan.src.elements.pop_back();
  EXPECT_EQ(fan.run().error, "");

  Case mixed;  // GRIDOR's own kind of Basic Poisson mesh
  mixed.node(1, 0, 0).node(2, 1, 0).node(3, 1, 1).node(4, 0, 1).node(5, 2, 0);
  mixed.element(GMSH_QUAD4, {1, 2, 3, 4}).element(GMSH_TRIANGLE3, {2, 5, 3});
  mixed.opt.problem = 1;
  EXPECT_EQ(mixed.run().error, "");
  mixed.opt.title = "carriage\r";  // a line break of its own
  EXPECT_NE(mixed.run().error.find("a line break"), std::string::npos);
}

TEST(ImportChecks, TheMeshMessageIsTakenWholeOrNotAtAll) {
  Case c = square8(GMSH_QUAD9);
  c.group(1, 2, "fix y", {1}, {1, 5, 2});
  c.src.type_names[GMSH_QUAD9] = "Quadrilateral 9";
  c.src.warnings = {"Warning: something"};
  const std::string bytes = pack_source_mesh(c.src);
  SourceMesh back;
  std::string error;
  ASSERT_TRUE(unpack_source_mesh(bytes, back, error));
  EXPECT_EQ(pack_source_mesh(back), bytes);
  EXPECT_EQ(back.elements[0].nodes, c.src.elements[0].nodes);
  for (size_t n = 0; n < bytes.size(); ++n)
    EXPECT_FALSE(unpack_source_mesh(bytes.substr(0, n), back, error)) << n;
  EXPECT_FALSE(unpack_source_mesh(bytes + "x", back, error));
  EXPECT_TRUE(back.nodes.empty());
}

TEST(ImportRefusals, TheModelsLimits) {
  Case sets;   // ten physical surfaces, one more than MPROP
  Case many;   // a strip of MELEM + 1 triangles
  Case apart;  // triangles with nodes of their own, more than MPOIN nodes
  for (int i = 0; i < 10; ++i) {
    const std::size_t t = 3 * i + 1;
    sets.node(t, i, 0).node(t + 1, i + 1, 0).node(t + 2, i, 1);
    sets.element(GMSH_TRIANGLE3, {t, t + 1, t + 2}, i + 1).group(2, i + 1, "", {i + 1});
  }
  for (int i = 0; i <= MELEM + 1; ++i) many.node(i + 1, i / 2, i % 2);
  for (int i = 0; i < MELEM; ++i) {
    const std::size_t a = i + 1;
    many.element(GMSH_TRIANGLE3, {a, a + 1, a + 2});
  }
  for (int i = 0; i < MPOIN / 3 + 1; ++i) {
    const std::size_t t = 3 * i + 1;
    apart.node(t, 0, 0)
        .node(t + 1, 1, 0)
        .node(t + 2, 0, 1)
        .element(GMSH_TRIANGLE3, {t, t + 1, t + 2});
  }
  for (Case* c : {&sets, &many, &apart}) c->opt.advanced = true;
  apart.opt.merge = false;
  ASSERT_EQ(many.run().error, "");  // exactly MELEM elements fit
  many.node(MELEM + 3, -1, 0).element(GMSH_TRIANGLE3, {1, 2, MELEM + 3});
  EXPECT_NE(many.run().error.find("elements; at most " + std::to_string(MELEM)), std::string::npos);
  EXPECT_NE(sets.run().error.find("10 property sets"), std::string::npos);
  EXPECT_NE(apart.run().error.find("nodes; at most " + std::to_string(MPOIN)), std::string::npos);
}

TEST(ImportCommandLine, OptionsAreReadOrRefused) {
  ImportCommand cmd;
  std::string error;
  ASSERT_TRUE(parse_import_args({"--problem", "beams", "--level", "advanced", "--lines", "beams",
                                 "--props", "2=1e5, 3.5,0.2", "dir/frame.msh", "frame.dat"},
                                cmd, error));
  EXPECT_EQ(cmd.options.problem, 3);
  EXPECT_TRUE(cmd.options.advanced);
  EXPECT_EQ(cmd.options.props[2], (std::vector<double>{1e5, 3.5, 0.2}));
  EXPECT_EQ(cmd.options.title, "frame");
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"a.msh", "a.dat"}, "say which problem"},
      {{"--problem", "heat", "a.msh", "a.dat"}, "poisson, elasticity or beams; got heat"},
      {{"--problem", "poisson", "--level", "expert", "a.msh", "a.dat"}, "basic or advanced"},
      {{"--problem", "poisson", "--lines", "rods", "a.msh", "a.dat"}, "bars or beams"},
      {{"--problem", "poisson", "a.msh", "a.txt"}, "must end in .dat"},
      {{"--problem", "poisson", "a.msh"}, "one input file and one output"},
      {{"--problem", "poisson", "--props", "1=2,x", "a.msh", "a.dat"}, "x is not a number"},
      {{"--problem", "poisson", "--props", "1=2", "--props", "1=3", "a.msh", "a.dat"},
       "set 1 twice"},
      {{"--problem", "poisson", "--props", "=2", "a.msh", "a.dat"}, "wants SET=v1,v2"},
      {{"--problem"}, "--problem wants a value"},
      {{"--frobnicate", "a.msh", "a.dat"}, "unknown option --frobnicate"},
  };
  for (const auto& [args, message] : refused) {
    ImportCommand c;
    EXPECT_FALSE(parse_import_args(args, c, error));
    EXPECT_NE(error.find(message), std::string::npos) << "got: " << error;
  }
}

}  // namespace
}  // namespace vortan
