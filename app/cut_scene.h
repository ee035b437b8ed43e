// The cut objects of a viewer's scene: the faces of the volume elements that the main cut plane
// or a fixed user cut plane crosses, and the capping polygons of the main plane, each object
// with the displayed field's solution. Built through the scene model, so that it works (and is
// tested) without an OpenGL context.
#pragma once

#include <map>
#include <vector>

namespace zel {
class SceneModel;
}
class ZelDrawObject;
class ZelDrawPalette;
struct ZelObject;

// What cut objects are built from and where they go.
struct CutTarget {
  zel::SceneModel* model = nullptr;
  ZelObject* mesh = nullptr;
  ZelDrawPalette* palette = nullptr;  // the scene's palette, may be null
  int field = 1;                      // the displayed field, 1-based
};

class CutScene {
 public:
  // Objects are keyed by t + 4 (d + 4 i): t the volume type's index (tetrahedron, pyramid,
  // prism, hexahedron), d the degree (1..4), i the position of the element reference in the
  // ascending list of the type's references. An object is created on first need, added to the
  // scene and kept; updates replace its data, show it or hide it (emptied).
  static int key(int typeIndex, int degree, int referencePosition) {
    return typeIndex + 4 * (degree + 4 * referencePosition);
  }

  // Faces of the elements of the volume types of `degree` that `plane` (a, b, c, d in mesh
  // units; above where a x + b y + c z > d) crosses, kept when they belong to exactly one
  // crossed element of the same reference: into the main cut objects (kinds Cut..., user < 0)
  // or into the objects of user plane `user` (kinds UsrCut..., one set per user plane).
  void buildCutObjects(const CutTarget& target, const double plane[4], int user, int degree);
  // Prints "CutPlane Equation %f %f %f %f \n" and rebuilds the main cut objects for degrees 1..4.
  void updateCutPlane(const CutTarget& target, const double plane[4]);
  // Prints the plane as above, caps the straight volume types into the objects of keys 4 + t and
  // curved tetrahedra of degree 2 into those of key 8 (no solution on them), prints "Capping not
  // done for element %s of degree > 1 \n" for every other curved type present, and hides every
  // other main cut object.
  void updateCapping(const CutTarget& target, const double plane[4]);
  // Attaches the displayed field of `target` again to every cut object (after a field change).
  void refreshSolutions(const CutTarget& target);

  // The main plane's triangle or quadrilateral object of `key`, or null.
  ZelDrawObject* triangleObject(int key) const { return find(m_main, 0, key); }
  ZelDrawObject* quadrilateralObject(int key) const { return find(m_main, 1, key); }
  // The objects of user plane `user` (triangles then quadrilaterals, by key).
  std::vector<ZelDrawObject*> userObjects(int user) const;
  // Forgets every cut object without touching the scene: for a scene that is being emptied.
  void forget();

 private:
  // One object with what its solution is taken from.
  struct Slot {
    ZelDrawObject* object = nullptr;
    int kind = 0;                // the object's kind, known without reading the object
    int volumeType = 0;          // faces of crossed elements: their volume type; 0 for caps
    int faceType = 0;            // faces: the face entity type of that degree
    std::vector<int> faceNodes;  // faces: vertex numbers, faceSize a face
    int faceSize = 0;
    std::vector<int> links;  // faces: (volume type, element, local face) a face
  };
  // Triangles [0] and quadrilaterals [1] of one plane, by key.
  struct Objects {
    std::map<int, Slot> faces[2];
  };
  static ZelDrawObject* find(const Objects& objects, int shape, int key);
  // Forgets every object when the scene no longer holds one of them: a cleared scene (the
  // movie mode empties it between frames) has freed them all.
  void forgetIfCleared(const CutTarget& target);

  Slot& slot(const CutTarget& target, Objects& objects, bool user, int shape, int degree, int key,
             int reference);
  void buildType(const CutTarget& target, const double plane[4], Objects& objects, bool user,
                 int degree, int typeIndex);
  void capType(const CutTarget& target, const double plane[4], int typeIndex, bool curved,
               std::vector<int>* written);
  void capSolutions(const CutTarget& target, int volumeType, int nbrTri, const double* triRef,
                    const int* triInf, int nbrQua, const double* quaRef, const int* quaInf);

  Objects m_main;
  std::vector<Objects> m_users;
  bool m_capped = false;  // the main objects hold the capping of m_plane
  double m_plane[4] = {0, 0, 0, 0};
};
