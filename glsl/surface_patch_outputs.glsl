// Shared by tri_patch.tes.glsl and qua_patch.tes.glsl: what the surface evaluation stages
// hand to tripk.gs and quaqk.gs, and the first element number of the current draw.

uniform int BaseElement;

out vec3 teEye;
out vec3 teNormal;
out vec3 teWorld;
out vec4 teEdgeDistance;  // distances to the element's edges
out vec2 teParam;         // element parameters (u, v) after shrink
flat out int teElement;   // BaseElement + the patch's number within the draw
