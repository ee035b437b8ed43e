// The application's window: a scene window that owns the mesh it shows and answers the scene
// window's signals with terminal reports and camera moves.
#pragma once

#include <QVector3D>
#include <array>
#include <vector>

#include "app/cut_scene.h"
#include "meshio/face_values.h"
#include "window/ZelSceneWindow.h"

struct ZelObject;
class ZelDrawPalette;

// Where a scene object's elements come from, so that the solution of another field can be
// attached to it again.
struct ObjectSource {
  ZelDrawObject* object = nullptr;
  int entityType = 0;          // the mesh kind of its elements, or the face type of a volume
  std::vector<int> elements;   // mesh elements shown (1-based), for objects of mesh elements
  int volumeType = 0;          // faces of volume elements: their volume type
  std::vector<int> faceNodes;  // faces: vertex numbers, faceSize per face
  int faceSize = 0;
  std::vector<int> links;  // faces: (volume type, element, local face) per face
  // Mesh faces lying on volume elements: their face-marking entries, one per element shown.
  std::vector<ZelFaceMark> marks;
};

class ZelMeshViewer : public ZelSceneWindow {
  Q_OBJECT

 public:
  // Shows an 800 by 600 window and returns once its OpenGL context exists.
  explicit ZelMeshViewer(const QSurfaceFormat& format);
  ~ZelMeshViewer() override;

  int numberOfFields() const { return m_numberOfFields; }
  int displayedField() const { return m_displayedField; }
  void setNumberOfFields(int count) { m_numberOfFields = count; }
  void setDisplayedField(int field) { m_displayedField = field; }
  ZelObject* mesh() const { return m_mesh; }
  // Takes ownership of a mesh container (the previous one is released).
  void setMesh(ZelObject* mesh);
  ZelDrawPalette* palette() const { return m_palette; }
  void setPalette(ZelDrawPalette* palette) { m_palette = palette; }
  ZelDrawObject* sceneCenterMarker() const { return m_sceneCenter; }
  void setSceneCenterMarker(ZelDrawObject* marker) { m_sceneCenter = marker; }
  std::vector<ObjectSource>& objectSources() { return m_sources; }
  // Face-marking arrays of the mesh triangles and quadrilaterals of each degree (index
  // degree - 1), entry m for mesh face m.
  std::vector<ZelFaceMark>& triangleMarks(int degree) { return m_triangleMarks[degree - 1]; }
  std::vector<ZelFaceMark>& quadrilateralMarks(int degree) {
    return m_quadrilateralMarks[degree - 1];
  }

  // Attaches the displayed field's solution to an object built from `source`; when the field
  // has no values there, the object's previous solution is taken off.
  void attachFieldSolution(const ObjectSource& source);
  // Shows field `displayed + delta` when it exists, re-attaching the solutions of every face
  // object.
  void changeDisplayField(int delta) override;
  // Rebuild the main cut objects from the camera's plane (in mesh units): the faces of the
  // crossed elements, or the capping polygons.
  void updateCutPlane() override;
  void updateCapping() override;
  CutScene& cutScene() { return m_cuts; }
  // The scene, mesh, palette and displayed field that cut objects are built with.
  CutTarget cutTarget();
  // Places the scene-centre marker at `centre` (mesh units), makes it the rotation centre and
  // draws a frame.
  void showSceneCenter(const double centre[3]);
  // The element named by the last report: 1-based number (-1 when none) and scene-object kind.
  int pickedElement() const { return m_pickedElement; }
  int pickedKind() const { return m_pickedKind; }

 public slots:
  void reportPicking(ZelDrawObject* picked);
  void performShowCenter();
  void centerScene(ZelDrawObject* picked);
  // Reads the mesh's parameter file into the parameters (all outputs but the file name; they
  // keep the values they hold unless the file sets them) and sets the displayed field.
  void ReadParameterFile(const QString& FilNam, int& Pal, float* usrPal, int& NbrUsrCut,
                         std::vector<std::array<double, 3>>& ctr,
                         std::vector<std::array<double, 3>>& nor, int& nbrIso, double& IsoWid,
                         int& cm, double* bbox, int& NbrUsrIso, std::vector<float>& UsrIsoVal);

 private:
  // After a report: the displayed field's value at the picked point of a face (a surface
  // element or a face of a volume), when the field has values there.
  void printPickedValue(const ZelDrawObject& picked, const ObjectSource& source);

  ZelObject* m_mesh = nullptr;
  ZelDrawPalette* m_palette = nullptr;     // in the scene, owned by the window
  ZelDrawObject* m_sceneCenter = nullptr;  // in the scene, owned by the window
  std::vector<ObjectSource> m_sources;
  CutScene m_cuts;
  std::vector<ZelFaceMark> m_triangleMarks[4], m_quadrilateralMarks[4];
  int m_pickedElement = -1;   // 1-based element number, -1 when nothing is picked
  int m_pickedKind = -1;      // scene-object kind of the picked element
  int m_pickedType = 0;       // its mesh type code
  int m_pickedFace = -1;      // the volume's face it was reached through, 1000 capping, or -1
  int m_centredElement = -1;  // element last used for centring
  int m_centredKind = -1;
  int m_numberOfFields = 1;
  int m_displayedField = 1;
};
