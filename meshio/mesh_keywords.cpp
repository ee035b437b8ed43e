// The keywords of each entity kind the mesh loader reads, in the order it reads them.
#include "meshio/mesh_keywords.h"

#include "meshio/keyword_table.h"

namespace zel {

const KindToLoad kKinds[kKindCount] = {
    {3, Kwd::Edges, "Edge"},
    {2, Kwd::Corners, "corners"},
    {4, Kwd::Triangles, "triangle"},
    {6, Kwd::Quadrilaterals, "Quad"},
    {7, Kwd::Tetrahedra, "Tet"},
    {8, Kwd::Pyramids, "Pyramid"},
    {9, Kwd::Prisms, "Prism"},
    {10, Kwd::Hexahedra, "Hex"},
    {11, Kwd::EdgesP2, "P2Edge"},
    {18, Kwd::EdgesP3, "P3Edge"},
    {25, Kwd::EdgesP4, "P4Edge"},
    {12, Kwd::TrianglesP2, "P2Triangle"},
    {19, Kwd::TrianglesP3, "P3Triangle"},
    {26, Kwd::TrianglesP4, "P4Triangle"},
    {13, Kwd::QuadrilateralsQ2, "Q2Quad"},
    {20, Kwd::QuadrilateralsQ3, "Q3Quad"},
    {27, Kwd::QuadrilateralsQ4, "Q4Quad"},
    {14, Kwd::TetrahedraP2, "P2Tet"},
    {21, Kwd::TetrahedraP3, "P3Tet"},
    {28, Kwd::TetrahedraP4, "P4Tet"},
    {15, Kwd::HexahedraQ2, "Q2Hex"},
    {22, Kwd::HexahedraQ3, "Q3Hex"},
    {29, Kwd::HexahedraQ4, "Q4Hex"},
    {16, Kwd::PyramidsP2, "P2Pyramid"},
    {23, Kwd::PyramidsP3, "P3Pyramid"},
    {30, Kwd::PyramidsP4, "P4Pyramid"},
    {17, Kwd::PrismsP2, "P2Prism"},
    {24, Kwd::PrismsP3, "P3Prism"},
    {31, Kwd::PrismsP4, "P4Prism"},
};

const OrderingToLoad kOrderings[kOrderingCount] = {
    {Kwd::EdgesP2Ordering, Kwd::EdgesP2, 11},
    {Kwd::EdgesP3Ordering, Kwd::EdgesP3, 18},
    {Kwd::EdgesP4Ordering, Kwd::EdgesP4, 25},
    {Kwd::TrianglesP1Ordering, Kwd::Triangles, 4},
    {Kwd::TrianglesP2Ordering, Kwd::TrianglesP2, 12},
    {Kwd::TrianglesP3Ordering, Kwd::TrianglesP3, 19},
    {Kwd::TrianglesP4Ordering, Kwd::TrianglesP4, 26},
    {Kwd::QuadrilateralsQ2Ordering, Kwd::QuadrilateralsQ2, 13},
    {Kwd::QuadrilateralsQ3Ordering, Kwd::QuadrilateralsQ3, 20},
    {Kwd::QuadrilateralsQ4Ordering, Kwd::QuadrilateralsQ4, 27},
    {Kwd::TetrahedraP2Ordering, Kwd::TetrahedraP2, 14},
    {Kwd::TetrahedraP3Ordering, Kwd::TetrahedraP3, 21},
    {Kwd::TetrahedraP4Ordering, Kwd::TetrahedraP4, 28},
    {Kwd::PyramidsP2Ordering, Kwd::PyramidsP2, 16},
    {Kwd::PyramidsP3Ordering, Kwd::PyramidsP3, 23},
    {Kwd::PyramidsP4Ordering, Kwd::PyramidsP4, 30},
    {Kwd::PrismsP2Ordering, Kwd::PrismsP2, 17},
    {Kwd::PrismsP3Ordering, Kwd::PrismsP3, 24},
    {Kwd::PrismsP4Ordering, Kwd::PrismsP4, 31},
    {Kwd::HexahedraQ2Ordering, Kwd::HexahedraQ2, 15},
    {Kwd::HexahedraQ3Ordering, Kwd::HexahedraQ3, 22},
    {Kwd::HexahedraQ4Ordering, Kwd::HexahedraQ4, 29},
};

int orderingKeywordOf(int elementKeyword) {
  for (const OrderingToLoad& pair : kOrderings)
    if (pair.elements == elementKeyword) return pair.ordering;
  return 0;
}

}  // namespace zel
