// Shared body of trip2.tes-trip4.tes (DEGREE defined): the Bezier triangle at the shrunk
// parameters, its normal from the exact derivatives, and the element number.
#include "transform.glsl"
#include "bernstein.glsl"

layout(triangles, equal_spacing, ccw) in;

#include "surface_patch_outputs.glsl"

const int K = DEGREE;

vec3 controlPoint(int i, int j, int l) { return gl_in[triNode(K, i, j, l)].gl_Position.xyz; }

void main() {
  const float third = 1.0 / 3.0;
  float u = third + shrink * (gl_TessCoord.x - third);
  float v = third + shrink * (gl_TessCoord.y - third);
  float w = 1.0 - u - v;
  vec3 position = vec3(0.0);
  for (int i = 0; i <= K; ++i)
    for (int j = 0; i + j <= K; ++j)
      position += bernstein2(K, i, j, K - i - j, u, v, w) * controlPoint(i, j, K - i - j);
  // Derivatives along u and v with w = 1 - u - v: differences of neighbouring control points
  // weighted by the Bernstein polynomials of degree K - 1.
  vec3 du = vec3(0.0), dv = vec3(0.0);
  for (int i = 0; i < K; ++i)
    for (int j = 0; i + j < K; ++j) {
      int l = K - 1 - i - j;
      float b = bernstein2(K - 1, i, j, l, u, v, w);
      vec3 pw = controlPoint(i, j, l + 1);
      du += b * (controlPoint(i + 1, j, l) - pw);
      dv += b * (controlPoint(i, j + 1, l) - pw);
    }
  teNormal = NormalMatrix * normalize(cross(du, dv));
  teEdgeDistance = vec4(gl_TessCoord.xyz, 0.0);
  teParam = vec2(u, v);
  teWorld = position;
  teEye = (ModelViewMatrix * vec4(position, 1.0)).xyz;
  teElement = BaseElement + gl_PrimitiveID;
  gl_Position = MVP * vec4(position, 1.0);
}
