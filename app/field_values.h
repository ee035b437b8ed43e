// Scalar values of a solution field on the elements a scene object shows: the field of the
// elements' own kind, else the vertex field expanded onto the element nodes; for faces of
// volume elements, the volume field restricted to each face. Vectors are shown by their norm,
// matrices by their determinant.
#pragma once

#include <vector>

struct ZelObject;

struct FieldValues {
  std::vector<double> values;  // entity after entity, nodesPerEntity values each
  int nodesPerEntity = 0;      // 0 when the field has no values for these entities
};

// Field `field` (1-based) on the elements `elements` (1-based numbers) of entity type `typ`.
FieldValues elementFieldValues(ZelObject* mesh, int typ, int field,
                               const std::vector<int>& elements);

// Field `field` on mesh faces that lie on volume elements, through their face-marking entries
// (one per face shown, in order; an unmarked entry gives zeros): each marked face takes the
// field of its own volume type, restricted to the face in the face's own node order, at the
// field's degree (which need not be the faces' geometric degree). Nothing when a volume type
// of a marked face lacks the field or the volume types' fields differ in degree.
FieldValues markedFaceValues(ZelObject* mesh, int faceType, int field,
                             const std::vector<struct ZelFaceMark>& marks);

// Field `field` on faces of volume elements: `faceNodes` holds faceSize vertex numbers per face
// (the face's node order), `links` three integers per face (volume type, element, local face).
// The volume field of that type is restricted to each face, at the field's degree (which need
// not be the faces' geometric degree); without one, the vertex field is taken at the face nodes.
FieldValues faceFieldValues(ZelObject* mesh, int volumeType, int faceType, int field,
                            const std::vector<int>& faceNodes, int faceSize,
                            const std::vector<int>& links);

// Field `field` at the nodes of the capping polygons of the straight volume type `volumeType`
// (the reference coordinates and origins of zel_capping, 1-based): the type's own field of
// degree p at face degree p (one value per face at degree 0), else the vertex field at face
// degree 1. Outputs stay empty without a field; *sizeError is set when the field's node count
// does not fit the type.
void cappingFieldValues(ZelObject* mesh, int volumeType, int field, int nbrTri,
                        const double* triRef, const int* triInf, int nbrQua, const double* quaRef,
                        const int* quaInf, FieldValues* triangles, FieldValues* quadrilaterals,
                        bool* sizeError);
