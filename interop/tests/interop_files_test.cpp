// The files of both tools, read back: Gmsh's .msh versions and .geo files
// imported alike, files that do not read refused, a square through GRIDOR
// and back out unchanged, and the plate with a hole the whole way to
// ParaView's and Gmsh's files with the values PLOTOR's reader reads.
#include <gmsh.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "console_platform.h"
#include "dat_file.h"
#include "gmsh_library.h"
#include "mesh_import.h"
#include "platform/platform.h"
#include "results_file.h"
#include "interop_test_support.h"

namespace vortan {
namespace {

namespace fs = std::filesystem;
const std::string SOURCE = VORTAN_SOURCE_DIR;

using interop_test::run;
using interop_test::slurp;
using interop_test::work;

// What the tests need of a .vtu file: the piece's counts and any data array.
struct Vtu {
  std::string xml;
  long count(const std::string& what) const {
    const auto at = xml.find(what + "=\"");
    return at == std::string::npos ? -1 : std::stol(xml.substr(at + what.size() + 2));
  }
  std::vector<double> array(const std::string& name) const {
    const auto at = xml.find("Name=\"" + name + "\"");
    if (at == std::string::npos) return {};
    const auto start = xml.find('>', at) + 1;
    std::istringstream values(xml.substr(start, xml.find('<', start) - start));
    std::vector<double> out;
    for (double v; values >> v;) out.push_back(v);
    return out;
  }
};

Vtu read_vtu(const std::string& path) { return {slurp(path)}; }

// Part A as written by the project's writer, from a mesh Gmsh read.
std::string part_a_of(const std::string& path, std::string& error) {
  SourceMesh src;
  if (!read_gmsh_file(path, src, error)) return "";
  auto m = std::make_unique<MeshModel>();
  ImportOptions opt;
  opt.title = "square";
  error = import_mesh(src, opt, *m).error;
  std::ostringstream out;
  OUTPUT(out, *m);
  return out.str();
}

std::string part_a_lines(const std::string& text) {
  return text.substr(0, text.find("\n1\n", text.find("  set cmpnt")) + 3);
}

TEST(GmshFiles, MshVersionsTwoAndFourAndTheGeometryImportAlike) {
  const std::string dir = work("msh_versions"), geo = SOURCE + "/interop/tests/data/square.geo";
  GmshLibrary lib;
  gmsh::open(geo);
  gmsh::model::mesh::generate(2);
  gmsh::option::setNumber("Mesh.MshFileVersion", 2.2);
  gmsh::write(dir + "/v2.msh");
  gmsh::option::setNumber("Mesh.MshFileVersion", 4.1);
  gmsh::write(dir + "/v4.msh");
  std::string error;
  const std::string from_geo = part_a_of(geo, error);
  ASSERT_EQ(error, "");
  // A 2 x 2 mesh of 8-node quadrilaterals: 9 corners and 12 mid-sides.
  EXPECT_NE(from_geo.find("\n   21    4    2    1\n"), std::string::npos);
  EXPECT_EQ(part_a_of(dir + "/v2.msh", error), from_geo);
  EXPECT_EQ(part_a_of(dir + "/v4.msh", error), from_geo);
}

TEST(GmshFiles, FilesThatDoNotReadAreRefusedAndNothingIsWritten) {
  const std::string dir = work("unreadable");
  std::ofstream(dir + "/garbage.msh") << "$MeshFormat\nnonsense\n";
  std::ofstream(dir + "/box.geo") << "SetFactory(\"OpenCASCADE\");\nBox(1) = {0, 0, 0, 1, 1, 1};\n";
  const std::string tool = std::string(VORTAN_IMPORT) + " --problem elasticity ";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"absent.msh", "cannot read absent.msh"},
      {"garbage.msh", "vortan-import: "},
      {"box.geo", "the model has volumes: a 3D mesh is not imported; nothing written"},
  };
  for (const auto& [file, message] : cases) {
    EXPECT_EQ(run(dir, tool + file + " out.dat"), 1) << file;
    EXPECT_NE(slurp(dir + "/err.txt").find(message), std::string::npos) << slurp(dir + "/err.txt");
    EXPECT_FALSE(fs::exists(dir + "/out.dat"));
  }
  EXPECT_EQ(run(dir, std::string(VORTAN_EXPORT) + " absent.out"), 1);
  EXPECT_NE(slurp(dir + "/err.txt").find("cannot read absent.out"), std::string::npos);
  EXPECT_NE(slurp(dir + "/err.txt").find("; nothing written"), std::string::npos);
}

TEST(RoundTrip, ASquareThroughGridorAndBackKeepsItsNodesAndElements) {
  const std::string dir = work("square"), data = SOURCE + "/interop/tests/data/";
  ASSERT_EQ(run(dir, std::string(VORTAN_IMPORT) + " --problem elasticity " + data +
                         "square.geo square.dat"),
            0);
  ASSERT_EQ(run(dir, std::string(VORTAN_GRIDOR) + " --script " + data + "open_save.script"), 0);
  EXPECT_EQ(part_a_lines(slurp(dir + "/back.dat")), slurp(dir + "/square.dat"));
  ASSERT_EQ(run(dir, std::string(VORTAN_EXPORT) + " back.dat"), 0) << slurp(dir + "/err.txt");

  const Vtu vtu = read_vtu(dir + "/back.vtu");
  ASSERT_EQ(vtu.count("NumberOfPoints"), 21);
  ASSERT_EQ(vtu.count("NumberOfCells"), 4);
  const auto xyz = vtu.array("Points"), conn = vtu.array("connectivity"),
             kode = vtu.array("fixity_code");
  EXPECT_EQ(vtu.array("types"), std::vector<double>(4, 23));  // quadratic quadrilaterals
  EXPECT_EQ(vtu.array("property_set"), std::vector<double>(4, 1));
  // Held in x on x = 0 and in y on y = 0.
  for (int n = 0; n < 21; ++n)
    EXPECT_EQ(kode[n], (xyz[3 * n] == 0 ? 10 : 0) + (xyz[3 * n + 1] == 0 ? 1 : 0)) << n;

  // The cells, as rows of coordinates, are Gmsh's own elements.
  auto rows = [](auto corner) {
    std::vector<std::vector<double>> r(4);
    for (int e = 0; e < 4; ++e)
      for (int k = 0; k < 8; ++k) {
        const auto [x, y] = corner(e, k);
        r[e].insert(r[e].end(), {x, y});
      }
    std::sort(r.begin(), r.end());
    return r;
  };
  SourceMesh src;
  std::string error;
  GmshLibrary lib;
  ASSERT_TRUE(read_gmsh_file(data + "square.geo", src, error));
  std::vector<const SourceElement*> quads;
  for (const auto& e : src.elements)
    if (e.type == GMSH_QUAD8) quads.push_back(&e);
  ASSERT_EQ(quads.size(), 4u);
  const auto from_gmsh = rows([&](int e, int k) {
    const auto& n = src.nodes.at(quads[e]->nodes[k]);
    return std::pair{n.x, n.y};
  });
  const auto from_vtu = rows([&](int e, int k) {
    const int p = static_cast<int>(conn[8 * e + k]);
    return std::pair{xyz[3 * p], xyz[3 * p + 1]};
  });
  // The .dat file keeps five decimals.
  ASSERT_EQ(from_vtu.size(), from_gmsh.size());
  for (size_t e = 0; e < from_vtu.size(); ++e)
    for (size_t k = 0; k < 16; ++k) EXPECT_NEAR(from_vtu[e][k], from_gmsh[e][k], 1e-5);

  // The .msh file, read back by Gmsh: the same nodes, elements and codes.
  gmsh::open(dir + "/back.msh");
  std::vector<std::size_t> tags;
  std::vector<double> coord, param;
  gmsh::model::mesh::getNodes(tags, coord, param, -1, -1, false, false);
  ASSERT_EQ(tags.size(), 21u);
  for (size_t i = 0; i < tags.size(); ++i) {
    EXPECT_EQ(coord[3 * i], xyz[3 * (tags[i] - 1)]);
    EXPECT_EQ(coord[3 * i + 1], xyz[3 * (tags[i] - 1) + 1]);
  }
  std::vector<std::size_t> etags, enodes;
  gmsh::model::mesh::getElementsByType(GMSH_QUAD8, etags, enodes);
  ASSERT_EQ(enodes.size(), 32u);
  for (size_t i = 0; i < 32; ++i) EXPECT_EQ(enodes[i], conn[i] + 1);
  std::vector<int> views;
  gmsh::view::getTags(views);
  // property_set, material_type, fixity_code, a flag each for x and y, and
  // Part B's nodal load, specified displacement, boundary set, Dirichlet
  // d.o.f. and value, body force set and vector, loaded edges, traction set
  ASSERT_EQ(views.size(), 14u);
  std::string name, type;
  gmsh::option::getString("View[2].Name", name);
  EXPECT_EQ(name, "fixity_code");
  std::vector<std::vector<double>> values;
  double time;
  int ncomp;
  gmsh::view::getModelData(views[2], 0, type, tags, values, time, ncomp);
  ASSERT_EQ(tags.size(), 21u);
  for (size_t i = 0; i < tags.size(); ++i) EXPECT_EQ(values[i][0], kode[tags[i] - 1]);
}

TEST(WholeWay, ThePlateWithAHoleReachesParaViewAndGmshWithItsValues) {
  const std::string dir = work("plate_hole"), data = SOURCE + "/interop/tests/data/";
  ASSERT_EQ(run(dir, std::string(VORTAN_IMPORT) + " --problem elasticity --props 1=200000,0.3,1 " +
                         SOURCE + "/examples/plate_hole.geo plate_hole.dat"),
            0);
  ASSERT_EQ(run(dir, std::string(VORTAN_GRIDOR) + " --script " + data + "open_refine_save.script"),
            0);
  ASSERT_EQ(run(dir, std::string(VORTAN_CLOSED_FORM) + " kirsch platefin.dat platefin.out"), 0);
  ASSERT_EQ(run(dir, std::string(VORTAN_EXPORT) + " platefin.out"), 0) << slurp(dir + "/err.txt");

  // The results as PLOTOR reads them.
  use_console_platform("test", true);
  std::ifstream in(dir + "/platefin.out");
  auto m = std::make_unique<MeshModel>();
  auto r = std::make_unique<ResultSet>();
  clear_results(*r);
  INPUT(in, *m);
  ASSERT_EQ(read_result_set(in, *m, *r), SetRead::Read);
  set_platform(nullptr);
  ASSERT_EQ(m->nelem, 4 * 48);  // every imported element refined in four
  ASSERT_GT(r->ngaus, 0);

  const Vtu nodal = read_vtu(dir + "/platefin_1.vtu"),
            gauss = read_vtu(dir + "/platefin_1_gauss.vtu");
  EXPECT_EQ(nodal.count("NumberOfPoints"), m->npoin);
  EXPECT_EQ(nodal.count("NumberOfCells"), m->nelem);
  const auto u = nodal.array("x-displt"), v = nodal.array("y-displt"),
             d = nodal.array("displacement");
  ASSERT_EQ(u.size(), static_cast<size_t>(m->npoin));
  ASSERT_EQ(d.size(), 3u * m->npoin);
  for (int n = 1; n <= m->npoin; ++n) {
    EXPECT_DOUBLE_EQ(u[n - 1], r->disp(n, 1));
    EXPECT_DOUBLE_EQ(v[n - 1], r->disp(n, 2));
    EXPECT_DOUBLE_EQ(d[3 * n - 2], r->disp(n, 2));
  }
  EXPECT_EQ(gauss.count("NumberOfPoints"), r->ngaus);
  const auto sx = gauss.array("sigma_x"), txy = gauss.array("tau_xy"), gx = gauss.array("Points");
  ASSERT_EQ(sx.size(), static_cast<size_t>(r->ngaus));
  for (int i = 1; i <= r->ngaus; ++i) {
    EXPECT_DOUBLE_EQ(sx[i - 1], r->stres(i, 1));
    EXPECT_DOUBLE_EQ(txy[i - 1], r->stres(i, 3));
    EXPECT_DOUBLE_EQ(gx[3 * i - 3], r->xgaus(i, 1));
  }
  const std::string pvd = slurp(dir + "/platefin.pvd");
  // The first set goes by the mesh's title.
  const std::string title = m->title.substr(0, m->title.find_last_not_of(' ') + 1);
  EXPECT_NE(pvd.find("part=\"0\" name=\"" + title + "\" file=\"platefin_1.vtu\""),
            std::string::npos);
  EXPECT_NE(pvd.find("part=\"1\" name=\"" + title + "\" file=\"platefin_1_gauss.vtu\""),
            std::string::npos);

  // Gmsh's post-processor: the nodal views and the Gauss-point list views.
  GmshLibrary lib;
  gmsh::open(dir + "/platefin.msh");
  gmsh::merge(dir + "/platefin_gauss.pos");
  std::map<std::string, int> by_name = interop_test::views_by_name();
  ASSERT_TRUE(by_name.count("x-displt") && by_name.count("sigma_y (Gauss points)") &&
              by_name.count("yield_code (Gauss points)"));
  std::string type;
  std::vector<std::size_t> tags;
  std::vector<std::vector<double>> values;
  double time;
  int ncomp;
  gmsh::view::getModelData(by_name["x-displt"], 0, type, tags, values, time, ncomp);
  ASSERT_EQ(tags.size(), static_cast<size_t>(m->npoin));
  for (size_t i = 0; i < tags.size(); ++i)
    EXPECT_DOUBLE_EQ(values[i][0], r->disp(static_cast<int>(tags[i]), 1));
  std::vector<std::string> kinds;
  std::vector<int> counts;
  std::vector<std::vector<double>> lists;
  gmsh::view::getListData(by_name["sigma_y (Gauss points)"], kinds, counts, lists);
  ASSERT_EQ(kinds, std::vector<std::string>{"SP"});
  ASSERT_EQ(counts[0], r->ngaus);
  for (int i = 1; i <= r->ngaus; ++i) {
    EXPECT_DOUBLE_EQ(lists[0][4 * i - 4], r->xgaus(i, 1));
    EXPECT_DOUBLE_EQ(lists[0][4 * i - 1], r->stres(i, 2));
  }
}

}  // namespace
}  // namespace vortan
