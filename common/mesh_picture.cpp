#include "mesh_picture.h"

#include <algorithm>

#include "mesh_display.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"
#include "records.h"

namespace vortan {

namespace {

// Reads two reals typed after `prompt`, from as many lines as they take.
void read_two_reals(const std::string& prompt, double& a, double& b) {
  for (;;) {
    WRTEXT(prompt);
    double v[2];
    int got = 0;
    bool bad = false;
    while (got < 2 && !bad) {
      for (const std::string& t : free_tokens(READLN())) {
        if (got == 2) break;
        if (!free_real(t, v[got])) {
          bad = true;
          break;
        }
        ++got;
      }
    }
    if (!bad) {
      a = v[0];
      b = v[1];
      return;
    }
    WRLINE("Incorrect input: type a real number");
  }
}

}  // namespace

void PSPSPS(MeshModel& m) {
  set_ps_mode(true);
  const bool labels = YESNO("Do you want all the node and element labels put on? ") == 'y';

  PSREC("%!PS-Adobe-2.0EPSF-1.2");
  PSREC("%%Title:VORTAN plots");
  PSREC("%%Creators:VORTAN development team");
  PSREC("%%CreationDate:" + plat().time_text() + " on " + plat().date_text() +
        " (by your computer clock)");
  PSBEG();

  CENTRD(m);
  double xmin, xmax, ymin, ymax;
  BOUNDS(m.npoin, m.coord, xmin, xmax, ymin, ymax);
  MeshWindow frame;
  STZOOM(xmin, xmax, ymin, ymax, frame);

  WRLINE(" X-limits of mesh: " + free_real_text(xmin) + " to " + free_real_text(xmax));
  WRLINE(" Y-limits of mesh: " + free_real_text(ymin) + " to " + free_real_text(ymax));
  WRLINE();

  const bool zoomed = YESNO("Do you want a zoom plot?") == 'y';
  if (zoomed) {
    WRLINE(" Define window:  xmin < x < xmax, ymin < y < ymax.");
    double x1, x2, y1, y2;
    read_two_reals("Enter xmin, xmax: ", x1, x2);
    read_two_reals("Enter ymin, ymax: ", y1, y2);
    STZOOM(x1, x2, y1, y2, frame);
  }

  PSREC("% frame with labelling next");
  FAXES(frame.xmin, frame.xmax, frame.ymin, frame.ymax, plot_state().charsize, -1);
  PSREC("% mesh next");
  PLMESH(m, frame, zoomed, false, false);
  if (labels) {
    PSREC("%% element numbers next");
    LABELM(m, 1, m.nelem, frame);
    PSREC("%% node numbers next");
    LABNOD(m, 1, m.npoin, frame);
  }
  PSEND();
  set_ps_mode(false);
}

}  // namespace vortan
