#include "plot.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <span>
#include <vector>

#include "file_replace.h"
#include "line_reader.h"
#include "platform/platform.h"
#include "prompts.h"
#include "records.h"

namespace vortan {

namespace {

PlotState g_plot;

// The PostScript unit and what has been set on it so far. The picture is
// written beside its file and renamed over it only when complete, so an
// earlier picture of that name survives a picture left unfinished.
ReplacingFile g_ps_file;
bool g_ps = false;
std::string g_ps_failure;  // why the last close failed
double g_ps_font = 12;  // the prolog selects 12-point Helvetica-Bold
double g_fill[3] = {1, 1, 1};

void map_for_script(double x, double y, int& ix, int& iy) { MAPPXL(x, y, ix, iy); }

// The picture's text is gathered here and handed to the file in pieces of
// PS_PIECE bytes: a call to the file per record costs more than making the
// record, and pieces this large cost the system no more than one call for
// the whole file. Records are built in place, already in their written form
// (one blank between items, numbers without padding); PS_ROOM is the most
// a record may ask for.
constexpr size_t PS_PIECE = size_t{1} << 18, PS_ROOM = size_t{1} << 16;
std::string g_rec;  // a record built as a text, kept so that it allocates once
char g_buf[PS_PIECE + PS_ROOM];
size_t g_used = 0;

// Everything gathered goes to the file (at the end, or before a long text).
void ps_flush() {
  if (g_used > 0 && g_ps) write_replace(g_ps_file, std::string_view(g_buf, g_used));
  g_used = 0;
}

// A whole piece goes to the file, what follows it is kept.
void ps_flush_piece() {
  if (g_ps) write_replace(g_ps_file, std::string_view(g_buf, PS_PIECE));
  g_used -= PS_PIECE;
  std::memmove(g_buf, g_buf + PS_PIECE, g_used);
}

// Where the next n characters go (n at most PS_ROOM); ps_done takes them,
// up to `end`.
char* ps_room([[maybe_unused]] size_t n) {
  if (g_used >= PS_PIECE) ps_flush_piece();  // less than PS_ROOM is left
  return g_buf + g_used;
}

void ps_done(const char* end) { g_used = static_cast<size_t>(end - g_buf); }

void ps_append(std::string_view text) {
  if (text.size() > PS_ROOM) {
    ps_flush();
    write_replace(g_ps_file, text);
    return;
  }
  char* p = ps_room(text.size());
  std::memcpy(p, text.data(), text.size());
  ps_done(p + text.size());
}

template <size_t N>
char* put_text(char* p, const char (&text)[N]) {
  std::memcpy(p, text, N - 1);
  return p + N - 1;
}

// The decimal digits of 0 to 99, two by two.
constexpr char DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The same pairs as 16-bit words, the first digit in the low byte, to be
// placed into a word of text by shifts.
constexpr auto PAIR_WORDS = [] {
  std::array<std::uint16_t, 100> w{};
  for (unsigned i = 0; i < 100; ++i) w[i] = static_cast<std::uint16_t>(('0' + i / 10) | ('0' + i % 10) << 8);
  return w;
}();

// Stores the eight characters of a word of text, its low byte first.
void store_text8(char* p, std::uint64_t word) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &word, 8);
  } else {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<char>(word >> (8 * i));
  }
}

int digit_count(unsigned v) {
  int n = 1;
  for (; v >= 10; v /= 10) ++n;
  return n;
}

// Ties and forms too wide for their decimal: the field writer decides.
[[gnu::noinline]] char* put_tenths_by_field(char* p, double v, int w) {
  std::string field;
  put_F(field, v, w, 1);
  const size_t first = std::min(field.find_first_not_of(' '), field.size());
  std::memcpy(p, field.data() + first, field.size() - first);
  return p + (field.size() - first);
}

// Values of a million tenths and more, rounded as put_tenths rounds them,
// digits made one pair at a time.
[[gnu::noinline]] char* put_tenths_wide(char* p, double v, int w, double scaled) {
  if (!(scaled < 1e9)) return put_tenths_by_field(p, v, w);  // NaN too
  const auto whole = static_cast<unsigned>(scaled);
  const double frac = scaled - static_cast<double>(whole);  // exact
  if (!(std::fabs(frac - 0.5) > scaled * 1e-15)) return put_tenths_by_field(p, v, w);
  const unsigned q = whole + (frac > 0.5 ? 1 : 0);
  unsigned ip = q / 10;
  const int n = digit_count(ip);
  const bool minus = std::signbit(v);
  if (n + 2 + minus > w) return put_tenths_by_field(p, v, w);
  char* const end = p + n + 2 + minus;
  end[-1] = static_cast<char>('0' + q % 10);
  end[-2] = '.';
  char* t = end - 2;
  for (; ip >= 100; ip /= 100) {  // two digits at a time
    t -= 2;
    std::memcpy(t, DIGIT_PAIRS + 2 * (ip % 100), 2);
  }
  if (ip >= 10)
    std::memcpy(t - 2, DIGIT_PAIRS + 2 * ip, 2);
  else
    t[-1] = static_cast<char>('0' + ip);
  if (minus) *p = '-';
  return end;
}

// put_tenths, made here so that the coordinates' writer has it in line.
inline char* put_tenths_fast(char* p, double v, int w) {
  // From the value's scaled whole number where that is surely the correctly
  // rounded one: the product's own rounding error is far below the margin
  // kept from one half.
  const double scaled = std::fabs(v) * 10;
  if (!(scaled < 999999)) return put_tenths_wide(p, v, w, scaled);  // NaN too
  const auto whole = static_cast<unsigned>(scaled);
  const double frac = scaled - static_cast<double>(whole);  // exact
  if (!(std::fabs(frac - 0.5) > scaled * 1e-15)) return put_tenths_by_field(p, v, w);
  const unsigned q = whole + (frac > 0.5 ? 1 : 0);  // at most 999999
  // The six digits of q (the last its tenth), two at a time: q / 10^4 in
  // 32.32 fixed point (exact below a million), its fraction times 100 twice.
  const std::uint64_t f1 = q * std::uint64_t{429497};
  const std::uint64_t f2 = (f1 & 0xFFFFFFFF) * 100, f3 = (f2 & 0xFFFFFFFF) * 100;
  const std::uint64_t six = PAIR_WORDS[f1 >> 32] | std::uint64_t{PAIR_WORDS[f2 >> 32]} << 16 |
                            std::uint64_t{PAIR_WORDS[f3 >> 32]} << 32;
  // The point goes before the tenth, and the leading zeros are shifted out
  // (all but the units), so the text is made without a branch on its size.
  const int zeros = std::countr_zero((six ^ 0x3030303030) | std::uint64_t{1} << 32) >> 3;
  const int n = 5 - zeros;  // digits before the point
  const bool minus = std::signbit(v);  // -0.0 and what rounds to zero keep it
  if (n + 2 + minus > w) return put_tenths_by_field(p, v, w);
  const std::uint64_t text =
      (six & 0xFFFFFFFFFF) | std::uint64_t{'.'} << 40 | (six >> 40) << 48;
  *p = '-';
  p += minus;
  store_text8(p, text >> (8 * zeros));
  return p + n + 2;
}

// The text of recent coordinates by their bits: a picture writes the same
// coordinate many times over (the ends of neighbouring sides, the lines of
// a grid), so many are copied rather than made. A coordinate's text has at
// most 7 characters: the eighth byte of the word holds the count.
struct CoordText {
  std::uint64_t bits = ~std::uint64_t{0};  // no coordinate: a NaN's bits
  std::uint64_t text = 0;
};
CoordText g_coord_texts[2048];

std::uint64_t load_text8(const char* p) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
  } else {
    std::uint64_t word = 0;
    for (int i = 0; i < 8; ++i) word |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    return word;
  }
}

// A coordinate not among the recent ones: made in place, and kept.
[[gnu::noinline]] char* put_new_pt(char* p, CoordText& c, std::uint64_t bits, double v) {
  char* const end = put_tenths_fast(p, v, 7);
  const auto size = static_cast<std::uint64_t>(end - p);
  c.text = (load_text8(p) & 0x00FFFFFFFFFFFFFF) | size << 56;
  c.bits = bits;
  return end;
}

// Appends a coordinate in points that lies on the page (|v| <= PS_REACH).
// The count byte of a copied text lands past its end, where the record goes on.
inline char* put_page_pt(char* p, double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  CoordText& c = g_coord_texts[(bits * 0x9E3779B97F4A7C15ULL) >> 53];
  if (c.bits != bits) return put_new_pt(p, c, bits, v);
  store_text8(p, c.text);
  return p + (c.text >> 56);
}

// A coordinate held to what a page can show, so that it is always a plain
// PostScript number (the drawing routines clip to this range first; this is
// the last guard).
double held_to_page(double v) {
  return std::isfinite(v) ? std::clamp(v, -PS_REACH, PS_REACH) : 0.0;
}

// Appends a coordinate in points, as the PostScript records carry it.
char* put_pt(char* p, double v) { return put_page_pt(p, held_to_page(v)); }

// A filled polygon's coordinate: held to half the reach and rounded to its
// tenth, half-way away from zero (std::round's rule, without its call).
inline double fill_tenths(double v) {
  const double t = std::clamp(v, -0.5 * PS_REACH, 0.5 * PS_REACH) * 10;
  const auto whole = static_cast<long>(t);  // toward zero
  const double rest = t - static_cast<double>(whole);  // exact
  const long r = whole + (rest >= 0.5) - (rest <= -0.5);
  return std::copysign(static_cast<double>(r), t) / 10;  // -0.0 kept, as std::round keeps it
}

bool on_page(double x, double y) {
  return std::fabs(x) <= PS_REACH && std::fabs(y) <= PS_REACH;  // false for NaN
}

// Appends a point's two coordinates, a blank between them.
char* put_pt2(char* p, double x, double y) {
  p = put_pt(p, x);
  *p++ = ' ';
  return put_pt(p, y);
}

// The nearest whole pixel, half-way away from zero, as std::lround gives
// it; without a library call, for the many points of a picture.
int nearest_pixel(double v) {
  if (std::isnan(v)) return static_cast<int>(std::lround(v));
  const long whole = static_cast<long>(v);  // toward zero; v is held to the pixel range
  const double rest = v - static_cast<double>(whole);
  return static_cast<int>(rest >= 0.5 ? whole + 1 : rest <= -0.5 ? whole - 1 : whole);
}

// World point to pixel, unrounded, held to a range the screen routines take.
void map_exact(double x, double y, double& fx, double& fy) { ScreenMapping().map(x, y, fx, fy); }

// The clipped segment's ends, at parameters t0 and t1 along it.
bool ends_at(double& x1, double& y1, double& x2, double& y2, double t0, double t1, double dx,
             double dy) {
  double ax = x1 + t0 * dx, ay = y1 + t0 * dy;
  x2 = x1 + t1 * dx;
  y2 = y1 + t1 * dy;
  x1 = ax;
  y1 = ay;
  return true;
}

// Clips the segment to the box (Liang-Barsky); false when nothing of it
// lies inside, or a coordinate is not finite.
bool clip_segment(double& x1, double& y1, double& x2, double& y2, double left, double right,
                  double bottom, double top) {
  double t0 = 0, t1 = 1, dx = x2 - x1, dy = y2 - y1;
  // Both ends inside (most segments): the parameters stay 0 and 1.
  if (x1 >= left && x1 <= right && x2 >= left && x2 <= right && y1 >= bottom && y1 <= top &&
      y2 >= bottom && y2 <= top && std::isfinite(dx) && std::isfinite(dy))
    return ends_at(x1, y1, x2, y2, t0, t1, dx, dy);
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
    return false;
  if (!std::isfinite(dx) || !std::isfinite(dy)) {  // ends at opposite extremes: halved
    x1 *= 0.5, y1 *= 0.5, x2 *= 0.5, y2 *= 0.5, left *= 0.5, right *= 0.5, bottom *= 0.5,
        top *= 0.5;
    const bool in = clip_segment(x1, y1, x2, y2, left, right, bottom, top);
    x1 *= 2, y1 *= 2, x2 *= 2, y2 *= 2;
    return in;
  }
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - left, right - x1, y1 - bottom, top - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
    } else {
      double r = q[i] / p[i];
      if (p[i] < 0) {
        if (r > t1) return false;
        t0 = std::max(t0, r);
      } else {
        if (r < t0) return false;
        t1 = std::min(t1, r);
      }
    }
  }
  return ends_at(x1, y1, x2, y2, t0, t1, dx, dy);
}

// Clips the pixel segment to the drawing area; false when nothing of it
// lies inside. Keeps world drawing off the toolbar and heading.
bool clip_to_area(double& x1, double& y1, double& x2, double& y2) {
  return clip_segment(x1, y1, x2, y2, AREA_X1 - 0.49, AREA_X2 + 0.49, AREA_Y1 - 0.49,
                      AREA_Y2 + 0.49);
}

bool in_area(int ix, int iy) {
  return ix >= AREA_X1 && ix <= AREA_X2 && iy >= AREA_Y1 && iy <= AREA_Y2;
}

// Baseline shift of a label in points for the vertical part of its code.
double baseline_shift(int code, double size) {
  switch (code / 10) {
    case 1: return -0.35 * size;
    case 2: return -1.0 * size;
    case 3: return 0.3 * size;
    default: return 0.0;
  }
}

// Text for a PostScript string, at p (room for four characters a byte):
// the characters that would end or escape the string are escaped, and bytes
// outside printable ASCII written as octal escapes, so no title or label
// can break the file.
char* put_ps_string(char* p, std::string_view s) {
  for (char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 32 || b > 126) {
      *p++ = '\\';
      *p++ = static_cast<char>('0' + (b >> 6));
      *p++ = static_cast<char>('0' + ((b >> 3) & 7));
      *p++ = static_cast<char>('0' + (b & 7));
      continue;
    }
    if (c == '(' || c == ')' || c == '\\') *p++ = '\\';
    *p++ = c;
  }
  return p;
}

// A coordinate label along the frame: four significant digits.
std::string coord_text(double v) {
  if (std::fabs(v) < 1.0e-30) v = 0.0;
  return fmt_general(v, 4);
}

void screen_label(double x, double y, const std::string& text, int code, int colour) {
  int ix, iy;
  MAPPXL(x, y, ix, iy);
  if (!in_area(ix, iy)) return;
  const int w = Framebuffer::text_width(text);
  int h = code % 10;
  int left = h == AL_CENTRE ? ix - w / 2 : h == AL_RIGHT ? ix - w : ix;
  int top;
  switch (code / 10) {
    case 1: top = iy - 6; break;                                // middle
    case 2: top = iy + 2; break;                                // below
    case 3: top = iy - Framebuffer::text_height() - 1; break;  // above
    default: top = iy - (Framebuffer::text_height() - 3); break;  // baseline
  }
  plat().fb().text(left, top, text, colour);
  plat().graphics_update();
}

}  // namespace

char* put_tenths(char* p, double v, int w) { return put_tenths_fast(p, v, w); }

PlotState& plot_state() { return g_plot; }

void set_ps_mode(bool on) {
  g_plot.actscale = on ? std::fabs(g_plot.psscale) : -std::fabs(g_plot.psscale);
}

float font_size_from_tex(const std::string& path) {
  float size = 10;
  std::ifstream in;
  if (!open_input(in, path)) return size;
  static const char* const keys[] = {"rrmm=cmr10 at", "rrmm=cmr7 at", "rrmm=cmr5 at"};
  std::string line;
  // A line too long for the reader ends the reading: the file is not a
  // font definition file.
  for (int count = 0; count < 999 && next_line(in, line); ++count) {
    line = line.substr(0, 60);
    if (line.empty() || line[0] == '%') continue;
    for (const char* key : keys) {
      size_t k = line.find(key);
      if (k == std::string::npos) continue;
      size_t start = k + std::string(key).size();
      size_t end = line.find("truept", start);
      if (end == std::string::npos) continue;
      double v;
      // Only a readable, positive size is taken; anything else is passed by.
      if (parse_real_field(line.substr(start, end - start), 0, v) && v > 0 && v < 1000)
        size = static_cast<float>(v);
      break;
    }
  }
  return size;
}

void STPLOT(double xmin, double xmax, double ymin, double ymax, double& charsize,
            double divisor) {
  PlotState& p = g_plot;
  p.xmin = static_cast<float>(xmin);
  p.xmax = static_cast<float>(xmax);
  p.ymin = static_cast<float>(ymin);
  p.ymax = static_cast<float>(ymax);
  p.xoff = p.yoff = 0;
  p.colour = 15;
  p.fontsize = font_size_from_tex();
  p.width = p.xmax - p.xmin;
  p.height = p.ymax - p.ymin;
  if (p.actscale <= 0) {
    plat().graphics_open();
    plat().fb().fill_rect(0, 34, 639, 479, BACKGROUND);
    plat().graphics_update();
  }
  float big = std::max(p.width, p.height);
  if (!(big > 0)) big = 1;  // a window without extent draws at unit scale
  charsize = big * 0.1 / (divisor == 0 ? 1 : divisor);
  p.charsize = static_cast<float>(charsize);
  p.psscale = 530.0f / big;
  p.actscale = -p.psscale;
  plat().set_world_mapper(map_for_script);
}

ScreenMapping::ScreenMapping()
    : per_x(480.0 / (g_plot.width != 0 ? g_plot.width : 1)), xmin(g_plot.xmin), xoff(g_plot.xoff),
      ymax(g_plot.ymax), height(g_plot.height != 0 ? g_plot.height : 1), yoff(g_plot.yoff) {}

void MAPPXL(double x, double y, int& ix, int& iy) {
  double fx, fy;
  map_exact(x, y, fx, fy);
  ix = nearest_pixel(fx);
  iy = nearest_pixel(fy);
}

void PXLMAP(int ix, int iy, double& x, double& y) {
  const PlotState& p = g_plot;
  double w = p.width != 0 ? p.width : 1, h = p.height != 0 ? p.height : 1;
  x = p.xmin + (ix - p.xoff) * w / 480.0;
  y = p.ymax - (iy - p.yoff) * h / 480.0;
}

double XTOPT(double x) { return (x - g_plot.xmin) * g_plot.psscale; }
double YTOPT(double y) { return (y - g_plot.ymin) * g_plot.psscale; }

// --- lines and shapes ----------------------------------------------------

void JOINPS(const double p1[2], const double p2[2]) {
  // Only the part that a page can show is written, in its own direction.
  if (!g_ps) return;
  double x1 = XTOPT(p1[0]), y1 = YTOPT(p1[1]), x2 = XTOPT(p2[0]), y2 = YTOPT(p2[1]);
  if (!on_page(x1, y1) || !on_page(x2, y2)) {  // most segments lie on the page as they are
    if (!clip_segment(x1, y1, x2, y2, -PS_REACH, PS_REACH, -PS_REACH, PS_REACH)) return;
    x1 = held_to_page(x1), y1 = held_to_page(y1), x2 = held_to_page(x2), y2 = held_to_page(y2);
  }
  char* p = put_text(ps_room(64), "n ");
  p = put_page_pt(p, x1);
  *p++ = ' ';
  p = put_text(put_page_pt(p, y1), " m ");
  p = put_page_pt(p, x2);
  *p++ = ' ';
  p = put_text(put_page_pt(p, y2), " l sr\n");
  ps_done(p);
}

void JOINP(const double p1[2], const double p2[2]) {
  if (ps_mode()) {
    JOINPS(p1, p2);
    return;
  }
  double x1, y1, x2, y2;
  map_exact(p1[0], p1[1], x1, y1);
  map_exact(p2[0], p2[1], x2, y2);
  if (!clip_to_area(x1, y1, x2, y2)) return;
  plat().fb().line(nearest_pixel(x1), nearest_pixel(y1), nearest_pixel(x2), nearest_pixel(y2),
                   g_plot.colour);
  plat().graphics_update();
}

void JOINP1(double x1, double y1, double x2, double y2) {
  const double a[2] = {x1, y1}, b[2] = {x2, y2};
  if (ps_mode())
    JOINPS(a, b);  // the picture's many sides go straight to the records
  else
    JOINP(a, b);
}

void POLY(int n, const double* xs, const double* ys) {
  for (int i = 1; i < n; ++i) JOINP1(xs[i - 1], ys[i - 1], xs[i], ys[i]);
}

void GPOLY(int n, const double* xs, const double* ys) { POLY(n, xs, ys); }

void GPOLY1(int n, const double (*pts)[2]) {
  for (int i = 1; i < n; ++i) JOINP(pts[i - 1], pts[i]);
}

void GPOLY2(int n, const double* xs, const double* ys) { POLY(n, xs, ys); }

void GGBOX(double x1, double x2, double y1, double y2) {
  JOINP1(x1, y1, x2, y1);
  JOINP1(x2, y1, x2, y2);
  JOINP1(x2, y2, x1, y2);
  JOINP1(x1, y2, x1, y1);
}

void MARPT(double x, double y, double half) {
  JOINP1(x - half, y, x + half, y);
  JOINP1(x, y - half, x, y + half);
}

namespace {

// FILPOL's PostScript: a polygon with a point that cannot be mapped is not
// drawn; the others are held to half the reach, so that the moves between
// them stay within it too. Vertices after the first go as differences of
// the rounded positions, so the path closes exactly where it began; five
// moves to a record.
void fill_ps(int n, const double* xs, const double* ys) {
  if (!g_ps) return;
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(XTOPT(xs[i])) || !std::isfinite(YTOPT(ys[i]))) return;
  double px = fill_tenths(XTOPT(xs[0])), py = fill_tenths(YTOPT(ys[0]));
  char* p = put_text(ps_room(32), "n ");
  p = put_text(put_pt2(p, px, py), " m\n");
  ps_done(p);
  for (int i = 1; i < n; ++i) {
    if (i % 5 == 1) p = ps_room(128);
    const double qx = fill_tenths(XTOPT(xs[i])), qy = fill_tenths(YTOPT(ys[i]));
    p = put_page_pt(p, qx - px);  // within the reach: both ends are within half of it
    *p++ = ' ';
    p = put_text(put_page_pt(p, qy - py), " r");
    *p++ = i % 5 == 0 || i == n - 1 ? '\n' : ' ';
    ps_done(p);
    px = qx;
    py = qy;
  }
  p = put_text(ps_room(8), "ggg\n");
  ps_done(p);
}

}  // namespace

void FILPOL(int n, const double* xs, const double* ys, int colour) {
  if (n < 1 || n >= 4000) return;
  if (ps_mode()) {
    fill_ps(n, xs, ys);
    return;
  }
  // Unrounded, so that neighbouring fills meet along their common edges.
  double px[4000], py[4000];
  const ScreenMapping screen;
  for (int i = 0; i < n; ++i) screen.map(xs[i], ys[i], px[i], py[i]);
  fill_pixels(n, px, py, colour);
}

void fill_pixels(int n, const double* px, const double* py, int colour) {
  if (n < 1 || n >= 4000) return;
  plat().fb().fill_polygon(std::span<const double>(px, n), std::span<const double>(py, n), colour);
  plat().graphics_update();
}

void SETCOL(int colour) { g_plot.colour = static_cast<short>(colour & 15); }

void PENWID(double) {}

// --- labels ----------------------------------------------------------------

void PSLAB(double x, double y, const std::string& text, int code) {
  // A label whose point lies beyond what a page can show is left out.
  if (!g_ps || !on_page(XTOPT(x), YTOPT(y))) return;
  if (g_ps_font != g_plot.fontsize) {
    char* p = put_text(ps_room(64), "/Helvetica-Bold findfont ");
    p = put_text(put_tenths(p, g_plot.fontsize, 6), " scalefont setfont\n");
    ps_done(p);
    g_ps_font = g_plot.fontsize;
  }
  const char* op = code % 10 == AL_CENTRE ? "cent" : code % 10 == AL_RIGHT ? "righ" : "show";
  // "cent" and "righ" leave their string on the operand stack; it is popped
  // so that many labels cannot overflow a printer's stack.
  const char* tail = code % 10 == AL_CENTRE || code % 10 == AL_RIGHT ? " pop" : "";
  const size_t room = 64 + 4 * text.size();
  if (room > PS_ROOM) {  // a text longer than any label: through a string of its own
    std::string r(room, ' ');
    char* p = put_pt2(r.data(), XTOPT(x), YTOPT(y) + baseline_shift(code, g_plot.fontsize));
    p = put_ps_string(put_text(p, " m ("), text);
    r.resize(static_cast<size_t>(p - r.data()));
    ((r += ") ") += op) += tail;
    PSREC(r);
    return;
  }
  char* p = put_pt2(ps_room(room), XTOPT(x), YTOPT(y) + baseline_shift(code, g_plot.fontsize));
  p = put_ps_string(put_text(p, " m ("), text);
  p = put_text(p, ") ");
  std::memcpy(p, op, 4);
  p += 4;
  if (*tail) p = put_text(p, " pop");
  *p++ = '\n';
  ps_done(p);
}

void BLANKR(double x, double y, int chars) {
  if (!ps_mode() || g_plot.psscale == 0) return;
  const double fs = g_plot.fontsize, s = g_plot.psscale;
  const double half_w = (0.3 * fs * chars + 1.0) / s, half_h = 0.45 * fs / s;
  const double old[3] = {g_fill[0], g_fill[1], g_fill[2]};
  const bool white = old[0] == 1 && old[1] == 1 && old[2] == 1;
  if (!white) PSFILL(1, 1, 1);
  const double xs[4] = {x - half_w, x + half_w, x + half_w, x - half_w};
  const double ys[4] = {y - half_h, y - half_h, y + half_h, y + half_h};
  FILPOL(4, xs, ys, 0);
  if (!white) PSFILL(old[0], old[1], old[2]);
}

void LABPT1(double x, double y, const std::string& text, int code, int colour) {
  if (ps_mode())
    PSLAB(x, y, text, code);
  else
    screen_label(x, y, text, code, colour);
}

void LABPT(double x, double y, const std::string& text, int code) {
  LABPT1(x, y, text, code, g_plot.colour);
}

void LABPTZ(double x, double y, const std::string& text, int code) {
  const PlotState& p = g_plot;
  if (x < p.xmin || x > p.xmax || y < p.ymin || y > p.ymax) return;
  LABPT(x, y, text, code);
}

void LABPTI(double x, double y, long value, int code) {
  const std::string t = fmt_I(value, 8);
  LABPT(x, y, t.substr(std::min(t.find_first_not_of(' '), t.size())), code);
}

// --- frame and axes ----------------------------------------------------------

void AXES(double xmin, double xmax, double ymin, double ymax) {
  if (ymin <= 0 && ymax >= 0) JOINP1(xmin, 0, xmax, 0);
  if (xmin <= 0 && xmax >= 0) JOINP1(0, ymin, 0, ymax);
}

void FRAME(double xmin, double xmax, double ymin, double ymax) { GGBOX(xmin, xmax, ymin, ymax); }

void SLABEL(double xmin, double xmax, double ymin, double ymax, double charsize) {
  // x values under the bottom edge (the end values kept inside the ends), y
  // values to the right of the right edge, where the page and the screen
  // have room; the two sets never meet at the corner.
  const double gap = 0.5 * std::fabs(charsize);
  LABPT1(xmin, ymin - gap, coord_text(xmin), AL_LEFT + AL_BELOW, 15);
  LABPT1(0.5 * (xmin + xmax), ymin - gap, coord_text(0.5 * (xmin + xmax)), AL_CENTRE + AL_BELOW,
         15);
  LABPT1(xmax, ymin - gap, coord_text(xmax), AL_RIGHT + AL_BELOW, 15);
  const double yv[3] = {ymin, 0.5 * (ymin + ymax), ymax};
  for (double v : yv) LABPT1(xmax + gap, v, coord_text(v), AL_LEFT + AL_MIDDLE, 15);
}

void FAXES(double xmin, double xmax, double ymin, double ymax, double charsize, int code) {
  const short old = g_plot.colour;
  SETCOL(15);
  if (code > 0)
    AXES(xmin, xmax, ymin, ymax);
  else
    FRAME(xmin, xmax, ymin, ymax);
  SLABEL(xmin, xmax, ymin, ymax, charsize);
  g_plot.colour = old;
}

// --- ending a plot -----------------------------------------------------------

void ENPLOT() {
  GETKZZ();
  plat().graphics_close();
  PSEND();
}

void ENPLO1() {
  plat().fb().fill_rect(AREA_X1, AREA_Y1, AREA_X2, AREA_Y2, BACKGROUND);
  plat().graphics_update();
}

void ENPLO2() {
  READLN();
  plat().graphics_close();
  PSEND();
}

// --- the PostScript unit -------------------------------------------------------

bool PSOPEN(const std::string& path) {
  if (g_ps) PSCLOS();
  g_used = 0;
  g_ps = begin_replace(g_ps_file, path);
  g_ps_font = 12;
  g_fill[0] = g_fill[1] = g_fill[2] = 1;
  return g_ps;
}

bool PSCLOS() {
  if (!g_ps) return false;
  ps_flush();
  g_ps = false;
  if (commit_replace(g_ps_file)) return true;
  g_ps_failure = std::strerror(g_ps_file.error);
  abandon_replace(g_ps_file);
  return false;
}

bool ps_open() { return g_ps; }

void ps_hand_over() { ps_flush(); }

UnfinishedPicture::~UnfinishedPicture() {
  if (!g_ps) return;
  g_ps = false;
  g_used = 0;
  abandon_replace(g_ps_file);
  std::error_code ec;
  const bool earlier = std::filesystem::exists(path, ec);
  ending_note("PostScript file " + path + " not written: the picture was not complete" +
              (earlier ? "; the earlier " + path + " is kept." : "."));
}

bool picture_box_fits(double xmin, double xmax, double ymin, double ymax) {
  for (double v : {xmin, xmax, ymin, ymax})
    if (!(std::fabs(v) <= PICTURE_REACH)) return false;  // false for NaN too
  return true;
}

std::string picture_refusal(const std::string& path) {
  return "Cannot draw " + path + ": its window reaches beyond " + fmt_general(PICTURE_REACH, 4) +
         " - no PostScript file written.";
}

void refuse_picture() {
  // Given up before it is put in place: the earlier file of its name stays.
  if (g_ps) abandon_replace(g_ps_file);
  g_ps = false;
  g_used = 0;
  throw PictureRefused{};
}

void write_ps_picture(const std::string& path, const std::function<void()>& draw) {
  if (!PSOPEN(path)) {
    WRLINE("Cannot open " + path + " for output - no PostScript file written.");
    WRLINE(replace_failure(g_ps_file));
    return;
  }
  UnfinishedPicture unfinished{path};
  try {
    draw();
  } catch (const PictureRefused&) {
    set_ps_mode(false);
    WRLINE(picture_refusal(path));
    return;
  }
  if (PSCLOS())
    WRLINE("PostScript file " + path + " written.");
  else
    WRLINE("Error writing " + path + ": " + g_ps_failure + " - no PostScript file written.");
}

void PSREC(const std::string& record) {
  if (!g_ps) return;
  ps_append(record);
  ps_append("\n");
}

void REMBL(const std::string& record) {
  std::string out;
  int depth = 0;  // inside a label string blanks are kept as written
  bool escaped = false;  // the character follows an escaping backslash
  for (size_t i = 0; i < record.size(); ++i) {
    char c = record[i];
    if (c == '(' && !escaped) ++depth;
    if (c == ')' && !escaped && depth > 0) --depth;
    escaped = depth > 0 && c == '\\' && !escaped;
    if (c == ' ' && depth == 0 && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  PSREC(out);
}

void PSBEG() {
  static const char* const prolog[] = {
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
  for (const char* r : prolog) PSREC(r);
  g_ps_font = 12;
  g_fill[0] = g_fill[1] = g_fill[2] = 1;
}

void PSEND() {
  if (!g_ps) return;
  PSREC("grestore");
  PSREC("showpage % Allowed by EPS!");
  PSREC("%%Trailer");
}

void PSFILL(double r, double g, double b) {
  auto unit = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 1.0; };
  r = unit(r), g = unit(g), b = unit(b);
  g_fill[0] = r;
  g_fill[1] = g;
  g_fill[2] = b;
  if (!g_ps) return;
  std::string& rec = g_rec;
  rec.assign("/fillcolory [");
  put_F(rec, r, 5, 2);
  put_F(rec, g, 5, 2);
  put_F(rec, b, 5, 2);
  rec += "] def";
  PSREC(rec);
}

}  // namespace vortan
