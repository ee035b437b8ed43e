// Shared by the surface fragment stages: the four lighting models.

uniform struct LightInfo {
  vec4 Position;   // eye coordinates
  vec3 Intensity;
} Light;

uniform struct MaterialInfo {
  vec3 Ka;
  vec3 Kd;
  vec3 Ks;
  float Shininess;
} Material;

uniform int UsePhong;  // 0 diffuse, 1 Phong, 2 toon, 3 flat

// Lit colour of a fragment at eye position `position` with unit normal `normal` (already
// turned toward the viewer on back faces), `kd` standing for the diffuse colour.
vec3 shadeWith(int model, vec3 position, vec3 normal, vec3 kd) {
  vec3 s = normalize(vec3(Light.Position) - position);
  vec3 v = normalize(-position);
  float sn = dot(s, normal);
  if (model == 0) return Light.Intensity * kd * max(sn, 0.0);
  if (model == 1) {
    vec3 colour = Light.Intensity * (Material.Ka + kd * max(sn, 0.0));
    if (sn > 0.0) {
      vec3 r = reflect(-s, normal);
      colour += Light.Intensity * Material.Ks * pow(max(dot(r, v), 0.0), Material.Shininess);
    }
    return colour;
  }
  if (model == 2) {
    vec3 toonLight = normalize(vec3(0.25, 0.25, 1.0));
    float diffuse = max(dot(toonLight, normal), 0.0);
    float e = fwidth(diffuse);
    float df = 0.3 * smoothstep(0.1 - e, 0.1 + e, diffuse) +
               0.3 * smoothstep(0.3 - e, 0.3 + e, diffuse) +
               0.4 * smoothstep(0.6 - e, 0.6 + e, diffuse);
    vec3 h = normalize(toonLight + v);
    float specular = pow(max(dot(normal, h), 0.0), Material.Shininess);
    float es = fwidth(specular);
    float sf = smoothstep(0.5 - es, 0.5 + es, specular);
    return Material.Ka + df * kd + sf * Material.Ks;
  }
  return kd;
}

vec3 shade(vec3 position, vec3 normal, vec3 kd) { return shadeWith(UsePhong, position, normal, kd); }
