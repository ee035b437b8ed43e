// Test helper: a ZelObject holding every entity kind of degree 1 to 4 with arbitrary values.
#pragma once

#include <cstdlib>
#include <random>

#include "meshio/entity_catalogue.h"
#include "meshio/zel_object.h"
#include "meshio/zel_object_slots.h"

// Fills a fresh object: vertex coordinates and references, corners (with their vertex's
// reference), and 2 + typ % 3 entities of every element type 3..31 (not 5) with node indices
// in 1..vertices.
inline void fillSyntheticMesh(ZelObject* mesh, int dim, int vertices, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> coordinate(-10.0, 10.0);
  std::uniform_int_distribution<int> vertex(1, vertices), reference(-5, 100);
  mesh->dim = dim;
  mesh->count1[kSlotVertices] = mesh->capacity1[kSlotVertices] = vertices;
  mesh->coordinates = static_cast<double*>(std::calloc(3 * (vertices + 1), sizeof(double)));
  mesh->vertexRefs = static_cast<int*>(std::calloc(vertices + 1, sizeof(int)));
  for (int v = 1; v <= vertices; ++v) {
    for (int k = 0; k < dim; ++k) mesh->coordinates[3 * v + k] = coordinate(random);
    mesh->vertexRefs[v] = reference(random);
  }
  for (int typ = 2; typ <= 31; ++typ) {
    zel::EntitySlot slot;
    if (!zel::entitySlot(mesh, typ, &slot)) continue;
    const int nodes = typ == 2 ? 1 : zel_Typ2Siz(typ);
    const int count = 2 + typ % 3;
    const size_t size = static_cast<size_t>(count + 1) * nodes;
    int* indices = static_cast<int*>(std::calloc(size, sizeof(int)));
    int* refs = static_cast<int*>(std::calloc(count + 1, sizeof(int)));
    for (size_t k = nodes; k < size; ++k) indices[k] = vertex(random);
    for (int e = 1; e <= count; ++e)
      refs[e] = typ == 2 ? mesh->vertexRefs[indices[e]] : reference(random);
    *slot.nodes = indices;
    *slot.refs = refs;
    *slot.capacity = *slot.count = count;
  }
}
