#include "import_command.h"

#include <cstdio>
#include <memory>

#include "dat_file.h"
#include "file_output.h"
#include "gmsh_library.h"
#include "records.h"

namespace vortan {

namespace {

const char* USAGE =
    "usage: vortan-import --problem poisson|elasticity|beams [--level basic|advanced]\n"
    "                     [--lines bars|beams] [--props SET=v1,v2,...]... [--title TEXT]\n"
    "                     [--quiet] INPUT OUTPUT.dat\n"
    "Reads a mesh Gmsh reads (.msh, .geo meshed in 2D, ...) and writes Part A of a .dat file.\n";

bool parse_props(const std::string& text, ImportOptions& opt, std::string& error) {
  const auto eq = text.find('=');
  long set = 0;
  if (eq == std::string::npos || !free_int(text.substr(0, eq), set)) {
    error = "--props wants SET=v1,v2,...; got " + text;
    return false;
  }
  std::vector<double> values;
  for (const auto& token : free_tokens(text.substr(eq + 1))) {
    double v = 0;
    if (!free_real(token, v)) {
      error = "--props " + text + ": " + token + " is not a number";
      return false;
    }
    values.push_back(v);
  }
  if (!opt.props.emplace(static_cast<int>(set), values).second) {
    error = "--props gives set " + std::to_string(set) + " twice";
    return false;
  }
  return true;
}

// One option with its value; false with `error` set.
bool take_option(const std::string& name, const std::string& value, ImportCommand& cmd,
                 bool& have_problem, std::string& error) {
  ImportOptions& o = cmd.options;
  auto bad = [&](const char* choices) {
    error = name + " takes " + choices + "; got " + value;
    return false;
  };
  if (name == "--problem") {
    have_problem = true;
    if (value == "poisson")
      o.problem = 1;
    else if (value == "elasticity")
      o.problem = 2;
    else if (value == "beams")
      o.problem = 3;
    else
      return bad("poisson, elasticity or beams");
  } else if (name == "--level") {
    if (value != "basic" && value != "advanced") return bad("basic or advanced");
    o.advanced = value == "advanced";
  } else if (name == "--lines") {
    if (value == "bars")
      o.lines = LineUse::Bars;
    else if (value == "beams")
      o.lines = LineUse::Beams;
    else
      return bad("bars or beams");
  } else if (name == "--props") {
    return parse_props(value, o, error);
  } else {
    o.title = value;  // --title
  }
  return true;
}

std::string file_stem(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  return name.substr(0, name.find_last_of('.'));
}

}  // namespace

bool parse_import_args(const std::vector<std::string>& args, ImportCommand& cmd,
                       std::string& error) {
  std::vector<std::string> files;
  bool have_problem = false, have_title = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      cmd.help = true;
      return true;
    }
    if (a == "--quiet") {
      cmd.quiet = true;
    } else if (a == "--problem" || a == "--level" || a == "--lines" || a == "--props" ||
               a == "--title") {
      if (i + 1 >= args.size()) {
        error = a + " wants a value";
        return false;
      }
      have_title = have_title || a == "--title";
      if (!take_option(a, args[++i], cmd, have_problem, error)) return false;
    } else if (a.rfind("--", 0) == 0) {
      error = "unknown option " + a;
      return false;
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) {
    error = "give one input file and one output .dat file";
    return false;
  }
  cmd.input = files[0];
  cmd.output = files[1];
  if (!have_problem) {
    error = "say which problem the mesh is for: --problem poisson|elasticity|beams";
    return false;
  }
  if (cmd.output.size() < 5 || cmd.output.substr(cmd.output.size() - 4) != ".dat") {
    error = "the output name must end in .dat; got " + cmd.output;
    return false;
  }
  if (!have_title) cmd.options.title = file_stem(cmd.input).substr(0, 50);
  return true;
}

int run_import(int argc, char** argv) {
  ImportCommand cmd;
  std::string error;
  if (!parse_import_args(std::vector<std::string>(argv + 1, argv + argc), cmd, error)) {
    std::fprintf(stderr, "vortan-import: %s\n%s", error.c_str(), USAGE);
    return 2;
  }
  if (cmd.help) {
    std::printf("%s", USAGE);
    return 0;
  }
  SourceMesh src;
  {
    GmshLibrary gmsh;
    if (!read_gmsh_file(cmd.input, src, error)) {
      std::fprintf(stderr, "vortan-import: %s\n", error.c_str());
      return 1;
    }
  }
  auto m = std::make_unique<MeshModel>();
  ImportReport report = import_mesh(src, cmd.options, *m);
  if (!report.error.empty()) {
    std::fprintf(stderr, "vortan-import: %s: %s; nothing written\n", cmd.input.c_str(),
                 report.error.c_str());
    return 1;
  }
  if (!write_file(
          cmd.output, [&](std::ostream& out) { OUTPUT(out, *m); }, error)) {
    std::fprintf(stderr, "vortan-import: %s\n", error.c_str());
    return 1;
  }
  if (!cmd.quiet) {
    for (const auto& note : report.notes) std::printf("%s\n", note.c_str());
    std::printf("%s: %d nodes, %d elements, %d property sets\n", cmd.output.c_str(), m->npoin,
                m->nelem, m->npros);
  }
  return 0;
}

}  // namespace vortan
