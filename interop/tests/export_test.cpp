// vortan-export's files as ParaView, an XML parser and Gmsh read them: the
// plate with a hole's stresses per cell and per node against averages
// worked by hand from its .out, text that is not UTF-8, a full disk,
// concurrent runs, interruptions, result sets that do not read whole.
#include <gmsh.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "file_replace.h"
#include "gmsh_library.h"
#include "interop_test_support.h"

namespace vortan {
namespace {

namespace fs = std::filesystem;
const std::string SOURCE = VORTAN_SOURCE_DIR, EXPORT = VORTAN_EXPORT;

using interop_test::run;
using interop_test::slurp;
std::string work(const std::string& name) { return interop_test::work("export_" + name); }

int temporaries_in(const std::string& dir) {
  int n = 0;
  for (auto& e : fs::directory_iterator(dir)) n += e.path().filename().string().rfind(".vortan-", 0) == 0;
  return n;
}

// Every array of a .vtu as VTK's own XML reader gives it: "P name" for
// point data, "C name" for cell data, "F title" for the title.
std::map<std::string, std::vector<double>> vtk_arrays(const std::string& dir, const std::string& file,
                                                      std::string* title = nullptr) {
  std::ofstream(dir + "/read.py") << R"(import sys, vtk
r = vtk.vtkXMLUnstructuredGridReader(); r.SetFileName(sys.argv[1]); r.Update()
g = r.GetOutput()
for kind, data in (('P', g.GetPointData()), ('C', g.GetCellData())):
    for i in range(data.GetNumberOfArrays()):
        a = data.GetArray(i)
        print(kind, a.GetName().replace(' ', '_'), *[a.GetValue(k) for k in range(a.GetNumberOfValues())])
p = g.GetPoints()
print('P Points', *[p.GetPoint(i)[k] for i in range(p.GetNumberOfPoints()) for k in range(3)])
t = g.GetFieldData().GetAbstractArray('title')
open('title.txt', 'w', encoding='utf-8').write(t.GetValue(0) if t else '')
)";
  EXPECT_EQ(run(dir, "/usr/bin/python3 read.py " + file), 0) << slurp(dir + "/err.txt");
  std::map<std::string, std::vector<double>> arrays;
  std::istringstream lines(slurp(dir + "/out.txt"));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string kind, name;
    words >> kind >> name;
    for (double v; words >> v;) arrays[kind + " " + name].push_back(v);
  }
  if (title) *title = slurp(dir + "/title.txt");
  return arrays;
}

// PLOTOR's corner values of an 8-noded quadrilateral from its four Gauss
// values, corner 1 nearest g1, corner 2 nearest g3.
double corner(int k, const double g[4]) {
  const double a = std::sqrt(3.0) / 2;
  const int near[4] = {0, 2, 3, 1}, opp[4] = {3, 1, 0, 2}, side1[4] = {1, 0, 1, 0},
            side2[4] = {2, 3, 2, 3};
  return (1 + a) * g[near[k]] - 0.5 * g[side1[k]] - 0.5 * g[side2[k]] + (1 - a) * g[opp[k]];
}

TEST(ExportValues, ThePlateWithAHoleAsParaViewReadsIt) {
  const std::string dir = work("plate");
  fs::copy(SOURCE + "/examples/plate_hole.out", dir + "/plate.out");
  ASSERT_EQ(run(dir, EXPORT + " plate.out"), 0) << slurp(dir + "/err.txt");
  std::string title;
  auto a = vtk_arrays(dir, "plate_1.vtu", &title);
  EXPECT_EQ(title, "Quarter plate with a hole: Kirsch");
  // The .out's Gauss lines of elements 1 and 2 (sigx, sigy, tauxy; sigz 0).
  const double sx1[4] = {-3.1327, -3.1272, -2.6342, -1.6293}, sy1[4] = {-79.9749, -77.8200, -44.1815, -43.2133},
               t1[4] = {0.9567, 3.4157, -0.9411, -3.5550};
  const double sy2[4] = {-26.7423, -26.4001, -11.5920, -11.8138};
  // Element averages: the mean of the four points.
  const double mx = (-3.1327 - 3.1272 - 2.6342 - 1.6293) / 4, my = (-79.9749 - 77.8200 - 44.1815 - 43.2133) / 4,
               mt = (0.9567 + 3.4157 - 0.9411 - 3.5550) / 4;
  EXPECT_NEAR(a["C sigma_x"].at(0), mx, 1e-7);
  EXPECT_NEAR(a["C sigma_y"].at(0), my, 1e-7);
  EXPECT_NEAR(a["C tau_xy"].at(0), mt, 1e-7);
  EXPECT_NEAR(a["C sigma_y"].at(1), (-26.7423 - 26.4001 - 11.5920 - 11.8138) / 4, 1e-7);
  // Principal stresses and von Mises of that average, worked out apart.
  const double c = (mx + my) / 2, r = std::sqrt((mx - my) * (mx - my) / 4 + mt * mt);
  EXPECT_NEAR(a["C sigma_1"].at(0), c + r, 1e-7);
  EXPECT_NEAR(a["C sigma_3"].at(0), c - r, 1e-7);
  EXPECT_NEAR(std::tan(a["C principal_angle"].at(0) * M_PI / 180), (c + r - mx) / mt, 1e-6);
  EXPECT_NEAR(a["C von_mises"].at(0), std::sqrt(mx * mx + my * my - mx * my + 3 * mt * mt), 1e-7);
  // Node 1 is corner 1 of element 1 alone; node 3 is corner 2 of element 1
  // and corner 1 of element 2; node 23, between them, is a mid-side node
  // of both, halfway between corners 2 and 3 of element 1 (nodes 3, 35)
  // and corners 4 and 1 of element 2 (nodes 35, 3).
  EXPECT_NEAR(a["P sigma_x"].at(0), corner(0, sx1), 1e-7);
  EXPECT_NEAR(a["P sigma_y"].at(0), corner(0, sy1), 1e-7);
  EXPECT_NEAR(a["P tau_xy"].at(0), corner(0, t1), 1e-7);
  EXPECT_NEAR(a["P sigma_y"].at(2), (corner(1, sy1) + corner(0, sy2)) / 2, 1e-7);
  EXPECT_NEAR(a["P sigma_y"].at(22),
              ((corner(1, sy1) + corner(2, sy1)) / 2 + (corner(3, sy2) + corner(0, sy2)) / 2) / 2, 1e-7);
  // The nodal values by their labels; the columns labelled "(none)" left out.
  EXPECT_NEAR(a["P x-displt"].at(0), 0.143E-02, 1e-12);
  EXPECT_EQ(a.count("P (none)") + a.count("P value_3") + a.count("P value_4"), 0u);
  // Held in y on y = 0, in x on x = 0.
  const auto& xy = a["P fixed_y"];
  EXPECT_EQ(xy.at(0), 1);
  EXPECT_EQ(a["P fixed_x"].at(0), 0);
  // The Gauss points themselves, with what follows from each.
  auto g = vtk_arrays(dir, "plate_1_gauss.vtu");
  EXPECT_NEAR(g["P sigma_y"].at(1), -77.8200, 1e-7);
  EXPECT_NEAR(g["P von_mises"].at(0),
              std::sqrt(sx1[0] * sx1[0] + sy1[0] * sy1[0] - sx1[0] * sy1[0] + 3 * t1[0] * t1[0]), 1e-7);
}

TEST(ExportValues, FlowMagnitudeOfAPoissonProblem) {
  const std::string dir = work("seepage");
  fs::copy(SOURCE + "/examples/seepage.out", dir + "/s.out");
  ASSERT_EQ(run(dir, EXPORT + " s.out"), 0) << slurp(dir + "/err.txt");
  auto g = vtk_arrays(dir, "s_1_gauss.vtu");
  ASSERT_FALSE(g["P flow_x"].empty());
  for (size_t i = 0; i < g["P flow_x"].size(); ++i)
    EXPECT_NEAR(g["P flow_magnitude"][i], std::hypot(g["P flow_x"][i], g["P flow_y"][i]), 1e-7);
  EXPECT_EQ(g.count("P sigma_1"), 0u);
}

// Labels and a title with Latin-1 and control bytes and XML's own
// characters: every file parses, and the text reads back as UTF-8.
TEST(ExportText, LabelsAndTitlesThatAreNotUtf8GiveFilesThatParse) {
  const std::string dir = work("latin1");
  std::string out = slurp(SOURCE + "/examples/elastic.out");
  const std::string old_label = "x-displt";
  out.replace(out.find(old_label), old_label.size(), "d\xe9p<&\x01\"x");
  const std::string old_title = "Load step 2";
  out.replace(out.find(old_title), old_title.size(), "Pas \xe0 l'\x1b\x7f");
  std::ofstream(dir + "/e.out", std::ios::binary) << out;
  ASSERT_EQ(run(dir, EXPORT + " e.out"), 0) << slurp(dir + "/err.txt");
  std::ofstream(dir + "/parse.py") << R"(import sys, xml.etree.ElementTree as ET
for f in sys.argv[1:]:
    root = ET.parse(f).getroot()
    for e in root.iter():
        for v in list(e.attrib.values()):
            print(v)
)";
  ASSERT_EQ(run(dir, "/usr/bin/python3 parse.py e_1.vtu e_2.vtu e_1_gauss.vtu e.pvd"), 0)
      << slurp(dir + "/err.txt");
  const std::string values = slurp(dir + "/out.txt");
  EXPECT_NE(values.find("d\xc3\xa9p<& \"x"), std::string::npos) << values;
  EXPECT_NE(values.find("Pas \xc3\xa0 l'  "), std::string::npos) << values;
  // Gmsh quotes its view names: the label's quote is taken as an apostrophe.
  GmshLibrary lib;
  gmsh::open(dir + "/e.msh");
  EXPECT_TRUE(interop_test::views_by_name().count("d\xc3\xa9p<& 'x"));
  // An output name the .pvd could not name exactly is refused before anything is written.
  EXPECT_EQ(run(dir, EXPORT + " e.out \"$(printf 'caf\\351')\""), 1);
  EXPECT_NE(slurp(dir + "/err.txt").find("give another OUTPUT-BASE; nothing written"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir + "/caf\xe9.pvd"));
}

// A disk that takes no file past a size: each export either puts every
// file in place or fails with a message, status 1, the earlier files kept.
TEST(ExportFiles, AFullDiskKeepsEveryEarlierFile) {
  const std::string dir = work("full");
  fs::copy(SOURCE + "/examples/plate_hole.out", dir + "/p.out");
  const std::vector<std::string> names = {"p_1.vtu", "p_1_gauss.vtu", "p.pvd", "p.msh", "p_gauss.pos"};
  for (const auto& n : names) std::ofstream(dir + "/" + n) << "earlier\n";
  // A limit below each file's size in turn (the largest is the .pos).
  for (int limit : {20000, 95000, 135000, 180000, 250000}) {
    const int status = run(dir, "(trap '' XFSZ; exec prlimit --fsize=" + std::to_string(limit) + " " +
                                    EXPORT + " p.out)");
    EXPECT_EQ(status, 1) << limit;
    EXPECT_NE(slurp(dir + "/err.txt").find("nothing written, earlier files kept"), std::string::npos)
        << slurp(dir + "/err.txt");
    for (const auto& n : names) EXPECT_EQ(slurp(dir + "/" + n), "earlier\n") << n << " at " << limit;
    EXPECT_EQ(temporaries_in(dir), 0);
  }
  ASSERT_EQ(run(dir, EXPORT + " p.out"), 0);
  for (const auto& n : names) EXPECT_NE(slurp(dir + "/" + n), "earlier\n") << n;
}

// Two runs with one output base at once, again and again: every file in
// place is whole and comes from one of them.
TEST(ExportFiles, ConcurrentRunsWithOneBase) {
  const std::string dir = work("concurrent");
  fs::copy(SOURCE + "/examples/plate_hole.out", dir + "/a.out");
  fs::copy(SOURCE + "/examples/elastic.out", dir + "/b.out");
  const std::string a = EXPORT + " --quiet a.out same", b = EXPORT + " --quiet b.out same";
  for (int round = 0; round < 4; ++round) {
    ASSERT_EQ(run(dir, "(" + a + " & " + b + " & wait)"), 0) << slurp(dir + "/err.txt");
    const std::string vtu = slurp(dir + "/same_1.vtu");
    const bool from_a = vtu.find("NumberOfPoints=\"533\"") != std::string::npos,
               from_b = vtu.find("NumberOfPoints=\"21\"") != std::string::npos;
    EXPECT_TRUE(from_a != from_b);
    EXPECT_EQ(vtu.substr(vtu.size() - 11), "</VTKFile>\n");
    EXPECT_EQ(vtu.find("</VTKFile>"), vtu.size() - 11);
    EXPECT_EQ(temporaries_in(dir), 0);
  }
  std::ofstream(dir + "/parse.py") << "import sys, xml.etree.ElementTree as ET\n"
                                      "for f in sys.argv[1:]: ET.parse(f)\n";
  EXPECT_EQ(run(dir, "/usr/bin/python3 parse.py same_1.vtu same_1_gauss.vtu same.pvd"), 0);
}

TEST(ExportFiles, ASetThatDoesNotReadWholeAndAFolderAsInput) {
  const std::string dir = work("partial");
  std::istringstream lines(slurp(SOURCE + "/examples/elastic.out"));
  std::ofstream cut(dir + "/cut.out");
  int k = 0;
  // Set 2 starts at its title line; its nodal lines are cut short.
  for (std::string line; std::getline(lines, line) && ++k <= 80;) cut << line << "\n";
  cut.close();
  EXPECT_EQ(run(dir, EXPORT + " cut.out"), 1);
  EXPECT_NE(slurp(dir + "/err.txt").find("result set 2 ends early; the 1 result set before it exported"),
            std::string::npos)
      << slurp(dir + "/err.txt");
  EXPECT_TRUE(fs::exists(dir + "/cut_1.vtu"));
  EXPECT_FALSE(fs::exists(dir + "/cut_2.vtu"));
  EXPECT_EQ(slurp(dir + "/cut.pvd").find("cut_2"), std::string::npos);
  fs::create_directory(dir + "/folder.out");
  EXPECT_EQ(run(dir, EXPORT + " folder.out"), 1);
  EXPECT_EQ(slurp(dir + "/err.txt"), "vortan-export: folder.out is a folder, not a .out file; nothing written\n");
  // The output never replaces the input: a link named as an output.
  fs::remove(dir + "/cut_gauss.pos");
  fs::create_symlink("cut.out", dir + "/cut_gauss.pos");
  EXPECT_EQ(run(dir, EXPORT + " cut.out"), 1);
  EXPECT_NE(slurp(dir + "/err.txt").find("it is a file this run reads"), std::string::npos);
  EXPECT_EQ(slurp(dir + "/cut.out").substr(0, 5), "Two b");
}

// Interrupted with many files held at once: every temporary removed. A
// temporary a killed run left is removed by the next write of its file.
TEST(ExportFiles, InterruptionsAndTemporariesOfKilledRuns) {
  const std::string dir = work("signals");
  for (int sig : {SIGINT, SIGTERM}) {
    EXPECT_EXIT(
        {
          std::vector<ReplacingFile> f(40);
          for (int i = 0; i < 40; ++i)
            if (!begin_replace(f[i], dir + "/f" + std::to_string(i) + ".vtu")) std::_Exit(1);
          ::raise(sig);
          std::_Exit(2);
        },
        ::testing::KilledBySignal(sig), "");
    EXPECT_EQ(temporaries_in(dir), 0);
  }
  const pid_t child = fork();
  if (child == 0) std::_Exit(0);
  waitpid(child, nullptr, 0);  // a pid that is gone
  const std::string dead = std::to_string(child), live = std::to_string(getppid());
  for (const std::string& name : {".vortan-" + dead + "-k.msh.a1b2c3.msh", ".vortan-" + dead + "-k.pvd.Zz9Yy8",
                                  ".vortan-" + live + "-k.msh.d4e5f6.msh", ".vortan-" + dead + "-other.pvd.a1b2c3"})
    std::ofstream(dir + "/" + name) << "left\n";
  fs::copy(SOURCE + "/examples/elastic.out", dir + "/k.out");
  ASSERT_EQ(run(dir, EXPORT + " k.out"), 0) << slurp(dir + "/err.txt");
  EXPECT_FALSE(fs::exists(dir + "/.vortan-" + dead + "-k.msh.a1b2c3.msh"));
  EXPECT_FALSE(fs::exists(dir + "/.vortan-" + dead + "-k.pvd.Zz9Yy8"));
  EXPECT_TRUE(fs::exists(dir + "/.vortan-" + live + "-k.msh.d4e5f6.msh"));
  EXPECT_TRUE(fs::exists(dir + "/.vortan-" + dead + "-other.pvd.a1b2c3"));
}

// Part B of a .dat as data, against the values its lines hold.
TEST(ExportValues, LoadsAndBoundariesOfADataFile) {
  const std::string dir = work("part_b");
  fs::copy(SOURCE + "/tests/e2e/partb_advanced_body/expected/body.dat", dir + "/body.dat");
  ASSERT_EQ(run(dir, EXPORT + " body.dat"), 0) << slurp(dir + "/err.txt");
  auto a = vtk_arrays(dir, "body.vtu");
  // "0   2    2 0.000E+00-0.200E-01": a specified displacement at node 2.
  EXPECT_EQ(a["P specified_displacement"].at(4), -0.02);
  EXPECT_EQ(a["P nodal_load"], std::vector<double>(a["P nodal_load"].size(), 0));
  // Body force set 1 (0, -20) on element 1, set 2 (5, 0) on element 2.
  EXPECT_EQ(a["C body_force_set"], (std::vector<double>{1, 2, 0}));  // element 3 in none
  EXPECT_EQ(a["C body_force"], (std::vector<double>{0, -20, 0, 5, 0, 0, 0, 0, 0}));
  // Boundary set 1 holds nodes 1 and 2; "x = -1.50" gives 0.25 to d.o.f. 1.
  EXPECT_EQ(a["P boundary_set"].at(0) + a["P boundary_set"].at(1), 2);
  const auto& xyz = a["P Points"];
  for (size_t n = 0; n < a["P dirichlet_dof"].size(); ++n)
    EXPECT_EQ(a["P dirichlet_value"][n], std::abs(xyz.at(3 * n) + 1.5) < 1e-9 ? 0.25 : 0) << n;
  // The same as views of the .msh, element by element.
  GmshLibrary lib;
  gmsh::open(dir + "/body.msh");
  std::vector<int> views;
  gmsh::view::getTags(views);
  for (size_t i = 0; i < views.size(); ++i) {
    std::string name, type;
    gmsh::option::getString("View[" + std::to_string(i) + "].Name", name);
    if (name != "body_force_set") continue;
    std::vector<std::size_t> tags;
    std::vector<std::vector<double>> values;
    double time;
    int ncomp;
    gmsh::view::getModelData(views[i], 0, type, tags, values, time, ncomp);
    for (size_t k = 0; k < tags.size(); ++k) EXPECT_EQ(values[k][0], tags[k] < 3 ? tags[k] : 0);
    return;
  }
  ADD_FAILURE() << "no view body_force_set in body.msh";
}

// The .msh as Gmsh reads it: a physical group per property set and
// material type, and the fixities as groups named as the importer reads them.
TEST(ExportGmsh, PhysicalGroupsAndStepsPerResultSet) {
  const std::string dir = work("gmsh");
  fs::copy(SOURCE + "/examples/plate_hole.dat", dir + "/p.dat");
  fs::copy(SOURCE + "/examples/elastic.out", dir + "/e.out");
  ASSERT_EQ(run(dir, EXPORT + " p.dat"), 0) << slurp(dir + "/err.txt");
  ASSERT_EQ(run(dir, EXPORT + " e.out"), 0) << slurp(dir + "/err.txt");
  GmshLibrary lib;
  gmsh::open(dir + "/p.msh");
  gmsh::vectorpair groups;
  gmsh::model::getPhysicalGroups(groups);
  std::map<std::string, std::vector<double>> nodes_of;
  for (auto [dim, tag] : groups) {
    std::string name;
    gmsh::model::getPhysicalName(dim, tag, name);
    std::vector<std::size_t> tags;
    gmsh::model::mesh::getNodesForPhysicalGroup(dim, tag, tags, nodes_of[name]);
  }
  ASSERT_EQ(nodes_of.size(), 3u);
  EXPECT_EQ(nodes_of["property set 1 material type 1"].size(), 3u * 533);
  // The symmetry fixities: held in x on x = 0, in y on y = 0.
  ASSERT_FALSE(nodes_of["fix x"].empty() || nodes_of["fix y"].empty());
  for (size_t i = 0; i < nodes_of["fix x"].size(); i += 3) EXPECT_EQ(nodes_of["fix x"][i], 0);
  for (size_t i = 1; i < nodes_of["fix y"].size(); i += 3) EXPECT_EQ(nodes_of["fix y"][i], 0);
  gmsh::clear();
  gmsh::open(dir + "/e.msh");
  gmsh::merge(dir + "/e_gauss.pos");
  std::map<std::string, int> by_name = interop_test::views_by_name();
  for (const char* v : {"x-displt", "sigma_y", "sigma_y (element average)", "von_mises", "result set"}) {
    ASSERT_TRUE(by_name.count(v)) << v;
    double steps = 0;
    gmsh::option::getNumber("View[" + std::to_string(gmsh::view::getIndex(by_name[v])) + "].NbTimeStep", steps);
    EXPECT_EQ(steps, 2) << v;
  }
  EXPECT_FALSE(by_name.count("(none)"));
}

}  // namespace
}  // namespace vortan
