// The bundled examples made from closed-form solutions: their values, read
// back with PLOTOR's reader, against the formulas from the literature
// (written here independently of the generator, in polar form), their data
// sets as GRIDOR reads them, and their contour plots at pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>

#include "contour_engine.h"
#include "dat_file.h"
#include "dof_contours.h"
#include "part_b_modify.h"
#include "plot.h"
#include "results_file.h"
#include "stress_contours.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::ScriptedSession;

namespace {

const double PI = 4.0 * std::atan(1.0);
const double S = 100.0, A = 1.0;  // far-field stress and hole radius of the plate

struct Example {
  std::unique_ptr<MeshModel> m = std::make_unique<MeshModel>();
  std::unique_ptr<ResultSet> r = std::make_unique<ResultSet>();
};

// Reads an example's mesh head and first result set as PLOTOR does.
void read_example(const std::string& name, Example& ex) {
  std::ifstream in(std::string(VORTAN_SOURCE_DIR) + "/examples/" + name);
  ASSERT_TRUE(in) << name;
  clear_mesh(*ex.m);
  clear_results(*ex.r);
  INPUT(in, *ex.m);
  ASSERT_EQ(read_result_set(in, *ex.m, *ex.r), SetRead::Read);
  ASSERT_EQ(ex.r->hasgp, name == "cantilever.out" ? 0 : 1);
}

// Kirsch's stresses in polar form, turned to x and y.
void kirsch_xy(double x, double y, double& sx, double& sy, double& txy) {
  const double r = std::hypot(x, y), t = std::atan2(y, x), q = A * A / (r * r);
  const double srr = S / 2 * (1 - q) + S / 2 * (1 - 4 * q + 3 * q * q) * std::cos(2 * t);
  const double stt = S / 2 * (1 + q) - S / 2 * (1 + 3 * q * q) * std::cos(2 * t);
  const double srt = -S / 2 * (1 + 2 * q - 3 * q * q) * std::sin(2 * t);
  const double c = std::cos(t), s = std::sin(t);
  sx = srr * c * c + stt * s * s - 2 * srt * s * c;
  sy = srr * s * s + stt * c * c + 2 * srt * s * c;
  txy = (srr - stt) * s * c + srt * (c * c - s * s);
}

// Kirsch's displacements u_r, u_theta (plane stress), turned to x and y.
void kirsch_uv(double x, double y, double e, double nu, double& u, double& v) {
  const double r = std::hypot(x, y), t = std::atan2(y, x);
  const double mu = e / (2 * (1 + nu)), k = (3 - nu) / (1 + nu), a2 = A * A;
  const double ur = S / (4 * mu) *
                    (r * ((k - 1) / 2 + std::cos(2 * t)) + a2 / r * (1 + (1 + k) * std::cos(2 * t)) -
                     a2 * a2 / (r * r * r) * std::cos(2 * t));
  const double ut = S / (4 * mu) * (a2 / r * (1 - k) - r - a2 * a2 / (r * r * r)) * std::sin(2 * t);
  u = ur * std::cos(t) - ut * std::sin(t);
  v = ur * std::sin(t) + ut * std::cos(t);
}

// Nodal values are written to three figures, Gauss-point values to four
// decimals; `scale` is the size of the field.
void expect_close(double got, double want, double scale, const std::string& what) {
  EXPECT_NEAR(got, want, 5e-3 * std::fabs(want) + 1e-4 * scale) << what;
}

double distance(const MeshModel& m, int n, double x, double y) {
  return std::hypot(m.coord(n, 1) - x, m.coord(n, 2) - y);
}

}  // namespace

TEST(PlateWithHoleExample, StressesAndDisplacementsAreKirschs) {
  ScriptedSession session("");
  Example ex;
  read_example("plate_hole.out", ex);
  const MeshModel& m = *ex.m;
  const ResultSet& r = *ex.r;
  double width = 0;
  for (int n = 1; n <= m.npoin; ++n) {
    width = std::max(width, m.coord(n, 1));
    EXPECT_GE(std::hypot(m.coord(n, 1), m.coord(n, 2)), A - 1e-4);
  }
  EXPECT_GE(2 * width, 8 * A);  // Kirsch's infinite plate holds closely
  const double e = m.props(1, 1), nu = m.props(1, 2);
  double umax = 0;
  for (int n = 1; n <= m.npoin; ++n) umax = std::max(umax, std::fabs(r.disp(n, 1)));
  for (int n = 1; n <= m.npoin; n += 7) {
    double u, v;
    kirsch_uv(m.coord(n, 1), m.coord(n, 2), e, nu, u, v);
    expect_close(r.disp(n, 1), u, umax, "u at node " + std::to_string(n));
    expect_close(r.disp(n, 2), v, umax, "v at node " + std::to_string(n));
  }
  // The symmetry planes do not move across themselves.
  for (int n = 1; n <= m.npoin; ++n) {
    if (m.coord(n, 1) == 0.0) {
      EXPECT_EQ(r.disp(n, 1), 0.0) << n;
    }
    if (m.coord(n, 2) == 0.0) {
      EXPECT_EQ(r.disp(n, 2), 0.0) << n;
    }
  }
  EXPECT_EQ(r.ngaus, 4 * m.nelem);
  for (int i = 1; i <= r.ngaus; ++i) {
    double sx, sy, txy;
    kirsch_xy(r.xgaus(i, 1), r.xgaus(i, 2), sx, sy, txy);
    expect_close(r.stres(i, 1), sx, S, "sigma-x at record " + std::to_string(i));
    expect_close(r.stres(i, 2), sy, S, "sigma-y");
    expect_close(r.stres(i, 3), txy, S, "tau-xy");
    EXPECT_EQ(r.stres(i, 4), 0.0);  // plane stress
  }
}

// The contour plots take an 8-noded quadrilateral's Gauss records as g1
// nearest corner 1, g3 nearer corner 2, g4 nearest corner 3, g2 nearest 4.
TEST(PlateWithHoleExample, GaussPointsComeInTheOrderOfTheContourPlots) {
  ScriptedSession session("");
  Example ex;
  read_example("plate_hole.out", ex);
  const MeshModel& m = *ex.m;
  const int point_at[4][2] = {{1, 1}, {3, 3}, {5, 4}, {7, 2}};  // corner, its Gauss point
  for (int e = 1; e <= m.nelem; ++e) {
    ASSERT_EQ(element_key(m.nnode(e), m.nside(e)), 84);
    for (const auto& [corner, expected] : point_at) {
      int nearest = 0;
      double best = 1e30;
      for (int g = 1; g <= 4; ++g) {
        const int i = ex.r->igaus(e, g);
        ASSERT_GT(i, 0);
        const double d = distance(m, m.lnods(e, corner), ex.r->xgaus(i, 1), ex.r->xgaus(i, 2));
        if (d < best) best = d, nearest = g;
      }
      EXPECT_EQ(nearest, expected) << "element " << e << " corner " << corner;
    }
  }
}

TEST(PlateWithHoleExample, DataSetHasTheFarFieldTractionAndSymmetryFixities) {
  ScriptedSession session("");
  std::ifstream in(std::string(VORTAN_SOURCE_DIR) + "/examples/plate_hole.dat");
  auto m = std::make_unique<MeshModel>();
  clear_mesh(*m);
  INPUT(in, *m);
  ASSERT_TRUE(find_part_b(in));
  auto old = std::make_unique<OldPartB>();
  ASSERT_TRUE(read_old_part_b(in, *old));
  const double w = 10.0 * A;
  for (int n = 1; n <= m->npoin; ++n) {
    const double x = m->coord(n, 1), y = m->coord(n, 2);
    EXPECT_EQ(m->kode(n), x == 0.0 ? 10 : y == 0.0 ? 1 : 0) << "node " << n;
  }
  ASSERT_EQ(old->npset, 1);
  EXPECT_DOUBLE_EQ(old->trac[1][1], -S);  // tractions count compression positive
  EXPECT_DOUBLE_EQ(old->trac[1][2], 0.0);
  // The loaded edges cover the side x = w once from y = 0 to y = w.
  double covered = 0;
  for (int k = 1; k <= old->nedge; ++k) {
    const int n1 = old->edges(k, 3), n2 = old->edges(k, 5);
    EXPECT_EQ(old->edges(k, 1), 3);
    EXPECT_DOUBLE_EQ(m->coord(n1, 1), w);
    EXPECT_DOUBLE_EQ(m->coord(n2, 1), w);
    covered += std::fabs(m->coord(n2, 2) - m->coord(n1, 2));
  }
  EXPECT_NEAR(covered, w, 1e-9);
  EXPECT_EQ(old->nload, 0);
}

TEST(PlateWithHoleExample, ContoursShowTheConcentrationAtTheHoleAndTheFarFieldAway) {
  ScriptedSession session("");
  Example ex;
  read_example("plate_hole.out", ex);
  auto work = std::make_unique<PlotWork>();
  stress_quantity(*ex.r, true, 5);  // sigma-x
  double vmin = ex.r->gpval(1), vmax = vmin;
  for (int i = 1; i <= ex.r->ngaus; ++i) {
    vmin = std::min(vmin, ex.r->gpval(i));
    vmax = std::max(vmax, ex.r->gpval(i));
  }
  ContourView view;
  contour_setup(*ex.m, view);
  set_contour_palette();
  contour_outline(*ex.m, *work, view, true);
  PLCSTR(*ex.m, *ex.r, *work, NLEV, 1, view, 0);
  const Levels lv = contour_levels(vmin, vmax, NLEV, GAUSS_THRESHOLD, GAUSS_UNIT);
  auto colour = [](double x, double y) {
    int ix, iy;
    MAPPXL(x, y, ix, iy);
    return plat().fb().at(ix, iy);
  };
  // Across the load at the hole's edge sigma-x is about 3 S: the top band.
  EXPECT_EQ(value_band(lv, 3 * S), lv.nlev);
  EXPECT_EQ(colour(0.02, A + 0.03), icont[lv.nlev]);
  // Far from the hole, the band of the far-field stress.
  const int far = value_band(lv, S);
  EXPECT_LT(far, lv.nlev);
  EXPECT_EQ(colour(8.0, 5.0), icont[far]);
  EXPECT_EQ(colour(5.0, 9.0), icont[far]);
  // On the load axis beside the hole sigma-x falls to 0: the bottom bands.
  const int beside = colour(A + 0.05, 0.02);
  EXPECT_TRUE(beside == icont[0] || beside == icont[1]) << beside;
  // The fills of neighbouring elements meet: no pixel of the plate, short
  // of its outline, keeps the background.
  const double margin = 2.0 * 10.0 / 480;  // two pixels, in world units
  for (int iy = AREA_Y1; iy <= AREA_Y2; ++iy)
    for (int ix = AREA_X1; ix <= AREA_X2; ++ix) {
      double x, y;
      PXLMAP(ix, iy, x, y);
      if (x < margin || y < margin || x > 10 - margin || y > 10 - margin ||
          std::hypot(x, y) < A + margin)
        continue;
      ASSERT_NE(plat().fb().at(ix, iy), BACKGROUND) << "pixel " << ix << " " << iy;
    }
}

TEST(CylinderFlowExample, PotentialAndFlowsAreThoseOfFlowPastACylinder) {
  ScriptedSession session("");
  Example ex;
  read_example("cylinder_flow.out", ex);
  const MeshModel& m = *ex.m;
  auto phi = [](double x, double y) { return x * (1 + A * A / (x * x + y * y)); };
  for (int n = 1; n <= m.npoin; n += 5)
    expect_close(ex.r->disp(n, 1), phi(m.coord(n, 1), m.coord(n, 2)), 10.0, "phi");
  // Flow rates -k grad phi, the gradient by central differences; AX = AY = 1.
  const double h = 1e-5;
  for (int i = 1; i <= ex.r->ngaus; i += 3) {
    const double x = ex.r->xgaus(i, 1), y = ex.r->xgaus(i, 2);
    expect_close(ex.r->stres(i, 1), -(phi(x + h, y) - phi(x - h, y)) / (2 * h), 1.0, "qx");
    expect_close(ex.r->stres(i, 2), -(phi(x, y + h) - phi(x, y - h)) / (2 * h), 1.0, "qy");
  }
  // Quadratic triangles report at their side midpoints: the midside nodes.
  for (int e = 1; e <= m.nelem; e += 11)
    for (int g = 1; g <= 3; ++g) {
      const int i = ex.r->igaus(e, g);
      EXPECT_LT(distance(m, m.lnods(e, 2 * g), ex.r->xgaus(i, 1), ex.r->xgaus(i, 2)), 1e-5);
    }
  // Over the top of the cylinder the stream runs at twice its far speed.
  int top = 0;
  for (int i = 1; i <= ex.r->ngaus; ++i)
    if (top == 0 || std::hypot(ex.r->xgaus(i, 1), ex.r->xgaus(i, 2) - A) <
                        std::hypot(ex.r->xgaus(top, 1), ex.r->xgaus(top, 2) - A))
      top = i;
  EXPECT_NEAR(std::hypot(ex.r->stres(top, 1), ex.r->stres(top, 2)), 2.0, 0.25);
}

TEST(CantileverExample, TipDeflectionAndRotationAreThoseOfBeamTheory) {
  ScriptedSession session("");
  Example ex;
  read_example("cantilever.out", ex);
  const MeshModel& m = *ex.m;
  const double e = m.props(1, 1), i = m.props(1, 2), p = -10.0;
  const int tip = m.npoin;
  const double l = m.coord(tip, 1);
  EXPECT_EQ(m.kode(1), 111);
  const double tip_v = p * l * l * l / (3 * e * i), tip_theta = p * l * l / (2 * e * i);
  expect_close(ex.r->disp(tip, 2), tip_v, std::fabs(tip_v), "tip deflection P L^3 / 3EI");
  expect_close(ex.r->disp(tip, 3), tip_theta, std::fabs(tip_theta), "tip rotation P L^2 / 2EI");
  for (int n = 1; n <= m.npoin; ++n) EXPECT_EQ(ex.r->disp(n, 1), 0.0);
  // Halfway along: 5/16 of the tip deflection, 3/4 of the tip rotation.
  const int mid = (m.npoin + 1) / 2;
  ASSERT_DOUBLE_EQ(m.coord(mid, 1), l / 2);
  expect_close(ex.r->disp(mid, 2), 5.0 / 16 * tip_v, std::fabs(tip_v), "v(L/2)");
  expect_close(ex.r->disp(mid, 3), 0.75 * tip_theta, std::fabs(tip_theta), "theta(L/2)");
}
