// Shared body of qua.tes and quaq2.tes-quaq4.tes (DEGREE defined, 1 for straight ones): the
// Bezier quadrilateral at the shrunk parameters, its normal and the element number.
#include "transform.glsl"
#include "bernstein.glsl"

layout(quads, equal_spacing, ccw) in;

#include "surface_patch_outputs.glsl"

const int K = DEGREE;

vec3 controlPoint(int i, int j) { return gl_in[quaNode(K, i, j)].gl_Position.xyz; }

void main() {
  float u = 0.5 + shrink * (gl_TessCoord.x - 0.5);
  float v = 0.5 + shrink * (gl_TessCoord.y - 0.5);
  vec3 position = vec3(0.0), du = vec3(0.0), dv = vec3(0.0);
  for (int i = 0; i <= K; ++i)
    for (int j = 0; j <= K; ++j) {
      vec3 p = controlPoint(i, j);
      position += bernstein1(K, i, u) * bernstein1(K, j, v) * p;
      if (i < K) du += bernstein1(K - 1, i, u) * bernstein1(K, j, v) * (controlPoint(i + 1, j) - p);
      if (j < K) dv += bernstein1(K, i, u) * bernstein1(K - 1, j, v) * (controlPoint(i, j + 1) - p);
    }
  teNormal = NormalMatrix * normalize(cross(du, dv));
  teEdgeDistance = vec4(1.0 - gl_TessCoord.x, 1.0 - gl_TessCoord.y, gl_TessCoord.x, gl_TessCoord.y);
  teParam = vec2(u, v);
  teWorld = position;
  teEye = (ModelViewMatrix * vec4(position, 1.0)).xyz;
  teElement = BaseElement + gl_PrimitiveID;
  gl_Position = MVP * vec4(position, 1.0);
}
