// A 2 by 2 square in 2 x 2 eight-noded quadrilaterals, held on its
// bottom edge in y and on its left edge in x.
Point(1) = {0, 0, 0};
Point(2) = {2, 0, 0};
Point(3) = {2, 2, 0};
Point(4) = {0, 2, 0};
Line(1) = {1, 2};
Line(2) = {2, 3};
Line(3) = {3, 4};
Line(4) = {4, 1};
Curve Loop(1) = {1, 2, 3, 4};
Plane Surface(1) = {1};
Transfinite Curve{1, 2, 3, 4} = 3;
Transfinite Surface{1};
Recombine Surface{1};
Mesh.ElementOrder = 2;
Mesh.SecondOrderIncomplete = 1;
Physical Surface("plate") = {1};
Physical Curve("fix y") = {1};
Physical Curve("fix x") = {4};
