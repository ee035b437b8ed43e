// Orientation of a surface element against the face of a volume element, and the values of a
// volume field on the faces of its elements.
//
// Orientation codes. A triangle's codes (p0, p1, p2) are a permutation of 0, 1, 2: the surface
// node whose row (barycentric counts, default order) is r lies where the face node of row
// (r[p0], r[p1], r[p2]) lies. A quadrilateral's codes are (0, 1, t) or (1, 0, t), t in 0..3:
// the surface row (i, j) is first kept (0, 1) or swapped to (j, i) (1, 0), then turned t times
// by (a, b) -> (d - b, a); the result is the face row. Together they are the eight symmetries
// of the square: (0, 1, t) the four rotations, (1, 0, t) the four reflections.
#pragma once

// One entry of a face-marking array: a mesh triangle or quadrilateral that coincides with a
// face of a volume element. face is the surface element's number (0 while unmarked).
struct ZelFaceMark {
  int face;        // number of the surface element (1-based)
  int element;     // number of the volume element (1-based)
  int localFace;   // its face number (GetEntityFaces numbering)
  int codes[3];    // orientation codes above
  int volumeType;  // entity type of the volume element
};

// Maps a surface node row to the face node row by the codes, at degree deg. faceShape is
// EntityType::Triangle (rows of 3) or EntityType::Quadrilateral (rows of 2). Returns false for
// codes outside their sets.
bool zel_OrientFaceRow(int faceShape, int deg, const int* codes, const int* row, int* faceRow);

// Codes under which the surface element's vertices (3 or 4, in their order) land on the face's
// vertices: faceVertices[row M(v)] == surfaceVertices[v] for every vertex v. Returns false when
// no symmetry does it (different vertex sets or a degenerate face).
bool zel_FaceOrientationCodes(int faceShape, const int* faceVertices, const int* surfaceVertices,
                              int* codes);

// Values of a scalar volume field of degree deg (0..10) on faces. solTyp: the volume kind's
// SolTyp (tetrahedra, pyramids, prisms or hexahedra of any mesh degree); values: the field,
// (elements + 1) * nodes values with nodes = the Lagrange node count of the shape at deg (one
// value per element at degree 0). surfTyp: the surface entity type, whose node count every
// face must have at degree deg. faces: three integers per face, the second the volume element
// (1-based, within the field), the third its face number.
// Returns a malloc'd array (caller frees) of nbrFaces blocks, face j at j * m with m the face's
// nodes at degree deg, in the face's node order (m = 1 at degree 0), or null: "wrong degree in
// input\n" on standard error for deg > 10, "incompatibility between surface and volume
// entities\n" for a face whose node count disagrees, a status message for other bad input.
double* zel_GetFaceValues(int deg, int solTyp, const double* values, int surfTyp, int nbrFaces,
                          const int* faces, char* status);

// The same for surface elements carried by marks (nbrMarks entries): block j holds the values
// at the nodes of the surface element of marks[j], in its own node order, through the
// orientation codes; an unmarked entry (face 0) gives zeros. A face node count that disagrees
// writes "incompatibility between surface and volume entities sizFac %d nbrNod %d because deg
// is %d\n" to standard error and returns null; codes outside their sets print " #ERROR :posTri
// wrong coefficients in input\n" or " #ERROR :posQua wrong coefficients in input\n" and end
// the process with status 1.
double* zel_GetOrientedFaceValues(int deg, int solTyp, const double* values, int surfTyp,
                                  int nbrMarks, const ZelFaceMark* marks, char* status);
