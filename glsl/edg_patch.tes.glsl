// Shared body of edgp2.tes-edgp4.tes (DEGREE defined): the Bezier edge at the shrunk
// parameter, the first end point at u = 1, and the element number.
#include "transform.glsl"
#include "bernstein.glsl"

layout(isolines, equal_spacing, ccw) in;

uniform int BaseElement;  // element number of the first patch of this draw

out vec3 teWorld;
flat out int teElement;

const int K = DEGREE;

void main() {
  float u = 0.5 + shrink * (gl_TessCoord.x - 0.5);
  vec3 position = vec3(0.0);
  // Node at t = i/K carries the weight of u^(K-i) (1-u)^i, so that u = 1 is the first end.
  for (int i = 0; i <= K; ++i)
    position += bernstein1(K, i, 1.0 - u) * gl_in[edgNode(K, i)].gl_Position.xyz;
  teWorld = position;
  teElement = BaseElement + gl_PrimitiveID;
  gl_Position = MVP * vec4(position, 1.0);
}
