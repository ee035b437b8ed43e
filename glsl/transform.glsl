// Shared: placement of normalised coordinates in the world and the cut-plane clip distance.

uniform mat4 MVP;
uniform mat4 ModelViewMatrix;
uniform mat3 NormalMatrix;
uniform vec3 trans;
uniform float scaling;
uniform vec4 scenescaling;  // scene centre (xyz) and normalisation factor (w)
uniform vec4 CutPlane;      // plane (a, b, c, d) in mesh coordinates
uniform float shrink;
// Set together with enabling clip distance 0: the software driver clips by any clip distance
// a shader writes, enabled or not, so without it the distance stays positive.
uniform bool CutPlaneOn;

vec3 worldPosition(vec3 normalised) { return scaling * normalised + trans; }

// Signed distance to the cut plane, measured in mesh coordinates.
float cutDistance(vec3 world) {
  if (!CutPlaneOn) return 1.0;
  vec3 mesh = world / scenescaling.w + scenescaling.xyz;
  return dot(CutPlane.xyz, mesh) - CutPlane.w;
}
