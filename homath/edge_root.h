// Crossings of a Bezier curve in space with a plane: the root finder behind the intersection
// of curved edges with the cut plane.
#pragma once

// ctrl: the deg+1 control points (x, y, z) in their order along the curve (deg 1..10);
// plane: (a, b, c, d), a point P is on the plane where a*x + b*y + c*z - d = 0.
// Stores in *nbrInt the number of crossings found; when it is at least 1, point and *param
// receive the last one found (param from 0 at the first control point to 1 at the last).
// The crossing is located to within 0.001 of the curve.
void zel_FindEdgePlaneCrossings(const double* ctrl, int deg, const double plane[4], int* nbrInt,
                                double point[3], double* param);
