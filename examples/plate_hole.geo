// Kirsch's plate with a hole: the quarter x, y >= 0 of a plate 20 wide
// with a hole of radius 1 at the origin, meshed by Gmsh in 8-noded
// quadrilaterals. The quarter is cut along its diagonal into two patches
// with structured meshes, graded towards the hole.
//   vortan-import --problem elasticity --props 1=200000,0.3,1 plate_hole.geo plate_hole.dat
a = 1;   // radius of the hole
w = 10;  // half the width of the plate
c = a * Sqrt(2) / 2;
Point(1) = {0, 0, 0};
Point(2) = {a, 0, 0};
Point(3) = {c, c, 0};
Point(4) = {0, a, 0};
Point(5) = {w, 0, 0};
Point(6) = {w, w, 0};
Point(7) = {0, w, 0};
Circle(1) = {2, 1, 3};
Circle(2) = {3, 1, 4};
Line(3) = {2, 5};
Line(4) = {5, 6};
Line(5) = {3, 6};
Line(6) = {6, 7};
Line(7) = {4, 7};
Curve Loop(1) = {3, 4, -5, -1};
Plane Surface(1) = {1};
Curve Loop(2) = {5, 6, -7, -2};
Plane Surface(2) = {2};
// Around the hole, and from the hole out, each layer 1.3 times as thick.
Transfinite Curve{1, 2, 4, 6} = 5;
Transfinite Curve{3, 5, 7} = 7 Using Progression 1.3;
Transfinite Surface{1, 2};
Recombine Surface{1, 2};
Mesh.ElementOrder = 2;
Mesh.SecondOrderIncomplete = 1;
Physical Surface("plate") = {1, 2};
// Symmetry: u = 0 on x = 0, v = 0 on y = 0.
Physical Curve("fix x") = {7};
Physical Curve("fix y") = {3};
