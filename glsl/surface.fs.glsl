// Shared body of tri.fs and qua.fs (QUADRILATERAL defined for the latter): picking id,
// solution colour and iso-lines, lighting, highlight and wireframe of element faces.
#include "bernstein.glsl"
#include "colour_map.glsl"
#include "solution.glsl"
#include "lighting.glsl"
#include "picking.glsl"

uniform struct LineInfo {
  float Width;
  vec4 Color;
} Line;
uniform bool LineOn;
uniform bool TessOn;
uniform bool FaceOff;
uniform bool CheckInOut;
uniform int TypePrim;

in vec3 gEye;
in vec3 gNormal;
in vec4 gEdgeDistance;  // distances to the element's edges (triangles use xyz)
in vec4 gTessDistance;  // distances to the edges of the generated triangle
in vec2 gParam;         // element parameters (u, v)
flat in int gElement;   // element number within the object

layout(location = 0) out vec4 FragColor;

// Distance in pixels to the nearest of the first `count` edges.
float pixelDistance(vec4 distances, int count) {
  float nearest = 1.0e9;
  for (int k = 0; k < count; ++k) {
    float spread = fwidth(distances[k]);
    if (spread > 0.0) nearest = min(nearest, distances[k] / spread);
  }
  return nearest;
}

vec4 wireframe(vec4 face) {
#ifdef QUADRILATERAL
  int edges = TessOn ? (TypePrim == 0 ? 3 : 4) : 4;
#else
  int edges = 3;
#endif
  float d = pixelDistance(TessOn ? gTessDistance : gEdgeDistance, edges);
  if (d < Line.Width - 1.0) return Line.Color;
  if (d > Line.Width + 1.0) {
    if (FaceOff) discard;
    return face;
  }
  float x = d - (Line.Width - 1.0);
  return mix(face, Line.Color, exp2(-2.0 * x * x));
}

void main() {
  if (Picking) {
    FragColor = pickingColour(BasePicking + gElement);
    return;
  }
  vec3 normal = normalize(gl_FrontFacing ? gNormal : -gNormal);
  vec3 kd = Material.Kd;
  bool solutionColour = false;
  if (Sol == 1 && (SolOn || IsoOn)) {
#ifdef QUADRILATERAL
    float value = quadrilateralSolution(gElement, gParam);
#else
    float value = triangleSolution(gElement, gParam);
#endif
    bool iso = IsoOn && onIsoLine(value, fwidth(value));
    if (SolOn) {
      kd = iso ? vec3(0.0) : paletteColour(value);
      solutionColour = true;
    } else if (iso) {
      kd = paletteColour(value);
      solutionColour = true;
    }
  }
  vec3 colour = shade(gEye, normal, kd);
  if (CheckInOut && !solutionColour)
    colour = mix(colour, gl_FrontFacing ? vec3(1.0, 0.0, 0.0) : vec3(0.0, 0.0, 1.0), 0.7);
  vec4 result = applyHighlight(vec4(colour, 1.0), gElement);
  FragColor = (LineOn || TessOn) ? wireframe(result) : result;
}
