// The closed-form solutions evaluated on a mesh: nodal values at every
// node and Gauss-point values at every Gauss point, ready to be written as
// a result set.
#pragma once

#include <string>

#include "closed_form.h"
#include "results_writer.h"

namespace vortan {

// Each fills `r` from the mesh, or returns false with the reason the mesh
// is not of the problem's kind (wrong problem class, a node inside the
// hole, a beam not along the x axis) in `error`.

// Kirsch: displacements at the nodes, sigma-x, sigma-y, tau-xy and
// sigma-z = 0 (plane stress) at the Gauss points.
bool kirsch_results(const MeshModel& m, const closed_form::Kirsch& k, ResultColumns& r,
                    std::string& error);
// Flow past a cylinder: the potential at the nodes, and at the Gauss points
// the flow rates q = -(AX dphi/dx, AY dphi/dy) with each element's
// coefficients AX and AY (property components 1 and 2).
bool cylinder_results(const MeshModel& m, const closed_form::Cylinder& c, ResultColumns& r,
                      std::string& error);
// Cantilever along the x axis, clamped at x = 0: u = 0, the deflection v
// and the rotation theta at every node; a frame has no Gauss-point section.
bool cantilever_results(const MeshModel& m, const closed_form::Cantilever& c, ResultColumns& r,
                        std::string& error);

}  // namespace vortan
