// PLOTOR's main program. It owns every table of the viewer, opens the .out
// file the user chooses, reads it one result set at a time and, for every
// set, leads through the five stages: listing, mesh check, main menu of
// result plots, d.o.f. contours and PostScript files. The plots themselves
// are the routines of plots.h; the driver chooses them, draws the heading
// strip and asks the questions between them.
#include "viewer_driver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "dat_file.h"
#include "help_screens.h"
#include "line_reader.h"
#include "listing.h"
#include "mesh_display.h"
#include "mesh_picture.h"
#include "platform/platform.h"
#include "plot.h"
#include "plots.h"
#include "prompts.h"
#include "results_file.h"
#include "toolbar.h"

namespace vortan {

std::string ps_stem(const std::string& path) {
  const size_t name = path.find_last_of("/\\");
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (name != std::string::npos && dot < name) ||
      dot == (name == std::string::npos ? 0 : name + 1))
    return path;
  return path.substr(0, dot);
}

std::string ps_name(const std::string& stem, char letter) {
  return stem + letter + ".ps";
}

bool has_1d_elements(const MeshModel& m) {
  const int nelem = m.nelem;
  for (int e = 1; e <= nelem; ++e)
    if (m.nside(e) <= 2 && m.nside(e) + 10 * m.nnode(e) != 32) return true;
  return false;
}

namespace {

constexpr const char* TEXT_CAPTION = "PLOTOR text";

// Everything the driver owns: made once at start-up, never resized.
struct Viewer {
  MeshModel mesh;
  ResultSet res;
  PlotWork work;
  ViewState view;
  std::ifstream out;          // the .out file, open from its choice to its last set
  std::string path;           // its path
  std::string folder;         // its folder
  std::string psstem;         // the path without ".out"
  bool has1d = false;
  std::array<Rgb, 16> palette{};
  int show_choice = 1;        // last choice of the displacement viewing options
  int print_choice = 1;       // last choice of the displacement printing options
};

void ENDWIN() {
  plat().text_close();
  plat().graphics_close();
}

// The end of the program, also after a y to "Do you want to exit?".
void plotor_ending() {
  MPUT("Thank you for using PLOTOR.", "Please close the text and graphics windows .");
  ENDWIN();
}

void banner() {
  DialogSpec b;
  b.caption = "";
  b.style = DialogStyle::Banner;
  b.lines = {DialogLine{"VORTAN", true}, DialogLine{"version 3.2"}};
  plat().dialog(b);
  SLEEPZ(3.0);
  SLEEPZ(0.5);
  DialogSpec welcome;
  welcome.caption = "PLOTOR - the VORTAN Postprocessor";
  welcome.style = DialogStyle::Welcome;
  welcome.lines = {DialogLine{"PLOTOR"}, DialogLine{"version 3.2"},
                   DialogLine{" Use PLOTOR to view results in a VORTAN output file"},
                   DialogLine{" (with .out extension)"}};
  welcome.buttons = {"Continue"};
  plat().dialog(welcome);
}

void write_lines(std::initializer_list<const char*> lines) {
  for (const char* l : lines) WRLINE(l);
}

// A new text window and the texts that open the dialogue.
void introduction() {
  plat().text_open(TEXT_CAPTION);
  WRLINE();
  WRLINE();
  write_lines({"VORTAN programs make use of extended memory on",
               "your PC. It is strongly recommended that you exit",
               "other applications (especially those using extended",
               "memory) before running the VORTAN package.", "",
               "In particular, VORTAN programs must not be used at",
               "the same time as other software which exploits",
               "extended memory, unless that software is compatible",
               "with the VCPI eXtended Memory Specification (XMS).", "", ""});
  PROMPT();
  WRLINE();
  write_lines({"PLOTOR creates a text window and a graphics window.",
               "This is the text window. Leave it open while PLOTOR",
               "is running. Most of the dialogue will occur with the",
               "graphics window on top, but when dialogue switches to",
               "the text window you will be prompted to click on it",
               "to make it visible.", "", "",
               "Respond to questions using the keyboard.",
               "Type y for yes, or n for no. For yes/no questions,",
               "and those requiring a single keystroke as answer,",
               "you do not need to press Enter after responding.",
               "If you press the Esc key, you can exit."});
}

// The file-open dialog for a results file.
void ASKFL2(const std::string& folder, std::string& path, int& cancelled) {
  auto chosen = plat().file_open("Open an output file",
                                 {{"Output files", "*.out"}, {"All files", "*.*"}}, folder);
  path = chosen ? *chosen : "";
  cancelled = LENSTR(path) == 0 ? 1 : 0;
  if (cancelled) WRLINE("No file selected.");
}

void save_palette(Viewer& v) {
  for (int i = 0; i < 16; ++i) v.palette[i] = plat().fb().palette(i);
}

void restore_palette(const Viewer& v) {
  for (int i = 0; i < 16; ++i) plat().fb().set_palette_rgb(i, v.palette[i]);
  plat().graphics_update();
}

std::string plain_title(const MeshModel& m) { return trimmed(m.title); }

// The plain title in the heading strip, in yellow and whole.
void title_heading(const MeshModel& m) {
  const std::string t = plain_title(m);
  HEADNG(t);
  plat().fb().text(5, 25, t, 14, 1, TextAnchor::Baseline);
  plat().graphics_update();
}

// Opens a results file and reads its mesh data. False when the user gave
// up choosing a file and does not want to exit: the dialogue then starts
// again with a new text window.
bool open_results_file(Viewer& v) {
  for (;;) {
    std::string folder = std::filesystem::current_path().string();
    plot_state().actscale = -9999.0f;
    WRLINE();
    WRLINE();
    WRLINE();
    std::string path;
    int cancelled = 1;
    if (YESNO("Are you ready to open a .out file?") == 'y') ASKFL2(folder, path, cancelled);
    if (cancelled) {
      if (YESNO("Do you want to exit?") == 'y') STOPPR();
      return false;
    }
    // A folder, a device or a pipe is refused as a file that cannot be
    // opened, and the dialog shown again.
    if (!open_input(v.out, path)) {
      WRLINE("Cannot open " + path + " for input - choose another file.");
      continue;
    }
    v.path = path;
    int length;
    GETHOM(path, v.folder, length);
    v.psstem = ps_stem(path);
    v.mesh.title.assign(80, ' ');
    WRLINE("Reading mesh data...");
    INPUT(v.out, v.mesh, path);
    v.has1d = has_1d_elements(v.mesh);
    save_palette(v);
    return true;
  }
}

void fill_vnode_column(Viewer& v, int k) {
  const int npoin = v.mesh.npoin;
  for (int n = 1; n <= npoin; ++n) v.work.vnode(n) = v.res.disp(n, k);
}

void fill_vnode_magnitude(Viewer& v) {
  const int npoin = v.mesh.npoin;
  for (int n = 1; n <= npoin; ++n)
    v.work.vnode(n) = std::sqrt(v.res.disp(n, 1) * v.res.disp(n, 1) +
                                v.res.disp(n, 2) * v.res.disp(n, 2));
}

// The material type to plot, 0 for all elements.
int ASKLM() {
  DialogSpec d;
  d.caption = "Material type to plot";
  d.lines = {DialogLine{"You can choose to plot only elements of a"},
             DialogLine{"particular material type."},
             DialogLine{.text = "(Leave at 0 to plot all elements)", .after_fields = 1}};
  d.fields = {integer_field("Plot material type: ", 0, 0, 8, 3)};
  d.buttons = {"OK"};
  plat().dialog(d);
  return static_cast<int>(std::clamp(d.fields[0].ivalue, 0L, 8L));
}

// The three ways of showing (or printing) displacements; `choice` keeps the
// last one, which the list shows first the next time.
int displacement_options(const std::string& caption, const std::string& question,
                         int& choice) {
  DialogSpec d;
  d.caption = caption;
  d.lines = {DialogLine{question, true}};
  DialogField list;
  list.kind = DialogField::List;
  list.items = {"Deformed mesh", "Dsplt contours", "Nodal vectors"};
  list.ivalue = choice;
  list.width = 16;
  d.fields = {list};
  d.buttons = {"OK"};
  plat().dialog(d);
  choice = static_cast<int>(std::clamp(d.fields[0].ivalue, 1L, 3L));
  return choice;
}

// The d.o.f. and material type of a contour plot; the fields start at the
// current values.
void dof_dialog(const std::string& caption, int& dof, int& matsel) {
  DialogSpec d;
  d.caption = caption;
  d.lines = {DialogLine{"Choose d.o.f. and material type to show"},
             DialogLine{.text = "  D.o.f.\tMaterial Type", .red = true, .heads = true},
             DialogLine{.text = "(Leave mat type at 0 to show all elts)", .after_fields = 2},
             DialogLine{.text = "(Max. d.o.f. no. is 4)", .after_fields = 2}};
  d.fields = {integer_field("", dof, 1, 4, 3), integer_field("", matsel, 0, 9, 3)};
  d.fields[0].column = 1;  // under the heads
  d.fields[1].column = 2;
  d.buttons = {"OK"};
  plat().dialog(d);
  dof = static_cast<int>(std::clamp(d.fields[0].ivalue, 1L, 4L));
  matsel = static_cast<int>(std::clamp(d.fields[1].ivalue, 0L, 9L));
}

std::string dof_label(const Viewer& v, int k) {
  std::string label = v.res.dofnam[k];
  label.resize(10, ' ');
  return label;
}

// --- stage 3: the main menu --------------------------------------------------

struct Menu {
  int count = 5;
  const char* labels[7] = {};
};

Menu menu_of(const Viewer& v) {
  Menu menu;
  if (std::abs(v.mesh.ndofn) < 2) {
    const char* l[] = {"", " Leave main menu", " Flowlines", " Potentials", " Flow Contours",
                       " Yield zones"};
    std::copy(std::begin(l), std::end(l), menu.labels);
  } else {
    const char* l[] = {"",  " Leave main menu", " Stress crosses", " Displacements",
                       " Stress Contours", " Yield zones", "Plot 1D elts"};
    std::copy(std::begin(l), std::end(l), menu.labels);
    if (v.has1d) menu.count = 6;
  }
  return menu;
}

// Draws one pass of the menu and waits for a left click on a button; right
// clicks show the buttons' help screens.
int menu_choice(const Viewer& v, const Menu& menu) {
  plat().mouse_show(false);
  // A picture drawn in another palette (a contour plot's) would show in
  // false colours once the palette is back: it goes with it.
  bool recoloured = false;
  for (int i = 0; i < 16; ++i) {
    const Rgb c = plat().fb().palette(i);
    recoloured = recoloured || c.r != v.palette[i].r || c.g != v.palette[i].g || c.b != v.palette[i].b;
  }
  if (recoloured) plat().fb().fill_rect(0, 35, 499, 479, BACKGROUND);
  restore_palette(v);
  title_heading(v.mesh);
  int ybar[7];
  RIGBAR(menu.count, menu.count, ybar);
  for (int i = 1; i <= menu.count; ++i) BARLAB(i, ybar, menu.labels[i]);
  TELL("3) Right-click on grey toolbar for Help screens");
  plat().mouse_show(true);
  for (;;) {
    MouseState s = next_press();
    if (!on_toolbar(s)) continue;
    const int b = bar_button(menu.count, ybar, s.y);
    if (b == 0) continue;
    if (!(s.buttons & MOUSE_LEFT)) {
      switch (b) {
        case 2: HPSTRS(); break;
        case 3: HPDEFM(); break;
        case 4: HPCONT(); break;
        case 5: HPYLD(); break;
        default: break;
      }
      continue;
    }
    return b;
  }
}

void show_displacements(Viewer& v) {
  const int choice = displacement_options("Displacement viewing options",
                                          "How to display displacements?", v.show_choice);
  const std::string title = plain_title(v.mesh);
  if (choice == 1) {
    if (v.has1d) MPUT("NB: To view 1D elements,", "choose the <Plot 1D elts> option");
    plot_heading(" Deformed mesh: " + title);
    SPLAY(v.mesh, v.res, v.work, v.view);
  } else if (choice == 2) {
    fill_vnode_magnitude(v);
    plot_heading(" Displt contours: " + title);
    CSPLAY(v.mesh, v.res, v.work, v.view);
  } else {
    plot_heading(" Displt vectors: " + title);
    VSPLAY(v.mesh, v.res, v.work, v.view);
  }
}

// The name a picture of the plot on the screen is saved under by default:
// that of its PostScript file without ".ps" (runc beside run.out), or the
// results file's with the plot's name.
void note_picture(const Viewer& v, const std::string& plot) {
  plat().note_picture_name(v.psstem + plot);
}

const char* const MENU_PICTURES[6] = {"", "b", "a", "c", "h", "-1d"};

void menu_action(Viewer& v, int button) {
  const bool poisson = std::abs(v.mesh.ndofn) < 2;
  const std::string title = plain_title(v.mesh);
  if (button >= 2 && button <= 6) note_picture(v, MENU_PICTURES[button - 1]);
  switch (button) {
    case 2:
      plot_heading((poisson ? " Flowlines: " : " Principal stresses: ") + title);
      STRAY(v.mesh, v.res, v.work, v.view);
      break;
    case 3:
      if (poisson) {
        fill_vnode_column(v, 1);
        plot_heading(dof_label(v, 1) + ": " + title);
        CSPLAY(v.mesh, v.res, v.work, v.view);
      } else {
        show_displacements(v);
      }
      break;
    case 4:
      CSTRAY(v.mesh, v.res, v.work, v.view);
      SLEEPZ(0.4);
      break;
    case 5:
      plot_heading(" Yield zones: " + title);
      YSPLAY(v.mesh, v.res, v.work, v.view);
      break;
    case 6: {
      const bool beams = YESNOG("Do bar elements represent beams?") == 'y';
      plot_heading(" 1D displts: " + title);
      SPLY1D(v.mesh, v.res, v.work, v.view, beams);
      break;
    }
    default:
      break;
  }
}

// The Poisson road without Gauss-point values: contours of the potential
// until the user proceeds. False when the user wants another material type.
bool potential_contours(Viewer& v) {
  plat().mouse_show(false);
  restore_palette(v);
  title_heading(v.mesh);
  for (;;) {
    CSPLAY(v.mesh, v.res, v.work, v.view);
    SLEEPZ(0.4);
    if (v.view.matsel != 0 &&
        YESNOG("Do you want to view results for a different material type?") == 'y')
      return false;
    if (YESNOG("Proceed to d.o.f. plots?") == 'y') return true;
  }
}

// Stage 3: returns when the user proceeds to the d.o.f. plots.
void main_menu(Viewer& v) {
  const bool poisson = std::abs(v.mesh.ndofn) < 2;
  const Menu menu = menu_of(v);
  for (;;) {
    v.view.matsel = ASKLM();
    if (poisson) fill_vnode_column(v, 1);
    if (poisson && v.res.hasgp == 0) {
      if (potential_contours(v)) return;
      continue;
    }
    for (;;) {
      const int b = menu_choice(v, menu);
      if (b != 1) {
        menu_action(v, b);
        continue;
      }
      if (v.view.matsel != 0 &&
          YESNOG("Do you want to view results for a different material type?") == 'y')
        break;
      if (YESNOG("Proceed to d.o.f. plots?") == 'y') return;
    }
  }
}

// --- stage 4: d.o.f. contours -------------------------------------------------

// True when the user goes back to the main menu.
bool dof_contours(Viewer& v) {
  const char answer = YESNOG("4) Do you want to see nodal contours for any d.o.f.?");
  int dof = 1;
  v.view.matsel = 0;
  if (answer != 'y') return false;
  do {
    dof_dialog("Degree of Freedom Contours", dof, v.view.matsel);
    fill_vnode_column(v, dof);
    note_picture(v, "-dof" + std::to_string(dof));
    plot_heading(dof_label(v, dof) + ": " + plain_title(v.mesh));
    if (dof <= std::abs(v.mesh.ndofn) ||
        YESNOG("Does this d.o.f. exist only at corner nodes?") == 'n')
      CSPLAY(v.mesh, v.res, v.work, v.view);
    else
      CSPLY2(v.mesh, v.res, v.work, v.view);
    SLEEPZ(0.4);
  } while (YESNOG("Display another d.o.f./mat. type?") == 'y');
  return YESNOG("Do you want to go back to main menu?") == 'y';
}

// --- stage 5: PostScript files ------------------------------------------------

// Writes the picture of the given letter, leaving the screen mode behind.
void write_picture(const Viewer& v, char letter, const std::function<void()>& write) {
  if (!mesh_picture_fits(v.mesh, ps_name(v.psstem, letter))) return;
  write_ps_picture(ps_name(v.psstem, letter), [&] {
    write();
    set_ps_mode(false);
  });
}

void postscript_files(Viewer& v) {
  plat().text_open(TEXT_CAPTION);
  WRLINE();
  WRLINE();
  if (YESNO("5) Do you want to produce any PostScript files?") != 'y') return;
  const int kind = std::abs(v.mesh.ndofn);
  if (kind >= 2 && YESNO("Do you want a PostScript file of the displacements?") == 'y') {
    const int choice = displacement_options("Displacement printing options",
                                            "How to print displacements?", v.print_choice);
    write_picture(v, 'a', [&] {
      if (choice == 1) {
        PSMESH(v.mesh, v.res, v.work, v.view);
      } else if (choice == 2) {
        fill_vnode_magnitude(v);
        PSCSPL(v.mesh, v.res, v.work, v.view, 1);
      } else {
        PSVMSH(v.mesh, v.res, v.work, v.view);
      }
    });
  }
  if (v.res.hasgp == 1 || kind == 2) {
    if (YESNO("Do you want a PostScript file of the stress/flow crosses?") == 'y')
      write_picture(v, 'b', [&] { PSSTRS(v.mesh, v.res, v.work, v.view); });
    if (YESNO("Do you want a PostScript file of the stress/flow contours?") == 'y')
      write_picture(v, 'c', [&] { PSCSTR(v.mesh, v.res, v.work, v.view); });
  }
  if (YESNO("Do you want Postscript files of contours for any d.o.f.?") == 'y') {
    int dof = 1;
    v.view.matsel = 0;
    for (int count = 1; count <= 4; ++count) {
      write_picture(v, static_cast<char>('c' + count), [&] {
        dof_dialog("Degree of Freedom Countours", dof, v.view.matsel);
        fill_vnode_column(v, dof);
        int corner = 1;
        if (dof > kind && YESNO("Does this d.o.f. exist only at corner nodes?") == 'y')
          corner = 2;
        PSCSPL(v.mesh, v.res, v.work, v.view, corner);
      });
      SLEEPZ(0.4);
      if (count == 4 || YESNO("Print another d.o.f./mat. type?") != 'y') break;
    }
  }
  if (v.res.hasgp == 1 && v.mesh.ndofn < 0 &&
      YESNO("Do you want a PostScript file of the yield zone?") == 'y')
    write_picture(v, YIELD_LETTER, [&] { PSYSTR(v.mesh, v.res, v.work, v.view); });
}

// --- one result set and one file ----------------------------------------------

void five_stages(Viewer& v) {
  WRLINE();
  write_lines({"There are five stages in using PLOTOR:", "1) input details listed (optional)",
               "2) input mesh displayed as in GRIDOR", "3) main menu of plots of results",
               "4) contour plots for specific d.o.f.s (optional)",
               "5) PostScript plots of results (optional)", "", ""});
  if (YESNO("1) Do you want the details listed?") == 'y') PRINT(nullptr, v.mesh);
  PROMPT();
  plat().text_close();

  restore_palette(v);
  std::string heading = "2) Check the mesh, then click Continue to view results...";
  heading.resize(80, ' ');
  DISPL(v.mesh, heading);

  for (;;) {
    main_menu(v);
    if (!dof_contours(v)) break;
  }
  postscript_files(v);
}

// Every result set of the open file, until the file ends or the user
// declines the next set; the file is then closed.
void view_results_file(Viewer& v) {
  for (;;) {
    if (read_result_set(v.out, v.mesh, v.res, v.path) == SetRead::Read) five_stages(v);
    std::string title;
    if (!read_next_title(v.out, title) ||
        YESNOG("Do you want to view next result set?") != 'y') {
      v.out.close();
      return;
    }
    v.mesh.title = title;
    WRLINE("Reading next set of results...");
    title_heading(v.mesh);
  }
}

}  // namespace

void PLOTOR() {
  set_ending_hook(plotor_ending);
  // Every table is made once, here, and lives for the whole run.
  auto v = make_tables<Viewer>();
  clear_results(v->res);
  banner();
  bool new_text_window = true;
  for (;;) {
    if (new_text_window) introduction();
    new_text_window = false;
    clear_mesh(v->mesh);
    if (!open_results_file(*v)) {
      new_text_window = true;
      continue;
    }
    view_results_file(*v);
    if (YESNOG("Do you want to exit?") == 'y') {
      plotor_ending();
      return;
    }
    MPUT("Please remove the current graphics window by clicking", "on its OK button.");
  }
}

}  // namespace vortan
