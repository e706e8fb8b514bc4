#include "source_mesh.h"

#include <cstdint>
#include <cstring>

namespace vortan {

namespace {

// Fixed-size values in the machine's own order: both ends are this program.
template <class T>
void put(std::string& out, T v) {
  out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

void put_text(std::string& out, const std::string& s) {
  put<std::uint64_t>(out, s.size());
  out += s;
}

constexpr char MAGIC[] = "VORTAN-MESH-1";
constexpr std::uint32_t MAX_NODES_PER_ELEMENT = 1000;

struct Reader {
  const std::string& bytes;
  size_t at = 0;
  bool ok = true;

  template <class T>
  T get() {
    T v{};
    if (!ok || bytes.size() - at < sizeof v) {
      ok = false;
      return v;
    }
    std::memcpy(&v, bytes.data() + at, sizeof v);
    at += sizeof v;
    return v;
  }
  // A count of items of at least `each` bytes that the rest can hold.
  std::uint64_t count(size_t each) {
    const auto n = get<std::uint64_t>();
    if (ok && n > (bytes.size() - at) / each) ok = false;
    return ok ? n : 0;
  }
  std::string text() {
    const auto n = count(1);
    if (!ok) return "";
    std::string s = bytes.substr(at, n);
    at += n;
    return s;
  }
};

bool unpack_elements(Reader& r, SourceMesh& mesh) {
  const auto ne = r.count(4 * 3 + 8 + 8);
  mesh.elements.reserve(ne);
  for (std::uint64_t i = 0; i < ne && r.ok; ++i) {
    SourceElement e;
    e.type = r.get<std::int32_t>();
    e.dim = r.get<std::int32_t>();
    e.entity = r.get<std::int32_t>();
    e.tag = r.get<std::uint64_t>();
    const auto nn = r.count(8);
    if (nn > MAX_NODES_PER_ELEMENT) return false;
    for (std::uint64_t k = 0; k < nn; ++k) e.nodes.push_back(r.get<std::uint64_t>());
    mesh.elements.push_back(std::move(e));
  }
  return r.ok;
}

bool unpack_groups(Reader& r, SourceMesh& mesh) {
  const auto ng = r.count(4 * 2 + 8 * 3);
  for (std::uint64_t i = 0; i < ng && r.ok; ++i) {
    SourceGroup g;
    g.dim = r.get<std::int32_t>();
    g.tag = r.get<std::int32_t>();
    g.name = r.text();
    const auto nent = r.count(4);
    for (std::uint64_t k = 0; k < nent; ++k) g.entities.push_back(r.get<std::int32_t>());
    const auto nn = r.count(8);
    for (std::uint64_t k = 0; k < nn; ++k) g.nodes.push_back(r.get<std::uint64_t>());
    mesh.groups.push_back(std::move(g));
  }
  return r.ok;
}

}  // namespace

std::string pack_source_mesh(const SourceMesh& mesh) {
  std::string out = MAGIC;
  put<std::int32_t>(out, mesh.dimension);
  put<std::uint64_t>(out, mesh.nodes.size());
  for (const auto& [tag, n] : mesh.nodes) {
    put<std::uint64_t>(out, tag);
    put(out, n.x);
    put(out, n.y);
    put(out, n.z);
  }
  put<std::uint64_t>(out, mesh.elements.size());
  for (const auto& e : mesh.elements) {
    put<std::int32_t>(out, e.type);
    put<std::int32_t>(out, e.dim);
    put<std::int32_t>(out, e.entity);
    put<std::uint64_t>(out, e.tag);
    put<std::uint64_t>(out, e.nodes.size());
    for (auto t : e.nodes) put<std::uint64_t>(out, t);
  }
  put<std::uint64_t>(out, mesh.groups.size());
  for (const auto& g : mesh.groups) {
    put<std::int32_t>(out, g.dim);
    put<std::int32_t>(out, g.tag);
    put_text(out, g.name);
    put<std::uint64_t>(out, g.entities.size());
    for (int t : g.entities) put<std::int32_t>(out, t);
    put<std::uint64_t>(out, g.nodes.size());
    for (auto t : g.nodes) put<std::uint64_t>(out, t);
  }
  put<std::uint64_t>(out, mesh.type_names.size());
  for (const auto& [type, name] : mesh.type_names) {
    put<std::int32_t>(out, type);
    put_text(out, name);
  }
  put<std::uint64_t>(out, mesh.warnings.size());
  for (const auto& w : mesh.warnings) put_text(out, w);
  return out;
}

bool unpack_source_mesh(const std::string& bytes, SourceMesh& mesh, std::string& error) {
  mesh = SourceMesh{};
  const size_t magic = sizeof MAGIC - 1;
  Reader r{bytes};
  r.ok = bytes.compare(0, magic, MAGIC) == 0;
  r.at = magic;
  mesh.dimension = r.get<std::int32_t>();
  const auto nn = r.count(8 * 4);
  for (std::uint64_t i = 0; i < nn && r.ok; ++i) {
    const auto tag = r.get<std::uint64_t>();
    SourceNode n;
    n.x = r.get<double>();
    n.y = r.get<double>();
    n.z = r.get<double>();
    if (!mesh.nodes.emplace(tag, n).second) r.ok = false;  // a tag given twice
  }
  r.ok = r.ok && unpack_elements(r, mesh) && unpack_groups(r, mesh);
  const auto nt = r.count(4 + 8);
  for (std::uint64_t i = 0; i < nt && r.ok; ++i) {
    const auto type = r.get<std::int32_t>();
    mesh.type_names[type] = r.text();
  }
  const auto nw = r.count(8);
  for (std::uint64_t i = 0; i < nw && r.ok; ++i) mesh.warnings.push_back(r.text());
  if (!r.ok || r.at != bytes.size()) {
    mesh = SourceMesh{};
    error = "the mesh reader's answer is damaged or incomplete";
    return false;
  }
  return true;
}

}  // namespace vortan
