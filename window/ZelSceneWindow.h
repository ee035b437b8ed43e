// Scene window: the OpenGL window that draws the scene objects and handles the camera,
// keyboard, mouse, picking, state file and screenshots.
//
// Coordinate frames: mesh units (as read from files; the bounding box, the rotation centre and
// the cut plane are kept in them), normalised units ((x - scene centre) x scene scale: what
// the GPU draws, the camera centre and pan), and object-local units (an object's own centring
// inside its buffer).
#pragma once

#include <QElapsedTimer>
#include <QGenericMatrix>
#include <QList>
#include <QTimer>
#include <QVariantMap>
#include <QVector3D>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "gpu/stage_timings.h"
#include "meshio/entity_types.h"
#include "scene/SceneModel.h"
#include "scene/ZelDisplaySettings.h"
#include "window/FrameRenderer.h"
#include "window/OpenGLWindow.h"
#include "window/SceneCamera.h"
#include "window/interaction_pace.h"
#include "window/offscreen_framebuffer.h"
#include "window/picking_pass.h"
#include "window/reduced_frame.h"

class QOpenGLFunctions_4_0_Core;
class GLSLProgram;
class ZelBufferObject;
class ZelDrawObject;
// Scene objects travel through signals as plain pointers; they are not QObjects.
Q_DECLARE_OPAQUE_POINTER(ZelDrawObject*)

class ZelSceneWindow : public OpenGLWindow {
  Q_OBJECT

 public:
  explicit ZelSceneWindow(const QSurfaceFormat& format, QWindow* parent = nullptr);
  ~ZelSceneWindow() override;

  void render(QPainter* painter) override;
  void render() override;
  // Checks for OpenGL 4, sets up the fixed OpenGL state and draws the first frame.
  void initialize() override;

  // Recomputes the objects cut by the cut plane; empty here, the viewer fills it in.
  virtual void updateCutPlane();
  // Recomputes the capping of the cut volume elements; empty here.
  virtual void updateCapping();
  // Shows the solution field `delta` away from the displayed one; empty here.
  virtual void changeDisplayField(int delta);

  // The OpenGL 4.0 core function set of the context; null before initialisation or when
  // the context cannot provide it (then nothing is drawn).
  QOpenGLFunctions_4_0_Core* glFunctions() const { return m_gl; }

  // Scene frame, mesh units: xmin, xmax, ymin, ymax, zmin, zmax. Storing a box also resets
  // the cut plane to (1, 0, 0, x-midpoint), (1, 0, 0, 0) in normalised units.
  void storeBoundingBox(const double box[6]);
  void getBoundingBox(double box[6]) const;
  double sceneScale() const { return m_sceneScale; }
  const double* sceneCentre() const { return m_sceneCentre; }
  // Sets the rotation centre (mesh units) and gives the camera its normalised position.
  void setRotationCentre(const double centre[3]);
  const double* rotationCentre() const { return m_rotationCentre; }
  // Rotation from pitch -60, yaw 0, roll -120 degrees (identity in 2D), no pan, default eye,
  // cut plane (1, 0, 0, 0), field of view 15, rotation centre at the box midpoint; redraws.
  void resetView();
  // Cut plane through `point` with `normal`: (n.x, n.y, n.z, p.n), mesh units.
  void setCutPlane(const double point[3], const double normal[3]);
  // The camera keeps the cut plane in normalised units, so that its keys and drags act alike
  // whatever the mesh's units; these convert it from and to mesh units (a, b, c, d: the plane
  // a x + b y + c z = d), through the current scene centre and scale.
  void meshCutPlane(double plane[4]) const;
  void setMeshCutPlane(const double plane[4]);
  // The window keeps the largest dimension it has been given (2 or 3).
  void setDimension(int dimension);
  // Forgets the dimensions given so far (back to the default 3 until the next one), so that
  // a new scene in the same window takes the dimension of its own mesh.
  void forgetDimension();
  int dimension() const { return m_dimension; }
  double fieldOfView() const { return m_fieldOfView; }

  ZelDisplaySettings& displaySettings() { return m_settings; }
  SceneCamera& camera() { return m_camera; }
  bool cutPlaneShown() const { return m_cutPlaneShown; }
  bool verticesShown() const { return m_verticesShown; }
  bool cornersShown() const { return m_cornersShown; }
  bool blackBackground() const { return m_blackBackground; }
  // True while a palette object belongs to the scene; gates the solution keys and the legend.
  bool palettePresent() const { return m_model.hasKind(DrawKind::Palette); }

  // Objects of one kind and reference, in creation order; empty when there are none.
  const std::vector<ZelDrawObject*>& objectsOf(int kind, int reference) const;
  // Every object of the scene, in drawing order within each kind (reference, creation).
  std::vector<ZelDrawObject*> allObjects() const;

  // Scene membership. The window takes ownership of an added object and gives it a GPU buffer
  // of its kind; removing it frees both. Both warn on objects in the wrong state.
  void addObject(ZelDrawObject* object);
  void removeObject(ZelDrawObject* object);
  // Removes and frees every object (and the solutions attached to them).
  void clearScene();

  // Geometry of an object, mesh form: `coords` 1-based (vertex v at 3v..3v+2), `nodes` 1-based
  // (element e at e*k..e*k+k-1, 1-based vertex numbers), `selection` an optional list of
  // 1-based element numbers to show. Without `nodes`, every vertex is a point.
  void attachData(ZelDrawObject* object, int vertexCount, const double* coords,
                  int elementCount = 0, const int* nodes = nullptr, const int* selection = nullptr,
                  int selectionCount = 0);
  // The vertices form of attachData, done only when the object is first drawn (a vertex cloud
  // is hidden until the user shows it, and packing millions of points costs seconds). The
  // coordinates must stay valid while the object is in the scene.
  void attachDataWhenShown(ZelDrawObject* object, int vertexCount, const double* coords);
  // Geometry already 0-based: `coords` vertexCount x 3, `indices` elementCount x k.
  void attachLocalData(ZelDrawObject* object, int vertexCount, const double* coords,
                       int elementCount, const unsigned* indices);
  // Cut-plane outline: the polygon where `plane` (mesh units) cuts the scene box, or with
  // `wholeBox` the twelve edges of the box.
  void attachCutPlaneOutline(ZelDrawObject* object, const double box[6], const QVector4D& plane,
                             bool wholeBox);
  // Solution values of `target` (entityCount x nodesPerEntity doubles, element by element,
  // nodes in the default order) shown through `palette` (or a palette of its own when null).
  // The window keeps `solution` in its solution table.
  void attachData(ZelDrawObject* solution, ZelDrawObject* target, ZelDrawObject* palette,
                  const double* values, int entityCount, int nodesPerEntity);
  // Takes the solution off `target` (nothing when it has none): it is drawn in its material
  // colour again until a solution is attached anew.
  void detachSolution(ZelDrawObject* target);
  // The solution attached to `target`, or null.
  ZelDrawObject* solutionOf(ZelDrawObject* target) const;
  bool solutionShown() const { return m_model.solutionShown(); }
  // The scene model behind the operations above.
  zel::SceneModel& model() { return m_model; }
  const zel::SceneModel& model() const { return m_model; }
  // The GPU buffer of an object, or null when it is not in the scene.
  ZelBufferObject* bufferOf(const ZelDrawObject* object) const;
  // Primitives drawn by the last frame, and the shader programs built so far.
  int lastFramePrimitives() const { return m_lastFramePrimitives; }
  std::vector<std::string> builtPrograms() const;
  long frameCount() const { return m_frameCount; }
  void setIsoLineWidth(double width) { m_isoLineWidth = width; }
  // Stage timings to fill (null: none are taken).
  void setStageTimings(StageTimings* timings) {
    m_timings = timings;
    m_model.setStageTimings(timings);
  }
  StageTimings* stageTimings() const { return m_timings; }

  // Cheap frames while the view moves (on by default): frames asked for by a drag, the wheel,
  // the arrow and zoom keys are drawn cheaply (see zel::FrameUniforms::cheap) until input has
  // been quiet for zel::InteractionPace::kQuietMilliseconds; then one full frame is drawn.
  // Screenshots and picking always draw full frames. Turning them off draws the full frame at
  // once if a cheap one is on screen.
  void setCheapFrames(bool on);
  bool cheapFrames() const { return m_pace.enabled(); }
  // Whether the last frame drawn was cheap, and the programs it drew with.
  bool lastFrameCheap() const { return m_lastFrameCheap; }
  const std::vector<std::string>& lastFramePrograms() const {
    return m_renderer.lastFramePrograms();
  }
  // The millisecond clock the pace of frames reads; empty: the window's own, started when it
  // was made. Tests drive a clock of their own, so that a loaded machine's slow frames do not
  // decide which frames are cheap.
  void setPaceClock(std::function<std::int64_t()> now) { m_paceNow = std::move(now); }
  // Called at the end of every frame, before the buffers are swapped (the frame's pixels can
  // still be read), with whether the frame was cheap; for measurements. Empty: none.
  void setFrameObserver(std::function<void(bool cheap)> observer) {
    m_frameObserver = std::move(observer);
  }

  // Stores the name (empty: time-stamped), sets the request and draws a frame at once; the
  // frame writes the PNG after drawing.
  void requestScreenshot(const std::string& fileName = std::string());
  // Picking. pick draws the scene with id colours into the picking framebuffer (mode 1) and
  // returns the id under window position (x, y) (logical pixels, y down; 0: background), or
  // -1 when the framebuffer could not be made; mode 2 (iso-lines) prints
  // "performpicking isoline" and returns 0. A redraw of the window is scheduled.
  int pick(int x, int y, int mode);
  // Maps an id of the last picking pass to its object (null: none) and updates the highlight
  // lists, the picked list and the object's last pick.
  ZelDrawObject* resolve(int x, int y, int id);
  // Shift-click and double-click: picks at the event position rounded to the nearest pixel;
  // on success toggles the object's highlight-all flag in highlight-objects mode, redraws and
  // emits pickingDone. Returns the object, or null (then nothing is redrawn or emitted).
  ZelDrawObject* pickAt(const QPointF& position);
  // Collects picks until Return (or Q, Escape) emits multiPickingDone, in a local event loop;
  // prints "  End of picking demand " and returns the objects picked meanwhile, in order.
  QList<ZelDrawObject*> multiPickingRequest(const QVariantMap& request);
  // References of the picked objects in picking order; clears their highlight-all flags.
  QList<int> multiPickingReturnList();
  bool multiPickingActive() const { return m_multiPicking; }
  const QVariantMap& multiPickingRequestMap() const { return m_multiPickingRequest; }
  // Highlight-elements mode (on at start): a pick highlights its primitive. Highlight-objects
  // mode (off at start): a pick toggles the object's whole-object tint.
  bool highlightElements() const { return m_highlightElements; }
  void setHighlightElements(bool on) { m_highlightElements = on; }
  bool highlightObjects() const { return m_highlightObjects; }
  void setHighlightObjects(bool on) { m_highlightObjects = on; }
  void setPickingVerbose(bool on) { m_pickingVerbose = on; }
  // Picked objects, most recent last; hidden objects in the order they were hidden.
  const std::vector<ZelDrawObject*>& pickedObjects() const { return m_picked; }
  const std::vector<ZelDrawObject*>& hiddenObjects() const { return m_hidden; }
  // The picking table of the last frame drawn (the picking pass's after a pick).
  const ZelPickingTable& pickingTable() const { return m_renderer.pickingTable(); }
  // Where a point (mesh units) is drawn: window x and y (logical pixels, y down) and the clip
  // w that undoes the perspective, with the camera and field of view of the next frame.
  QVector3D windowPosition(const double point[3]) const;

  // Writes "zelmor.data" in the working directory (key "w").
  void writeStateFile();
  // Applies a state file to the window.
  void readStateFile(const std::string& fileName);

 signals:
  void multiPickingDone(QList<ZelDrawObject*> picked);
  void pickingDone(ZelDrawObject* picked);
  void doCenterScene(ZelDrawObject* picked);
  void showSceneCenter();

 protected:
  bool event(QEvent* event) override;
  void exposeEvent(QExposeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void touchEvent(QTouchEvent* event) override;

  // Obtains the OpenGL 4.0 core functions and sets the state that holds for the window's
  // life; returns false when the context cannot provide the function set.
  bool setUpOpenGL();

  // Key handling by key code; false when the key is not one of them.
  bool handleKeyCode(QKeyEvent* event);
  // Key handling by text (first match of the key table); returns whether the window must be
  // redrawn.
  bool handleKeyText(const QString& text);

  // One key of the text table: its text (case-sensitive), its action and whether the window is
  // redrawn after it.
  struct TextKey {
    const char* text;
    void (*action)(ZelSceneWindow& window);
    bool redraw;
  };
  static const std::vector<TextKey>& textKeys();

 private:
  void printFirstFrameBanner();
  // Ends an active multi-picking: emits multiPickingDone with the picked list.
  void endMultiPicking();
  // The uniform block of the frame about to be drawn.
  zel::FrameUniforms frameUniforms() const;
  // Recomputes the scene centre and scale from the box and re-applies the rotation centre.
  void updateSceneFrame();
  // Milliseconds on the pace clock.
  std::int64_t paceNow() const;
  // Motion input: the frames of the next quiet time are cheap, the full frame follows.
  void noteViewMotion();
  // Whether the frame about to be drawn is cheap; after it, the bookkeeping of its quality.
  bool nextFrameCheap() const;
  void cheapFrameBookkeeping(bool cheap);
  // Quiet-timer expiry: the full frame when due, else wait for the rest of the quiet time.
  void drawFullFrameIfDue();

  QOpenGLFunctions_4_0_Core* m_gl = nullptr;
  bool m_bannerPending = true;
  QElapsedTimer m_startupStopwatch;

  // Scene frame, mesh units.
  double m_box[6];
  double m_sceneCentre[3] = {0.0, 0.0, 0.0};
  double m_sceneSize = 1.0;
  double m_sceneScale = 1.0;
  double m_rotationCentre[3] = {0.0, 0.0, 0.0};
  double m_fieldOfView = 15.0;
  int m_dimension = 3;
  int m_largestDimensionGiven = 0;

  ZelDisplaySettings m_settings;
  SceneCamera m_camera;
  QPoint m_pointer;  // last pointer position, whole pixels

  bool m_verticesShown = false;
  bool m_blackBackground = false;
  bool m_pickingPass = false;
  bool m_cutPlaneShown = false;
  bool m_cornersShown = true;
  bool m_worldTransforms = false;
  zel::SceneModel m_model;
  zel::FrameRenderer m_renderer;
  int m_lastFramePrimitives = 0;
  double m_isoLineWidth = 1.0;
  StageTimings* m_timings = nullptr;
  // Picked objects, most recent last (filled by picking), and hidden objects in the order
  // they were hidden.
  std::vector<ZelDrawObject*> m_picked;
  std::vector<ZelDrawObject*> m_hidden;
  zel::OffscreenFramebuffer m_pickingFramebuffer;
  bool m_highlightElements = true;
  bool m_highlightObjects = false;
  bool m_pickingVerbose = false;
  bool m_multiPicking = false;
  QVariantMap m_multiPickingRequest;
  bool m_screenshotRequested = false;
  std::string m_screenshotName;
  long m_frameCount = 0;
  zel::InteractionPace m_pace;
  zel::ReducedFrame m_reducedFrame;
  QElapsedTimer m_paceClock;
  std::function<std::int64_t()> m_paceNow;
  QTimer m_quietTimer;
  bool m_lastFrameCheap = false;
  std::function<void(bool)> m_frameObserver;
};
