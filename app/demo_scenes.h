// The built-in demonstration scenes: one element of every drawable kind of degree 1 to 4, and a
// gallery of straight triangles and quadrilaterals carrying high-order solutions, all coloured
// through one palette. Nothing is read from disk.
#pragma once

#include <vector>

class QApplication;
class QSurfaceFormat;
class ZelDrawPalette;
class ZelSceneWindow;

enum class DemoSize {
  Small,  // gallery degrees 1 to 4 ("-demo")
  Full,   // gallery degrees 1 to 10 ("-demofull")
};

// Highest solution degree of the gallery: 4 or 10.
int galleryHighestDegree(DemoSize size);

// Nodal values of a gallery solution of `degree` on a straight element of `drawKind`
// (DrawKind::Triangle with 3 vertices or DrawKind::Quadrilateral with 4; `vertices` holds x, y,
// z of each): for every node of the degree's lattice, in the default node order, cos(pi d)
// with d the x-y distance between the node and the first vertex. Triangle nodes are placed by
// the barycentric weights of their lattice row, quadrilateral nodes by bilinear weights. Any
// other kind, or a degree outside 1..10, ends the process with status 1.
std::vector<double> galleryNodalValues(int drawKind, int degree, const double* vertices);

// The vertices (x, y, z each) of the gallery element of `drawKind` (Triangle: 3 vertices,
// Quadrilateral: 4) and `degree`: unit right triangles in the column x = 3..4 and unit squares
// in x = 5..6, row y = degree - 1 .. degree, at height z = 1 - (degree - 1) / 2.
std::vector<double> galleryVertices(int drawKind, int degree);

// Fills an initialised, empty window with the demonstration scene: the palette (values -1,
// -0.5, 0, 0.5, 1, colour map 0, 9 iso-lines) as the legend along the top, the elements of
// every kind, the gallery (references: the solution degree) and the point at
// (0.25, 0.25, -0.1), made the rotation centre; draws a frame. Returns the palette (owned by
// the window).
ZelDrawPalette* buildDemoScene(ZelSceneWindow* window, DemoSize size);

// The demonstration mode: an 800 by 600 window with the scene, until the user closes it.
// Returns the event loop's code (1 when the window gets no OpenGL context).
int runDemo(QApplication& application, const QSurfaceFormat& format, DemoSize size);
