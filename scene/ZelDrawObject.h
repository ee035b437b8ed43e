// Scene object base: one displayable set of entities of one kind and reference, with its
// visibility, highlight state, display settings, counts and the OpenGL function table.
#pragma once

#include <QMatrix3x3>
#include <QVector3D>
#include <array>
#include <cstdint>
#include <vector>

#include "gpu/ZelBufferObject.h"
#include "scene/ZelDisplaySettings.h"

class QOpenGLFunctions_4_0_Core;
class ZelDrawPalette;

// What a kind carries besides the base fields.
namespace ZelDrawTraits {
enum : unsigned {
  Plain = 0,
  Palette = 1,  // a palette pointer (surface kinds and faces of volumes)
  Origins = 2,  // one origin triple per entity (faces made by cut planes or taken from volumes)
};
}

class ZelDrawObject {
 public:
  // Builds the scene object of `kind` (a DrawKind code): every kind with a class except
  // Palette (see ZelDrawPalette's constructors) and the composite. Any other kind prints
  // "Warning no ZelDrawObject created !" and a newline on standard output and gives null.
  // The caller owns the result.
  static ZelDrawObject* create(int kind, int reference);
  // Text of a kind in messages, with a trailing blank ("TriangleP2 "); "Unknown " for codes
  // without a name.
  static const char* kindName(int kind);

  virtual ~ZelDrawObject();
  ZelDrawObject(const ZelDrawObject&) = delete;
  ZelDrawObject& operator=(const ZelDrawObject&) = delete;

  // Slot 0: the palette of the object's solution (not owned); null for kinds without one.
  virtual ZelDrawPalette* getPalette() const { return nullptr; }
  // Slot 1: attaches a palette (not owned); does nothing for kinds without one.
  virtual void setPalette(ZelDrawPalette*) {}
  // Slots 2 and 3: members of a patch (not owned); 0 and null for other kinds.
  virtual int memberCount() const { return 0; }
  virtual ZelDrawObject* const* members() const { return nullptr; }
  // Slot 4: the object that is drawn for this one: itself, except a patch with members,
  // whose members are drawn instead (null).
  virtual ZelDrawObject* drawableSelf() { return this; }
  // Slot 5: stores one origin triple per entity; origins holds 3 x entityCount() values,
  // entity i (0-based) at 3i, 3i+1, 3i+2. Does nothing for kinds without origins, or when
  // origins is null (the previous origins are then dropped).
  virtual void setEntityOrigins(const int* origins) { (void)origins; }
  // Slot 6: writes entity index's origin triple into origin[0..2] and returns true; false
  // (origin untouched) for kinds without origins or an index outside 0..entityCount()-1.
  virtual bool getEntityOrigin(int index, int origin[3]) const {
    (void)index;
    (void)origin;
    return false;
  }

  // Stores the window's OpenGL 4.0 function table (not owned). A null table is stored too,
  // after "  ## warning : openGL context is not active (recall setGLfunc after
  // initialization of the graphics window) \n" on standard output.
  void setGLfunc(QOpenGLFunctions_4_0_Core* gl);
  QOpenGLFunctions_4_0_Core* glFunctions() const { return m_gl; }
  // True when the function table is set; otherwise false, after "  ## warning:
  // ZelDrawObject: openGL functions are unset ==> no display !\n" on standard output when
  // the warn flag is set.
  bool usableForDisplay() const;
  bool warnWhenUnusable() const { return m_warnWhenUnusable; }
  void setWarnWhenUnusable(bool warn) { m_warnWhenUnusable = warn; }

  int kind() const { return m_kind; }
  int reference() const { return m_reference; }
  const char* typeName() const { return kindName(m_kind); }
  // Whether the kind holds a palette: the scene attaches palettes only to those.
  bool carriesPalette() const { return (m_traits & ZelDrawTraits::Palette) != 0; }
  bool carriesOrigins() const { return (m_traits & ZelDrawTraits::Origins) != 0; }

  bool visible() const { return m_visible; }
  void setVisible(bool visible) { m_visible = visible; }
  bool highlightAll() const { return m_highlightAll; }
  void setHighlightAll(bool on) { m_highlightAll = on; }
  // Highlighted primitive ids (0-based within this object); only the first reaches the
  // shaders.
  std::vector<int>& highlightList() { return m_highlight; }
  const std::vector<int>& highlightList() const { return m_highlight; }

  ZelDisplaySettings& display() { return m_display; }
  const ZelDisplaySettings& display() const { return m_display; }
  float pointSize() const { return m_display.pointSize; }

  // Two counts: the entity count is set when geometry is attached (solutions and entity
  // origins are sized by it); the displayed count is written by each draw (0 when hidden)
  // and used by picking.
  int entityCount() const { return m_entityCount; }
  void setEntityCount(int count) { m_entityCount = count > 0 ? count : 0; }
  int displayedCount() const { return m_displayedCount; }
  void setDisplayedCount(int count) { m_displayedCount = count; }
  // First triangle of this object inside a shared patch buffer.
  int firstTriangle() const { return m_firstTriangle; }
  void setFirstTriangle(int first) { m_firstTriangle = first; }

  // Window x, window y and local primitive index of the last pick; -1 each when none.
  const std::array<int, 3>& lastPick() const { return m_lastPick; }
  void setLastPick(int x, int y, int index) { m_lastPick = {x, y, index}; }

  // Per-object world transform, sent by the renderer when its per-object option is on.
  const QMatrix3x3& worldRotation() const { return m_worldRotation; }
  void setWorldRotation(const QMatrix3x3& rotation) { m_worldRotation = rotation; }
  const QVector3D& worldTranslation() const { return m_worldTranslation; }
  void setWorldTranslation(const QVector3D& translation) { m_worldTranslation = translation; }

  // What a buffer object needs to draw this object (patch members included, in member
  // order), and the way back: the counts that the draw wrote into the state.
  ZelDrawState drawState();
  void takeDrawResult(const ZelDrawState& state);

 protected:
  ZelDrawObject(int kind, int reference, unsigned traits = ZelDrawTraits::Plain);

 private:
  int32_t m_kind;
  int32_t m_reference;
  unsigned m_traits;
  bool m_warnWhenUnusable = false;
  bool m_visible = true;
  bool m_highlightAll = false;
  std::vector<int> m_highlight;
  ZelDisplaySettings m_display;
  int32_t m_firstTriangle = 0;
  int32_t m_displayedCount = 0;
  int32_t m_entityCount = 0;
  std::array<int, 3> m_lastPick = {-1, -1, -1};
  QOpenGLFunctions_4_0_Core* m_gl = nullptr;
  QMatrix3x3 m_worldRotation;  // identity
  QVector3D m_worldTranslation;
};
