// Showing the picture in the window: scale_picture at 1:1, 1.5 and 3 times
// (the sizes the desktop opens at) and at the fits of maximised 1920 x 1080
// and 3840 x 2160 windows, on pictures the programs draw: a bundled mesh
// plain and with every node and element number, the densest grid the limits
// take, and the filled d.o.f. contours of a bundled results file.
//
// Printed: milliseconds per picture (median of repeated runs) or, with
// --count PREFIX under callgrind (bench/scale_picture_counts.sh), the
// instructions per window pixel; at most 10 are wanted at 1:1, 1.5 and 3
// times, and a count above that makes the status 1.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "callgrind_total.h"
#include "dat_file.h"
#include "deformed_mesh.h"
#include "dof_contours.h"
#include "example_meshes.h"
#include "mesh_display.h"
#include "platform/headless.h"
#include "platform/window_layout.h"
#include "plot.h"
#include "results_file.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define VORTAN_CALLGRIND 1
#endif

namespace vortan {
namespace {

struct Picture {
  std::string name;
  Framebuffer fb;
};

struct Size {
  const char* name;
  int w, h;
  bool target;  // held to the 10 instructions a pixel
};

const Size SIZES[] = {{"1:1", 640, 480, true},
                      {"1.5", 960, 720, true},
                      {"3", 1920, 1440, true},
                      {"1920x1080 max", 1440, 1080, false},
                      {"3840x2160 max", 2880, 2160, false}};

void mesh_picture(MeshModel& m, bool numbers) {
  double x1, x2, y1, y2;
  BOUNDS(m.npoin, m.coord, x1, x2, y1, y2);
  MeshWindow frame;
  STZOOM(x1, x2, y1, y2, frame);
  PLMESH(m, frame, false, false, true);
  if (!numbers) return;
  CENTRD(m);
  LABNOD(m, 1, m.npoin, frame);
  LABELM(m, 1, m.nelem, frame);
}

void contour_picture(const std::string& out_file) {
  auto m = std::make_unique<MeshModel>();
  auto r = std::make_unique<ResultSet>();
  auto w = std::make_unique<PlotWork>();
  std::ifstream in(out_file);
  m->title.assign(80, ' ');
  INPUT(in, *m, out_file);
  clear_results(*r);
  read_result_set(in, *m, *r);
  double x1, x2, y1, y2;
  BOUNDS(m->npoin, m->coord, x1, x2, y1, y2);
  displace(*m, *r, *w, initial_factor(std::max(1.0, x2 - x1), largest_displacement(*m, *r)));
  for (int n = 1; n <= m->npoin; ++n) w->vnode(n) = r->disp(n, 1);
  ContourView view;
  contour_setup(*m, view);
  contour_outline(*m, *w, view, true);
  PLCSPL(*m, *w, NLEV, 1, view, 0);
}

std::vector<Picture> draw_pictures(const std::string& examples) {
  set_platform(std::make_unique<HeadlessPlatform>(parse_script("", "bench"), "/dev/null", "."));
  std::vector<Picture> pictures;
  auto keep = [&](const std::string& name) { pictures.push_back({name, plat().fb()}); };
  auto m = std::make_unique<MeshModel>();
  std::ifstream dat(examples + "/plate_hole.dat");
  INPUT(dat, *m, examples + "/plate_hole.dat");
  mesh_picture(*m, false);
  keep("plate_hole mesh");
  mesh_picture(*m, true);
  keep("plate_hole numbered");
  int n = 2;  // the largest square grid of 8-noded quadrilaterals the limits take
  while (3 * (n + 1) * (n + 1) + 4 * (n + 1) + 1 <= MPOIN && (n + 1) * (n + 1) <= MELEM) ++n;
  grid_mesh(n, n, "Densest grid", *m);
  mesh_picture(*m, false);
  keep("grid " + std::to_string(n) + "x" + std::to_string(n));
  contour_picture(examples + "/plate_hole.out");
  keep("plate_hole d.o.f. contours");
  return pictures;
}

double median_ms(const Framebuffer& fb, const Size& s, std::vector<std::uint8_t>& rgb) {
  std::vector<double> t;
  for (int i = 0; i < 15; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    scale_picture(fb, s.w, s.h, rgb);
    t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count());
  }
  std::nth_element(t.begin(), t.begin() + t.size() / 2, t.end());
  return t[t.size() / 2];
}

// Instructions of one scaling, counted by callgrind between zeroed
// statistics and a dump; -1 when not run under callgrind.
double count(const Framebuffer& fb, const Size& s, std::vector<std::uint8_t>& rgb,
             const std::string& prefix, int& dumps) {
#ifdef VORTAN_CALLGRIND
  if (!RUNNING_ON_VALGRIND) return -1;
  scale_picture(fb, s.w, s.h, rgb);  // once beforehand: the vector at its size
  CALLGRIND_ZERO_STATS;
  scale_picture(fb, s.w, s.h, rgb);
  CALLGRIND_DUMP_STATS_AT(s.name);
  return dump_total(prefix + "." + std::to_string(++dumps));
#else
  (void)fb, (void)s, (void)rgb, (void)prefix, (void)dumps;
  return -1;
#endif
}

}  // namespace
}  // namespace vortan

int main(int argc, char** argv) {
  using namespace vortan;
  const bool counting = argc >= 3 && std::string(argv[1]) == "--count";
  const std::string prefix = counting ? argv[2] : "";
  const std::vector<Picture> pictures = draw_pictures(VORTAN_SOURCE_DIR "/examples");
  std::printf("%-28s", counting ? "instructions per pixel" : "milliseconds");
  for (const Size& s : SIZES) std::printf(" %14s", s.name);
  std::printf("\n");
  std::vector<std::uint8_t> rgb;
  int dumps = 0, status = 0;
  for (const Picture& p : pictures) {
    std::printf("%-28s", p.name.c_str());
    for (const Size& s : SIZES) {
      if (!counting) {
        std::printf(" %14.3f", median_ms(p.fb, s, rgb));
        continue;
      }
      const double per_pixel = count(p.fb, s, rgb, prefix, dumps) / (double(s.w) * s.h);
      if (per_pixel < 0) {
        std::fprintf(stderr, "\nscale_picture_bench: --count runs under callgrind: use "
                             "bench/scale_picture_counts.sh\n");
        return 2;
      }
      const bool over = s.target && per_pixel > 10;
      status |= over;
      std::printf(" %13.2f%s", per_pixel, over ? "!" : " ");
    }
    std::printf("\n");
  }
  if (counting)
    std::printf("(at most 10 wanted at 1:1, 1.5 and 3 times%s)\n",
                status ? "; ! marks a count above it" : ": all within");
  return status;
}
