#include "records.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vortan {

namespace {

// Appends `n` characters of `text` right-aligned in a field of w.
void put_right(std::string& s, const char* text, int n, int w) {
  if (n < w) s.append(w - n, ' ');
  s.append(text, n);
}

void put_stars(std::string& s, int w) { s.append(w, '*'); }

// Appends the text p..end, built at the end of a buffer of 64, right-aligned
// in w (asterisks when wider): the blanks go in before it in the buffer, so
// the field is appended at once.
void append_padded(std::string& s, char* p, char* const end, int w) {
  const int n = static_cast<int>(end - p);
  if (n > w) return put_stars(s, w);
  if (w > 64) return put_right(s, p, n, w);
  while (end - p < w) *--p = ' ';
  s.append(p, w);
}

// Longest text any field is built in: every field of the files is far
// narrower, and a fixed form that needs more does not fit its field.
constexpr int FIELD_BUF = 128;

// |v| in fixed point with d decimals, correctly rounded; its length, or -1
// when it needs more than the buffer holds.
int fixed_text(double a, int d, char (&buf)[FIELD_BUF]) {
  const auto r = std::to_chars(buf, buf + FIELD_BUF - 1, a, std::chars_format::fixed, d);
  return r.ec == std::errc() ? static_cast<int>(r.ptr - buf) : -1;
}

// The exponent form sign 0.ddd E+xx of v with d mantissa digits, the
// leading zero dropped when the field needs the room; false when it does
// not fit in w.
bool put_exponent(std::string& s, double v, int w, int d) {
  d = std::clamp(d, 1, 40);
  // Mantissa digits of |v| and its exponent as 0.ddd x 10^e, correctly
  // rounded to d digits (to_chars gives d.dd..e+xx).
  char sci[FIELD_BUF];
  char digits[48];
  int e = 0;
  const double a = std::fabs(v);
  if (a == 0.0) {
    std::fill(digits, digits + d, '0');
  } else {
    const auto r = std::to_chars(sci, sci + FIELD_BUF, a, std::chars_format::scientific, d - 1);
    const char* p = sci;
    int n = 0;
    for (; p < r.ptr && *p != 'e'; ++p)
      if (*p != '.') digits[n++] = *p;
    if (p < r.ptr) std::from_chars(p + (p[1] == '+' ? 2 : 1), r.ptr, e);
    ++e;
  }
  char text[FIELD_BUF];
  int n = 0;
  if (v < 0) text[n++] = '-';
  text[n++] = '0';
  text[n++] = '.';
  std::copy(digits, digits + d, text + n);
  n += d;
  const int ae = std::abs(e);
  if (ae <= 99) {  // E+xx; a three-digit exponent drops the E
    text[n++] = 'E';
    text[n++] = e < 0 ? '-' : '+';
  } else {
    text[n++] = e < 0 ? '-' : '+';
    text[n++] = static_cast<char>('0' + ae / 100 % 10);
  }
  text[n++] = static_cast<char>('0' + ae / 10 % 10);
  text[n++] = static_cast<char>('0' + ae % 10);
  const char* t = text;
  if (n > w && v < 0) {  // "-0." loses its zero first
    text[1] = '-';
    ++t;
    --n;
  } else if (n > w) {  // then "0." its zero
    ++t;
    --n;
  }
  if (n > w) return false;
  put_right(s, t, n, w);
  return true;
}

// The fixed form of v with d decimals from its scaled whole number, when
// that is sure to be the correctly rounded one: |v| x 10^d well inside the
// doubles' whole numbers and its fraction not within a few units in the
// last place of one half, where the product's own rounding could decide.
// False, with nothing written, when unsure or the form does not fit in w.
bool put_fixed_fast(std::string& s, double v, int w, int d) {
  static constexpr double POW10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  static constexpr unsigned long long IPOW10[] = {1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL,
                                                  100000ULL, 1000000ULL, 10000000ULL,
                                                  100000000ULL, 1000000000ULL};
  if (d < 0 || d > 9) return false;
  const double scaled = std::fabs(v) * POW10[d];
  if (!(scaled < 1e15)) return false;  // NaN and infinities too
  const double whole = std::floor(scaled);
  const double frac = scaled - whole;  // exact
  if (std::fabs(frac - 0.5) <= scaled * 1e-15) return false;
  const unsigned long long q = static_cast<unsigned long long>(whole) + (frac > 0.5 ? 1 : 0);
  char buf[64];
  char* const end = buf + sizeof buf;
  char* p = end;
  unsigned long long rest = q % IPOW10[d], ip = q / IPOW10[d];
  if (d == 0) *--p = '.';  // the point is always written
  for (int k = 0; k < d; ++k) {
    *--p = static_cast<char>('0' + rest % 10);
    rest /= 10;
  }
  if (d > 0) *--p = '.';
  do {
    *--p = static_cast<char>('0' + ip % 10);
    ip /= 10;
  } while (ip != 0);
  if (std::signbit(v)) *--p = '-';  // -0.0 and values rounding to zero keep it
  if (end - p > w) return false;
  append_padded(s, p, end, w);
  return true;
}

}  // namespace

void put_I(std::string& s, long v, int w) {
  // Digits from the last, straight into a small buffer with the padding.
  char buf[64];
  char* const end = buf + sizeof buf;
  char* p = end;
  unsigned long u = v < 0 ? 0UL - static_cast<unsigned long>(v) : static_cast<unsigned long>(v);
  do {
    *--p = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (v < 0) *--p = '-';
  append_padded(s, p, end, w);
}

void put_F(std::string& s, double v, int w, int d) {
  if (put_fixed_fast(s, v, w, d)) return;
  // A value too wide for d decimals keeps as many decimals as fit, down to
  // none, so a large coordinate loses only its fraction. The point is always
  // written: a field without one would be read with implied decimals.
  if (!std::isfinite(v)) return put_stars(s, w);
  char buf[FIELD_BUF];
  for (int dd = d; dd >= 0; --dd) {
    // The sign goes on by to_chars itself, so -0.0 and values that round
    // to zero keep their minus as they always have.
    const auto r = std::to_chars(buf, buf + FIELD_BUF - 1, v, std::chars_format::fixed, dd);
    if (r.ec != std::errc()) break;  // far too wide for any field
    int n = static_cast<int>(r.ptr - buf);
    if (dd == 0) buf[n++] = '.';
    if (n <= w) return put_right(s, buf, n, w);
  }
  // No fixed form fits: the exponent form with as many digits as the width
  // holds (the readers accept both forms).
  for (int digits = w - 5; digits >= 1; --digits)
    if (put_exponent(s, v, w, digits)) return;
  put_stars(s, w);
}

void put_E(std::string& s, double v, int w, int d) {
  if (!std::isfinite(v) || !put_exponent(s, v, w, d)) put_stars(s, w);
}

void put_G(std::string& s, double v, int w, int d) {
  if (!std::isfinite(v)) return put_stars(s, w);
  const double a = std::fabs(v);
  if (a == 0.0) {
    put_F(s, 0.0, w - 4, d - 1);
    s.append(4, ' ');
    return;
  }
  if (a >= 0.1 - 0.5 * std::pow(10.0, -d - 1) && a < std::pow(10.0, d) - 0.5) {
    int k = static_cast<int>(std::floor(std::log10(a))) + 1;  // digits before the point
    if (k < 0) k = 0;
    // Rounding may carry into one more digit before the point.
    char buf[FIELD_BUF];
    const int n = fixed_text(a, std::max(d - k, 0), buf);
    double rounded = 0;
    std::from_chars(buf, buf + std::max(n, 0), rounded);
    if (rounded >= std::pow(10.0, k) && k < d) ++k;
    put_F(s, v, w - 4, std::max(d - k, 0));
    s.append(4, ' ');
    return;
  }
  put_E(s, v, w, d);
}

namespace {

std::string printf_form(double v, std::chars_format form, int p) {
  char buf[FIELD_BUF];
  const auto r = std::to_chars(buf, buf + FIELD_BUF, v, form, p);
  std::string s(buf, r.ec == std::errc() ? r.ptr : buf);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string fmt_general(double v, int p) { return printf_form(v, std::chars_format::general, p); }

std::string fmt_scientific(double v, int p) {
  return printf_form(v, std::chars_format::scientific, p);
}

std::string fmt_I(long v, int w) {
  std::string s;
  put_I(s, v, w);
  return s;
}

std::string fmt_F(double v, int w, int d) {
  std::string s;
  put_F(s, v, w, d);
  return s;
}

std::string fmt_E(double v, int w, int d) {
  std::string s;
  put_E(s, v, w, d);
  return s;
}

std::string fmt_G(double v, int w, int d) {
  std::string s;
  put_G(s, v, w, d);
  return s;
}

Rec& Rec::I(long v, int w) { put_I(s_, v, w); return *this; }
Rec& Rec::F(double v, int w, int d) { put_F(s_, v, w, d); return *this; }
Rec& Rec::E(double v, int w, int d) { put_E(s_, v, w, d); return *this; }
Rec& Rec::G(double v, int w, int d) { put_G(s_, v, w, d); return *this; }
Rec& Rec::X(int n) { s_.append(n, ' '); return *this; }
Rec& Rec::A(const std::string& s, int w) {
  if (w < 0) {
    s_ += s;
  } else {
    const size_t n = std::min(s.size(), static_cast<size_t>(w));
    s_.append(s, 0, n);
    s_.append(w - n, ' ');
  }
  return *this;
}


namespace {

// The written field, as the record writers write it.
std::string written_field(double v, FieldFormat f) {
  switch (f.kind) {
    case 'F': return fmt_F(v, f.w, f.d);
    case 'E': return fmt_E(v, f.w, f.d);
    default: return fmt_G(v, f.w, f.d);
  }
}

// An exponent of three digits is written without its E ("0.100-119"),
// which other readers of the file take for a malformed number.
bool bare_exponent(const std::string& s) {
  if (s.find_first_of("Ee") != std::string::npos) return false;
  for (size_t i = 1; i < s.size(); ++i)
    if ((s[i] == '+' || s[i] == '-') && s[i - 1] >= '0' && s[i - 1] <= '9') return true;
  return false;
}

// The power e with 0.1 <= |x| / 10^e < 1.
int decimal_exponent(double x) {
  return x == 0.0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(x)))) + 1;
}

}  // namespace

bool value_fits(double v, FieldFormat f) {
  if (f.kind == 0) return true;
  if (!std::isfinite(v)) return false;
  if (f.kind == 'I')
    return v == std::trunc(v) && std::fabs(v) < 1e15 && fmt_I(static_cast<long>(v), f.w)[0] != '*';
  const std::string s = written_field(v, f);
  double back;
  if (s.find('*') != std::string::npos || bare_exponent(s) || !parse_real_field(s, 0, back))
    return false;
  // Half a unit of the last place kept: a decimal place for F, a
  // significant digit for E and G (the larger when rounding carried).
  const int last = f.kind == 'F' ? -f.d
                                 : std::max(decimal_exponent(v), decimal_exponent(back)) - f.d;
  const double half = 0.5 * std::pow(10.0, last);
  return std::fabs(back - v) <= half * (1 + 1e-9) + 1e-12 * std::fabs(v);
}

std::string what_fits(FieldFormat f) {
  if (f.kind == 'I') {
    long hi = 1;
    for (int i = 0; i < f.w; ++i) hi *= 10;
    return "an integer from " + std::to_string(-(hi / 10 - 1)) + " to " + std::to_string(hi - 1);
  }
  if (f.kind == 'F') {
    // The widest values written with all their decimals.
    const double hi = std::pow(10.0, f.w - f.d - 1) - std::pow(10.0, -f.d);
    const double lo = -(std::pow(10.0, f.w - f.d - 2) - std::pow(10.0, -f.d));
    char buf[80];
    std::snprintf(buf, sizeof buf, "%.*f to %.*f", f.d, lo, f.d, hi);
    return "a number of at most " + std::to_string(f.w) +
           " characters, point included, e.g. " + buf;
  }
  // E and G: 0.ddd with an exponent of two digits.
  char buf[80];
  std::snprintf(buf, sizeof buf, "1.0E-100 to %.*fE+98", f.d - 1, 10.0 - std::pow(10.0, 1 - f.d));
  return std::string("0 or a number from ") + buf + " in size";
}

}  // namespace vortan
