#include "stress_contours.h"

#include "crosses.h"

#include <algorithm>
#include <cmath>

#include "contour_engine.h"
#include "platform/platform.h"
#include "plot.h"
#include "plots.h"
#include "prompts.h"
#include "toolbar.h"

namespace vortan {

namespace {

const char* const STRESS_ITEMS[8] = {"Major",   "Minor",   "Average", "Deviator",
                                     "sigma-x", "sigma-y", "tau-xy",  "sigma-z"};
const char* const FLOW_ITEMS[3] = {"x-direction", "y-direction", "magnitude"};

// True when the element can be drawn: contourable type, nodes of the mesh
// and, in a zoom, all inside the frame.
bool drawable(const MeshModel& m, int e, int type, const ContourView& view) {
  if (type < 5 || type > 9) return false;
  for (int k = 1; k <= m.nnode(e); ++k) {
    const int n = m.lnods(e, k);
    if (!valid_node(m, n)) return false;
    if (view.zoomed && !view.frame.holds(m.coord(n, 1), m.coord(n, 2))) return false;
  }
  return true;
}

// The element's Gauss values g[1..needed]; false when a record is missing
// from the current result set or holds no finite value.
bool gauss_values(const ResultSet& r, int e, int type, double* g) {
  const int count = std::clamp(r.ngaus, 0, MGAUS);
  for (int k = 1; k <= gauss_needed(type); ++k) {
    const int i = r.igaus(e, k);
    if (i < 1 || i > count || !std::isfinite(r.gpval(i))) return false;
    g[k] = r.gpval(i);
  }
  return true;
}

// The thin quadrilateral: values linear in s from vL at the left end to
// vR at the right, cut straight across at each level.
void thin_quad(const Levels& lv, const Geometry& geo, int fill, double vL, double vR,
               PolyWork& w) {
  const double emin = std::min(vL, vR), emax = std::max(vL, vR);
  if (fill) {
    w.count = 0;
    FILLEL(6, 4, geo, icont[base_band(lv, emin, emax)], w);
  }
  for (int k = 0; k < std::clamp(lv.nlev, 0, NLEV); ++k) {
    const double L = lv.at(k);
    if (L <= emin) continue;
    if (L >= emax) break;
    const double s = -1.0 + 2.0 * (L - vL) / (vR - vL);
    if (!fill) {
      double x1, y1, x2, y2;
      ST2XY(s, -1, 8, geo, x1, y1);
      ST2XY(s, 1, 8, geo, x2, y2);
      SETCOL(icont[k + 1]);
      JOINP1(x1, y1, x2, y2);
      continue;
    }
    // The part on the higher side of the cut: bottom face, end, top face.
    const double a = vR > vL ? s : -1.0, b = vR > vL ? 1.0 : s;
    const double nat[6][2] = {{a, -1},           {0.5 * (a + b), -1}, {b, -1},
                              {b, 1},            {0.5 * (a + b), 1},  {a, 1}};
    Geometry part{};
    for (int i = 0; i < 6; ++i) {
      double x, y;
      ST2XY(nat[i][0], nat[i][1], 8, geo, x, y);
      set_point(part, i + 1, x, y);
    }
    w.count = 0;
    FILLEL(6, 4, part, icont[k + 1], w);
  }
}

void draw_element(const Levels& lv, const MeshModel& m, int e, int type, const double* g,
                  int fill, PolyWork& w) {
  const Geometry geo = element_geometry(m, e);
  double c[5];
  extrapolate_gauss_values(type, g, c);
  switch (type) {
    case 5:
    case 6:  // one value over the whole element: a fill, no line
      if (fill) {
        w.count = 0;
        FILLEL(m.nnode(e), m.nnode(e), geo, icont[value_band(lv, g[1])], w);
      }
      break;
    case 7:
      CTRIA2(lv, geo, fill, c[1], c[2], c[3], std::max({c[1], c[2], c[3]}),
             std::min({c[1], c[2], c[3]}), w);
      break;
    case 8:
      thin_quad(lv, geo, fill, c[1], c[2], w);
      break;
    case 9:
      CQUAD2(lv, geo, fill, c[1], c[2], c[3], c[4], std::max({c[1], c[2], c[3], c[4]}),
             std::min({c[1], c[2], c[3], c[4]}), w);
      break;
    default:
      break;
  }
}

// The options dialog: fill flag and quantity; both lists keep the last
// choice.
void ask_options(bool elastic, int& fill, int& q) {
  DialogSpec d;
  d.caption = "Contouring options";
  d.lines = {DialogLine{.text = elastic ? "Type\tStress" : "Type\tFlowrates", .red = true,
                        .heads = true}};
  DialogField type;
  type.kind = DialogField::List;
  type.ivalue = fill + 1;
  type.width = 12;
  type.column = 1;
  type.items = {"Lines", "Fill-in"};
  DialogField quantity = type;
  quantity.column = 2;
  quantity.ivalue = q;
  quantity.items.clear();
  for (int i = 0; i < (elastic ? 8 : 3); ++i)
    quantity.items.push_back(elastic ? STRESS_ITEMS[i] : FLOW_ITEMS[i]);
  d.fields = {type, quantity};
  d.buttons = {"OK"};
  plat().dialog(d);
  fill = std::clamp<long>(d.fields[0].ivalue, 1, 2) - 1;
  q = static_cast<int>(std::clamp<long>(d.fields[1].ivalue, 1, elastic ? 8 : 3));
}

// The quantity asked in the text window for a PostScript file.
int ask_ps_quantity(bool elastic) {
  if (!elastic) {
    for (;;) {
      const int d = ASKDGT("Type 1 for x-flowrates, 2 for y-flowrates: ");
      if (d == 1 || d == 2) return d;
    }
  }
  for (;;) {
    WRLINE("Type 1 for major stress, 2 for minor,");
    int d;
    do d = ASKDGT("3 for average, 4 for deviator, 5 for a stress component: ");
    while (d < 1 || d > 5);
    if (d < 5) return d;
    const int k = ASKDGT("Type 1 for sx, 2 for sy, 3 for txy, 4 for sz: ");
    if (k >= 1 && k <= 4) return 4 + k;
  }
}

}  // namespace

int gauss_needed(int type) {
  switch (type) {
    case 7: return 3;
    case 8: return 2;
    case 9: return 4;
    default: return 1;
  }
}

int extrapolate_gauss_values(int type, const double* g, double* c) {
  const double a = std::sqrt(3.0) / 2;
  switch (type) {
    case 7:  // corners 1, 3, 5 from the three points
      c[1] = g[1] - g[2] + g[3];
      c[2] = g[1] + g[2] - g[3];
      c[3] = g[2] + g[3] - g[1];
      return 3;
    case 8:  // ends at s = -1 and s = +1 from the two points
      c[1] = (0.5 + a) * g[1] + (0.5 - a) * g[2];
      c[2] = (0.5 - a) * g[1] + (0.5 + a) * g[2];
      return 2;
    case 9:  // g1 nearest corner 1, g4 opposite, g3 nearer corner 2
      c[1] = (1 + a) * g[1] - 0.5 * g[2] - 0.5 * g[3] + (1 - a) * g[4];
      c[2] = (1 + a) * g[3] - 0.5 * g[1] - 0.5 * g[4] + (1 - a) * g[2];
      c[3] = (1 + a) * g[4] - 0.5 * g[2] - 0.5 * g[3] + (1 - a) * g[1];
      c[4] = (1 + a) * g[2] - 0.5 * g[1] - 0.5 * g[4] + (1 - a) * g[3];
      return 4;
    default:  // the linear elements: one value over the whole element
      c[1] = g[1];
      return 1;
  }
}

void stress_quantity(ResultSet& r, bool elastic, int q) {
  for (int i = 1; i <= std::clamp(r.ngaus, 0, MGAUS); ++i) {
    const double a = r.stres(i, 1), b = r.stres(i, 2);
    double v = 0;
    if (!elastic) {
      v = q == 1 ? a : q == 2 ? b : std::sqrt(a * a + b * b);
    } else if (q >= 5) {
      v = r.stres(i, std::min(q - 4, 4));
    } else {
      double s1, s3, theta;
      PRST(a, b, r.stres(i, 3), s1, s3, theta);
      v = q == 1 ? s1 : q == 2 ? s3 : q == 3 ? 0.5 * (s1 + s3) : 0.5 * (s1 - s3);
    }
    r.gpval(i) = v;
  }
}

void PLCSTR(const MeshModel& m, const ResultSet& r, PlotWork& pw, int nlev, int fill,
            const ContourView& view, int matsel) {
  const int nelem = m.nelem;
  // The range over the values the drawn elements use.
  double vmin = 0, vmax = 0;
  bool any = false;
  for (int e = 1; e <= nelem; ++e) {
    if (matsel >= 1 && m.mattyp(e) != matsel) continue;
    const int type = type_of(m, e);
    double g[5];
    if (!drawable(m, e, type, view) || !gauss_values(r, e, type, g)) continue;
    for (int k = 1; k <= gauss_needed(type); ++k) {
      vmin = any ? std::min(vmin, g[k]) : g[k];
      vmax = any ? std::max(vmax, g[k]) : g[k];
      any = true;
    }
  }
  const Levels lv = contour_levels(vmin, vmax, nlev, GAUSS_THRESHOLD, GAUSS_UNIT);
  if (!ps_mode()) plat().mouse_show(false);
  draw_key(lv, fill);
  PolyWork& w = pw.poly;
  w.count = 0;
  int drawn = 0;
  for (int e = 1; e <= nelem; ++e) {
    if (matsel >= 1 && m.mattyp(e) != matsel) continue;
    const int type = type_of(m, e);
    if (type == 0) {
      WRLINE("Error: element " + std::to_string(e) + " has no recognized type!");
      break;
    }
    double g[5];
    if (!drawable(m, e, type, view) || !gauss_values(r, e, type, g)) continue;
    draw_element(lv, m, e, type, g, fill, w);
    ++drawn;
  }
  if (!ps_mode()) plat().mouse_show(true);
  if (view.zoomed && drawn == 0) PUTERR("No elt inside zoom area - try a larger area!");
}

void CSTRAY(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v) {
  const bool elastic = std::abs(m.ndofn) == 2;
  ContourView view;
  view.fourth = "New plot";
  contour_setup(m, view);
  int fill = 0, q = 1;
  for (;;) {
    ask_options(elastic, fill, q);
    stress_quantity(r, elastic, q);
    const std::string name = elastic ? STRESS_ITEMS[q - 1] : FLOW_ITEMS[q - 1];
    plot_heading(name + (elastic ? " stresses: " : " flow: ") + trimmed(m.title));
    contour_toolbar(view);
    set_contour_palette();
    auto picture = [&] {
      contour_outline(m, w, view, true);
      PLCSTR(m, r, w, NLEV, fill, view, v.matsel);
    };
    picture();
    for (int b = 0; b != 4;) {
      b = contour_button(view);
      if (b == 1 || b == 2) {
        contour_restore(m, view);
        picture();
        SLEEPZ(1.0);
        if (b == 1) {
          restore_contour_palette();
          return;
        }
      } else if (b == 3) {
        contour_zoom(m, view);
        picture();
      }
    }
    restore_contour_palette();
  }
}

void PSCSTR(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v) {
  ContourView view;
  ps_result_setup(m, "VORTAN plots - stress/flowrate contours", view);
  PSREC("% mesh boundary");
  contour_outline(m, w, view, false);
  const bool elastic = std::abs(m.ndofn) == 2;
  stress_quantity(r, elastic, ask_ps_quantity(elastic));
  PSREC("% stress contours");
  PLCSTR(m, r, w, NLEV, 0, view, v.matsel);
  PSEND();
  set_ps_mode(false);
}

}  // namespace vortan
