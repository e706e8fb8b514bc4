// What vortan-solve refuses before CalculiX runs, and CalculiX missing,
// failing or too slow: each said, no .out written, an earlier .out of the
// name left as it was, and a status other than 0.
#include "solve_test_support.h"

namespace vortan::test {
namespace {

const char* const OLD_OUT = "an earlier results file\n";

// Runs `dat` (written as run.dat) beside an earlier run.out; expects the
// refusal and returns standard error.
std::string refused(const std::string& name, const std::string& dat, const std::string& env = "",
                    const std::string& args = "") {
  const std::string dir = fresh_folder(name);
  write_file(dir + "/run.dat", dat);
  write_file(dir + "/run.out", OLD_OUT);
  SolveRun r = solve_in(dir, "run.dat " + args, env);
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_EQ(read_file(dir + "/run.out"), OLD_OUT);
  EXPECT_NE(r.err.find("nothing solved; run.out not written"), std::string::npos) << r.err;
  return r.err;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

const std::string PART_B_END =
    " nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)\n    0    0\n"
    "nincs    increment sizes\n    1 1.00\n     dtint     ftime     allow     theta    ttend \n\n";

// An Advanced elasticity mesh of every kind the bridge does not take: a
// joint, a rockbolt, a bar, an infinite element, a node with an extra
// d.o.f., an element turned clockwise; excavation boundary sets and
// timestepping in its Part B; loads on a node no element uses, a body force
// on the bar, a traction along no side and one naming no set.
TEST(SolveRefusals, EveryKindIsNamedOnce) {
  std::string nodes, elements;
  for (int n = 1; n <= 12; ++n) {
    char l[64];
    std::snprintf(l, sizeof l, "%d %s%5d%10.5f%10.5f%5d\n", n == 12 ? 1 : 0, n == 7 ? "101" : " 11",
                  n, double((n - 1) % 3), double((n - 1) / 3), n == 7 ? 3 : 2);
    nodes += l;
  }
  elements =
      "0   4 1  1    1    1    2    5    4\n"             // sound
      "0   4 1  1    2    2    3    6    5\n"             // sound
      "0   2 1  1    3    4    5    8    7    0    0\n"   // joint (4 nodes, 2 sides)
      "0   1 1  1    4    5    6\n"                       // bar
      "0   3 1  1    5    7    8   11   10\n"             // linear infinite element
      "0   1 1  1    6    8    9   11   10    9    8\n"   // rockbolt
      "1   4 1  1    7    7    8   11   10\n";            // sound
  const std::string dat =
      "Everything refused\nnpoin nelem ndofn npros   extra parameters\n"
      "   12    7   -2    1   0.00000   0.00000    0    0    0    0   0.00000   0.00000\n"
      "nside typ/set elt       nodes\n" + elements + "kode  node  x-coord   y-coord ndof\n" + nodes +
      "  set cmpnt         value\n0   1    1           0.100E+04\n0   1    2           0.250E+00\n1\n"
      "nbset npset\n    1    1\n  ld  node x-cmpnt   y-cmpnt\n0   1   12 0.100E+01 0.000E+00\n"
      "0   3    1 0.100E+01 0.000E+00\n1\n"
      "   set  cpmnt     body force\n0   1    1           0.100E+01\n1   1    2           0.000E+00\n"
      "   set  elements in this body force set\n0   1    4    0\n1\n"
      "   set  forces:     normal    tangential\n1   1    1 2        0.100E+01 0.000E+00\n"
      " nnas elt  n set     n set\n0   2    1    1 1     5 1\n0   2    2    2 1     3 4\n1\n"
      " nbdry nbdir (no. of exc. bdry sets & Dirichlet bdry planes)\n    1    0\n"
      "istyp set Sx/gamma    Sy/K0     nodes in boundary set\n0 1 1   1.00      1.00         1    2\n1\n"
      "nincs    increment sizes\n    1 1.00\n"
      "     dtint     ftime     allow     theta     ttend     dtone\n"
      " 0.100E-02 0.120E+01 0.100E+02 0.000E+00 0.100E+03 0.100E-03\n";
  std::string err = refused("every_kind", dat);
  for (const char* kind :
       {"joint elements are not supported: elements 3", "rockbolt elements are not supported: elements 6",
        "infinite elements are not supported: elements 5", "bars are supported only in frames: elements 4",
        "extra degrees of freedom (Advanced level) are not supported: nodes 7",
        "excavation boundary sets are not supported", "timestepping is not supported",
        "loads on nodes that no element uses: nodes 12",
        "body forces on elements that are not area elements of the mesh: elements 4",
        "edge tractions along two nodes that are not a side of their element: elements 1",
        "edge tractions naming a traction set that is not given: elements 2",
        "1 load or Dirichlet line of Part B naming no node, load type or axis that can be used"})
    EXPECT_NE(err.find(kind), std::string::npos) << kind << "\n" << err;
  // A clockwise element and a bad property set, in an otherwise sound mesh.
  std::string mesh = read_file(example("quad8.dat"));
  mesh = replaced(mesh, "    1    1    2    3    7   11   10    9    6", "    1    1    6    9   10   11    7    3    2");
  mesh = replaced(mesh, "0.300E+00", "0.500E+00");
  err = refused("shapes", mesh);
  EXPECT_NE(err.find("elements turned clockwise, folded or collapsed: elements 1"), std::string::npos) << err;
  EXPECT_NE(err.find("property sets outside what the analysis takes"), std::string::npos) << err;
}

TEST(SolveRefusals, UnheldMeshesAndPoissonValues) {
  // Fixed in x only, free to slide in y: CalculiX's solver would answer all
  // the same, with a rigid slide of any size.
  std::string slide = read_file(example("quad8.dat"));
  slide = replaced(slide, "0  11    1", "0  10    1");
  for (int n = 2; n <= 5; ++n) slide = replaced(slide, "0  01    " + std::to_string(n), "0  00    " + std::to_string(n));
  EXPECT_NE(refused("slide", slide).find("free to slide or turn as a whole, named by a node of each: nodes 1"),
            std::string::npos);
  std::string free = read_file(example("quad8.dat"));
  for (const char* code : {"0  11", "0  01", "0  10"})
    while (free.find(code) != std::string::npos) free = replaced(free, code, "0  00");
  EXPECT_NE(refused("free", free).find("no degree of freedom is fixed"), std::string::npos);
  // A Dirichlet node of the flow past a cylinder on no Dirichlet plane.
  std::string flow = read_file(example("cylinder_flow.dat"));
  flow = replaced(flow, "0x =  10.0           10.0        1\n", "");
  flow = replaced(flow, "    0    2\n", "    0    1\n");
  EXPECT_NE(refused("poisson", flow).find("fixed (Dirichlet) nodes on no Dirichlet plane: nodes"),
            std::string::npos);
  // A frame: no area elements, no tractions along its beams.
  std::string frame = read_file(example("cantilever.dat"));
  frame = replaced(frame, "0   1 1  1    1    1    2", "0   3 1  1    1    1    2    3");
  EXPECT_NE(refused("frame", frame).find("a frame takes beams only, no area elements: elements 1"),
            std::string::npos);
  EXPECT_NE(refused("no_part_b", read_file(example("frame.dat"))).find("no Part B"), std::string::npos);
}

// CalculiX missing (named by VORTAN_CCX, or not on the PATH), failing with
// *ERROR whatever its status, ended by a status, and slower than the limit.
TEST(SolveCalculix, MissingFailingAndTooSlow) {
  const std::string dat = read_file(example("cantilever.dat"));
  for (const char* env : {"VORTAN_CCX=/nonexistent/ccx", "PATH=/nonexistent"})
    EXPECT_NE(refused("missing", dat, env).find("install the Debian package calculix-ccx"), std::string::npos);
  const std::string dir = fresh_folder("fakes");
  write_file(dir + "/error0", "#!/bin/sh\necho ' *ERROR reading *STEP: no such card'\necho '  card image: X'\nexit 0\n");
  write_file(dir + "/status", "#!/bin/sh\necho 'something broke'\nexit 201\n");
  write_file(dir + "/slow", "#!/bin/sh\nexec sleep 60\n");
  std::system(("chmod +x '" + dir + "'/error0 '" + dir + "'/status '" + dir + "'/slow").c_str());
  std::string err = refused("failing", dat, "VORTAN_CCX=" + dir + "/error0");
  EXPECT_NE(err.find("CalculiX failed:\n   *ERROR reading *STEP: no such card\n    card image: X"),
            std::string::npos) << err;
  err = refused("status", dat, "VORTAN_CCX=" + dir + "/status");
  EXPECT_NE(err.find("CalculiX failed (status 201):\n  something broke"), std::string::npos) << err;
  err = refused("slow", dat, "VORTAN_CCX=" + dir + "/slow", "--time-limit 0.5");
  EXPECT_NE(err.find("CalculiX did not finish within 0.5 s"), std::string::npos) << err;
}

TEST(SolveCalculix, KeptDeckAndUsage) {
  const std::string dir = fresh_folder("kept");
  SolveRun r = solve_in(dir, example("cantilever.dat") + " --out beam.out --keep-deck deck");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(read_file(dir + "/deck/job.inp").find("*ELEMENT,TYPE=U1"), std::string::npos);
  EXPECT_NE(read_file(dir + "/deck/job.dat").find("displacements"), std::string::npos);
  for (const char* args : {"", "a.dat b.dat", "a.dat --plane sideways", "a.dat -q", "a.dat --out"})
    EXPECT_EQ(solve_in(dir, args).status, 2) << args;
}

}  // namespace
}  // namespace vortan::test
