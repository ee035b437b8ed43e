// Conforming split of straight volume elements into tetrahedra, driven by global vertex numbers
// (internal to capping/).
#pragma once

namespace zel::cut {

// At most six tetrahedra per element (hexahedron).
constexpr int kMaxSubTetrahedra = 6;

// Splits an element of type typ (7 tetrahedron, 8 pyramid, 9 prism, 10 hexahedron) whose vertices
// have the global numbers vertices[0..], into tetrahedra given by local vertex numbers:
// tet[i][0..3] for i < the returned count (0 for another type). Every quadrilateral face is cut
// along its diagonal through its smallest global number, so that two elements sharing a face
// split it alike.
int splitElement(int typ, const int* vertices, int tet[kMaxSubTetrahedra][4]);

// Reference coordinates (4 doubles) of local vertex k of the type's reference element:
// tetrahedron barycentric, pyramid and hexahedron (x, y, z, 0), prism (l0, l1, l2, z).
const double* vertexReference(int typ, int k);

}  // namespace zel::cut
