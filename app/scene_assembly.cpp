// Scene assembly: mesh and solution files turned into scene objects.
#include "app/scene_assembly.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/ZelMeshViewer.h"
#include "app/parameter_file.h"
#include "capping/boundary_faces.h"
#include "meshio/entity_catalogue.h"
#include "meshio/reference_groups.h"
#include "meshio/solution_loading.h"
#include "meshio/status.h"
#include "meshio/zel_object.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"

namespace {

using namespace EntityType;

const int kSurfaceTriangleKinds[4] = {DrawKind::SrfTriangle, DrawKind::SrfTriangleP2,
                                      DrawKind::SrfTriangleP3, DrawKind::SrfTriangleP4};
const int kSurfaceQuadrilateralKinds[4] = {DrawKind::SrfQuadrilateral, DrawKind::SrfQuadrilateralQ2,
                                           DrawKind::SrfQuadrilateralQ3,
                                           DrawKind::SrfQuadrilateralQ4};

// The report of a file read: the failure with its code and message, or the file opened (whose
// name the reader echoes into the second half of the status buffer).
void reportOpening(const char* function, int code, const char* status) {
  if (code != 0) {
    zel::printMessage(" %s failed error %3d : %s\n", function, code, status);
  } else {
    zel::printMessage("  %%%% %s OPENED\n", status + zel::kStatusSize / 2);
  }
}

int countOf(ZelObject* mesh, int typ) {
  char status[zel::kStatusSize] = {};
  int count = 0;
  zel_GetNumberOfEntities(mesh, typ, &count, status);
  return count;
}

// The face-marking array of a triangle or quadrilateral type, or null for other types.
const std::vector<ZelFaceMark>* faceMarksOf(ZelMeshViewer* viewer, int typ) {
  for (int d = 0; d < 4; ++d) {
    if (typ == kFaceTypes[0][d]) return &viewer->triangleMarks(d + 1);
    if (typ == kFaceTypes[1][d]) return &viewer->quadrilateralMarks(d + 1);
  }
  return nullptr;
}

// One scene object per reference for an entity type, invalid entities filtered; objects of
// face kinds receive the displayed field's solution. Corners (one vertex each) become points.
void buildTypeObjects(ZelMeshViewer* viewer, int typ, int vertexCount, const double* coords) {
  char status[zel::kStatusSize] = {};
  int count = 0, k = 0;
  const int* nodes =
      static_cast<const int*>(zel_GetIndicesArray(viewer->mesh(), typ, &count, &k, status));
  const int* refs = zel_GetReferenceArray(viewer->mesh(), typ, status);
  if (!nodes || !refs || count < 1) return;
  int nbrRefs = 0;
  int* distinct = nullptr;
  ZelRefGroup* groups =
      zel_GroupByReference(typ, vertexCount, count, nodes + k, nodes + size_t(count) * size_t(k),
                           refs + 1, refs + count, &nbrRefs, &distinct, status);
  int filtered = 0;
  const int kind = zel_EntTyp2DrawKind(typ);
  for (int g = 0; g < nbrRefs; ++g) {
    filtered += groups[g].nbrInvalid;
    if (kind < 0 || groups[g].nbrValid == 0) continue;
    ZelDrawObject* object = ZelDrawObject::create(kind, distinct[g]);
    if (!object) continue;
    viewer->addObject(object);
    viewer->attachData(object, vertexCount, coords, count, nodes, groups[g].valid,
                       groups[g].nbrValid);
    ObjectSource source;
    source.object = object;
    source.entityType = typ;
    source.elements.assign(groups[g].valid, groups[g].valid + groups[g].nbrValid);
    const std::vector<ZelFaceMark>* marks = faceMarksOf(viewer, typ);
    if (marks && marks->size() > size_t(count)) {
      for (int element : source.elements) source.marks.push_back((*marks)[size_t(element)]);
    }
    if (object->carriesPalette()) viewer->attachFieldSolution(source);
    viewer->objectSources().push_back(std::move(source));
  }
  if (filtered > 0)
    zel::printMessage(" %s: %d topologically invalid entities are filtered !\n",
                      zel_EntTypName(typ), filtered);
  zel_FreeRefGroups(groups, nbrRefs);
  std::free(distinct);
}

// Adds the faces of one shape of a boundary group as a surface object.
void addSurfaceObject(ZelMeshViewer* viewer, int kind, int faceType, int volumeType, int ref,
                      int faceCount, int faceSize, const int* faceNodes, const int* links,
                      int vertexCount, const double* coords) {
  if (faceCount == 0) return;
  ObjectSource source;
  source.object = ZelDrawObject::create(kind, ref);
  source.entityType = faceType;
  source.volumeType = volumeType;
  source.faceSize = faceSize;
  source.faceNodes.assign(faceNodes, faceNodes + size_t(faceCount) * size_t(faceSize));
  source.links.assign(links, links + 3 * size_t(faceCount));
  viewer->addObject(source.object);
  // The mesh form numbers elements from 1: one empty block first.
  std::vector<int> nodes(size_t(faceSize), 0);
  nodes.insert(nodes.end(), source.faceNodes.begin(), source.faceNodes.end());
  viewer->attachData(source.object, vertexCount, coords, faceCount, nodes.data());
  source.object->setEntityOrigins(links);
  viewer->attachFieldSolution(source);
  viewer->objectSources().push_back(std::move(source));
}

// Boundary surfaces of the volume elements of every degree.
void buildSurfaceObjects(ZelMeshViewer* viewer, int vertexCount, const double* coords) {
  ZelObject* mesh = viewer->mesh();
  for (int d = 0; d < 4; ++d) {
    std::vector<ZelFaceMark>& triMarks = viewer->triangleMarks(d + 1);
    std::vector<ZelFaceMark>& quaMarks = viewer->quadrilateralMarks(d + 1);
    triMarks.assign(size_t(countOf(mesh, kFaceTypes[0][d])) + 1, ZelFaceMark{});
    quaMarks.assign(size_t(countOf(mesh, kFaceTypes[1][d])) + 1, ZelFaceMark{});
    for (int volumeType : kVolumeTypes[d]) {
      if (countOf(mesh, volumeType) == 0) continue;
      char status[zel::kStatusSize] = {};
      int nbrGroups = 0, invalid = 0;
      ZelSurfaceGroup* groups = nullptr;
      int extracted;
      {
        StageClock clock(viewer->stageTimings(), &StageTimings::surfaceExtraction);
        extracted = zel_ExtractBoundaryFaces(mesh, volumeType, triMarks.data(), quaMarks.data(),
                                             &nbrGroups, &groups, &invalid, status);
      }
      if (extracted != 0) {
        zel::printMessage("  %s\n", status);
        continue;
      }
      if (invalid > 0)
        zel::printMessage(" %s: %d topologically invalid entities are filtered !\n",
                          zel_EntTypName(volumeType), invalid);
      for (int g = 0; g < nbrGroups; ++g) {
        const ZelSurfaceGroup& group = groups[g];
        addSurfaceObject(viewer, kSurfaceTriangleKinds[d], kFaceTypes[0][d], volumeType, group.ref,
                         group.nbrTri, group.triSize, group.triNodes, group.triLinks, vertexCount,
                         coords);
        addSurfaceObject(viewer, kSurfaceQuadrilateralKinds[d], kFaceTypes[1][d], volumeType,
                         group.ref, group.nbrQua, group.quaSize, group.quaNodes, group.quaLinks,
                         vertexCount, coords);
      }
      zel_FreeSurfaceGroups(groups, nbrGroups);
    }
  }
}

// The cut objects of the main plane and of every user plane (given in mesh units), for every
// degree.
void buildCutObjects(ZelMeshViewer* viewer, const DisplayParameters& p) {
  double plane[4];
  viewer->meshCutPlane(plane);
  for (int d = 1; d <= 4; ++d)
    viewer->cutScene().buildCutObjects(viewer->cutTarget(), plane, -1, d);
  const size_t users = std::min({size_t(std::max(p.NbrUsrCut, 0)), p.ctr.size(), p.nor.size()});
  for (size_t u = 0; u < users; ++u) {
    const auto& c = p.ctr[u];
    const auto& n = p.nor[u];
    const double user[4] = {n[0], n[1], n[2], c[0] * n[0] + c[1] * n[1] + c[2] * n[2]};
    for (int d = 1; d <= 4; ++d)
      viewer->cutScene().buildCutObjects(viewer->cutTarget(), user, int(u), d);
  }
}

// The palette object from the parameters, as the legend's rectangle at the top of the window.
ZelDrawPalette* makePalette(const DisplayParameters& p) {
  ZelDrawPalette* palette;
  if (p.NbrUsrIso == 0) {
    palette = p.Pal ? new ZelDrawPalette(p.usrPal, p.cm, p.nbrIso, true)
                    : new ZelDrawPalette(p.cm, p.nbrIso);
  } else {
    palette = p.Pal ? new ZelDrawPalette(p.usrPal, p.NbrUsrIso, p.UsrIsoVal.data(), p.cm, true)
                    : new ZelDrawPalette(p.cm, p.NbrUsrIso, p.UsrIsoVal.data());
  }
  return palette;
}

}  // namespace

ZelObject* assembleScene(ZelMeshViewer* viewer, const std::string& meshName,
                         const std::string& solutionName) {
  StageTimings* timings = viewer->stageTimings();
  StageClock wholeAssembly(timings, &StageTimings::assembly);
  ZelObject* mesh = nullptr;
  char status[zel::kStatusSize] = {};
  if (const int code = zel_NewInterface(&mesh); code != 0)
    zel::printMessage(" zel_NewInterface  status %d \n", code);
  viewer->setMesh(mesh);
  {
    StageClock clock(timings, &StageTimings::meshReading);
    reportOpening("zel_OpenMesh", zel_OpenMesh(mesh, meshName.c_str(), status), status);
  }
  zel_PrintStatistics(mesh);
  const int vertexCount = countOf(mesh, Vertex);
  if (vertexCount == 0) {
    zel::printMessage(" zel_OpenMesh : Mesh with no vertices\n");
    viewer->renderNow();
    return mesh;
  }
  {
    StageClock clock(timings, &StageTimings::solutionReading);
    reportOpening("zel_OpenSolution", zel_OpenSolution(mesh, solutionName.c_str(), status), status);
  }
  zel_PrintSolutionDegrees(mesh);

  DisplayParameters parameters;
  zel_GetBoundingBox(mesh, parameters.bbox, status);
  readParameterFile(meshName, &parameters, stdout);
  if (parameters.displayField > 0) viewer->setDisplayedField(parameters.displayField);
  viewer->setCheapFrames(!parameters.fullFrames);
  double box[6];
  std::copy(parameters.bbox, parameters.bbox + 6, box);
  const double centre[3] = {0.5 * (box[0] + box[1]), 0.5 * (box[2] + box[3]),
                            0.5 * (box[4] + box[5])};
  int dimension = 3;
  zel_GetDimension(mesh, &dimension, status);
  viewer->setDimension(dimension);
  viewer->resetView();
  viewer->storeBoundingBox(box);
  viewer->setIsoLineWidth(parameters.IsoWid);
  // The cut plane (reference 0) and, in cut-plane mode, the box (reference 1).
  for (int reference : {0, 1})
    viewer->addObject(ZelDrawObject::create(DrawKind::CutPlane, reference));

  ZelDrawPalette* palette = makePalette(parameters);
  viewer->addObject(palette);
  const double legend[12] = {-0.9, 0.95, 0, -0.9, 0.85, 0, 0.9, 0.85, 0, 0.9, 0.95, 0};
  const unsigned corners[4] = {0, 1, 2, 3};
  viewer->attachLocalData(palette, 4, legend, 1, corners);
  viewer->setPalette(palette);

  const int fields = std::max(1, zel_GetNumberOfSolutionFields(mesh));
  viewer->setNumberOfFields(fields);
  if (viewer->displayedField() > fields) {
    if (fields >= 2) {
      zel::printMessage(
          "  Warning: wrong displayfield given (larger than the number of fields) \n");
      zel::printMessage("  Display Solution Field %d instead\n", 1);
      zel::printMessage("  Note that the first field is displayed with displayfield equal to 1\n");
    }
    viewer->setDisplayedField(1);
  }

  char coordinateStatus[zel::kStatusSize] = {};
  int count = 0, k = 0;
  const double* coords =
      static_cast<const double*>(zel_GetIndicesArray(mesh, Vertex, &count, &k, coordinateStatus));
  buildSurfaceObjects(viewer, vertexCount, coords);
  buildCutObjects(viewer, parameters);
  for (int typ : {Edge, EdgeP2, EdgeP3, EdgeP4}) buildTypeObjects(viewer, typ, vertexCount, coords);
  for (int typ : {Triangle, TriangleP2, TriangleP3, TriangleP4, Quadrilateral, QuadrilateralQ2,
                  QuadrilateralQ3, QuadrilateralQ4})
    buildTypeObjects(viewer, typ, vertexCount, coords);

  ZelDrawObject* points = ZelDrawObject::create(DrawKind::Vertex, 0);
  viewer->addObject(points);
  viewer->attachDataWhenShown(points, vertexCount, coords);
  buildTypeObjects(viewer, Corner, vertexCount, coords);

  ZelDrawObject* marker = ZelDrawObject::create(DrawKind::SceneCenter, 0);
  viewer->addObject(marker);
  marker->setVisible(false);
  viewer->setSceneCenterMarker(marker);
  viewer->showSceneCenter(centre);
  return mesh;
}
