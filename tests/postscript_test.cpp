// The Encapsulated PostScript picture of the mesh: its fixed records, and
// the page as Ghostscript renders it, checked pixel by pixel.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "mesh_display.h"
#include "mesh_picture.h"
#include "plot.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::read_file;
using vortan::test::ScriptedSession;

namespace {

// Two unit squares side by side, nodes 1 2 3 along y = 0 and 4 5 6 along
// y = 1.
MeshModel* two_squares() {
  static MeshModel m;
  clear_mesh(m);
  const double xy[7][2] = {{0, 0}, {0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}};
  m.npoin = 6;
  for (int n = 1; n <= 6; ++n) {
    m.coord(n, 1) = xy[n][0];
    m.coord(n, 2) = xy[n][1];
    m.ndof(n) = 2;
  }
  const int nodes[3][4] = {{0}, {1, 2, 5, 4}, {2, 3, 6, 5}};
  m.nelem = 2;
  for (int e = 1; e <= 2; ++e) {
    for (int k = 1; k <= 4; ++k) m.lnods(e, k) = nodes[e][k - 1];
    m.nnode(e) = 4;
    m.nside(e) = 4;
    m.matset(e) = 1;
  }
  return &m;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

bool has_line(const std::vector<std::string>& lines, const std::string& l) {
  for (const auto& x : lines)
    if (x == l) return true;
  return false;
}

// An RGB image read back from a PNG file.
struct Image {
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
  // Brightness 0..255 of pixel (x, y); 255 outside the image.
  int grey(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return 255;
    const unsigned char* p = &rgb[3 * (y * w + x)];
    return (p[0] + p[1] + p[2]) / 3;
  }
  // True when some pixel within `r` of (x, y) is dark.
  bool dark_near(double x, double y, int r = 1) const {
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (grey(static_cast<int>(x) + dx, static_cast<int>(y) + dy) < 128) return true;
    return false;
  }
};

bool read_png(const std::string& path, Image& img) {
  return vortan::test::read_png_rgb(path, img.w, img.h, img.rgb);
}

// Renders the EPS file at 72 dpi cropped to its bounding box; the exit
// status of Ghostscript and its messages come back too.
bool render(const std::string& eps, const std::string& png, std::string& messages,
            const std::string& extra = "") {
  return vortan::test::render_eps(eps, png, messages, extra);
}

// Page point (X, Y) as a pixel of the cropped 72 dpi image: the bounding
// box 100 170 630 700 becomes a 530 x 530 image, y downwards.
double px(double X) { return X - 100; }
double py(double Y) { return 700 - Y; }

std::string write_picture(ScriptedSession& s, MeshModel& m) {
  const std::string path = s.folder() + "/mesh.ps";
  EXPECT_TRUE(PSOPEN(path));
  PSPSPS(m);
  EXPECT_TRUE(PSCLOS());
  return path;
}

}  // namespace

TEST(MeshPicture, FixedRecordsToTheLetter) {
  ScriptedSession s("key n\nkey n\n");
  MeshModel& m = *two_squares();
  const std::string path = write_picture(s, m);
  const auto l = lines_of(read_file(path));
  ASSERT_GT(l.size(), 35u);
  EXPECT_EQ(l[0], "%!PS-Adobe-2.0EPSF-1.2");
  EXPECT_EQ(l[1], "%%Title:VORTAN plots");
  EXPECT_EQ(l[2].rfind("%%Creators:", 0), 0u);
  // "%%CreationDate:" time (8) " on " date (26) " (by your computer clock)"
  EXPECT_EQ(l[3].rfind("%%CreationDate:", 0), 0u);
  EXPECT_EQ(l[3].size(), 15u + 8 + 4 + 26 + 25);
  EXPECT_EQ(l[3].substr(15 + 8, 4), " on ");
  EXPECT_EQ(l[3].substr(l[3].size() - 25), " (by your computer clock)");
  const std::vector<std::string> prolog = {
      "%%BoundingBox:100 170 630 700",
      "%%Pages:1",
      "%%DocumentFonts:/Helvetica and /Helvetica-Bold",
      "%%EndComments",
      "%%EndProlog",
      "/twelvebf {/Helvetica-Bold findfont 12 scalefont setfont} def twelvebf",
      "/eightbf {/Helvetica-Bold findfont 8 scalefont setfont} def",
      "%/eight {/Helvetica findfont 8 scalefont setfont} def  %%one of these",
      "/eight {/Helvetica-Bold findfont 8 scalefont setfont} def",
      "42 162 translate",
      "/l {lineto} def /r {rlineto} def",
      "/m {moveto} def /rm {rmoveto} def /n {newpath} def",
      "/sr {stroke} def /st {closepath stroke} def /cf {closepath fill} def",
      "/fillcolory [  1  1  1] def",
      "/colorfilly {fillcolory aload pop setrgbcolor fill } def",
      "/ggg {gsave colorfilly grestore} def",
      "/cent { dup stringwidth sub -0.5 mul 0 rmoveto dup show } def",
      "/righ{ dup stringwidth sub -1 mul 0 rmoveto dup show } def",
      "/oneb {2.5 6 rm -5 0 r 0 -6 r 5 0 r 0 6 r ggg} def",
      "/twob {5 6 rm -10 0 r 0 -6 r 10 0 r 0 6 r ggg} def",
      "/thrb {7.5 6 rm -15 0 r 0 -6 r 15 0 r 0 6 r ggg} def",
      "/foub {10 6 rm -20 0 r 0 -6 r 20 0 r 0 6 r ggg} def",
      "gsave  1 setlinewidth",
      "/fillcolory [  1  1  1] def",
  };
  for (size_t i = 0; i < prolog.size(); ++i) EXPECT_EQ(l[4 + i], prolog[i]) << "record " << 5 + i;
  const size_t n = l.size();
  EXPECT_EQ(l[n - 3], "grestore");
  EXPECT_EQ(l[n - 2], "showpage % Allowed by EPS!");
  EXPECT_EQ(l[n - 1], "%%Trailer");
  EXPECT_TRUE(has_line(l, "% frame with labelling next"));
  EXPECT_TRUE(has_line(l, "% mesh next"));
  // Without labels neither comment nor numbers are written.
  EXPECT_FALSE(has_line(l, "%% element numbers next"));
  EXPECT_FALSE(has_line(l, "%% node numbers next"));
  // Side 4-1 in points: x = (0 + 0.6) x 530 / 3.2 = 99.4, y from 265.0 to 99.4.
  EXPECT_TRUE(has_line(l, "n 99.4 265.0 m 99.4 99.4 l sr"));
  // The limits of the mesh are written in the text window.
  std::string t = s.transcript();
  EXPECT_NE(t.find(" X-limits of mesh: 0.0 to 2.0"), std::string::npos);
  EXPECT_NE(t.find(" Y-limits of mesh: 0.0 to 1.0"), std::string::npos);
  // Drawing is back on the screen afterwards.
  EXPECT_LT(plot_state().actscale, 0);
}

TEST(MeshPicture, RenderedLinesLandWhereTheMappingPutsThem) {
  ScriptedSession s("key n\nkey n\n");
  MeshModel& m = *two_squares();
  const std::string path = write_picture(s, m);
  const std::string png = s.folder() + "/mesh.png";
  std::string messages;
  ASSERT_TRUE(render(path, png, messages)) << messages;
  EXPECT_EQ(messages, "");
  Image img;
  ASSERT_TRUE(read_png(png, img));
  EXPECT_EQ(img.w, 530);
  EXPECT_EQ(img.h, 530);
  // Window -0.6 .. 2.6 in 530 points: 165.625 points per unit, page origin
  // at (42, 162). x = 0, 1, 2 fall at page X 141.4, 307.0, 472.6; y = 0, 1
  // at page Y 261.4, 427.0.
  const double X0 = 141.375, X1 = 307.0, X2 = 472.625, Y0 = 261.375, Y1 = 427.0;
  for (double y : {300.0, 350.0, 400.0}) {   // the three vertical sides
    EXPECT_TRUE(img.dark_near(px(X0), py(y)));
    EXPECT_TRUE(img.dark_near(px(X1), py(y)));
    EXPECT_TRUE(img.dark_near(px(X2), py(y)));
  }
  for (double x : {200.0, 250.0, 380.0, 450.0}) {  // the two horizontal ones
    EXPECT_TRUE(img.dark_near(px(x), py(Y0)));
    EXPECT_TRUE(img.dark_near(px(x), py(Y1)));
  }
  // Inside the elements and outside the mesh the page is white.
  EXPECT_FALSE(img.dark_near(px(224), py(344), 10));
  EXPECT_FALSE(img.dark_near(px(390), py(344), 10));
  EXPECT_FALSE(img.dark_near(px(307), py(550), 10));
  // The frame -0.2 .. 2.2: page X 108.25 and 505.75, Y 228.25 and 625.75.
  EXPECT_TRUE(img.dark_near(px(108.25), py(500)));
  EXPECT_TRUE(img.dark_near(px(505.75), py(500)));
  EXPECT_TRUE(img.dark_near(px(300), py(228.25)));
  EXPECT_TRUE(img.dark_near(px(300), py(625.75)));
}

TEST(MeshPicture, LabelsAndZoomRenderCleanly) {
  ScriptedSession s("key y\nkey y\nline 0 x\nline 0\nline 1\nline 0, 1\n");
  MeshModel& m = *two_squares();
  const std::string path = write_picture(s, m);
  const auto l = lines_of(read_file(path));
  EXPECT_TRUE(has_line(l, "%% element numbers next"));
  EXPECT_TRUE(has_line(l, "%% node numbers next"));
  // Node 6 and element 2 lie outside the zoom and are not numbered.
  bool six = false, two = false;
  for (const auto& x : l) {
    six = six || x.find("(6)") != std::string::npos;
    two = two || x.find("(1)") != std::string::npos;
  }
  EXPECT_FALSE(six);
  EXPECT_TRUE(two);
  std::string t = s.transcript();
  EXPECT_NE(t.find(" Define window:  xmin < x < xmax, ymin < y < ymax."), std::string::npos);
  EXPECT_NE(t.find("Incorrect input: type a real number"), std::string::npos);

  const std::string png = s.folder() + "/zoom.png";
  std::string messages;
  // After the page the operand stack must be empty: labels leave nothing.
  ASSERT_TRUE(render(path, png, messages, "-c \"count =\"")) << messages;
  EXPECT_EQ(messages, "0\n");
  Image img;
  ASSERT_TRUE(read_png(png, img));
  // Zoom box 0..1: window -0.3 .. 1.3, 331.25 points per unit. Side 1-2
  // runs at page Y 261.4 from X 141.4 to 472.6; element 2 is not drawn.
  EXPECT_TRUE(img.dark_near(px(200), py(261.375)));
  EXPECT_TRUE(img.dark_near(px(141.375), py(330)));
  EXPECT_FALSE(img.dark_near(px(540), py(330), 8));
}

TEST(MeshPicture, TallMeshGivesASquareWindowFromItsHeight) {
  ScriptedSession s("key n\nkey n\n");
  MeshModel& m = *two_squares();
  // Turn the mesh on its side: 1 wide, 2 high.
  for (int n = 1; n <= m.npoin; ++n) std::swap(m.coord(n, 1), m.coord(n, 2));
  write_picture(s, m);
  EXPECT_FLOAT_EQ(plot_state().xmin, -0.6f);
  EXPECT_FLOAT_EQ(plot_state().xmax, 2.6f);
  EXPECT_FLOAT_EQ(plot_state().ymin, -0.6f);
  EXPECT_FLOAT_EQ(plot_state().ymax, 2.6f);
}
