// Loads of an elasticity or beam mesh: nodal forces and specified
// displacements picked node by node, body force sets given to elements,
// surface traction sets and the element edges they load. LOADG collects
// them and writes the loads section of Part B with its .prt copy; the
// pieces below are shared with the copying of an old Part B.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "mesh_display.h"
#include "mesh_model.h"

namespace vortan {

constexpr int MSETS = 9;  // most body force sets and most traction sets

struct LoadTables {
  Table1<int, MPOIN> ltype;        // 0 none, 1 nodal force, 2 specified displacement
  Table2<double, MPOIN, 2> lval;   // x and y component, for either kind
  int nbset = 0;
  double bodyf[MSETS + 1][3] = {};  // horizontal (1) and vertical (2) of each set
  Table1<int, MELEM> ibody;         // body force set of each element, 0 none
  int npset = 0;
  double trac[MSETS + 1][3] = {};   // normal (1) and tangential (2) of each set
  Table1<int, MELEM> marks;         // work table of element picking
};

void clear_loads(LoadTables& t);

// Number of nodes along the side of element e whose end corners are n1 and
// n2, in either order: 3 for a quadratic side, 2 for a linear one; 0 when
// the two nodes are not the ends of one side (or the element is unknown).
int edge_node_count(const MeshModel& m, int e, int n1, int n2);

// True for the elements a body force can load: three or more sides, or the
// 2-sided 3-node element.
bool takes_body_force(const MeshModel& m, int e);

// Collects the loads and writes the loads section.
void LOADG(MeshModel& m, LoadTables& t, std::ostream& out, std::ostream& prt);

// --- pieces shared with MDFYLD ------------------------------------------------

// The whole mesh in its square window, with the one-button " End " toolbar.
void plot_for_picking(const MeshModel& m, MeshWindow& frame);
// Offers a zoom; on yes two clicked corners set `frame` and the mesh is
// drawn inside it. True when the view was zoomed.
bool offer_zoom(const MeshModel& m, const std::string& question, MeshWindow& frame);
// Picking passes of nodal loads of one kind (1 forces, 2 displacements);
// each accepted node is listed to `prt` when it is not null.
void pick_nodal_loads(const MeshModel& m, LoadTables& t, int type, const std::string& caption,
                      std::ostream* prt);
// The .prt line of a nodal load: node I5, 3X, E10.3, 3X, E10.3.
std::string load_listing_line(int node, double x, double y);
// Writes the loads section up to the traction values (the loaded edges
// follow separately), and its .prt copy of body forces and tractions.
void write_loads_section(std::ostream& out, const MeshModel& m, const LoadTables& t);
void list_sets(std::ostream& prt, const MeshModel& m, const LoadTables& t);
// Headers of the loaded-edge list in the .dat and the .prt.
void start_edge_list(std::ostream& out, std::ostream& prt);
// One loaded edge in the .dat and the .prt.
void write_edge(std::ostream& out, std::ostream& prt, int nnas, int e, int n1, int s1, int n2,
                int s2);
// Asks the traction set of both ends of an edge until both lie in
// 1..npset; false when the user pressed the refusing button. The dialog
// shows `lines`, then a row per node; `buttons` are OK/Cancel or
// Ignore/Include and `accept` is the button that keeps the edge.
bool ask_edge_sets(const std::string& caption, const std::vector<std::string>& lines,
                   const std::vector<std::string>& buttons, int accept, int npset, int n1,
                   int n2, int& s1, int& s2);
// Picking passes of loaded edges; writes each accepted edge.
void pick_loaded_edges(const MeshModel& m, const LoadTables& t, std::ostream& out,
                       std::ostream& prt);
// Element picking for a body force set: elements marked in t.marks on entry
// are shown marked; every element marked at the end that can take a body
// force joins set s. All marks are cleared.
void pick_body_force_elements(const MeshModel& m, LoadTables& t, int s, const MeshWindow& frame);

}  // namespace vortan
