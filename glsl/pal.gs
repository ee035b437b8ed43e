// PalSha geometry stage: each 4-vertex legend cell (a, b, c, d) as the triangles (a, d, b)
// and (c, b, d), with cell parameters a (0,0), d (1,0), b (0,1), c (1,1).
#version 410 core

layout(lines_adjacency) in;
layout(triangle_strip, max_vertices = 6) out;

out vec2 gParam;

void corner(int k, vec2 param) {
  gl_Position = gl_in[k].gl_Position;
  gParam = param;
  gl_PrimitiveID = gl_PrimitiveIDIn;
  EmitVertex();
}

void main() {
  corner(0, vec2(0.0, 0.0));
  corner(3, vec2(1.0, 0.0));
  corner(1, vec2(0.0, 1.0));
  EndPrimitive();
  corner(2, vec2(1.0, 1.0));
  corner(1, vec2(0.0, 1.0));
  corner(3, vec2(1.0, 0.0));
  EndPrimitive();
}
