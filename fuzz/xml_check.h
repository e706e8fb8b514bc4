// A small well-formedness check of the XML the export writes: one root
// element, tags that nest and close, attributes quoted, only the five
// predefined entities and character references, valid UTF-8 and no
// character XML 1.0 forbids. Returns "" when well-formed, else what is not.
#pragma once

#include <string>
#include <vector>

namespace vortan::fuzz {

inline bool name_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' ||
         c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

// Text between markup: references well-formed, no '<'; bytes valid UTF-8
// and no control character but tab, line feed and carriage return.
inline std::string check_text(const std::string& t, bool attribute) {
  for (size_t i = 0; i < t.size(); ++i) {
    const unsigned char c = t[i];
    if (c == '<' || (attribute && c == '"')) return "a '<' or '\"' in text";
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return "a control character";
    if (c == '&') {
      const size_t semi = t.find(';', i);
      if (semi == std::string::npos) return "an '&' without ';'";
      const std::string ref = t.substr(i + 1, semi - i - 1);
      if (ref != "amp" && ref != "lt" && ref != "gt" && ref != "quot" && ref != "apos" &&
          !(ref.size() > 1 && ref[0] == '#'))
        return "an unknown entity &" + ref + ";";
      i = semi;
    } else if (c >= 0x80) {
      const int len = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
      if (len == 0 || i + len > t.size()) return "bytes that are not UTF-8";
      for (int k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) return "bytes that are not UTF-8";
      if (c == 0xC2 && static_cast<unsigned char>(t[i + 1]) < 0xA0) return "a C1 control character";
      i += len - 1;
    }
  }
  return "";
}

inline std::string xml_problem(const std::string& x) {
  size_t i = 0;
  if (x.compare(0, 5, "<?xml") == 0) {
    i = x.find("?>");
    if (i == std::string::npos) return "an unclosed declaration";
    i += 2;
  }
  std::vector<std::string> open;
  bool root_done = false;
  while (i < x.size()) {
    const size_t lt = x.find('<', i);
    const std::string text = x.substr(i, lt == std::string::npos ? std::string::npos : lt - i);
    if (open.empty() && text.find_first_not_of(" \t\r\n") != std::string::npos)
      return "text outside the root element";
    if (auto p = check_text(text, false); !p.empty()) return p;
    if (lt == std::string::npos) break;
    const size_t gt = x.find('>', lt);
    if (gt == std::string::npos) return "an unclosed tag";
    std::string tag = x.substr(lt + 1, gt - lt - 1);
    i = gt + 1;
    if (!tag.empty() && tag[0] == '/') {
      if (open.empty() || open.back() != tag.substr(1)) return "a closing tag that does not match";
      open.pop_back();
      root_done = open.empty();
      continue;
    }
    if (root_done && open.empty()) return "a second root element";
    const bool empty = !tag.empty() && tag.back() == '/';
    if (empty) tag.pop_back();
    size_t k = 0;
    while (k < tag.size() && name_char(tag[k])) ++k;
    if (k == 0) return "a tag without a name";
    const std::string name = tag.substr(0, k);
    // Attributes: name="value", separated by blanks, each name once.
    std::vector<std::string> seen;
    while (k < tag.size()) {
      if (tag[k] == ' ' || tag[k] == '\n') {
        ++k;
        continue;
      }
      const size_t a = k;
      while (k < tag.size() && name_char(tag[k])) ++k;
      if (k == a || k + 1 >= tag.size() || tag[k] != '=' || tag[k + 1] != '"')
        return "an attribute not written name=\"value\"";
      const std::string attr = tag.substr(a, k - a);
      for (const auto& s : seen)
        if (s == attr) return "an attribute given twice";
      seen.push_back(attr);
      const size_t close = tag.find('"', k + 2);
      if (close == std::string::npos) return "an unclosed attribute value";
      if (auto p = check_text(tag.substr(k + 2, close - k - 2), true); !p.empty()) return p;
      k = close + 1;
    }
    if (empty) {
      root_done = root_done || open.empty();
    } else {
      open.push_back(name);
    }
  }
  if (!open.empty()) return "an element left open";
  if (!root_done) return "no root element";
  return "";
}

}  // namespace vortan::fuzz
