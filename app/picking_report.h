// The terminal report of a pick: which mesh element (or vertex) a picked primitive is, and for
// faces taken from volume elements (boundary, cut and capping faces) the volume behind it.
#pragma once

#include <ostream>

struct ObjectSource;
struct ZelObject;
class ZelDrawObject;

// The mesh entity a pick names.
struct PickedEntity {
  int entityType = 0;  // mesh type code (EntityType::Vertex for a vertex), 0 when none
  int number = -1;     // 1-based number in its type's arrays
  int face = -1;       // local face of the volume reached through a face; 1000 for a capping
                       // face; -1 when the element was picked itself
};

// Finds the entity behind primitive `localIndex` (0-based) of `object`: a vertex for the vertex
// cloud (primitive i is vertex i + 1); for faces taken from volumes, the origin triple (volume
// type, element, face or 1000) the object keeps per face; otherwise element `localIndex` of the
// source's element list. Returns false when there is none (index out of range, no source).
bool findPickedEntity(const ZelDrawObject& object, int localIndex, const ObjectSource* source,
                      PickedEntity* entity);

// Writes the report of primitive `localIndex` of `object`: for faces of volumes "Picking of
// face f of the following volume element: " (or the capping line), then the element's kind
// name, "number k" (" picked" only when the element itself was picked), its vertex numbers and
// its reference; for a vertex its coordinates. Lines end with a newline. A face whose volume is
// not found gives "error with a surface element deduced from volume". Returns whether an
// entity was reported, and then stores it in `entity`.
bool writePickingReport(std::ostream& out, ZelObject* mesh, const ZelDrawObject& object,
                        int localIndex, const ObjectSource* source, PickedEntity* entity);
