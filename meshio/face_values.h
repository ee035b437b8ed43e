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

// A scalar volume field as its solution record holds it. The block of element e (1-based) starts
// at values[e * nodes]: consumers index by the record's own node count, which must be the
// Lagrange node count of the shape at `degree` (1 at degree 0) for the field to be used.
struct ZelVolumeField {
  int degree = 0;                  // 0..10; 0: one value per element
  int solTyp = 0;                  // SolTyp of the volume kind (any mesh degree)
  const double* values = nullptr;  // (elements + 1) * nodes values, slot 0 unused
  int elements = 0;                // elements the record holds
  int nodes = 0;                   // the record's nodes per element
};

// Values of a volume field on faces of its elements, at the field's degree whatever the
// degree of the surface elements: surfTyp names the surface entity type, of which only the
// shape (triangle or quadrilateral) counts. faces: three integers per face, the second the
// volume element (1-based, within the record), the third its face number.
// Returns a malloc'd array (caller frees) of nbrFaces blocks, face j at j * m with m the face
// shape's node count at the field's degree (1 at degree 0), in the face's node order; or null:
// "wrong degree in input\n" on standard error for a degree above 10, "incompatibility between
// surface and volume entities\n" for a face of another shape, a status message for a record
// whose node count is not its degree's, an element outside the record or other bad input.
double* zel_GetFaceValues(const ZelVolumeField& field, int surfTyp, int nbrFaces, const int* faces,
                          char* status);

// The same for surface elements carried by marks (nbrMarks entries): block j holds the values
// at the nodes (at the field's degree) of the surface element of marks[j], in the default node
// order of its shape, through the orientation codes. Entries left as zeros: unmarked ones
// (face 0) and marks on volumes of another kind than the field's, whose elements the record
// does not hold. A face of another shape writes "incompatibility between surface and volume
// entities sizFac %d nbrNod %d because deg is %d\n" (face nodes, nodes the surface shape needs
// at the field's degree, degree) to standard error and returns null; other failures as above;
// codes outside their sets print " #ERROR :posTri wrong coefficients in input\n" or " #ERROR
// :posQua wrong coefficients in input\n" and end the process with status 1.
double* zel_GetOrientedFaceValues(const ZelVolumeField& field, int surfTyp, int nbrMarks,
                                  const ZelFaceMark* marks, char* status);
