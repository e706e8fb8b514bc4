#include "help_screens.h"

#include <initializer_list>

#include "platform/platform.h"

namespace vortan {

namespace {

// Every help screen has the same layout: the title line, a blank line, the
// text, a blank line and one "Close" button. The title keeps its blanks as
// given, since it is drawn centred.
void show_help(const char* title, std::initializer_list<const char*> text) {
  DialogSpec d;
  d.caption = "VORTAN - help";
  d.style = DialogStyle::Help;
  d.lines.push_back(DialogLine{title, false, true});
  d.lines.push_back(DialogLine{""});
  for (const char* line : text) d.lines.push_back(DialogLine{line});
  d.lines.push_back(DialogLine{""});
  d.buttons = {"Close"};
  d.default_button = 1;
  plat().dialog(d);
}

}  // namespace

void HPZOOM() {
  show_help(" Zoom plot ",
            {"Left-click on the point defining the top left",
             "corner of the zoom region. When the white",
             "cross appears, move to the bottom right corner",
             "of the region and click. The zoom region will",
             "be displayed full-size. You must click sharply",
             "so that the same point isn't registered for",
             "both corners. There is a minimum size of zoom",
             "region which is accepted."});
}

void HPTRIA() {
  show_help(" Triangulate ",
            {"Each linear quadrilateral is cut into two",
             "linear triangles, and each 8-noded quadrilateral",
             "into two 6-noded triangles sharing a new node",
             "at its centre. The cut runs along the shorter",
             "diagonal. Other element types are unchanged.",
             "At Basic level every quadrilateral is cut; at",
             "Advanced level you may cut the whole mesh or",
             "only the elements you select.",
             "The change can only be undone with",
             "Restart from save."});
}

void HPREFN() {
  show_help("Mesh refinement",
            {"Automatic: every edge is divided in two, so",
             "each quadrilateral or triangle becomes four",
             "elements and each bar or joint two. Sides that",
             "run to infinity are never divided.",
             "Manual: click on the two end nodes of an edge,",
             "give its number of divisions (1 to 9) and, if",
             "wanted, unequal weights. The division is carried",
             "across strips of quadrilaterals and joints.",
             "Triangles are refined only by Automatic.",
             "New nodes and elements are numbered after the",
             "old ones, so reorder the mesh before Part B."});
}

void HPDUBL() {
  show_help("Mesh doubling",
            {"A copy of the whole mesh is added beside it,",
             "below, above, left or right, either shifted",
             "(Translation) or mirrored (Reflection). Nodes",
             "on the seam are shared, so the two halves form",
             "one mesh. The mesh may use at most half of the",
             "node and element limits. New nodes and elements",
             "are numbered after the old ones, so reorder the",
             "mesh before Part B."});
}

void HPMDFY() {
  show_help("Modify mesh",
            {"You may raise a Basic mesh to Advanced level,",
             "set the extra mesh parameters and add degrees",
             "of freedom. A menu then lets you change node",
             "constraints, move nodes, add elements and",
             "delete elements; unused nodes are removed and",
             "the others renumbered. Its Continue button leads",
             "to the title, the material property sets and",
             "the material types of the elements."});
}

void HPSAVE() {
  show_help(" Save mesh ",
            {"Part A of the mesh as it stands now (geometry",
             "and material properties) is written to the",
             "output .dat file, replacing the Part A saved",
             "there before. You stay in the main menu.",
             "Save before trying a change you may want to",
             "undo: Restart from save brings the saved",
             "mesh back."});
}

void HPRSTR() {
  show_help(" Re-start ",
            {"Abandons the present mesh and reads back the",
             "Part A last saved in the output .dat file (by",
             "Save mesh, or when the file was first written).",
             "All changes made since then are lost. You are",
             "asked to confirm first."});
}

void HPREDC() {
  show_help("Reorder mesh",
            {"Continue saves the mesh and leaves the main",
             "menu. The elements may then be reordered to",
             "reduce the frontwidth (for a frontal solver):",
             "click on start elements until the frontwidth",
             "is small enough, then click End. The nodes may",
             "then be renumbered along the new element order",
             "to reduce the bandwidth (for a band solver).",
             "Reorder after refining or doubling the mesh,",
             "before Part B data are added."});
}

void HPLOAD() {
  show_help(" Add loading ",
            {"Loads are written as Part B of the data file.",
             "Click on nodes to give them nodal forces (and,",
             "at Advanced level, specified displacements).",
             "At Advanced level you may then define body",
             "force sets and mark their elements. Surface",
             "traction sets are assigned to an edge by",
             "clicking on its element and on the two corner",
             "nodes of the edge.",
             "Answer No if the mesh carries no loads."});
}

void HPLEVL() {
  show_help(" Mesh level ",
            {"A Basic mesh uses a single element type.",
             "At Advanced level all thirteen element types",
             "may be used, a node may carry up to four",
             "degrees of freedom, and four real and four",
             "integer extra mesh parameters are written.",
             "Answer Yes to write the new mesh at Advanced",
             "level."});
}

void HPDOF() {
  show_help("Additional dofs",
            {"The nodes of one material type (0 for all",
             "elements) can be given more degrees of freedom,",
             "up to 4, with different counts at the corner",
             "and midside nodes of quadratic elements. The",
             "count at corners may not be less than at",
             "midsides. The new d.o.f.s are free; fix them",
             "with New constraints."});
}

void HPCNST() {
  show_help(" Constraints ",
            {"Click on a node to change its constraints.",
             "You may change its number of degrees of",
             "freedom (1 to 4), then set its fixity code:",
             "one digit per degree of freedom, first d.o.f.",
             "first, 1 for fixed and 0 for free.",
             "Click End when no more nodes are to change."});
}

void HPCORD() {
  show_help("Nodal coords",
            {"Click on the node to be moved, then on its new",
             "position. The coordinates of the point clicked",
             "are shown and may be adjusted before you press",
             "OK; Cancel leaves the node where it was."});
}

void HPPROP() {
  show_help("Mat Properties",
            {"Continue leaves the modification menu. You may",
             "then change the title, change or add material",
             "property values, create new property sets, and",
             "pick elements to give them a new material type",
             "and property set."});
}

void HPTRIR() {
  show_help("Triangulation",
            {"Answer Yes to cut every quadrilateral of the",
             "mesh into triangles. Answer No to choose the",
             "elements yourself: click on elements, or",
             "right-click to draw a region around them, then",
             "click on the toolbar. Only quadrilaterals are",
             "cut; other elements stay as they are."});
}

void HPREDN() {
  show_help("Reorder nodes",
            {"The nodes can be renumbered in the order they",
             "are met along the new element order. This",
             "usually reduces the half-bandwidth of the",
             "global stiffness matrix (for a band solver).",
             "The new node numbers are kept only if the",
             "half-bandwidth is reduced."});
}

void HPGMAT() {
  show_help("Matrix structure",
            {"Shows the blocks of the global stiffness",
             "matrix that each element fills, element by",
             "element: first for the original numbering,",
             "then for the renumbered nodes, each with its",
             "half-bandwidth. It is offered only for meshes",
             "of fewer than 211 nodes."});
}

void HPBDRY() {
  show_help("Dirichlet bdry",
            {"A Dirichlet plane fixes the value of a degree",
             "of freedom on a vertical boundary (given by its",
             "x-coordinate) or a horizontal one (given by its",
             "y-coordinate). For each value set, type x or y,",
             "then the coordinate and the value. At most 8",
             "value sets can be defined in all. Other",
             "Dirichlet nodes take their values from the",
             "analysis program's boundary function."});
}

void HPRAD() {
  show_help("Radiating bdry",
            {"A radiating boundary set is a group of nodes",
             "with a radiation constant ALPHA and a flow",
             "gradient QBAR, applied to one degree of",
             "freedom. Up to 9 sets can be defined: for each,",
             "give its parameters, then click on the nodes",
             "of the boundary."});
}

void HPEXC() {
  show_help(" Excavation boundary ",
            {"An excavation boundary set is a group of nodes",
             "on the face of an excavation, loaded by the",
             "release of an in situ stress field: uniform",
             "(horizontal and vertical stresses) or",
             "overburden (soil density and lateral stress",
             "ratio K0). Up to 9 sets can be defined: for",
             "each, choose the field, give its values, then",
             "click on the nodes of the boundary."});
}

void HPSTRS() {
  show_help(" Stress plot ",
            {"Each Gauss point shows a cross of principal",
             "stresses: its arms lie along the principal",
             "directions, as long as the stresses are large,",
             "with tension and compression in different",
             "colours. For flow problems a line shows the",
             "flow direction and rate. Zoom into a region,",
             "pick a Gauss point to see its values, and after",
             "Continue try another scaling factor."});
}

void HPDEFM() {
  show_help("Deformed mesh",
            {"Displacements are drawn exaggerated by a",
             "factor: the displaced mesh over the original",
             "one, or a line from each node to its displaced",
             "position. 1D elements have a plot of their own.",
             "Zoom, number or pick elements and nodes; a",
             "picked node shows its results. After Continue",
             "you may try another exaggeration factor."});
}

void HPCONT() {
  show_help("Contour plot",
            {"Values are drawn as contour lines or colour",
             "bands with a key of 10 levels. Stress or flow",
             "contours let you choose the quantity shown;",
             "d.o.f. contours show one nodal value. Zoom to",
             "see a region in detail (the levels then follow",
             "the values inside it); Restore full mesh shows",
             "the whole mesh again."});
}

void HPYLD() {
  show_help(" Yield Zones ",
            {"Every Gauss point whose yield code equals the",
             "code you choose is marked with a cross, so the",
             "yielded zones can be seen code by code (0 means",
             "no yield). Zoom into a region, or click Another",
             "yield code to choose a new code."});
}

}  // namespace vortan
