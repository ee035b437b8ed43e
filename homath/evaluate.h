// Values of Bezier polynomials on the seven element kinds at a reference point.
//
// coeffs: the Bezier coefficients of one element, one float per node in the node order;
// deg: 1..10 (callers pass max(degree, 1)). Each returns the double value of
// sum_n coeffs[n] * B_n(point) with the Bernstein polynomials of the kind, computed by
// de Casteljau steps in a stack work array (no heap allocation).
// A degree outside 1..10, or barycentric coordinates not summing to 1 within 0.0001 for the
// tetrahedron and the prism, end the process with status 1.
#pragma once

double zel_EvaluateValueOnEdge(const float* coeffs, int deg, double t);
double zel_EvaluateValueOnTriangle(const float* coeffs, int deg, double u, double v, double w);
double zel_EvaluateValueOnQuadrilateral(const float* coeffs, int deg, double x, double y);
double zel_EvaluateValueOnTetrahedra(const float* coeffs, int deg, double u, double v, double w,
                                     double t);
double zel_EvaluateValueOnPrism(const float* coeffs, int deg, double u1, double u2, double u3,
                                double z);
// Pyramid point (x, y, z), apex above vertex 0; at z = 1 the apex coefficient.
double zel_EvaluateValueOnPyramid(const float* coeffs, int deg, double x, double y, double z);
double zel_EvaluateValueOnHexahedra(const float* coeffs, int deg, double x, double y, double z);
