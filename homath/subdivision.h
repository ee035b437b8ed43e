// Subdivision of Bezier curves, triangles and quadrilaterals, and the refinement of the range
// of values that a Bezier polynomial takes on an edge, a triangle or a quadrilateral.
//
// Coefficients here are floats in the lexicographic layouts of the position functions:
// curve index i (t = i/deg); triangle posTri(deg, i, j, k) for barycentric (i, j, k);
// quadrilateral posQua(deg, i, j) with i along x and j along y. Arithmetic is double.
#pragma once

#include <vector>

// Copies the coefficients of one edge, triangle or quadrilateral (kind 3, 4 or 6) of degree
// 1..10 from the node order into the lexicographic layout above. Returns false, copying
// nothing, for another kind or degree.
bool zel_NodeOrderToLexicographic(int kind, int deg, const float* nodeOrder, float* lexicographic);

// Splits a curve of degree deg at the parameter of weights a = 1 - t, b = t: the deg+1
// coefficients of the left piece then the deg+1 of the right piece. Degree 0 (or less) prints
// "no subdivision" and returns nothing.
std::vector<float> zel_SubdivideCurve(const float* coeffs, int deg, double a, double b);
// (Subdivision serves degrees 1 to 15; above that it returns nothing.)

// Splits a triangle into 3 pieces at the interior point (u, v, w), the sub-triangles
// (P, V1, V2), (V0, P, V2), (V0, V1, P), or into 4 pieces at the edge midpoints:
// (V0, M01, M02), (M01, V1, M12), (M02, M12, V2), (M12, M02, M01); (u, v, w) must still lie in
// the interior. Returns the pieces' coefficients one after the other. A degree below 1, a
// point with a coordinate outside [1e-6, 0.999999], or another piece count prints its message
// and returns nothing.
std::vector<float> zel_SubdivideTriangle(int pieces, const float* coeffs, int deg, double u,
                                         double v, double w);

// Splits a quadrilateral into 4 blocks of (deg+1)^2: every row (fixed i) is split with the
// weights (t, 1 - t), then every column with (s, 1 - s). Block order: (low i, low j),
// (low i, high j), (high i, low j), (high i, high j). Degree below 1 prints "no subdivision".
std::vector<float> zel_SubdivideQuadrilateral(const float* coeffs, int deg, double s, double t);

// Widen range[0] <= range[1] towards the values the polynomial takes on the element: pieces
// whose coefficients lie inside the running range are dropped, the others widen it by their
// corner coefficients (values the polynomial takes) and, while depth > 0, are refined with
// depth - 1. The edge splits at t, the quadrilateral at (s, t), the triangle into 4.
void zel_RefineRangeEdge(const float* coeffs, int deg, double t, double range[2], int depth);
void zel_RefineRangeTriangle(const float* coeffs, int deg, double u, double v, double w,
                             double range[2], int depth);
void zel_RefineRangeQuadrilateral(const float* coeffs, int deg, double s, double t, double range[2],
                                  int depth);
