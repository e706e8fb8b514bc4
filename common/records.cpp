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

}  // namespace

void put_I(std::string& s, long v, int w) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  const int n = static_cast<int>(r.ptr - buf);
  if (n > w)
    put_stars(s, w);
  else
    put_right(s, buf, n, w);
}

void put_F(std::string& s, double v, int w, int d) {
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
    std::string t = s.substr(0, w);
    t.resize(w, ' ');
    s_ += t;
  }
  return *this;
}

namespace {

// The field's characters with every blank and tab left out (a blank within
// a field reads as nothing), in `buf`. False for a text of more characters
// than any number needs, which reads as no number.
bool squeeze(std::string_view text, char (&buf)[64], std::string_view& t) {
  size_t n = 0;
  for (char c : text) {
    if (c == ' ' || c == '\t') continue;
    if (n == sizeof buf) return false;
    buf[n++] = c;
  }
  t = std::string_view(buf, n);
  return true;
}

bool parse_int_chars(std::string_view t, long& v) {
  v = 0;
  if (t.empty()) return true;
  size_t i = 0;
  bool neg = false;
  if (t[0] == '+' || t[0] == '-') {
    neg = t[0] == '-';
    i = 1;
  }
  if (i >= t.size()) return false;
  long long x = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    x = x * 10 + (t[i] - '0');
    if (x > 2147483647LL) return false;
  }
  v = static_cast<long>(neg ? -x : x);
  return true;
}

}  // namespace

bool parse_int_field(std::string_view text, long& v) {
  char buf[64];
  std::string_view t;
  v = 0;
  return squeeze(text, buf, t) && parse_int_chars(t, v);
}

bool parse_real_field(std::string_view text, int implied, double& v) {
  char buf[64];
  std::string_view t;
  v = 0.0;
  if (!squeeze(text, buf, t)) return false;
  if (t.empty()) return true;
  size_t i = 0;
  bool neg = false;
  if (t[i] == '+' || t[i] == '-') neg = t[i++] == '-';
  char mant[64];
  bool point = false;
  int frac = 0, ndig = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c >= '0' && c <= '9') {
      mant[ndig++] = c;
      if (point) ++frac;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (ndig == 0) return false;
  long exp10 = 0;
  if (i < t.size()) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t[i])));
    if (c == 'E' || c == 'D') ++i;
    else if (c != '+' && c != '-') return false;
    if (i >= t.size()) return false;
    if (t[i] != '+' && t[i] != '-' && (t[i] < '0' || t[i] > '9')) return false;
    if (!parse_int_chars(t.substr(i), exp10)) return false;
  }
  // Up to 15 digits the whole number is exact in a double; beyond, the
  // digits are converted with correct rounding.
  double m = 0.0;
  if (ndig <= 15) {
    long long x = 0;
    for (int k = 0; k < ndig; ++k) x = x * 10 + (mant[k] - '0');
    m = static_cast<double>(x);
  } else {
    std::from_chars(mant, mant + ndig, m);
  }
  const int scale = point ? -frac : -implied;
  const double r = m * std::pow(10.0, static_cast<double>(scale + exp10));
  if (!std::isfinite(r)) return false;
  v = neg ? -r : r;
  return true;
}

std::string RecordReader::take(int w) {
  std::string f;
  if (pos_ < line_.size()) f = line_.substr(pos_, w);
  pos_ += w;
  return f;
}

long RecordReader::I(int w) {
  long v;
  if (!parse_int_field(take(w), v)) ok_ = false;
  return v;
}

double RecordReader::F(int w, int implied) {
  double v;
  if (!parse_real_field(take(w), implied, v)) ok_ = false;
  return v;
}

std::string RecordReader::A(int w) {
  std::string f = take(w);
  f.resize(w, ' ');
  return f;
}

std::vector<std::string> free_tokens(const std::string& text) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : text) {
    if (c == ' ' || c == ',' || c == '\t' || c == '\r') {
      if (!cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

bool free_int(const std::string& token, long& v) {
  if (token.empty()) return false;
  return parse_int_field(token, v);
}

bool free_real(const std::string& token, double& v) {
  if (token.empty()) return false;
  return parse_real_field(token, 0, v);
}

}  // namespace vortan
