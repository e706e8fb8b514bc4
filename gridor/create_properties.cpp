// The second half of the new-mesh dialogue: fixity codes picked on the mesh,
// degrees of freedom, material property sets (or the coefficients of the
// Poisson equation) and the elements of each set.
#include <cstdlib>

#include "create_mesh.h"
#include "mesh_display.h"
#include "platform/platform.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {

// One group of node picks under a heading, until a click on the toolbar.
// `apply` gets each picked node.
template <class Apply>
void pick_group(MeshModel& m, const std::string& heading, Apply apply) {
  SLEEPZ(0.4);
  for (;;) {
    int n = PICKND(m, heading);
    if (n == 0) return;
    apply(n);
    LABNOD(m, n, n, WHOLE_PLANE);
  }
}

void poisson_fixities(MeshModel& m) {
  PUT("Boundary conditions");
  bool later = false;
  do {
    pick_group(m, "Click on nodes with Dirichlet (fixed) b.c. Click in brown panel at right to end",
               [&](int n) {
                 if (later && m.kode(n) == 0) TELLI("Changing to fixed b.c. for node ", n);
                 m.kode(n) = 1;
               });
    if (later)
      pick_group(m, "Now click on any nodes to change back to Neumann (free) b.c.", [&](int n) {
        if (m.kode(n) == 1) TELLI("Changing to free b.c. for node ", n);
        m.kode(n) = 0;
      });
    later = true;
  } while (YESNOG("Do you want to make any changes?") == 'y');
}

void structural_fixities(MeshModel& m) {
  PUT("Fixed degrees of freedom");
  const bool beam = std::abs(m.ndofn) == 3;
  bool later = false;
  do {
    // On later passes of a beam mesh the rotation digit is kept.
    auto set_xy = [&](int n, int xy) {
      if (later) TELLI("Changing code for node ", n);
      m.kode(n) = (beam && later) ? xy * 10 + m.kode(n) % 10 : xy;
    };
    pick_group(m, "Click on nodes fixed in x direction, free in y. Click in brown panel to end",
               [&](int n) { set_xy(n, 10); });
    pick_group(m, "Click on nodes fixed in y direction, free in x. Click in brown panel to end",
               [&](int n) { set_xy(n, 1); });
    pick_group(m,
               "Click on nodes fixed in both x and y directions. Click in brown panel to end",
               [&](int n) { set_xy(n, 11); });
    if (beam) {
      if (!later)
        for (int n = 1; n <= m.npoin; ++n) m.kode(n) *= 10;
      pick_group(m, "Click on nodes with fixed rotations. Click in brown panel to end",
                 [&](int n) {
                   if (later) TELLI("Changing code for node ", n);
                   m.kode(n) = m.kode(n) / 10 * 10 + 1;
                 });
    }
    if (later) {
      pick_group(m,
                 "Click on nodes free in both x and y directions. Click in brown panel to end",
                 [&](int n) { set_xy(n, 0); });
      if (beam)
        pick_group(m, "Click on nodes with free rotations. Click in brown panel to end",
                   [&](int n) {
                     TELLI("Changing code for node ", n);
                     m.kode(n) = m.kode(n) / 10 * 10;
                   });
    }
    later = true;
  } while (YESNOG("Do you want to make any changes?") == 'y');
}

void text_window_notice() {
  MPUT("Dialogue reverts to text window. Click on its", "caption bar to bring it on top");
}

int ask_set_count(const std::string& question) {
  for (;;) {
    int n = ASKDGT(question);
    if (n >= 1 && n <= MPROP) {
      if (n == 1) WRLINE("All elements will belong to this property set.");
      return n;
    }
    WRLINE("Invalid no. - max. no of sets is " + std::to_string(MPROP));
  }
}

void ask_component(MeshModel& m, int set, int k, const std::string& prompt) {
  WRLINE(prompt);
  ASKVAL(m.props(set, k), E10_3);
}

void material_values(MeshModel& m, int i, bool changing) {
  const bool beam = std::abs(m.ndofn) == 3, advanced = m.ndofn < 0;
  const std::string tail = changing ? " for set " + std::to_string(i) + ": " : ": ";
  ask_component(m, i, 1, "Enter the Young's modulus" + tail);
  int next;
  if (beam) {
    ask_component(m, i, 2, "Enter the Moment of Inertia" + tail);
    ask_component(m, i, 3, "Enter the cross-sectional Area" + tail);
    next = 4;
  } else {
    ask_component(m, i, 2, "Enter the Poisson's ratio" + tail);
    if (!advanced) ask_component(m, i, 3, "Enter the material thickness" + tail);
    next = 3;
  }
  if (!advanced) return;
  if (i == 1 && !changing) {
    WRLINE("At Advanced level you can define additional");
    WRLINE("material properties. Enter 0 if not used.");
  }
  for (int k = next; k <= MCOMP; ++k)
    ask_component(m, i, k, "Enter value of prop. component " + std::to_string(k) + ": ");
}

void material_sets(MeshModel& m) {
  WRLINE("Material property sets");
  WRLINE("----------------------");
  m.npros = ask_set_count("How many different material sets are there? ");
  for (int i = 1; i <= m.npros; ++i) {
    WRLINE("Material property set " + std::to_string(i) + ": ");
    material_values(m, i, false);
  }
  if (YESNO("Do you want to make any changes?") != 'y') return;
  do {
    int i = ask_set_number("Enter a property set number between 1 and ", m.npros);
    material_values(m, i, true);
  } while (YESNO("Do you want to make any more changes?") == 'y');
}

void poisson_values(MeshModel& m, int i, bool changing) {
  const std::string set = std::to_string(i);
  ask_component(m, i, 1, changing ? "Enter the coefft AX for set " + set + ": "
                                  : "Enter the coefficient AX: ");
  ask_component(m, i, 2, changing ? "Enter the coefft AY for set " + set + ": "
                                  : "Enter the coefficient AY: ");
  for (int k = 3; k <= MCOMP; ++k)
    ask_component(m, i, k,
                  (changing ? "Enter value of coefft " : "Enter value of coefficient ") +
                      std::to_string(k) + ": ");
}

void poisson_coefficients(MeshModel& m) {
  WRLINE("Coefficients in Poisson equation");
  WRLINE("--------------------------------");
  if (m.ndofn > 0) {
    m.npros = 1;
    m.props(1, 1) = m.props(1, 2) = 1.0;
    ask_component(m, 1, 1, "Enter the coefficient AX: ");
    ask_component(m, 1, 2, "Enter the coefficient AY: ");
    return;
  }
  m.npros = ask_set_count("How many different coefft sets are there? ");
  for (int i = 1; i <= m.npros; ++i) {
    WRLINE("Coefficient set " + std::to_string(i) + ": ");
    poisson_values(m, i, false);
  }
  if (YESNO("Do you want to make any changes?") != 'y') return;
  do {
    int i = ask_set_number("Enter a coefft set number between 1 and ", m.npros);
    poisson_values(m, i, true);
  } while (YESNO("Do you want to make any more changes?") == 'y');
}

void property_elements(MeshModel& m) {
  for (int e = 1; e <= m.nelem; ++e) m.matset(e) = 1;
  if (m.npros < 2) return;
  WRLINE("Property - element connections");
  WRLINE("------------------------------------");
  WRLINE("Set 1 is the default property set.");
  SLEEPZ(0.5);
  PUT("Now drawing in graphics window...");
  DISPL(m, "To define element properties, Continue ...");
  int ybar[2];
  RIGBAR(1, 1, ybar);
  BARLAB(1, ybar, "End");
  SLEEPZ(1.0);
  do {
    for (int i = 2; i <= m.npros; ++i) {
      OUTGI("Click on the elements associated with set: ", i);
      for (;;) {
        int e = PICKEL(m, "Click on the elements associated with set: " + std::to_string(i));
        if (e == 0) break;
        m.matset(e) = i;
        LABELM(m, e, e, WHOLE_PLANE);
      }
    }
  } while (YESNOG("Element properties completed. Do you want to make any changes?") == 'y');
  text_window_notice();
}

}  // namespace

// Asks for a set number between 1 and n; only a line that is not an integer
// is asked again, and a number outside the range is asked again too, so that
// nothing is stored for a set that does not exist.
int ask_set_number(const std::string& prompt, int n) {
  for (;;) {
    WRTEXT(prompt + std::to_string(n) + ": ");
    auto t = free_tokens(READLN());
    long v;
    if (t.empty() || !free_int(t[0], v)) continue;
    if (v >= 1 && v <= n) return static_cast<int>(v);
    WRLINE("There is no set " + std::to_string(v) + ".");
  }
}

void SETKOD(int digits, int& kode) {
  if (digits < 1 || digits > 4) return;
  DialogSpec d;
  d.caption = "Vortan - fixity code";
  d.lines = {DialogLine{"Current fixity code is " + kode_text(kode, digits)},
             DialogLine{"New fixity code:"}};
  std::string code = kode_text(kode, digits);
  for (int i = 0; i < digits; ++i) {
    d.fields.push_back(integer_field("", code[code.size() - digits + i] - '0', 0, 1, 1));
    d.fields.back().joins_row = i > 0;  // the digits side by side
  }
  d.buttons = {"OK"};
  plat().dialog(d);
  int k = 0;
  for (const auto& f : d.fields) k = k * 10 + static_cast<int>(f.ivalue);
  kode = k;
}

void CREATE_PROPERTIES(MeshModel& m) {
  int ybar[2];
  RIGBAR(1, 1, ybar);
  BARLAB(1, ybar, "End");
  if (std::abs(m.ndofn) == 1)
    poisson_fixities(m);
  else
    structural_fixities(m);

  const int dof = std::abs(m.ndofn);
  for (int n = 1; n <= m.npoin; ++n) m.ndof(n) = dof;
  HEADNG(title_shown(m));
  DISPL(m, "Now drawing to graphics window...");
  text_window_notice();
  WRLINE("Assigned " + std::to_string(dof) + " degrees of freedom at all nodes.");

  if (dof == 1)
    poisson_coefficients(m);
  else
    material_sets(m);
  property_elements(m);

  for (const char* l : {"Part A of the input data set is now complete!",
                        "You can either add Part B data directly to this",
                        "file, or you can modify the data by refining the",
                        "mesh, etc., to create Part A of a new .dat file",
                        "(which must be given a different name) - and",
                        "then define Part B data for that file."})
    WRLINE(l);
  PROMPT();
}

}  // namespace vortan
