// Shared by tri.fs and qua.fs: solution value of an element from its Bezier coefficients,
// its place in the palette and colour map, and the iso-line test.
// Needs bernstein.glsl and colour_map.glsl.

uniform int Sol;
uniform bool SolOn;
uniform bool IsoOn;
uniform int solDeg;
uniform float Palette[5];
uniform int nbrIso;
uniform int NbrUsrIso;
uniform float UsrIso[9];
uniform float IsoWidth;
uniform samplerBuffer tex;

// Coefficients of element e start at texel e * count, in node order.
float triangleSolution(int element, vec2 uv) {
  int d = clamp(solDeg, 0, 10);
  int first = element * (d + 1) * (d + 2) / 2;
  float w = 1.0 - uv.x - uv.y;
  float value = 0.0;
  for (int i = 0; i <= d; ++i)
    for (int j = 0; i + j <= d; ++j) {
      int l = d - i - j;
      value += texelFetch(tex, first + triNode(d, i, j, l)).r *
               bernstein2(d, i, j, l, uv.x, uv.y, w);
    }
  return value;
}

float quadrilateralSolution(int element, vec2 uv) {
  int d = clamp(solDeg, 0, 10);
  int first = element * (d + 1) * (d + 1);
  float value = 0.0;
  for (int i = 0; i <= d; ++i) {
    float bu = bernstein1(d, i, uv.x);
    for (int j = 0; j <= d; ++j)
      value += texelFetch(tex, first + quaNode(d, i, j)).r * bu * bernstein1(d, j, uv.y);
  }
  return value;
}

// Interval of the palette holding the value (1..4), clamping outside values to the ends.
int paletteInterval(float value) {
  if (value <= Palette[0]) return 1;
  if (value >= Palette[4]) return 4;
  int index = 1;
  for (int i = 1; i <= 4; ++i)
    if (value >= Palette[i - 1]) index = i;
  return index;
}

// The five palette values sit at 0, 1/4, 1/2, 3/4 and 1 of the colour map.
vec3 paletteColour(float value) {
  float clamped = clamp(value, Palette[0], Palette[4]);
  int i = paletteInterval(clamped);
  float width = Palette[i] - Palette[i - 1];
  float fraction = width > 0.0 ? (clamped - Palette[i - 1]) / width : 0.0;
  return colourMapAt(float(i - 1) + clamp(fraction, 0.0, 1.0), 0.0, 4.0);
}

// Whether the value lies on an iso-line: user values when given, else nbrIso equal parts of
// the current palette interval; `spread` is fwidth(value).
bool onIsoLine(float value, float spread) {
  float half_width = 0.5 * IsoWidth * spread;
  if (NbrUsrIso > 0) {
    for (int k = 0; k < min(NbrUsrIso, 9); ++k)
      if (abs(value - UsrIso[k]) < half_width) return true;
    return false;
  }
  if (value < Palette[0] || value > Palette[4]) return false;
  int i = paletteInterval(value);
  float low = Palette[i - 1];
  float step = (Palette[i] - low) / float(clamp(nbrIso, 1, 9));
  if (step <= 0.0) return false;
  float below = low + floor((value - low) / step) * step;
  return value - below < half_width || below + step - value < half_width;
}
