#include "import_command.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include <sstream>

#include "dat_file.h"
#include "file_replace.h"
#include "gmsh_library.h"
#include "records.h"

namespace vortan {

namespace {

const char* USAGE =
    "usage: vortan-import --problem poisson|elasticity|beams [--level basic|advanced]\n"
    "                     [--lines bars|beams] [--props SET=v1,v2,...]... [--title TEXT]\n"
    "                     [--scale F] [--no-merge] [--quiet] INPUT OUTPUT.dat\n";

const char* HELP =
    "Reads a mesh through the Gmsh library and writes Part A of a .dat file.\n"
    "INPUT is a .msh file (versions 2 and 4, text or binary; its first record must be\n"
    "$MeshFormat), a .unv, .vtk, .mesh, .bdf or .nas mesh, or a .geo file. A .geo file is\n"
    "a script that Gmsh runs and meshes in 2D: open only scripts you trust. Gmsh runs in\n"
    "a contained process that can neither start programs nor change files; a script\n"
    "that tries is refused.\n"
    "  --problem    the problem the mesh is for\n"
    "  --level      basic (the default) or advanced\n"
    "  --lines      line elements become bars (advanced elasticity) or beams\n"
    "  --props      the components of property set SET (one option per set)\n"
    "  --title      the title, one line of at most 50 characters (default: the input's name)\n"
    "  --scale F    multiplies every coordinate by F\n"
    "  --no-merge   keeps coincident nodes apart (by default they are merged)\n"
    "  --quiet      no notes on the mesh made\n"
    "Elements come from physical surfaces (and physical curves with --lines), one property\n"
    "set each (\"property set S material type T\" gives set S and type T); physical curves\n"
    "and points named \"fix x\", \"fix y\", \"fix xy\" (beams also \"fix r\", \"fix xr\",\n"
    "\"fix yr\", \"fix xyr\"; Poisson \"fixed\"), or \"fixity code D...\" with the code's\n"
    "digits as the .dat file writes them, give fixity codes.\n";

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
  } else if (name == "--scale") {
    if (!free_real(value, o.scale) || !(o.scale > 0) || !std::isfinite(o.scale))
      return bad("a positive number");
  } else {
    o.title = value;  // --title
  }
  return true;
}

// The input's name without folder and extension, as a title: control
// characters as blanks, cut to 50 characters without splitting a UTF-8 one.
std::string title_from(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  name = name.substr(0, name.find_last_of('.'));
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = ' ';
  if (name.size() <= 50) return name;
  size_t cut = 50;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  return name.substr(0, cut);
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
    } else if (a == "--no-merge") {
      cmd.options.merge = false;
    } else if (a == "--problem" || a == "--level" || a == "--lines" || a == "--props" ||
               a == "--title" || a == "--scale") {
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
  if (!have_title) cmd.options.title = title_from(cmd.input);
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
    std::printf("%s%s", USAGE, HELP);
    return 0;
  }
  SourceMesh src;
  note_input(cmd.input);
  if (is_input(cmd.output)) {
    std::fprintf(stderr, "vortan-import: %s is the input file; nothing written\n",
                 cmd.output.c_str());
    return 1;
  }
  if (!read_gmsh_file(cmd.input, src, error)) {
    std::fprintf(stderr, "vortan-import: %s; nothing written\n", error.c_str());
    return 1;
  }
  for (const auto& w : src.warnings) std::fprintf(stderr, "vortan-import: Gmsh: %s\n", w.c_str());
  auto m = std::make_unique<MeshModel>();
  ImportReport report = import_mesh(src, cmd.options, *m);
  if (!report.error.empty()) {
    std::fprintf(stderr, "vortan-import: %s: %s; nothing written\n", cmd.input.c_str(),
                 report.error.c_str());
    return 1;
  }
  std::ostringstream text;
  OUTPUT(text, *m);
  if (!replace_file(cmd.output, text.str(), error)) {
    std::fprintf(stderr, "vortan-import: %s; nothing written\n", error.c_str());
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
