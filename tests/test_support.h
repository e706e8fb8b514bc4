// Helpers for unit tests: run routines against the headless platform with a
// small session script and read back what the user would have seen.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "mesh_model.h"

#include "platform/platform.h"

namespace vortan::test {

class ScriptedSession {
 public:
  // `script` holds session-script events, one per line.
  explicit ScriptedSession(const std::string& script);
  ~ScriptedSession();
  // The transcript so far, the text line in progress included.
  std::string transcript() const;
  // A fresh folder for files the test writes; removed afterwards.
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::string transcript_path_;
};

// Whole contents of a file, or empty when it cannot be read.
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& text);

// A small mesh built in a test: nodes from a list of points, elements
// added one by one.
struct TestMesh {
  using Nodes = std::vector<int>;
  std::unique_ptr<MeshModel> m = std::make_unique<MeshModel>();
  // Nodes 1, 2, ... at the points, each with abs(ndofn) d.o.f.; one
  // property set.
  TestMesh(int ndofn, const std::vector<std::pair<double, double>>& xy);
  // Adds an element in property set `set`; returns its number.
  int add(int nside, const Nodes& nodes, int set = 1);
  // The element's row of node numbers without its trailing zeros.
  Nodes nodes(int e) const;
  void expect_at(int n, double x, double y) const;
};

// Reads a PNG file as RGB, 3 bytes a pixel, rows from the top.
bool read_png_rgb(const std::string& path, int& w, int& h, std::vector<unsigned char>& rgb);

// A picture the session wrote (a `snapshot` event), read as palette indices
// of the current palette.
struct Snapshot {
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
  // The palette index of the pixel; -1 for a colour outside the palette.
  int at(int x, int y) const;
  // True when the pixel or one beside it in its row has the colour.
  bool in_row(int x, int y, int colour) const;
  // True when a pixel of the colour lies within r of (x, y) across and down.
  bool near(int x, int y, int colour, int r) const;
};
// The snapshot `name` in the session's folder; a missing one fails the
// test and reads as a black screen.
Snapshot snapshot(const ScriptedSession& s, const std::string& name);
// Renders an EPS file with Ghostscript at 72 dpi, cropped to its bounding
// box, into the PNG file `png`; `messages` gets what Ghostscript printed.
// False when Ghostscript failed.
bool render_eps(const std::string& eps, const std::string& png, std::string& messages,
                const std::string& extra = "");

// An EPS page rendered at 72 dpi and cropped to the bounding box
// 100 170 630 700: page point (X, Y) is image pixel (X - 100, 700 - Y).
struct RenderedPage {
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
  // True when a pixel within r of page point (X, Y) is dark.
  bool dark(double X, double Y, int r = 1) const;
};
// Renders the EPS file, expecting Ghostscript to succeed without a word.
RenderedPage render_page(const std::string& eps);

// The lines of a text, without their line ends.
std::vector<std::string> lines_of(const std::string& text);

// Runs f and returns the ProgramExit it throws; a status of -1 (and a test
// failure) when f returns normally.
template <class F>
ProgramExit exit_of(F f) {
  try {
    f();
  } catch (const ProgramExit& e) {
    return e;
  }
  ADD_FAILURE() << "the routine did not end the program";
  return ProgramExit{-1, ""};
}

}  // namespace vortan::test
