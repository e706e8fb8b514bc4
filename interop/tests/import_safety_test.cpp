// vortan-import on hostile and broken input: nothing runs, nothing is
// changed, a crash of the library is a refusal; the mesh made agrees with
// what Gmsh itself says of the file (element counts, groups, Jacobians); and
// every data file whose elements Gmsh has goes .dat -> vortan-export ->
// .msh -> vortan-import -> .dat and comes back as it was.
#include <gmsh.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

#include "console_platform.h"
#include "contained_child.h"
#include "dat_file.h"
#include "element_orders.h"
#include "gmsh_library.h"
#include "mesh_import.h"
#include "platform/platform.h"
#include "interop_test_support.h"

namespace vortan {
namespace {

namespace fs = std::filesystem;

using interop_test::slurp;
using interop_test::work;

// The tool in `dir` on `file`: its status, with its messages in err.txt.
int import(const std::string& dir, const std::string& args) {
  const int status = std::system(
      ("cd " + dir + " && " + VORTAN_IMPORT + " " + args + " >out.txt 2>err.txt").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char* TRIANGLE_GEO =
    "Point(1)={0,0,0};Point(2)={1,0,0};Point(3)={0,1,0};\n"
    "Line(1)={1,2};Line(2)={2,3};Line(3)={3,1};Curve Loop(1)={1,2,3};Plane Surface(1)={1};\n";

TEST(ContainedImport, NothingRunsNothingChangesAndCrashesAreRefusals) {
  const std::string dir = work("contained");
  std::ofstream(dir + "/e.msh") << "System \"touch PWNED\";";
  std::ofstream(dir + "/ok.geo") << TRIANGLE_GEO;
  std::ofstream(dir + "/run.geo") << "System \"touch PWNED\";\n" << TRIANGLE_GEO;
  std::ofstream(dir + "/save.geo") << TRIANGLE_GEO << "Mesh 2;\nSave \"saved.msh\";\n";
  std::ofstream(dir + "/crash.geo") << TRIANGLE_GEO << "Mesh.Algorithm = 8;\n";
  std::ofstream(dir + "/missing.msh") << "$MeshFormat\n2.2 0 8\n$EndMeshFormat\n$Nodes\n3\n"
                                         "1 0 0 0\n2 1 0 0\n3 0 1 0\n$EndNodes\n$Elements\n1\n"
                                         "1 2 2 1 1 1 2 7\n$EndElements\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"e.msh", "is not a Gmsh mesh file: its first record is not $MeshFormat"},
      {"run.geo", "tried to start a program"},
      {"save.geo", "Unable to open file"},
      {"crash.geo", "Gmsh could not read crash.geo"},
      {"missing.msh", "Gmsh: "},
      {".", "is not a file"},
  };
  for (const auto& [file, message] : cases) {
    EXPECT_EQ(import(dir, "--problem poisson " + file + " o.dat"), 1) << file;
    EXPECT_NE(slurp(dir + "/err.txt").find(message), std::string::npos) << slurp(dir + "/err.txt");
    EXPECT_FALSE(fs::exists(dir + "/o.dat")) << file;
  }
  EXPECT_FALSE(fs::exists(dir + "/PWNED"));
  EXPECT_FALSE(fs::exists(dir + "/saved.msh"));
  // The title is one line of the file.
  EXPECT_EQ(import(dir, "--problem poisson --title \"$(printf 'two\\nlines')\" ok.geo o.dat"), 1);
  EXPECT_NE(slurp(dir + "/err.txt").find("the title holds a line break"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir + "/o.dat"));

  // A crash, a program started, a loop without end: each a failure said.
  const ChildOutcome crash = run_contained([] { return std::to_string(::raise(SIGSEGV)); });
  EXPECT_NE(crash.failure.find("signal 11"), std::string::npos) << crash.failure;
  const ChildOutcome program = run_contained([] { return std::to_string(std::system("true")); });
  EXPECT_NE(program.failure.find("start a program"), std::string::npos) << program.failure;
  const ChildOutcome endless = run_contained(
      []() -> std::string {
        for (std::atomic<int> i = 0;; ++i) {
        }
      },
      1);
  EXPECT_NE(endless.failure.find("more than 1 s of processor time"), std::string::npos);
  const std::string target = dir + "/written";
  const ChildOutcome write = run_contained(
      [&] { return std::string(std::fopen(target.c_str(), "w") ? "opened" : "refused"); });
  EXPECT_EQ(write.bytes, "refused");
  EXPECT_FALSE(fs::exists(target));
}

TEST(GmshGroups, ASurfaceInTwoGroupsIsImportedOnceFromEveryRoute) {
  // A square in triangles whose surface is in two physical groups, with a
  // fixity curve, a curve of bars and a physical point.
  const std::string dir = work("two_groups"), geo = dir + "/model.geo";
  std::ofstream(geo) << "Mesh.ElementOrder = 1;\n"
                     << TRIANGLE_GEO
                     << "Point(4)={1,1,0};Line(4)={2,4};Line(5)={4,3};Curve Loop(2)={4,5,-2};\n"
                        "Plane Surface(2)={2};\nPhysical Surface(\"sheet\")={1,2};\n"
                        "Physical Surface(\"second\")={2};\nPhysical Curve(\"fix x\")={3};\n"
                        "Physical Curve(\"edge\")={4};\nPhysical Point(\"corner\")={4};\n";
  GmshLibrary lib;
  gmsh::open(geo);
  gmsh::model::mesh::generate(2);
  std::vector<int> types;
  std::vector<std::vector<std::size_t>> tags, nodes;
  std::size_t surface = 0;  // on surfaces 1 and 2, and curve 4 ("edge")
  for (auto [dim, tag] : {std::pair{2, 1}, {2, 2}, {1, 4}}) {
    gmsh::model::mesh::getElements(types, tags, nodes, dim, tag);
    for (const auto& t : tags) surface += t.size();
  }
  std::vector<std::size_t> fixed;  // the nodes of "fix x"
  std::vector<double> coord;
  gmsh::model::mesh::getNodesForPhysicalGroup(1, 3, fixed, coord);
  for (double v : {2.2, 4.1}) {
    gmsh::option::setNumber("Mesh.MshFileVersion", v);
    gmsh::write(dir + (v < 3 ? "/v2.msh" : "/v4.msh"));
  }
  std::string first;
  for (const char* file : {"/model.geo", "/v2.msh", "/v4.msh"}) {
    SourceMesh src;
    std::string error;
    ASSERT_TRUE(read_gmsh_file(dir + file, src, error)) << error;
    ImportOptions opt;
    opt.advanced = true;
    opt.lines = LineUse::Bars;
    auto m = std::make_unique<MeshModel>();
    ASSERT_EQ(import_mesh(src, opt, *m).error, "") << file;
    int held = 0;
    for (int n = 1; n <= m->npoin; ++n) held += m->kode(n) == 10;
    // Sets "sheet", "second" and "edge"; the nodes of "fix x" held in x.
    EXPECT_EQ((std::vector{m->nelem, m->npros, held}),
              (std::vector{static_cast<int>(surface), 3, static_cast<int>(fixed.size())}))
        << file;
    std::ostringstream text;
    OUTPUT(text, *m);
    if (first.empty()) first = text.str();
    EXPECT_EQ(text.str(), first) << file;
  }
}

TEST(GmshJacobians, FoldedElementsAreRefusedAsGmshFindsThem) {
  // A square, an arrow-head, a crossed (bow-tie) and a clockwise square.
  const std::string dir = work("folded"), msh = dir + "/folded.msh";
  std::ofstream(msh) << "$MeshFormat\n2.2 0 8\n$EndMeshFormat\n$Nodes\n16\n1 0 0 0\n2 1 0 0\n"
                        "3 1 1 0\n4 0 1 0\n5 2 0 0\n6 3 0 0\n7 2.3 0.3 0\n8 2 1 0\n9 4 0 0\n"
                        "10 5 0 0\n11 4 1 0\n12 5 1 0\n13 6 0 0\n14 7 0 0\n15 7 1 0\n16 6 1 0\n"
                        "$EndNodes\n$Elements\n4\n"
                        "1 3 2 1 1 1 2 3 4\n2 3 2 1 1 5 6 7 8\n3 3 2 1 1 9 10 11 12\n"
                        "4 3 2 1 1 13 16 15 14\n$EndElements\n";
  GmshLibrary lib;
  gmsh::open(msh);
  std::string name;
  int dim, order, n, primary;
  std::vector<double> local, jac, det, pts;
  gmsh::model::mesh::getElementProperties(GMSH_QUAD4, name, dim, order, n, local, primary);
  std::vector<double> uvw;  // Gmsh takes three local coordinates a point
  for (int k = 0; k < n; ++k) uvw.insert(uvw.end(), {local[dim * k], local[dim * k + 1], 0});
  gmsh::model::mesh::getJacobians(GMSH_QUAD4, uvw, jac, det, pts);
  ASSERT_EQ(det.size(), 4u * n);
  std::set<std::size_t> expected;
  for (std::size_t e = 0; e < 4; ++e) {
    int positive = 0, negative = 0;
    // Gmsh's determinant of a surface element is unsigned: the sign is the
    // plane block's of its Jacobian matrix.
    for (int k = 0; k < n; ++k) {
      const double* j = &jac[9 * (e * n + k)];
      (j[0] * j[4] - j[1] * j[3] > 0 ? positive : negative) += 1;
    }
    if (positive && negative) expected.insert(e + 1);  // folded, not merely clockwise
  }
  ASSERT_EQ(expected.size(), 2u);
  SourceMesh src;
  std::string error;
  ASSERT_TRUE(read_gmsh_file(msh, src, error)) << error;
  ImportOptions opt;
  opt.problem = 1;
  auto m = std::make_unique<MeshModel>();
  error = import_mesh(src, opt, *m).error;
  std::set<std::size_t> named;
  ASSERT_NE(error.find(": element "), std::string::npos) << error;
  std::istringstream list(error.substr(error.find(": element ") + 10));
  for (std::string word; std::getline(list, word, ',');) named.insert(std::stoul(word));
  EXPECT_EQ(named, expected) << error;
  EXPECT_NE(error.find("2 elements of the Gmsh mesh fold over"), std::string::npos) << error;

  // Gmsh skips a node given twice with a warning, which the tool passes on.
  std::ofstream(dir + "/twice.msh") << "$MeshFormat\n2.2 0 8\n$EndMeshFormat\n$Nodes\n4\n"
                                       "1 0 0 0\n2 1 0 0\n3 0 1 0\n3 5 5 0\n$EndNodes\n"
                                       "$Elements\n1\n1 2 2 1 1 1 2 3\n$EndElements\n";
  EXPECT_EQ(import(dir, "--problem poisson twice.msh twice.dat"), 0);
  EXPECT_NE(slurp(dir + "/err.txt").find("vortan-import: Gmsh: Warning:"), std::string::npos);
}

// The file's Part A; none for a file the reader refuses (the tests hold
// broken files on purpose).
std::unique_ptr<MeshModel> read_dat(const std::string& path) {
  auto m = std::make_unique<MeshModel>();
  use_console_platform("test", true);
  std::ifstream in(path);
  try {
    INPUT(in, *m);
  } catch (...) {  // a fatal data-file error
    m.reset();
  }
  set_platform(nullptr);
  return m;
}

// Why the file cannot make the trip, empty when it can: an element without
// a Gmsh type, or a Basic-level mesh of types other than its problem's (3-
// and 4-node for Poisson, 8-node quadrilaterals, 2-node beams), which the
// importer does not make.
std::string left_out(const MeshModel& m) {
  for (int e = 1; e <= m.nelem; ++e) {
    const int key = element_key(m.nnode(e), m.nside(e));
    if (gmsh_element_type(m, e) == 0) return "no Gmsh type";
    if (m.ndofn > 0 && (m.ndofn == 1 ? key != 33 && key != 44 : key != (m.ndofn == 2 ? 84 : 21)))
      return "Basic level";
  }
  return m.nelem > 0 ? "" : "no elements";
}

// What the trip must keep: counts, nodes with their codes, elements.
std::string kept(const MeshModel& m) {
  std::ostringstream s;
  s.precision(17);
  s << m.npoin << " " << m.nelem << " " << m.ndofn << " " << m.npros << "\n";
  for (int n = 1; n <= m.npoin; ++n)
    s << m.coord(n, 1) << " " << m.coord(n, 2) << " " << m.kode(n) << "\n";
  for (int e = 1; e <= m.nelem; ++e) {
    s << m.nside(e) << " " << m.matset(e) << " " << m.mattyp(e) << ":";
    for (int k = 1; k <= m.nnode(e); ++k) s << " " << m.lnods(e, k);
    s << "\n";
  }
  return s.str();
}

TEST(RoundTrip, EveryDataFileWithGmshTypesComesBackAsItWas) {
  const std::string source = VORTAN_SOURCE_DIR, dir = work("dat_msh_dat");
  const char* problem[] = {"", "poisson", "elasticity", "beams"};
  std::vector<fs::path> files;
  for (const char* folder : {"/examples", "/tests/e2e"})
    for (const auto& f : fs::recursive_directory_iterator(source + folder))
      if (f.path().extension() == ".dat") files.push_back(f.path());
  std::sort(files.begin(), files.end());
  int tried = 0;
  std::string skipped;
  for (size_t i = 0; i < files.size(); ++i) {
    const auto a = read_dat(files[i].string());
    if (!a || !left_out(*a).empty()) {
      if (a) skipped += " " + files[i].filename().string() + " (" + left_out(*a) + ")";
      continue;
    }
    SCOPED_TRACE(files[i].string());
    ++tried;
    const std::string f = "f" + std::to_string(i), level = a->ndofn < 0 ? "advanced" : "basic";
    const std::string lines = a->ndofn == -2                    ? " --lines bars"
                              : a->ndofn == 3 || a->ndofn == -3 ? " --lines beams"
                                                                : "";
    fs::copy_file(files[i], dir + "/" + f + ".dat");
    ASSERT_EQ(
        std::system(("cd " + dir + " && " + VORTAN_EXPORT + " --quiet " + f + ".dat").c_str()), 0);
    ASSERT_EQ(import(dir, std::string("--problem ") + problem[std::abs(a->ndofn)] + " --level " +
                              level + lines + " --no-merge " + f + ".msh " + f + "_back.dat"),
              0);
    const auto b = read_dat(dir + "/" + f + "_back.dat");
    ASSERT_TRUE(b);
    EXPECT_EQ(kept(*b), kept(*a));
  }
  std::printf("%d files back as they were; left out:%s\n", tried, skipped.c_str());
  EXPECT_GE(tried, 20);
}

}  // namespace
}  // namespace vortan
