#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <png.h>

#include "platform/headless.h"

namespace vortan::test {

ScriptedSession::ScriptedSession(const std::string& script) {
  char templ[] = "/tmp/vortan_test_XXXXXX";
  folder_ = mkdtemp(templ);
  transcript_path_ = folder_ + "/transcript.txt";
  set_platform(std::make_unique<HeadlessPlatform>(parse_script(script, "test script"),
                                                  transcript_path_, folder_));
}

ScriptedSession::~ScriptedSession() {
  set_platform(nullptr);
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

std::string ScriptedSession::transcript() const {
  plat().finish();
  return read_file(transcript_path_);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TestMesh::TestMesh(int ndofn, const std::vector<std::pair<double, double>>& xy) {
  m->ndofn = ndofn;
  m->npros = 1;
  for (auto [x, y] : xy) {
    const int n = ++m->npoin;
    m->coord(n, 1) = x;
    m->coord(n, 2) = y;
    m->ndof(n) = ndofn < 0 ? -ndofn : ndofn;
  }
}

int TestMesh::add(int nside, const Nodes& nodes, int set) {
  const int e = ++m->nelem;
  m->nside(e) = nside;
  m->nnode(e) = static_cast<int>(nodes.size());
  m->matset(e) = set;
  m->mattyp(e) = 1;
  for (size_t k = 0; k < nodes.size(); ++k) m->lnods(e, static_cast<int>(k) + 1) = nodes[k];
  return e;
}

TestMesh::Nodes TestMesh::nodes(int e) const {
  Nodes v;
  for (int k = 1; k <= MNODE; ++k) v.push_back(m->lnods(e, k));
  while (!v.empty() && v.back() == 0) v.pop_back();
  return v;
}

void TestMesh::expect_at(int n, double x, double y) const {
  EXPECT_NEAR(m->coord(n, 1), x, 1e-12) << "node " << n;
  EXPECT_NEAR(m->coord(n, 2), y, 1e-12) << "node " << n;
}

bool read_png_rgb(const std::string& path, int& w, int& h, std::vector<unsigned char>& rgb) {
  png_image pi{};
  pi.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&pi, path.c_str())) return false;
  pi.format = PNG_FORMAT_RGB;
  w = static_cast<int>(pi.width);
  h = static_cast<int>(pi.height);
  rgb.resize(PNG_IMAGE_SIZE(pi));
  return png_image_finish_read(&pi, nullptr, rgb.data(), 0, nullptr) != 0;
}

int Snapshot::at(int x, int y) const {
  const unsigned char* p = &rgb[3 * (y * w + x)];
  for (int c = 0; c < 16; ++c) {
    const Rgb q = plat().fb().palette(c);
    if (q.r == p[0] && q.g == p[1] && q.b == p[2]) return c;
  }
  return -1;
}

bool Snapshot::in_row(int x, int y, int colour) const {
  return at(x - 1, y) == colour || at(x, y) == colour || at(x + 1, y) == colour;
}

bool Snapshot::near(int x, int y, int colour, int r) const {
  for (int j = y - r; j <= y + r; ++j)
    for (int i = x - r; i <= x + r; ++i)
      if (at(i, j) == colour) return true;
  return false;
}

Snapshot snapshot(const ScriptedSession& s, const std::string& name) {
  Snapshot shot;
  if (!read_png_rgb(s.folder() + "/" + name, shot.w, shot.h, shot.rgb)) {
    ADD_FAILURE() << "no snapshot " << name;
    shot.w = 640;
    shot.h = 480;
    shot.rgb.assign(640 * 480 * 3, 0);
  }
  return shot;
}

bool render_eps(const std::string& eps, const std::string& png, std::string& messages,
                const std::string& extra) {
  const std::string log = png + ".log";
  const std::string cmd = "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=png16m -r72 -dEPSCrop "
                          "-sOutputFile=" + png + " " + eps + " " + extra + " > " + log +
                          " 2>&1";
  const int rc = std::system(cmd.c_str());
  messages = read_file(log);
  return rc == 0;
}

bool RenderedPage::dark(double X, double Y, int r) const {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) {
      const int x = static_cast<int>(X - 100) + dx, y = static_cast<int>(700 - Y) + dy;
      if (x < 0 || y < 0 || x >= w || y >= h) continue;
      const unsigned char* p = &rgb[3 * (y * w + x)];
      if (p[0] + p[1] + p[2] < 3 * 128) return true;
    }
  return false;
}

RenderedPage render_page(const std::string& eps) {
  RenderedPage p;
  std::string messages;
  EXPECT_TRUE(render_eps(eps, eps + ".png", messages)) << messages;
  EXPECT_EQ(messages, "");
  EXPECT_TRUE(read_png_rgb(eps + ".png", p.w, p.h, p.rgb));
  return p;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) out.push_back(l);
  return out;
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

}  // namespace vortan::test
