// Per-type property queries of the zel_ interface: node counts, degrees, labels, scene kinds,
// solution types and the default node order of every element type of degree 1 to 4.
#pragma once

#include "meshio/entity_types.h"

// Pure functions of the type code. Where a status buffer is given (it may be null) an
// undefined code writes its message into it; the result is then 0.

// Nodes of one entity: defined for 3..74 except 5 and 39.
int zel_Typ2Siz(int typ, char* status = nullptr);
// Vertices of the straight shape: defined for 3..74 except 5 and 39.
int zel_Typ2SizElt(int typ, char* status = nullptr);
// Solution type of a field carried by elements of this type: defined for 3..31 except 5.
int zel_EntTyp2SolTyp(int typ, char* status = nullptr);
// Polynomial degree of the geometry: 1..4 for 3..31 (except 5), 0 for every other code.
int zel_Typ2Deg(int typ);
// Fixed-width label (18 characters, leading blank), "unknown type" for codes without one.
const char* zel_Typ2Label(int typ);

// Scene-object kind of an entity type, -1 when it has none (also for codes above 128).
int zel_EntTyp2DrawKind(int typ);
// Name of a scene-object kind ("Vertex ", ...); "Unknown " for 9, 34 and outside 0..61.
const char* zel_DrawKindName(int kind);
// An entity type printed by the name of its scene kind, "Unknown " when it has none.
const char* zel_EntTypName(int typ);

// Nodes of a Lagrange element of the SolTyp's shape at solution degree k >= 0
// (0 for a SolTyp outside 100..127 or a negative k).
int zel_SolTyp2Siz(int solTyp, int k);
// Entity type of the SolTyp's shape at degree 1 <= k <= 10; 0 for k = 0, k > 10 or an
// invalid SolTyp.
int zel_SolTyp2EntTyp(int solTyp, int k);

// Shape of an entity type of degree 1..10, as the code of its linear shape (Edge 3,
// Triangle 4, Quadrilateral 6, Tetrahedron 7, Pyramid 8, Prism 9, Hexahedron 10);
// 0 for codes that are not elements (0..2, 5, 39, 75 and above).
int zel_Typ2Shape(int typ);
// Components of a lattice multi-index for a shape code (1, 2, 3 or 4; 0 if not a shape).
int zel_Shape2RowWidth(int shape);

// Default node order of types 3..31 (except 5): nodes rows of rowWidth integers, row n the
// lattice multi-index of node n in memory order. The table is constant and owned by the
// library. Returns null (and nbrNod = rowWidth = 0) for other codes; outputs may be null.
const int* zel_Typ2Ordering(int typ, int* nbrNod, int* rowWidth);
