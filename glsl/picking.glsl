// Shared by the fragment stages: picking ids and highlighted primitives.

uniform bool Picking;
uniform int BasePicking;
uniform int NbrHighLight;
uniform int IdHighlight[10];
uniform bool HighLightAll;
uniform bool DiscardUnPicked;

// Id packed into a colour: red bits 16-23, green 8-15, blue 0-7, alpha 24-31.
vec4 pickingColour(int id) {
  return vec4(float((id >> 16) & 255), float((id >> 8) & 255), float(id & 255),
              float((id >> 24) & 255)) / 255.0;
}

bool isHighlighted(int element) {
  for (int k = 0; k < min(NbrHighLight, 10); ++k)
    if (IdHighlight[k] == element) return true;
  return false;
}

// Highlight rules on a final colour: highlighted primitives in cyan, the others discarded
// when only picked ones are shown, the whole object tinted red on request.
vec4 applyHighlight(vec4 colour, int element) {
  if (isHighlighted(element)) return vec4(0.0, 1.0, 1.0, 1.0);
  if (DiscardUnPicked) discard;
  if (HighLightAll) return vec4(mix(colour.rgb, vec3(1.0, 0.0, 0.0), 0.6), colour.a);
  return colour;
}
