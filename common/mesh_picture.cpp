#include "mesh_picture.h"

#include <algorithm>

#include "mesh_display.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"
#include "records.h"

namespace vortan {

bool begin_picture(const std::string& title, double xmin, double xmax, double ymin, double ymax,
                   MeshWindow& frame, bool blank_line) {
  if (!picture_box_fits(xmin, xmax, ymin, ymax)) refuse_picture();
  PSREC("%!PS-Adobe-2.0EPSF-1.2");
  PSREC("%%Title:" + title);
  PSREC("%%Creators:VORTAN development team");
  PSREC("%%CreationDate:" + plat().time_text() + " on " + plat().date_text() +
        " (by your computer clock)");
  PSBEG();
  set_ps_mode(true);
  STZOOM(xmin, xmax, ymin, ymax, frame);
  WRLINE(" X-limits of mesh: " + free_real_text(xmin) + " to " + free_real_text(xmax));
  WRLINE(" Y-limits of mesh: " + free_real_text(ymin) + " to " + free_real_text(ymax));
  if (blank_line) WRLINE();
  const bool zoomed = YESNO("Do you want a zoom plot?") == 'y';
  if (zoomed) {
    WRLINE(" Define window:  xmin < x < xmax, ymin < y < ymax.");
    double x[2], y[2];
    for (;;) {
      ask_reals("Enter xmin, xmax: ", 2, x);
      ask_reals("Enter ymin, ymax: ", 2, y);
      if (picture_box_fits(x[0], x[1], y[0], y[1])) break;
      WRLINE(" A window beyond " + fmt_general(PICTURE_REACH, 4) +
             " cannot be drawn - define it again.");
    }
    STZOOM(x[0], x[1], y[0], y[1], frame);
  }
  PSREC("% frame with labelling next");
  FAXES(frame.xmin, frame.xmax, frame.ymin, frame.ymax, plot_state().charsize, -1);
  return zoomed;
}

void PSPSPS(MeshModel& m) {
  set_ps_mode(true);
  const bool labels = YESNO("Do you want all the node and element labels put on? ") == 'y';

  CENTRD(m);
  double xmin, xmax, ymin, ymax;
  BOUNDS(m.npoin, m.coord, xmin, xmax, ymin, ymax);
  MeshWindow frame;
  const bool zoomed = begin_picture("VORTAN plots", xmin, xmax, ymin, ymax, frame, true);
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


bool mesh_picture_fits(const MeshModel& m, const std::string& path) {
  double xmin, xmax, ymin, ymax;
  BOUNDS(m.npoin, m.coord, xmin, xmax, ymin, ymax);
  if (picture_box_fits(xmin, xmax, ymin, ymax)) return true;
  WRLINE(picture_refusal(path));
  return false;
}

}  // namespace vortan
