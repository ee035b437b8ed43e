// The scene model of a scene window: which objects are in the scene (filed by kind and
// reference), the GPU buffer of each, the solutions attached to them and the vertex clouds
// waiting for their first draw, with the operations that fill them. Uploads go through the
// OpenGL function table it is given; without one they are skipped while the packing, the
// counts and the boxes are still computed, so the model is testable without a context.
#pragma once

#include <QVector4D>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gpu/stage_timings.h"

class QOpenGLFunctions_4_0_Core;
class ZelBufferObject;
class ZelDrawObject;

namespace zel {

class SceneModel {
 public:
  SceneModel();
  // Frees every object with its buffer and solution; the owner makes the context current.
  ~SceneModel();
  SceneModel(const SceneModel&) = delete;
  SceneModel& operator=(const SceneModel&) = delete;

  // The function table that uploads use (null: none) and what makes its context current
  // before one (empty: nothing). Objects in the scene and added later receive the table.
  void setOpenGL(QOpenGLFunctions_4_0_Core* gl, std::function<void()> makeCurrent);
  void setStageTimings(StageTimings* timings) { m_timings = timings; }

  // Takes ownership of `object` and gives it a buffer of its kind; an object already in the
  // scene gets " warning : addObject: object %p of type %s already in scene \n" (silently
  // for a CutPlane). Kinds without a buffer are not added (and stay the caller's).
  void addObject(ZelDrawObject* object);
  // Frees the object with its buffer and solution; false, after " warning : removeObject:
  // object %p of type %s is not present in the scene \n", when it is not in the scene.
  bool removeObject(ZelDrawObject* object);
  // Frees every object; no solution is shown any more.
  void clear();

  bool contains(const ZelDrawObject* object) const { return bufferOf(object) != nullptr; }
  ZelBufferObject* bufferOf(const ZelDrawObject* object) const;
  // Objects of one kind and reference in creation order (empty when none), and all objects
  // in kind order, then reference, then creation.
  const std::vector<ZelDrawObject*>& objectsOf(int kind, int reference) const;
  std::vector<ZelDrawObject*> allObjects() const;
  // Every object of `kind`, references ascending.
  std::vector<ZelDrawObject*> objectsOfKind(int kind) const;
  bool hasKind(int kind) const { return m_objects.count(kind) != 0; }

  // Union of the boxes of the objects' geometry (mesh units), the scene-centre marker and the
  // legend left out; false when no object has geometry.
  bool sceneBox(double box[6]) const;

  // Geometry, mesh form (see packMeshArrays): 1-based coordinates and nodes, an optional list
  // of 1-based elements to show. Warns " warning : attachData: object %p of type %s is not
  // present in the scene \n" for objects outside the scene.
  void attachData(ZelDrawObject* object, int vertexCount, const double* coords, int elementCount,
                  const int* nodes, const int* selection, int selectionCount);
  // The vertices form, done at the object's first draw (attachDeferred); the coordinates must
  // stay valid until then.
  void attachDataWhenShown(ZelDrawObject* object, int vertexCount, const double* coords);
  // Runs the attachment deferred for `object`; false when none was waiting.
  bool attachDeferred(ZelDrawObject* object);
  // Geometry already 0-based; the legend (kind Palette) keeps window coordinates.
  void attachLocalData(ZelDrawObject* object, int vertexCount, const double* coords,
                       int elementCount, const unsigned* indices);
  // The polygon where `plane` (a, b, c, d: a x + b y + c z = d) cuts `box`, or with
  // `wholeBox` the twelve box edges; an empty outline leaves the object with no entities.
  void attachCutPlaneOutline(ZelDrawObject* object, const double box[6], const QVector4D& plane,
                             bool wholeBox);

  // Solution values of `target` (entityCount x nodesPerEntity, element by element, nodes in
  // the default order), shown through `palette` (a ZelDrawPalette; a palette of the model's
  // own when null). The model keeps `solution`. Messages and rules: see the scene window.
  void attachSolution(ZelDrawObject* solution, ZelDrawObject* target, ZelDrawObject* palette,
                      const double* values, int entityCount, int nodesPerEntity);
  // Takes the solution off `target`: it is drawn in its material colour again.
  void detachSolution(ZelDrawObject* target);
  ZelDrawObject* solutionOf(ZelDrawObject* target) const;
  // Set by the first solution attached, cleared by clear().
  bool solutionShown() const { return m_solutionShown; }

 private:
  void uploadSolution(ZelDrawObject* target, const double* values, int entityCount,
                      int nodesPerEntity, int degree, ZelDrawObject* palette);
  void makeCurrent() const {
    if (m_makeCurrent) m_makeCurrent();
  }

  QOpenGLFunctions_4_0_Core* m_gl = nullptr;
  std::function<void()> m_makeCurrent;
  StageTimings* m_timings = nullptr;
  // Object table: kind -> reference -> objects in creation order (owned); buffer table;
  // solution table: target -> attached solution object (owned).
  std::map<int, std::map<int, std::vector<ZelDrawObject*>>> m_objects;
  std::unordered_map<const ZelDrawObject*, std::unique_ptr<ZelBufferObject>> m_buffers;
  std::map<ZelDrawObject*, ZelDrawObject*> m_solutions;
  // Palettes made for solutions attached without one.
  std::vector<std::unique_ptr<ZelDrawObject>> m_ownPalettes;
  // Geometry attachments waiting for their object's first draw: vertex count and coordinates.
  std::map<ZelDrawObject*, std::pair<int, const double*>> m_deferred;
  bool m_solutionShown = false;
};

}  // namespace zel
