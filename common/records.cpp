#include "records.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vortan {

namespace {

std::string right(const std::string& s, int w) {
  if (static_cast<int>(s.size()) >= w) return s;
  return std::string(w - s.size(), ' ') + s;
}

std::string stars(int w) { return std::string(w, '*'); }

// Mantissa digits and exponent of |v| as 0.ddd x 10^e, rounded to d digits.
void exp_parts(double a, int d, std::string& digits, int& e) {
  if (a == 0.0) {
    digits.assign(d, '0');
    e = 0;
    return;
  }
  e = static_cast<int>(std::floor(std::log10(a))) + 1;
  double m = a / std::pow(10.0, e);
  double scaled = std::round(m * std::pow(10.0, d));
  if (scaled >= std::pow(10.0, d)) {  // rounding gave 1.000
    scaled /= 10.0;
    ++e;
  } else if (scaled < std::pow(10.0, d - 1)) {  // log10 landed just low
    scaled = std::round(m * std::pow(10.0, d + 1));
    --e;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%0*.0f", d, scaled);
  digits = buf;
}

}  // namespace

std::string fmt_I(long v, int w) {
  std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) > w) return stars(w);
  return right(s, w);
}

std::string fmt_F(double v, int w, int d) {
  // A value too wide for d decimals keeps as many decimals as fit, down to
  // none, so a large coordinate loses only its fraction. The point is always
  // written: a field without one would be read with implied decimals.
  if (!std::isfinite(v)) return stars(w);
  for (int dd = d; dd >= 0; --dd) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", dd, v);
    std::string s = buf;
    if (dd == 0) s += ".";
    if (static_cast<int>(s.size()) <= w) return right(s, w);
  }
  // No fixed form fits: the exponent form with as many digits as the width
  // holds (the readers accept both forms).
  for (int digits = w - 5; digits >= 1; --digits) {
    std::string s = fmt_E(v, w, digits);
    if (s[0] != '*') return s;
  }
  return stars(w);
}

std::string fmt_E(double v, int w, int d) {
  if (!std::isfinite(v)) return stars(w);
  std::string digits;
  int e;
  exp_parts(std::fabs(v), d, digits, e);
  char ebuf[16];
  if (std::abs(e) <= 99)
    std::snprintf(ebuf, sizeof ebuf, "E%c%02d", e < 0 ? '-' : '+', std::abs(e));
  else
    std::snprintf(ebuf, sizeof ebuf, "%c%03d", e < 0 ? '-' : '+', std::abs(e));
  std::string s = std::string(v < 0 ? "-" : "") + "0." + digits + ebuf;
  if (static_cast<int>(s.size()) > w && s.rfind("-0.", 0) == 0) s.erase(1, 1);
  if (static_cast<int>(s.size()) > w && s.rfind("0.", 0) == 0) s.erase(0, 1);
  if (static_cast<int>(s.size()) > w) return stars(w);
  return right(s, w);
}

std::string fmt_G(double v, int w, int d) {
  if (!std::isfinite(v)) return stars(w);
  double a = std::fabs(v);
  if (a == 0.0) return right(fmt_F(0.0, w - 4, d - 1), w - 4) + "    ";
  if (a >= 0.1 - 0.5 * std::pow(10.0, -d - 1) && a < std::pow(10.0, d) - 0.5) {
    int k = static_cast<int>(std::floor(std::log10(a))) + 1;  // digits before the point
    if (k < 0) k = 0;
    // Rounding may carry into one more digit before the point.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", std::max(d - k, 0), a);
    if (std::fabs(std::atof(buf)) >= std::pow(10.0, k) && k < d) ++k;
    return fmt_F(v, w - 4, std::max(d - k, 0)) + "    ";
  }
  return fmt_E(v, w, d);
}

Rec& Rec::I(long v, int w) { s_ += fmt_I(v, w); return *this; }
Rec& Rec::F(double v, int w, int d) { s_ += fmt_F(v, w, d); return *this; }
Rec& Rec::E(double v, int w, int d) { s_ += fmt_E(v, w, d); return *this; }
Rec& Rec::G(double v, int w, int d) { s_ += fmt_G(v, w, d); return *this; }
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
