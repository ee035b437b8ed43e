// Shared by edg.gs and edgpk.gs: a segment drawn as a screen-space strip 2 x THICKNESS pixels
// wide, handing the element number and clip distances to the fragment stage.

uniform mat4 ViewportMatrix;  // NDC to pixels about the window centre
uniform float THICKNESS;      // half the line width in pixels
uniform vec2 WIN_SCALE;       // half the window size: pixels back to NDC

flat out int gElement;

// Lines are drawn over the faces they border, at the depth of the faces' own element lines:
// with equal depths the depth test would pick the one or the other pixel by pixel. Moving
// lines this much toward the viewer (in NDC; about 1 % of the scene's size at the camera's
// distance) lets them win everywhere, while lines behind a face stay hidden.
const float kLineDepthBias = 2.0e-4;

void emitThickLine(vec4 clip0, vec4 clip1, float clipDistance0, float clipDistance1, int element) {
  vec3 ndc0 = clip0.xyz / clip0.w;
  vec3 ndc1 = clip1.xyz / clip1.w;
  vec2 end0 = (ViewportMatrix * vec4(ndc0, 1.0)).xy;
  vec2 end1 = (ViewportMatrix * vec4(ndc1, 1.0)).xy;
  vec2 along = end1 - end0;
  vec2 direction = length(along) > 1.0e-6 ? normalize(along) : vec2(1.0, 0.0);
  vec2 offset = THICKNESS * vec2(-direction.y, direction.x);
  vec2 corners[4] = vec2[4](end0 - offset, end0 + offset, end1 - offset, end1 + offset);
  for (int k = 0; k < 4; ++k) {
    bool first = k < 2;
    gl_Position = vec4(corners[k] / WIN_SCALE, (first ? ndc0.z : ndc1.z) - kLineDepthBias, 1.0);
    gl_ClipDistance[0] = first ? clipDistance0 : clipDistance1;
    gElement = element;
    gl_PrimitiveID = element;
    EmitVertex();
  }
  EndPrimitive();
}
