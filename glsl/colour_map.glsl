// Shared by the fragment stages: colour-map lookup. Entry e of the map sits at texels
// 3e, 3e+1, 3e+2 of `colmap` (red, green, blue), `colmapsiz` entries.

uniform samplerBuffer colmap;
uniform int colmapsiz;

vec3 colourMapEntry(int entry) {
  return vec3(texelFetch(colmap, 3 * entry).r, texelFetch(colmap, 3 * entry + 1).r,
              texelFetch(colmap, 3 * entry + 2).r);
}

// Colour at `x` (clamped to [low, high]), the entries evenly spread over that range and
// blended linearly between the two nearest.
vec3 colourMapAt(float x, float low, float high) {
  int size = colmapsiz;
  if (size <= 1) return colourMapEntry(0);
  float step = (high - low) / float(size - 1);
  float position = (clamp(x, low, high) - low) / step;
  int first = clamp(int(floor(position)), 0, size - 1);
  int second = min(first + 1, size - 1);
  return mix(colourMapEntry(first), colourMapEntry(second), position - float(first));
}
