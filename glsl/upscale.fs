// UpscaleSha fragment stage: the picture drawn at reduced size, each of its pixels covering
// the window pixels that fall on it.
#version 410 core

uniform sampler2D Picture;

in vec2 pictureCoord;
out vec4 FragColor;

void main() { FragColor = vec4(texture(Picture, pictureCoord).rgb, 1.0); }
