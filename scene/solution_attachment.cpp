// Attaching a solution field to a scene object: degree, Bezier coefficients, palette and the
// texture upload.
#include <QOpenGLFunctions_4_0_Core>
#include <cstdio>
#include <vector>

#include "gpu/ZelBufferObject.h"
#include "gpu/draw_kind_table.h"
#include "gpu/palette.h"
#include "homath/lagrange_to_bezier.h"
#include "homath/subdivision.h"
#include "meshio/entity_types.h"
#include "meshio/status.h"
#include "scene/SceneModel.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"

namespace zel {
namespace {

int nodesOfDegree(SolutionFamily family, int k) {
  switch (family) {
    case SolutionFamily::Edge:
      return k + 1;
    case SolutionFamily::Triangle:
      return (k + 1) * (k + 2) / 2;
    case SolutionFamily::Quadrilateral:
      return (k + 1) * (k + 1);
    case SolutionFamily::None:
      break;
  }
  return -1;
}

// Solution degree 0..10 from the nodes per entity, or -1.
int solutionDegree(SolutionFamily family, int nodesPerEntity) {
  for (int k = 0; k <= 10; ++k)
    if (nodesOfDegree(family, k) == nodesPerEntity) return k;
  return -1;
}

void printPalette(const char* format, const PaletteValues& v) {
  printMessage(format, double(v[0]), double(v[1]), double(v[2]), double(v[3]), double(v[4]));
}

// Widens [p0, p4] of the nodal palette to the values the high-order field takes inside its
// elements (coefficients in node order, Bezier form), then applies the range rule.
PaletteValues highOrderRange(const PaletteValues& nodal, const std::vector<float>& coeffs,
                             int entityCount, int nodesPerEntity, int degree) {
  if (degree < 2 || degree > 10) {
    printMessage(" wrong prescribed degree\n");
    return nodal;
  }
  int shape = 0;
  if (nodesPerEntity == degree + 1) {
    shape = EntityType::Edge;
  } else if (nodesPerEntity == (degree + 1) * (degree + 2) / 2) {
    shape = EntityType::Triangle;
  } else if (nodesPerEntity == (degree + 1) * (degree + 1)) {
    shape = EntityType::Quadrilateral;
  } else {
    fatalExit(stdout, " error :no element of degree %d with %d vertices\n", degree, nodesPerEntity);
  }
  double range[2] = {nodal[0], nodal[4]};
  std::vector<float> lexicographic(static_cast<size_t>(nodesPerEntity));
  for (int e = 0; e < entityCount; ++e) {
    const float* element = coeffs.data() + size_t(e) * size_t(nodesPerEntity);
    zel_NodeOrderToLexicographic(shape, degree, element, lexicographic.data());
    if (shape == EntityType::Edge) {
      zel_RefineRangeEdge(lexicographic.data(), degree, 0.5, range, 2 * degree);
    } else if (shape == EntityType::Triangle) {
      zel_RefineRangeTriangle(lexicographic.data(), degree, 1.0 / 3, 1.0 / 3, 1.0 / 3, range,
                              2 * degree);
    } else {
      zel_RefineRangeQuadrilateral(lexicographic.data(), degree, 0.5, 0.5, range, 2 * degree);
    }
  }
  return paletteFromRange(range[0], range[1]);
}

}  // namespace

void SceneModel::attachSolution(ZelDrawObject* solution, ZelDrawObject* target,
                                ZelDrawObject* paletteObject, const double* values, int entityCount,
                                int nodesPerEntity) {
  if (!solution || !target) {
    printMessage("please provide a ZelDrawObject and a ZelDrawSolution\n");
    return;
  }
  if (target->kind() == DrawKind::Solution && solution->kind() != DrawKind::Solution) {
    printMessage(
        " warning : attachData: solution object %p is of type %s and object %p is of type %s : "
        "these types are not compatible or not in the right order\n",
        static_cast<void*>(solution), solution->typeName(), static_cast<void*>(target),
        target->typeName());
    return;
  }
  if (target->entityCount() != entityCount) {
    printMessage(" Invalid number of entities for solution object\n");
    return;
  }
  const int degree = solutionDegree(kindSolutionFamily(target->kind()), nodesPerEntity);
  if (degree < 0) {
    printMessage(" Invalid number of nodes for solution object\n");
    return;
  }
  ZelDrawObject*& recorded = m_solutions[target];
  if (recorded != solution) delete recorded;
  recorded = solution;
  m_solutionShown = true;
  if (!bufferOf(target)) {
    printMessage(" warning : attachData: object %p of type %s is not present in the scene \n",
                 static_cast<void*>(target), target->typeName());
    return;
  }
  uploadSolution(target, values, entityCount, nodesPerEntity, degree, paletteObject);
}

void SceneModel::detachSolution(ZelDrawObject* target) {
  const auto found = m_solutions.find(target);
  if (found == m_solutions.end()) return;
  delete found->second;
  m_solutions.erase(found);
  target->setPalette(nullptr);
  if (ZelBufferObject* buffer = bufferOf(target)) {
    // Without a palette the buffer binds placeholders and the shaders use the material colour;
    // the old coefficients stay on the GPU until the next upload replaces them.
    buffer->setPalette(nullptr);
    buffer->setSolutionDegree(0);
  }
}

void SceneModel::uploadSolution(ZelDrawObject* target, const double* values, int entityCount,
                                int nodesPerEntity, int degree, ZelDrawObject* paletteObject) {
  const size_t count = size_t(entityCount) * size_t(nodesPerEntity);
  std::vector<float> coeffs(values, values + count);
  if (degree >= 2) {
    StageClock clock(m_timings, &StageTimings::lagrangeToBezier);
    // Every element owns its values: node j of element e is value e * n + j.
    std::vector<int> identity(count);
    for (size_t i = 0; i < count; ++i) identity[i] = int(i);
    LagrangeToBezier(int(count), degree, coeffs.data(), 1, entityCount, identity.data(),
                     nodesPerEntity);
  }
  ZelBufferObject* buffer = bufferOf(target);
  buffer->setSolutionDegree(degree);

  auto* palette = dynamic_cast<ZelDrawPalette*>(paletteObject);
  const std::optional<PaletteValues> computed = computePalette(int(count), values);
  PaletteValues fresh = computed ? *computed : paletteFromRange(0.0, 0.0);
  if (palette && degree >= 2 && !palette->isForced())
    fresh = highOrderRange(fresh, coeffs, entityCount, nodesPerEntity, degree);

  if (!palette) {
    printMessage("create our own palette \n");
    auto own = std::make_unique<ZelDrawPalette>();
    own->setPaletteValues(fresh.data());
    palette = own.get();
    target->setPalette(palette);
    m_ownPalettes.push_back(std::move(own));
    printPalette("  Palette set to [%le %le %le %le %le]\n", fresh);
  } else if (!palette->isForced()) {
    const PaletteValues held = palette->isSet() ? extendPalette(palette->values(), fresh) : fresh;
    palette->setPaletteValues(held.data());
    printPalette("  Palette set to [%lg %lg %lg %lg %lg]\n", held);
    target->setPalette(palette);
  } else {
    printPalette("  Palette forced to [%lg %lg %lg %lg %lg]\n", palette->values());
    target->setPalette(palette);
  }

  makeCurrent();
  StageClock clock(m_timings, &StageTimings::uploads);
  // Kinds that hold no palette of their own (edges) are still drawn through it.
  buffer->setPalette(target->getPalette() ? target->getPalette() : palette);
  buffer->uploadTextures(m_gl, int(count), coeffs.data());
}

}  // namespace zel
