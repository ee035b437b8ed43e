// UpscaleSha vertex stage: one triangle over the whole window, no attributes; its texture
// coordinates span [0, 1] over the window.
#version 410 core

out vec2 pictureCoord;

void main() {
  vec2 corner = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);
  pictureCoord = corner;
  gl_Position = vec4(2.0 * corner - 1.0, 0.0, 1.0);
}
