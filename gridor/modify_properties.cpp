// The "Continue" choice of mesh modification: the title and the material
// property sets in the text window, then the material type and property
// set of elements chosen on the mesh.
#include <cstdlib>

#include "create_mesh.h"
#include "mesh_display.h"
#include "modify_mesh.h"
#include "platform/platform.h"
#include "prompts.h"
#include "toolbar.h"

namespace vortan {

namespace {

void change_title(MeshModel& m) {
  WRLINE("Current title for this mesh is:");
  WRLINE(trimmed(m.title));
  if (YESNO("Do you want to change it?") != 'y') return;
  WRLINE("Type new title below (max 60 characters):");
  const std::string t = typed_title(READLN());
  // A blank answer would leave the mesh without a title.
  if (trimmed(t).empty()) {
    WRLINE("No title entered - keeping original!");
    return;
  }
  m.title = t;
  WRLINE("Title changed.");
}

// The non-zero components of every set; `each` heads every set with the
// words that introduce its components.
void list_sets(const MeshModel& m, bool each) {
  for (int i = 1; i <= m.npros; ++i) {
    WRLINE("Set number " + std::to_string(i));
    if (each) WRLINE("The non-zero mat. properties are:");
    for (int k = 1; k <= MCOMP; ++k)
      if (m.props(i, k) != 0.0)
        WRLINE("Component " + std::to_string(k) + " has value " + free_real_text(m.props(i, k)));
  }
}

void ask_component(MeshModel& m, int set, int k, const std::string& prompt) {
  WRLINE(prompt);
  ASKVAL(m.props(set, k), E10_3);
}

// The values of set i, in the words of the problem type.
void set_values(MeshModel& m, int i) {
  const int kind = std::abs(m.ndofn);
  const bool advanced = m.ndofn < 0;
  const std::string tail = " for set " + std::to_string(i) + ": ";
  int next = 3;
  if (kind == 1) {
    ask_component(m, i, 1, "Enter the coefficient AX" + tail);
    ask_component(m, i, 2, "Enter the coefficient AY" + tail);
  } else if (kind == 3) {
    ask_component(m, i, 1, "Enter the Young's modulus" + tail);
    ask_component(m, i, 2, "Enter the Moment of Inertia" + tail);
    ask_component(m, i, 3, "Enter the cross-sectional Area" + tail);
    next = 4;
  } else {
    ask_component(m, i, 1, "Enter the Young's modulus" + tail);
    ask_component(m, i, 2, "Enter the Poisson's ratio" + tail);
    if (!advanced) ask_component(m, i, 3, "Enter the material thickness" + tail);
  }
  if (!advanced) return;
  WRLINE("You may also define additional properties...");
  WRLINE("Enter 0 if not used.");
  for (int k = next; k <= MCOMP; ++k)
    ask_component(m, i, k, "Enter value of component no. " + std::to_string(k) + ": ");
}

void change_values(MeshModel& m) {
  if (m.npros < 1) return;  // no set to choose from
  const std::string which = std::abs(m.ndofn) == 1 ? "Enter a coefft set number between 1 and "
                                                   : "Enter a property set number between 1 and ";
  do {
    WRLINE("Material properties");
    WRLINE("-------------------");
    list_sets(m, true);
    if (YESNO("Do you want to change or add any mat. prop. values?") != 'y') return;
    set_values(m, ask_set_number(which, m.npros));
  } while (YESNO("Do you want to make any more changes?") == 'y');
}

void new_sets(MeshModel& m) {
  while (YESNO("Do you want to create a new property set?") == 'y') {
    // The table holds MPROP sets.
    if (m.npros >= MPROP) {
      WRLINE("Max. no. of property sets is " + std::to_string(MPROP) +
             " - no more can be created.");
      return;
    }
    const int i = ++m.npros;
    WRLINE("New set will be set no. " + std::to_string(i));
    if (m.props(i, 1) != 0.0) {
      WRLINE("This set has already been defined.");
      if (YESNO("Do you want to overwrite it?") != 'y') continue;
    }
    set_values(m, i);
    WRLINE("Max. prop. set no. is " + std::to_string(m.npros));
    WRLINE("The non-zero mat. properties are:");
    list_sets(m, false);
    // No changes: on to the reassignment offer, not the new-set question.
    if (YESNO("Do you want to make any changes?") != 'y') return;
    change_values(m);
  }
}

// Asks for a property set number, the field starting at 1.
int ask_property_set() {
  DialogSpec d;
  d.icon = DialogIcon::Question;
  d.lines = {DialogLine{"New property set no.?"}};
  d.fields = {integer_field("", 1, -2147483647L, 2147483647L, 5)};
  d.buttons = {"OK"};
  plat().dialog(d);
  return static_cast<int>(d.fields[0].ivalue);
}

bool is_one_dimensional(const MeshModel& m, int e) {
  const int ns = std::abs(m.nside(e));
  return ns < 3 && !(ns == 2 && m.nnode(e) == 3);
}

void reassign_elements(MeshModel& m, Table1<int, MELEM>& chosen) {
  DISPL(m, "Continue for mat. type and prop. connections..");
  int ybar[2];
  RIGBAR(1, 1, ybar);
  BARLAB(1, ybar, "End");
  SLEEPZ(0.1);
  for (;;) {
    for (int e = 1; e <= MELEM; ++e) chosen(e) = e <= m.nelem ? e : 0;
    if (PICKLL(m, chosen, WHOLE_PLANE) == 0) return;
    int type;
    // Material types are 0 to 8 wherever an element is defined.
    while ((type = PUTGI("New material type?")) < 0 || type > 8)
      PUTERR("Material type must lie between 0 and 8. Try again:");
    int set;
    while ((set = ask_property_set()) < 1 || set > m.npros) PUTERR("Invalid set no. Try again:");
    bool one_d = std::abs(m.ndofn) == 3;
    if (m.ndofn == -2) one_d = YESNOG("Is this a set for 1D elements?") == 'y';
    for (int e = 1; e <= m.nelem; ++e) {
      if (chosen(e) >= 0 || is_one_dimensional(m, e) != one_d) continue;
      m.mattyp(e) = type;
      m.matset(e) = set;
    }
    PUT("Element(s) reassigned.");
    if (YESNOG("Reassign another set of elements?") != 'y') return;
  }
}

}  // namespace

void MODIFY_PROPERTIES(MeshModel& m, Table1<int, MELEM>& marks) {
  if (YESNOG("Will you alter title, or any mat. props or connections?") == 'n') return;
  if (YESNOG("Do you want to change title or any material properties?") != 'n') {
    plat().text_open("GRIDOR text");
    change_title(m);
    change_values(m);
    new_sets(m);
    WRLINE("You can now choose elements and change");
    WRLINE("their material type and property set.");
    const char answer = YESNO("Do you want to do this?");
    PROMPT();
    plat().text_close();
    if (answer == 'n') return;
  }
  reassign_elements(m, marks);
}

}  // namespace vortan
