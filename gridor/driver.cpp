// GRIDOR's main program. It owns the mesh model and the data files, runs the
// fixed dialogue from the start-up texts to the exit question, and sends the
// main-menu buttons to the mesh operations.
#include "driver.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "create_mesh.h"
#include "dat_file.h"
#include "double_mesh.h"
#include "file_replace.h"
#include "file_naming.h"
#include "line_reader.h"
#include "mesh_operations.h"
#include "help_screens.h"
#include "listing.h"
#include "mesh_model.h"
#include "modify_mesh.h"
#include "part_b_sequence.h"
#include "platform/platform.h"
#include "prompts.h"
#include "records.h"
#include "refine.h"
#include "renumber.h"
#include "toolbar.h"
#include "triangulate.h"

namespace vortan {

namespace {

constexpr const char* TEXT_CAPTION = "GRIDOR text";

// A picture of the mesh saved from the graphics window is offered the name
// of its EPS file, as a PNG.
void name_pictures(const std::string& dat) {
  const std::string ps = ps_path(dat);
  plat().note_picture_name(ps.substr(0, ps.size() - 3));
}

void ENDWIN() {
  plat().text_close();
  plat().graphics_close();
}

// What follows a y to "Do you want to exit?" or "Do you want to exit GRIDOR?".
void gridor_ending() {
  WRLINE("GRIDOR is now ending. Close the text and graphics windows,");
  WRLINE("then run a finite element 'main engine' with your input file.");
  ENDWIN();
}

void startup_texts() {
  DialogSpec banner;
  banner.caption = "";
  banner.style = DialogStyle::Banner;
  banner.lines = {DialogLine{"VORTAN", true}, DialogLine{"version 3.2"}};
  plat().dialog(banner);
  SLEEPZ(1.5);

  DialogSpec welcome;
  welcome.caption = "GRIDOR - the VORTAN Preprocessor";
  welcome.style = DialogStyle::Welcome;
  welcome.lines = {DialogLine{"GRIDOR"},
                   DialogLine{" Use GRIDOR to create a new VORTAN input file"},
                   DialogLine{" (with .dat extension), or to modify an existing"},
                   DialogLine{" one."}};
  welcome.buttons = {"Continue"};
  plat().dialog(welcome);

  plat().text_open(TEXT_CAPTION);
  for (const char* l : {"VORTAN programs make use of extended memory on",
                        "your PC. It is strongly recommended that you exit",
                        "other applications (especially those using extended",
                        "memory) before running the VORTAN package.",
                        "In particular, VORTAN programs should only be used",
                        "at the same time as other software exploiting",
                        "extended memory, which is compatible with",
                        "the VCPI eXtended Memory Specification (XMS)."})
    WRLINE(l);
  PROMPT();
  for (const char* l : {"GRIDOR creates a text window and a graphics window.",
                        "This is the text window. Leave it open while GRIDOR",
                        "is running. Most of the dialogue will occur with the",
                        "graphics window on top, but when dialogue switches to",
                        "the text window you will be prompted to click on it",
                        "to make it visible."})
    WRLINE(l);
  WRLINE();
  WRLINE("Maximum parameter sizes:");
  WRLINE(std::string(23, '-'));
  WRLINE(std::to_string(MELEM) + " elements, " + std::to_string(MPOIN) + " nodes, " +
         std::to_string(MEDGE) + " edges,");
  WRLINE(std::to_string(MPROP) + " material property sets,");
  WRLINE(std::to_string(MCOMP) + " material property components,");
  WRLINE(std::to_string(MNODE) + " elements meeting at a single node.");
  WRLINE();
  for (const char* l : {"When typing in the text window, for yes/no questions",
                        "you can just presss y or n;",
                        "you do not need to press Enter. If you press",
                        " Esc (the escape key) you can exit GRIDOR."})
    WRLINE(l);
  PROMPT();
  for (const char* l : {"In the graphics window, click the mouse on the grey",
                        "buttons on the toolbar on the right-hand side. Some",
                        "buttons have help screens; to access these, click",
                        "using the right mouse button."})
    WRLINE(l);
  WRLINE();
  for (const char* l : {"A complete .dat data input file consists of two parts:",
                        "Part A: defines mesh geometry and material properties",
                        "Part B: defines applied loads/potentials etc.",
                        "You can create a new file containing Part A (or open",
                        "one of the example files provided), then modify it by",
                        "refining the mesh, reordering etc before adding Part B",
                        "Note: if you open an existing file, you must give a",
                        "different name to the new file you create from it."})
    WRLINE(l);
}

// The work tables of the mesh operations, made once for the run and handed
// to each by reference: with raised limits they are tens of megabytes.
struct WorkTables {
  EdgeTables edges;          // refinement
  DoublingWork doubling;
  Table1<int, MELEM> marks;  // elements chosen by the pickers
  RenumberWork renumbering;
  PartBTables part_b;
};

// Everything the driver keeps for one data set besides the mesh model.
struct DataSet {
  MeshModel& mesh;
  WorkTables& work;
  bool new_file = false;      // answer to "Do you want to create a totally new file?"
  std::string in_path;        // input .dat, read only
  std::ifstream in;
  std::string out_path;       // output .dat, also the save file
  // Part A as last saved (empty before the first good save), and the Part A
  // that Part B is built on, as last asked to be saved.
  std::string saved, part_a;
  // Part B and the .prt listing are kept here and written to disk whole,
  // beside the old file and then renamed over it, so a run that ends
  // part-way leaves the last good files.
  std::ostringstream out;
  std::ostringstream prt;
  bool complete = false;
  std::string heading;
  bool renumbered = false;
  std::unique_ptr<Table1<int, MPOIN>> newnod = make_tables<Table1<int, MPOIN>>();
  std::unique_ptr<Table1<int, MELEM>> newelt = make_tables<Table1<int, MELEM>>();

  DataSet(MeshModel& m, WorkTables& w) : mesh(m), work(w) {}
  // However the run ends, one line says what the named file holds.
  ~DataSet() {
    if (complete || out_path.empty()) return;
    if (!saved.empty())
      ending_note("File " + out_path + " kept with its Part A as last saved" +
                  (out.tellp() > 0 ? "; the unfinished Part B was left out." : "."));
    else
      ending_note("File " + out_path + " not written: no mesh had been saved to it.");
  }
};

// Writes the whole .dat file (Part A, and Part B once complete) beside the
// old one and renames it over; a failure is said and the last good save
// stays.
bool save_text(DataSet& d, const std::string& text) {
  std::string why;
  if (!replace_file(d.out_path, text, why)) {
    PUTERR("Save failed - " + why + "; the last good save is kept.");
    return false;
  }
  d.saved = text;
  return true;
}

// Rewinds the output .dat and writes Part A from its start: the file then
// holds exactly the saved mesh.
bool save_part_a(DataSet& d) {
  std::ostringstream text;
  OUTPUT(text, d.mesh);
  d.part_a = text.str();
  return save_text(d, d.part_a);
}

// Reads the last saved Part A back from the output .dat.
void restore_part_a(DataSet& d) {
  if (d.saved.empty()) {
    PUT("Nothing has been saved to " + d.out_path + " yet; the mesh stays as it is.");
    return;
  }
  std::istringstream saved(d.saved);
  INPUT(saved, d.mesh);
}

void save_and_show(DataSet& d) {
  if (save_part_a(d)) MPUT("This mesh data saved to", d.out_path);
}

// A file of this name can be written: it is a plain file or does not exist
// yet, and its folder takes a new file. Nothing on disk is changed.
bool can_write(const std::string& path) {
  ReplacingFile f;
  const bool ok = begin_replace(f, path);
  if (!ok) WRLINE("Cannot open " + path + " for output - " + replace_failure(f) + ".");
  abandon_replace(f);
  return ok;
}

// Step 3 of an existing file: keep, replace or supply the mesh title.
void ask_title(MeshModel& m) {
  auto set_title = [&](const std::string& t) { m.title = typed_title(t); };
  if (LENSTR(m.title) == 0) {
    WRLINE("Type title below (max 60 characters):");
    std::string t = READLN();
    if (LENSTR(t) == 0) {
      WRLINE("No title entered!");
      set_title("No title");
    } else {
      WRLINE("Title accepted.");
      set_title(t);
    }
    return;
  }
  WRLINE("Title for the input mesh is:");
  WRLINE(trimmed(m.title));
  if (YESNO("Do you want to keep this title?") == 'n') {
    WRLINE("Type new title below (max 60 characters):");
    std::string t = READLN();
    if (LENSTR(t) == 0) {
      WRLINE("No title entered - keeping original!");
    } else {
      WRLINE("Title changed.");
      set_title(t);
    }
  }
}

// The .prt or .ps name of the output .dat that is a file this run reads, or
// an empty text.
std::string read_by_run(const std::string& dat) {
  for (const std::string& out : {prt_path(dat), ps_path(dat)})
    if (is_input(out)) return out;
  return {};
}

// Names and opens the output .dat for a mesh read from an existing file.
void open_output(DataSet& d) {
  std::string folder;
  int flen;
  GETHOM(d.in_path, folder, flen);
  for (;;) {
    WRTEXT("What name (without .DAT extension) will you give the new file? ");
    std::string name;
    switch (ask_simple_name(name, "Give a simple name, without .dat or other extension")) {
      case NameAnswer::Empty:
        if (YESNO("Do you want to exit?") == 'y') STOPPR();
        continue;
      case NameAnswer::Refused:
        continue;
      case NameAnswer::Given:
        break;
    }
    std::string path = dat_path(folder, name);
    WRLINE("Opening " + path + " for output...");
    if (same_file(path, d.in_path)) {
      WRLINE(" Output filename must differ from input filename!");
      continue;
    }
    // The listing and the picture take the same name: neither may replace
    // a file this run reads (a link to the input, or an input mesh.prt).
    if (const std::string taken = read_by_run(path); !taken.empty()) {
      WRLINE(" Output filename must differ from input filename: " + taken +
             " is a file this run reads!");
      continue;
    }
    // The old file is replaced by the first good save, not before.
    if (std::filesystem::exists(path) &&
        YESNO("File already exists.Do you want to overwrite it?") != 'y')
      continue;
    if (!can_write(path)) continue;
    d.out_path = path;
    name_pictures(path);
    WRLINE("File " + path + " successfully opened for output.");
    return;
  }
}

// The existing-file road from "opened for input" to the first save.
void read_existing(DataSet& d) {
  WRLINE("File " + d.in_path + " opened for input.");
  INPUT(d.in, d.mesh, d.in_path);
  ask_title(d.mesh);
  if (YESNO("Do you want the details listed?") == 'y') {
    WRLINE("Output will be in text window - if it is");
    WRLINE("obscured, click on its caption bar to bring it on top");
    PRINT(nullptr, d.mesh);
  }
  open_output(d);
  d.heading = "Check mesh details, then click on Continue...";
  PROMPT();
  plat().text_close();
  save_part_a(d);
}

// Chooses the input file. False when the user gave up choosing and wants to
// go back to the first question.
bool choose_existing(DataSet& d) {
  for (;;) {
    WRLINE("Choose the .dat file to open...");
    std::string path;
    int cancelled = 0;
    ASKFIL(std::filesystem::current_path().string(), path, cancelled);
    if (cancelled) {
      if (YESNO("Do you want to exit?") == 'y') STOPPR();
      return false;
    }
    // A folder, a device or a pipe is refused as a file that cannot be
    // opened, and the dialog shown again.
    if (!open_input(d.in, path)) {
      WRLINE("Cannot open " + path + " for input - choose another file.");
      continue;
    }
    d.in_path = path;
    return true;
  }
}

// The folder of a new file, chosen as it stands: an empty folder, or a new
// one, which is made here. Cancel, or a folder that cannot be made, keeps
// the folder there was, and says so.
void choose_folder(std::string& folder) {
  auto chosen = plat().folder_open("Navigate to desired folder", folder);
  std::string f = chosen ? *chosen : "";
  while (f.size() > 1 && (f.back() == '/' || f.back() == '\\')) f.pop_back();
  std::error_code ec;
  if (!f.empty() && !std::filesystem::is_directory(f, ec)) std::filesystem::create_directories(f, ec);
  if (f.empty() || !std::filesystem::is_directory(f, ec)) {
    WRLINE((f.empty() ? "No folder chosen" : "Cannot make the folder " + f) +
           "; the folder stays " + folder);
    return;
  }
  folder = f;
}

// Names, creates and opens the .dat file of a totally new mesh. False when
// the user declined to overwrite and then to exit.
bool open_new_output(DataSet& d) {
  std::string name;
  for (;;) {
    WRTEXT("What name (without .dat extension) will you give it? ");
    NameAnswer a = ask_simple_name(name, "Give a simple name, without .DAT or other extension");
    if (a == NameAnswer::Given) break;
    if (a == NameAnswer::Empty && YESNO("Do you want to exit?") == 'y') STOPPR();
  }
  std::string folder = std::filesystem::current_path().string();
  WRLINE("Default folder is " + folder);
  if (YESNO("Do you want to select a new folder?") == 'y') choose_folder(folder);
  std::string path = dat_path(folder, name);
  if (std::filesystem::exists(path)) {
    if (YESNO("File already exists. Do you want to overwrite it?") != 'y') {
      if (YESNO("Do you want to exit?") == 'y') STOPPR();
      return false;
    }
  }
  if (!can_write(path)) return false;
  d.out_path = path;
  name_pictures(path);
  WRLINE("File " + path + " opened for output.");
  return true;
}

// Draws the main menu over the mesh display and waits for a left click on
// one of its seven buttons; right clicks show the buttons' help screens.
int main_menu_choice(const MeshModel& m) {
  HEADNG(" Main menu: " + title_shown(m));
  int ybar[8];
  RIGBAR(7, 7, ybar);
  const char* labels[] = {"",           "Continue",  "Triangulate", "Refine mesh",
                          "Double mesh", "Modify mesh", "Save mesh", "Restart from save"};
  for (int i = 1; i <= 7; ++i) BARLAB(i, ybar, labels[i]);
  TELL("Right-click on grey toolbar for Help screens");
  for (;;) {
    MouseState ms = button_down();
    if (!on_toolbar(ms)) continue;
    int b = bar_button(7, ybar, ms.y);
    if (b == 0) continue;
    if (!(ms.buttons & MOUSE_LEFT)) {
      void (*help[])() = {nullptr, HPREDC, HPTRIA, HPREFN, HPDUBL, HPMDFY, HPSAVE, HPRSTR};
      help[b]();
      continue;
    }
    return b;
  }
}

void main_menu(DataSet& d) {
  bool redraw = true;
  for (;;) {
    if (redraw) show_mesh(d.mesh, d.heading);
    redraw = true;
    switch (main_menu_choice(d.mesh)) {
      case 1:
        return;
      case 2:
        TRIANG(d.mesh, d.work.marks);
        d.heading = "Check triangulated mesh, then continue...";
        break;
      case 3:
        refine_from_menu(d.mesh, d.work.edges);
        d.heading = "Check refined mesh, then Continue...";
        break;
      case 4:
        DOUBLE(d.mesh, d.work.doubling);
        d.heading = "Check doubled mesh, then Continue...";
        break;
      case 5:
        MODIFY(d.mesh, *d.newnod, d.work.marks);
        d.heading = "Check modified mesh, then Continue...";
        break;
      case 6:
        save_and_show(d);
        redraw = false;
        break;
      case 7:
        if (YESNOG("Abandon this mesh and restart from last saved version?") == 'y')
          restore_part_a(d);
        else
          redraw = false;
        break;
    }
  }
}

// The .prt listing of Part A, written at once so the mesh has its listing
// whatever follows; the Part B summary is added at completion.
void write_listing(DataSet& d) {
  d.prt.str("");
  PRINT(&d.prt, d.mesh);
  std::string why;
  if (!replace_file(prt_path(d.out_path), d.prt.str(), why)) PUTERR(why);
}

// Final save, the reordering question and the .prt listing.
void finish_part_a(DataSet& d) {
  save_and_show(d);
  char answer;
  while ((answer = YESNOH("Do you want to reorder the elements?")) == 'h') HPREDC();
  d.renumbered = false;
  if (answer == 'y') {
    HEADNG(" Renumbering: " + title_shown(d.mesh));
    int ybar[2];
    RIGBAR(1, 1, ybar);
    std::ostringstream renumbered;
    int result = REDUCE(d.mesh, renumbered, *d.newnod, *d.newelt, d.work.renumbering);
    if (result == 0 && !save_text(d, renumbered.str())) result = 1;
    if (result == 1) {
      PUT("Cannot renumber - original file written");
      save_part_a(d);
    } else {
      d.heading = "This is the new mesh in file " + d.out_path;
      d.part_a = d.saved;
      restore_part_a(d);
      show_mesh(d.mesh, d.heading);
      d.renumbered = true;
    }
  }
  if (!d.renumbered) {
    for (int i = 1; i <= MPOIN; ++i) (*d.newnod)(i) = i <= d.mesh.npoin ? i : 0;
    for (int i = 1; i <= MELEM; ++i) (*d.newelt)(i) = i <= d.mesh.nelem ? i : 0;
  }
  write_listing(d);
}

void completion(DataSet& d) {
  PUT("Congratulations! The data set is complete!");
  if (d.in.is_open()) d.in.close();
  // Part B is appended to the Part A it was made for.
  const bool dat = save_text(d, d.part_a + d.out.str());
  std::string why;
  const bool prt = replace_file(prt_path(d.out_path), d.prt.str(), why);
  if (!prt) PUTERR(why);
  d.complete = dat;
  if (dat && prt) PUT("Output files " + d.out_path + ", .prt written.");
  plat().text_open(TEXT_CAPTION);
  WRLINE("Dialogue reverts to text window - if it is obscured");
  WRLINE("click on its caption bar to bring it on top");
  if (YESNO("Do you want a PostScript file of the mesh?") == 'y')
    write_mesh_picture(d.mesh, ps_path(d.out_path));
}

// One data set, from "Do you want to create a totally new file?" to the
// completion messages. False when the user went back to the first question.
bool one_data_set(MeshModel& mesh, WorkTables& work) {
  DataSet d(mesh, work);
  d.new_file = YESNO("Do you want to create a totally new file?") == 'y';
  if (d.new_file) {
    if (!open_new_output(d)) return false;
    CREATE(d.mesh);
    if (save_part_a(d))
      PUT("New file " + d.out_path + " written; Part A only, i.e. without loads.");
    SLEEPZ(1.0);
    show_mesh(d.mesh, "Check mesh details, then click on Continue...");
    write_listing(d);
    DialogSpec next;
    next.lines = {DialogLine{" You can now add Part B data (e.g. loads) directly to "},
                  DialogLine{" this file, or you can modify the mesh (e.g. refine) "},
                  DialogLine{" before adding Part B data, producing a new file. "}};
    next.buttons = {"Add Part B", "Modify mesh"};
    if (plat().dialog(next) == 1) {
      for (int i = 1; i <= MPOIN; ++i) (*d.newnod)(i) = i <= d.mesh.npoin ? i : 0;
      for (int i = 1; i <= MELEM; ++i) (*d.newelt)(i) = i <= d.mesh.nelem ? i : 0;
      PART_B_SEQUENCE(d.mesh, nullptr, d.out, d.prt, *d.newnod, *d.newelt, d.work.part_b);
      completion(d);
      return true;
    }
    // Modify the mesh: the file just written becomes the input file.
    plat().text_open(TEXT_CAPTION);
    d.prt.str("");
    d.in_path = d.out_path;
    d.out_path.clear();
    // What was saved belongs to the input file now; nothing is saved under
    // the new name until its first save.
    d.saved.clear();
    d.part_a.clear();
    if (!open_input(d.in, d.in_path)) {
      WRLINE("Cannot open " + d.in_path + " for input - choose another file.");
      return false;
    }
  } else if (!choose_existing(d)) {
    return false;
  }
  read_existing(d);
  main_menu(d);
  finish_part_a(d);
  PART_B_SEQUENCE(d.mesh, d.in.is_open() && !d.new_file ? &d.in : nullptr, d.out, d.prt,
                  *d.newnod, *d.newelt, d.work.part_b);
  completion(d);
  return true;
}

}  // namespace

void GRIDOR() {
  set_ending_hook(gridor_ending);
  // The mesh model and the work tables are made once, here, and live for
  // the whole run.
  auto mesh = make_tables<MeshModel>();
  auto work = make_tables<WorkTables>();
  startup_texts();
  for (;;) {
    clear_mesh(*mesh);
    if (!one_data_set(*mesh, *work)) continue;
    if (YESNOG("Do you want to exit GRIDOR?") == 'y') {
      gridor_ending();
      return;
    }
    plat().text_clear();
    MPUT("Remove the old graphics window by clicking", "on its button labelled OK");
  }
}

}  // namespace vortan
