// vortan-solve against solutions known without it: Kirsch's plate, the
// flow past a cylinder, beam theory, a portal frame solved by hand, a
// uniform stress on distorted meshes, and increments of one load.
#include <cmath>
#include <map>

#include "solve_test_support.h"
#include "stress_contours.h"

namespace vortan::test {
namespace {

// --- the bundled examples -----------------------------------------------------

TEST(SolveExamples, PlateWithAHoleAgreesWithKirsch) {
  const std::string dir = fresh_folder("kirsch");
  SolveRun r = solve_in(dir, example("plate_hole.dat") + " --out plate.out");
  ASSERT_EQ(r.status, 0) << r.err;
  ReadBack b = read_back(dir + "/plate.out");
  ASSERT_EQ(b.sets.size(), 1u);
  const MeshModel& m = *b.m;
  const ResultSet& s = *b.sets[0];
  // sigma-x at the hole's edge across the load (0, 1), from PLOTOR's own
  // extrapolation of the 2 x 2 Gauss values to the corners; the far field
  // beside the loaded edge x = 10.
  double edge = 0.0, far = 0.0;
  int found = 0, nfar = 0;
  for (int e = 1; e <= m.nelem; ++e) {
    double g[5], c[5];
    for (int k = 1; k <= 4; ++k) g[k] = gauss_values(s, e, k)[0];
    ASSERT_EQ(extrapolate_gauss_values(9, g, c), 4);
    for (int k = 1; k <= 4; ++k) {
      const int n = m.lnods(e, 2 * k - 1);
      if (std::fabs(m.coord(n, 1)) < 1e-6 && std::fabs(m.coord(n, 2) - 1.0) < 1e-6) edge = c[k], ++found;
      if (s.xgaus(s.igaus(e, k), 1) > 9.5) far += g[k], ++nfar;
    }
  }
  ASSERT_EQ(found, 1);
  EXPECT_NEAR(edge, 300.0, 0.05 * 300.0);
  ASSERT_GT(nfar, 0);
  EXPECT_NEAR(far / nfar, 100.0, 1.0);
  EXPECT_NE(r.out.find("533 nodes, 160 elements, 1 result set"), std::string::npos) << r.out;
}

TEST(SolveExamples, FlowPastACylinder) {
  const std::string dir = fresh_folder("cylinder");
  SolveRun r = solve_in(dir, example("cylinder_flow.dat") + " --out flow.out");
  ASSERT_EQ(r.status, 0) << r.err;
  ReadBack b = read_back(dir + "/flow.out");
  const ResultSet& s = *b.sets[0];
  ASSERT_GT(s.ngaus, 0);
  // Flow -grad phi of phi = x (1 + 1 / r^2), unit speed far away.
  double sum = 0.0;
  for (int i = 1; i <= s.ngaus; ++i) {
    const double x = s.xgaus(i, 1), y = s.xgaus(i, 2), r2 = x * x + y * y;
    const double qx = -(1 + 1 / r2 - 2 * x * x / (r2 * r2)), qy = 2 * x * y / (r2 * r2);
    sum += std::pow(s.stres(i, 1) - qx, 2) + std::pow(s.stres(i, 2) - qy, 2);
  }
  EXPECT_LT(std::sqrt(sum / s.ngaus), 0.02);
  EXPECT_EQ(b.sets[0]->dofnam[1].find("potential") != std::string::npos, true);
}

TEST(SolveExamples, CantileverAgreesWithBeamTheory) {
  const std::string dir = fresh_folder("cantilever");
  SolveRun r = solve_in(dir, example("cantilever.dat") + " --out beam.out");
  ASSERT_EQ(r.status, 0) << r.err;
  ReadBack b = read_back(dir + "/beam.out");
  const MeshModel& m = *b.m;
  const ResultSet& s = *b.sets[0];
  EXPECT_EQ(s.hasgp, 0);  // frames have no Gauss-point section
  // Tip load P = -10 at L = 4, EI = 0.21e9 x 1e-4.
  const double p = -10.0, l = 4.0, ei = 0.21e9 * 1e-4;
  for (int n = 2; n <= m.npoin; ++n) {
    const double x = m.coord(n, 1);
    EXPECT_NEAR(s.disp(n, 2), p * x * x * (3 * l - x) / (6 * ei), 1e-4 * 0.0102) << n;
    EXPECT_NEAR(s.disp(n, 3), p * x * (2 * l - x) / (2 * ei), 1e-4 * 0.0039) << n;
    EXPECT_EQ(s.disp(n, 1), 0.0);
  }
}

// A portal frame, columns 4 high, beam 6 long, bases clamped, E 2e8, I 1e-4,
// A 1e-2, a sway load of 10 at the left knee. The direct stiffness method on
// its three members (axial, bending and their rotation into place), solved
// by hand in exact fractions, gives the knees' displacements below.
TEST(SolveExamples, PortalFrameAgreesWithTheStiffnessSolution) {
  const std::string dir = fresh_folder("portal");
  std::string dat =
      "Portal frame: a sway load at the left knee\n"
      "npoin nelem ndofn npros   extra parameters\n    4    3    3    1\n"
      "nside typ/set elt       nodes\n0   1 1  1    1    1    2\n0   1 1  1    2    2    3\n"
      "1   1 1  1    3    3    4\nkode  node  x-coord   y-coord ndof\n"
      "0 111    1   0.00000   0.00000    3\n0 000    2   0.00000   4.00000    3\n"
      "0 000    3   6.00000   4.00000    3\n1 111    4   6.00000   0.00000    3\n"
      "  set cmpnt         value\n0   1    1           0.200E+09\n"
      "0   1    2           0.100E-03\n0   1    3           0.100E-01\n1\n"
      "nbset npset\n    0    0\n   ld  node  x-cmpnt    y-cmpnt\n0   1    2 0.100E+02 0.000E+00\n1\n"
      " nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)\n    0    0\n"
      "nincs    increment sizes\n    1 1.00\n     dtint     ftime     allow     theta    ttend \n\n";
  write_file(dir + "/portal.dat", dat);
  SolveRun r = solve_in(dir, "portal.dat");
  ASSERT_EQ(r.status, 0) << r.err;
  ReadBack b = read_back(dir + "/portal.out");
  const ResultSet& s = *b.sets[0];
  const double want[2][3] = {{2.1436568e-3, 5.3285968e-6, -4.0352516e-4},
                             {2.1286937e-3, -5.3285968e-6, -3.9931676e-4}};
  for (int n = 2; n <= 3; ++n)
    for (int k = 1; k <= 3; ++k)
      EXPECT_NEAR(s.disp(n, k), want[n - 2][k - 1], 1e-4 * std::fabs(want[n - 2][k - 1])) << n << k;
}

// The cantilever in three increments: one solution at 0.5, 0.8 and 1.0 of
// the load, each set a title of its own.
TEST(SolveExamples, IncrementsScaleOneSolution) {
  const std::string dir = fresh_folder("increments");
  std::string dat = read_file(example("cantilever.dat"));
  const auto at = dat.find("    1 1.00");
  ASSERT_NE(at, std::string::npos);
  dat.replace(at, 10, "    3 0.50 0.30 0.20");
  write_file(dir + "/steps.dat", dat);
  ASSERT_EQ(solve_in(dir, "steps.dat").status, 0);
  ReadBack b = read_back(dir + "/steps.out");
  ASSERT_EQ(b.sets.size(), 3u);
  const double factor[3] = {0.5, 0.8, 1.0};
  for (int k = 0; k < 3; ++k)
    for (int d = 2; d <= 3; ++d)
      EXPECT_NEAR(b.sets[k]->disp(9, d), factor[k] * b.sets[2]->disp(9, d),
                  1e-4 * std::fabs(b.sets[2]->disp(9, d)));
  EXPECT_NE(b.titles[1].find("increment 2, load factor 0.8"), std::string::npos) << b.titles[1];
}

const std::string PART_B_END =
    " nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)\n    0    0\n"
    "nincs    increment sizes\n    1 1.00\n     dtint     ftime     allow     theta    ttend \n\n";

// --- a uniform stress on distorted meshes ----------------------------------------

// A 2 x 2 patch over the square 0..2, its middle corner moved to
// (1.2, 0.85), in elements of `key` (two triangles to a square for 33 and
// 63). Every boundary node has the displacement u = 1e-3 (1 + 2x + 0.5y),
// v = 1e-3 (-1 + 0.5x + 1.5y) specified: strains 2e-3, 1.5e-3 and 1e-3.
std::string patch_dat(int key, bool distorted = true) {
  auto m = std::make_unique<MeshModel>();
  std::map<std::pair<long, long>, int> ids;
  auto node = [&](double x, double y) {
    const auto k = std::make_pair(std::lround(x * 1e4), std::lround(y * 1e4));
    if (!ids.count(k)) {
      ids[k] = ++m->npoin;
      m->coord(m->npoin, 1) = x, m->coord(m->npoin, 2) = y;
    }
    return ids[k];
  };
  auto px = [&](int i, int j) { return distorted && i == 1 && j == 1 ? 1.2 : double(i); };
  auto py = [&](int i, int j) { return distorted && i == 1 && j == 1 ? 0.85 : double(j); };
  auto element = [&](int nside, std::vector<std::pair<double, double>> pts) {
    const int e = ++m->nelem;
    m->nside(e) = nside, m->mattyp(e) = 1, m->matset(e) = 1, m->nnode(e) = int(pts.size());
    for (size_t k = 0; k < pts.size(); ++k) m->lnods(e, int(k) + 1) = node(pts[k].first, pts[k].second);
  };
  auto mid = [](auto a, auto b) { return std::make_pair((a.first + b.first) / 2, (a.second + b.second) / 2); };
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) {
      const auto a = std::make_pair(px(i, j), py(i, j)), b = std::make_pair(px(i + 1, j), py(i + 1, j));
      const auto c = std::make_pair(px(i + 1, j + 1), py(i + 1, j + 1)), d = std::make_pair(px(i, j + 1), py(i, j + 1));
      if (key == 44) element(4, {a, b, c, d});
      if (key == 84) element(4, {a, mid(a, b), b, mid(b, c), c, mid(c, d), d, mid(d, a)});
      if (key == 64) element(4, {a, mid(a, b), b, c, mid(c, d), d});
      if (key == 33) element(3, {a, b, c}), element(3, {a, c, d});
      if (key == 63) {
        element(3, {a, mid(a, b), b, mid(b, c), c, mid(c, a)});
        element(3, {a, mid(a, c), c, mid(c, d), d, mid(d, a)});
      }
    }
  m->ndofn = 2, m->npros = 1;
  // Without lateral strain (nu 0) the rollers hold the block's own field.
  m->props(1, 1) = 2e5, m->props(1, 2) = distorted ? 0.25 : 0.0, m->props(1, 3) = 1.0;
  std::string loads;
  for (int n = 1; n <= m->npoin; ++n) {
    m->ndof(n) = 2;
    if (!distorted) {  // held on rollers along y = 0, against sliding at the origin
      m->kode(n) = m->coord(n, 2) != 0.0 ? 0 : m->coord(n, 1) == 0.0 ? 11 : 1;
      continue;
    }
    const double x = m->coord(n, 1), y = m->coord(n, 2);
    if (x != 0.0 && x != 2.0 && y != 0.0 && y != 2.0) continue;
    m->kode(n) = 11;
    char line[64];
    std::snprintf(line, sizeof line, "0   2%5d%10.3E%10.3E\n", n, 1e-3 * (1 + 2 * x + 0.5 * y),
                  1e-3 * (-1 + 0.5 * x + 1.5 * y));
    loads += line;
  }
  m->title = "Patch test";
  std::ostringstream out;
  OUTPUT(out, *m);
  if (!distorted)  // a body force of 10 downwards on every element
    return out.str() + "nbset npset\n    1    0\n  ld  node x-cmpnt   y-cmpnt\n1\n"
           "   set  cpmnt     body force\n0   1    1           0.000E+00\n1   1    2          -0.100E+02\n"
           "   set  elements in this body force set\n0   1    1    2    3    4\n1\n"
           " nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)\n    0    0\n"
           "nincs    increment sizes\n    1 1.00\n     dtint     ftime     allow     theta    ttend \n\n";
  return out.str() + "nbset npset\n    0    0\n  ld  node x-cmpnt   y-cmpnt\n" + loads +
         "1\n nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)\n    0    0\n"
         "nincs    increment sizes\n    1 1.00\n     dtint     ftime     allow     theta    ttend \n\n";
}

// The stresses of those strains, worked by hand with E 2e5 and nu 0.25:
// plane stress E / (1 - nu^2) = 213333.3; plane strain E / ((1 + nu)(1 - 2 nu))
// = 320000 and sigma-z = nu (sigma-x + sigma-y).
TEST(SolvePatch, EveryElementTypeCarriesAUniformStress) {
  const double stress[4] = {506.6667, 426.6667, 80.0, 0.0}, strain[4] = {600.0, 520.0, 80.0, 280.0};
  for (int key : {33, 44, 63, 64, 84})
    for (bool plane_strain : {false, true}) {
      SCOPED_TRACE(std::to_string(key) + (plane_strain ? " plane strain" : " plane stress"));
      const std::string dir = fresh_folder("patch" + std::to_string(key));
      write_file(dir + "/patch.dat", patch_dat(key));
      SolveRun r = solve_in(dir, std::string("patch.dat") + (plane_strain ? " --plane strain" : ""));
      ASSERT_EQ(r.status, 0) << r.err;
      ReadBack b = read_back(dir + "/patch.out");
      const ResultSet& s = *b.sets[0];
      const double* want = plane_strain ? strain : stress;
      ASSERT_EQ(s.ngaus, b.m->nelem * (key == 84 ? 4 : key == 63 ? 3 : key == 64 ? 2 : 1));
      for (int i = 1; i <= s.ngaus; ++i)
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(s.stres(i, k + 1), want[k], 1e-4 * 600.0) << i;
      for (int n = 1; n <= b.m->npoin; ++n) {
        const double x = b.m->coord(n, 1), y = b.m->coord(n, 2);
        EXPECT_NEAR(s.disp(n, 1), 1e-3 * (1 + 2 * x + 0.5 * y), 1e-4 * 6e-3) << n;
        EXPECT_NEAR(s.disp(n, 2), 1e-3 * (-1 + 0.5 * x + 1.5 * y), 1e-4 * 6e-3) << n;
      }
    }
}

// A square block 2 high of 8-noded quadrilaterals on rollers, under a body
// force of 10 downwards, nu 0: sigma-y = -10 (2 - y), sigma-x = tau-xy = 0,
// a displacement field of second degree that the elements hold exactly.
TEST(SolvePatch, BodyForceOfABlockOnRollers) {
  const std::string dir = fresh_folder("body");
  write_file(dir + "/block.dat", patch_dat(84, false));
  SolveRun r = solve_in(dir, "block.dat");
  ASSERT_EQ(r.status, 0) << r.err;
  ReadBack b = read_back(dir + "/block.out");
  const ResultSet& s = *b.sets[0];
  ASSERT_EQ(s.ngaus, 16);
  for (int i = 1; i <= s.ngaus; ++i) {
    EXPECT_NEAR(s.stres(i, 2), -10.0 * (2.0 - s.xgaus(i, 2)), 2e-3) << i;
    EXPECT_NEAR(s.stres(i, 1), 0.0, 2e-3) << i;
    EXPECT_NEAR(s.stres(i, 3), 0.0, 2e-3) << i;
  }
}

// The senses of a traction: on the top of a square clamped at its foot, a
// positive normal traction pushes down into it and a positive tangential
// one runs along the top from node 3 to node 4, the element's own
// anticlockwise sense, so towards -x.
TEST(SolvePatch, TractionSenses) {
  const std::string dir = fresh_folder("senses");
  write_file(dir + "/square.dat",
             "Square\nnpoin nelem ndofn npros   extra parameters\n    4    1    2    1\n"
             "nside typ/set elt       nodes\n1   4 1  1    1    1    2    3    4\n"
             "kode  node  x-coord   y-coord ndof\n0  11    1   0.00000   0.00000    2\n"
             "0  11    2   1.00000   0.00000    2\n0  00    3   1.00000   1.00000    2\n"
             "1  00    4   0.00000   1.00000    2\n  set cmpnt         value\n"
             "0   1    1           0.100E+04\n0   1    2           0.000E+00\n"
             "0   1    3           0.100E+01\n1\nnbset npset\n    0    1\n  ld  node x-cmpnt   y-cmpnt\n1\n"
             "   set  forces:     normal    tangential\n1   1    1 2         0.500E+01 0.500E+01\n"
             " nnas elt  n set     n set\n0   2    1    4 1     3 1\n1\n" + PART_B_END);
  ASSERT_EQ(solve_in(dir, "square.dat").status, 0);
  ReadBack b = read_back(dir + "/square.out");
  const ResultSet& s = *b.sets[0];
  // With nu = 0 the square shears and shortens: tau-xy = -5, sigma-y = -5.
  EXPECT_NEAR(s.stres(1, 2), -5.0, 1e-3);
  EXPECT_LT(s.disp(3, 1), 0.0);
  EXPECT_LT(s.disp(4, 1), 0.0);
  EXPECT_LT(s.disp(3, 2) + s.disp(4, 2), 0.0);
}

// PLOTOR draws the plate's sigma-x contours from the .out: a session
// through its menu to the filled contours, whose snapshot holds the bands.
TEST(SolveExamples, PlotorDrawsTheContoursOfASolvedPlate) {
  const std::string dir = fresh_folder("plotor");
  ASSERT_EQ(solve_in(dir, example("plate_hole.dat") + " --out plate.out --quiet").status, 0);
  write_file(dir + "/contours.script",
             "key a\nkey y\nfile plate.out\nkey n\nkey a\nclick 560 460\ndialog OK\n"
             "click 560 160\ndialog OK 2 5\nsnapshot contours.png\nclick 560 450\n"
             "click 560 450\ndialog Yes\ndialog No\nkey n\ndialog Yes\n");
  const std::string cmd = "cd '" + dir + "' && " + VORTAN_PLOTOR +
                          " --script contours.script --transcript transcript.txt >/dev/null 2>&1";
  const int raw = std::system(cmd.c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << read_file(dir + "/transcript.txt");
  int w, h;
  std::vector<unsigned char> rgb;
  ASSERT_TRUE(read_png_rgb(dir + "/contours.png", w, h, rgb));
  // The contour colours: EGA codes, blue, green, red at two thirds by bits
  // 0-2 and at one third by bits 3-5.
  int bands = 0;
  for (int code : {8, 1, 9, 43, 3, 42, 18, 30, 46, 60, 36}) {
    const int red = (code & 4 ? 0xAA : 0) + (code & 32 ? 0x55 : 0);
    const int green = (code & 2 ? 0xAA : 0) + (code & 16 ? 0x55 : 0);
    const int blue = (code & 1 ? 0xAA : 0) + (code & 8 ? 0x55 : 0);
    int count = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
      count += rgb[i] == red && rgb[i + 1] == green && rgb[i + 2] == blue;
    bands += count > 50;
  }
  EXPECT_GE(bands, 9);
}

}  // namespace
}  // namespace vortan::test
