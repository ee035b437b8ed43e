// Capping of curved tetrahedra of degree 2: the corners of the section are the crossings of the
// curved edges with the plane, the side nodes the crossings of curves traced on the curved faces
// between them. Every point is computed from the nodes of the edge or face it lies on, taken in
// the order of their global numbers, so that two elements sharing that edge or face find the
// same point.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "capping/capping.h"
#include "capping/cut_common.h"
#include "meshio/status.h"

namespace {

using zel::cut::CapArrays;

// Node of the edge between two vertices (node order of the tetrahedron of degree 2).
constexpr int kEdgeNode[4][4] = {{-1, 4, 6, 7}, {4, -1, 5, 8}, {6, 5, -1, 9}, {7, 8, 9, -1}};
// Points closer than this are one point (a plane through a vertex meets its edges there).
constexpr double kSamePoint = 1e-14;
// Under this, the traced line would have no length.
constexpr double kZeroDenominator = 1e-10;

struct CurvedTet {
  ZelObject* mesh;
  const double* plane;
  const double* node[10];  // node coordinates, node order
  int global[4];           // vertex numbers
};

// A point of the section: its barycentric coordinates, its position, and the vertices of the
// edge (2) or the vertex (1) it lies on.
struct SectionPoint {
  double lambda[4];
  double crd[3];
  int verts[2];
  int nbrVerts;
};

struct Section {
  int count = 0;  // 0, 3 or 4 corners
  SectionPoint corner[4];
};

// Sorts local vertices by global number.
void canonical(const CurvedTet& tet, int* verts, int n) {
  std::sort(verts, verts + n, [&](int a, int b) { return tet.global[a] < tet.global[b]; });
}

// The curved element at barycentric weights w[k] of verts[k] (every other weight 0).
void pointOn(const CurvedTet& tet, const int* verts, const double* lambda, int n, double* out) {
  out[0] = out[1] = out[2] = 0;
  for (int k = 0; k < n; ++k) {
    const double w = lambda[verts[k]], c = w * (2 * w - 1);
    for (int x = 0; x < 3; ++x) out[x] += c * tet.node[verts[k]][x];
  }
  for (int k = 0; k < n; ++k)
    for (int l = k + 1; l < n; ++l) {
      const double c = 4 * lambda[verts[k]] * lambda[verts[l]];
      for (int x = 0; x < 3; ++x) out[x] += c * tet.node[kEdgeNode[verts[k]][verts[l]]][x];
    }
}

// The root finder places a crossing within 0.001 of the curve; Newton steps on the quadratic
// distance d0, d1, d2 (Bezier form) bring it onto the plane so that neighbours' caps meet.
double polish(const double* d, double u) {
  auto g = [&](double t) {
    return (1 - t) * (1 - t) * d[0] + 2 * t * (1 - t) * d[1] + t * t * d[2];
  };
  double best = u;
  for (int it = 0; it < 8; ++it) {
    const double slope = 2 * ((1 - u) * (d[1] - d[0]) + u * (d[2] - d[1]));
    if (slope == 0) break;
    const double next = u - g(u) / slope;
    if (!(next >= 0 && next <= 1) || next == u) break;
    u = next;
    if (std::fabs(g(u)) <= std::fabs(g(best))) best = u;
  }
  return best;
}

// Crossing of the plane with the curve u -> pointOn(verts, from + u (to - from)) of degree 2.
// Returns false when the root finder finds none.
bool crossCurve(const CurvedTet& tet, const int* verts, int n, const double* from, const double* to,
                double* lambda, double* crd) {
  double ends[3][4], pts[3][3], ctrl[9], dist[3];
  for (int s = 0; s < 3; ++s) {
    for (int k = 0; k < 4; ++k) ends[s][k] = from[k] + 0.5 * s * (to[k] - from[k]);
    pointOn(tet, verts, ends[s], n, pts[s]);
  }
  for (int x = 0; x < 3; ++x) {
    ctrl[x] = pts[0][x];
    ctrl[3 + x] = pts[2][x];
    ctrl[6 + x] = 2 * pts[1][x] - 0.5 * (pts[0][x] + pts[2][x]);
  }
  int found = 0;
  double point[3], u = 0;
  char status[zel::kStatusSize];
  zel_EvaluateInterEdge(tet.mesh, tet.plane, 2, ctrl, &found, point, &u, status);
  if (found < 1) return false;
  dist[0] = zel::cut::planeValue(tet.plane, ctrl);
  dist[1] = zel::cut::planeValue(tet.plane, ctrl + 6);
  dist[2] = zel::cut::planeValue(tet.plane, ctrl + 3);
  u = polish(dist, u);
  for (int k = 0; k < 4; ++k) lambda[k] = from[k] + u * (to[k] - from[k]);
  pointOn(tet, verts, lambda, n, crd);
  return true;
}

void reportMissingCrossing(const CurvedTet& tet, int found, int edge, const int* ends) {
  zel::printMessage("should have found one... ");
  zel::printMessage("nIntEnt = %d \n", found);
  zel::printMessage("iEdg = %d \n", edge);
  const double* first[3] = {tet.node[0], tet.node[1], tet.node[4]};
  zel::printMessage("Pl[0][0] %f %f %f \n", first[0][0], first[0][1], first[0][2]);
  zel::printMessage("Pl[0][1] %f %f %f \n", first[1][0], first[1][1], first[1][2]);
  zel::printMessage("Pl[0][2] %f %f %f \n", first[2][0], first[2][1], first[2][2]);
  const double* a = tet.node[ends[0]];
  const double* b = tet.node[ends[1]];
  zel::printMessage("Pl[iEdg][0] %f %f %f \n", a[0], a[1], a[2]);
  zel::printMessage("Pl[iEdg][1] %f %f %f \n", b[0], b[1], b[2]);
  zel::printMessage("N[1] %f %f %f \n", tet.plane[0], tet.plane[1], tet.plane[2]);
}

// Adds the crossing of the curved edge (k1, k2) to the section, or merges it with a corner
// already there. False when the edge has no crossing.
bool addEdgeCrossing(const CurvedTet& tet, int k1, int k2, Section* section) {
  int ends[2] = {k1, k2};
  canonical(tet, ends, 2);
  double from[4] = {0, 0, 0, 0}, to[4] = {0, 0, 0, 0};
  from[ends[0]] = to[ends[1]] = 1;
  SectionPoint p{};
  if (!crossCurve(tet, ends, 2, from, to, p.lambda, p.crd)) {
    reportMissingCrossing(tet, section->count, kEdgeNode[k1][k2] - 4, ends);
    return false;
  }
  p.nbrVerts = 0;
  for (int e : ends)
    if (p.lambda[e] > 0) p.verts[p.nbrVerts++] = e;
  for (int c = 0; c < section->count; ++c) {
    SectionPoint& q = section->corner[c];
    const double dx = q.crd[0] - p.crd[0], dy = q.crd[1] - p.crd[1], dz = q.crd[2] - p.crd[2];
    if (std::sqrt(dx * dx + dy * dy + dz * dz) >= kSamePoint) continue;
    // The same point reached along two edges: it lies on their common vertex.
    int kept = 0;
    for (int i = 0; i < q.nbrVerts; ++i)
      if (std::count(p.verts, p.verts + p.nbrVerts, q.verts[i])) q.verts[kept++] = q.verts[i];
    if (kept > 0) q.nbrVerts = kept;
    return true;
  }
  section->corner[section->count++] = p;
  return true;
}

// The corners of the section in the order of a straight cut of the vertices: the crossings of
// the edges from the lone vertex, or of the pairs (neg0,pos0), (neg0,pos1), (neg1,pos1),
// (neg1,pos0). count stays 0 when an edge has no crossing or when the section shrinks to a
// point or a segment (a plane through vertices). An element whose vertices lie on one side,
// crossed by the plane through the bulge of a curved edge or face only, has a section that no
// edge crossing bounds: it is reported and not capped.
Section findCorners(const CurvedTet& tet) {
  int neg[4], pos[4], nbrNeg = 0, nbrPos = 0;
  for (int k = 0; k < 4; ++k)
    (zel::cut::planeValue(tet.plane, tet.node[k]) < 0 ? neg[nbrNeg++] : pos[nbrPos++]) = k;
  Section section;
  if (nbrNeg == 0 || nbrPos == 0) {
    zel::printMessage("What should we do in this case ? ");
    return section;
  }
  int pairs[4][2], nbrPairs = 0;
  if (nbrNeg == 2) {
    const int quad[4][2] = {{neg[0], pos[0]}, {neg[0], pos[1]}, {neg[1], pos[1]}, {neg[1], pos[0]}};
    std::memcpy(pairs, quad, sizeof quad);
    nbrPairs = 4;
  } else {
    const int lone = nbrNeg == 1 ? neg[0] : pos[0];
    for (int o = 0; o < 4; ++o)
      if (o != lone) pairs[nbrPairs][0] = o, pairs[nbrPairs++][1] = lone;
  }
  for (int i = 0; i < nbrPairs; ++i)
    if (!addEdgeCrossing(tet, pairs[i][0], pairs[i][1], &section)) return Section{};
  return section.count < 3 ? Section{} : section;
}

// The node of the section side from corner a to corner b: the plane's crossing with the curve
// traced on their common face along the line from the face vertex cut off by that side through
// the middle of the two corners. Falls back to the curved element at that middle.
void sideNode(const CurvedTet& tet, const SectionPoint& a, const SectionPoint& b, double* lambda,
              double* crd) {
  int face[4], n = 0, apex = -1;
  for (const SectionPoint* p : {&a, &b})
    for (int i = 0; i < p->nbrVerts; ++i)
      if (!std::count(face, face + n, p->verts[i])) face[n++] = p->verts[i];
  canonical(tet, face, n);
  double middle[4];
  for (int k = 0; k < 4; ++k) middle[k] = 0.5 * (a.lambda[k] + b.lambda[k]);
  if (n == 3) {
    for (int i = 0; i < 3 && apex < 0; ++i) {  // on both corners' edges
      const int v = face[i];
      if (std::count(a.verts, a.verts + a.nbrVerts, v) &&
          std::count(b.verts, b.verts + b.nbrVerts, v))
        apex = v;
    }
    for (int i = 0; i < 3 && apex < 0; ++i) {  // else a face vertex that is no corner
      const int v = face[i];
      const bool corner =
          (a.nbrVerts == 1 && a.verts[0] == v) || (b.nbrVerts == 1 && b.verts[0] == v);
      if (!corner) apex = v;
    }
  }
  if (apex >= 0 && 1 - middle[apex] > kZeroDenominator) {
    double from[4] = {0, 0, 0, 0}, to[4];
    from[apex] = 1;
    for (int k = 0; k < 4; ++k) to[k] = k == apex ? 0 : middle[k] / (1 - middle[apex]);
    if (crossCurve(tet, face, 3, from, to, lambda, crd)) return;
    zel::printMessage("inter should have found 1...");
  }
  if (n < 2) {
    n = 4;
    for (int k = 0; k < 4; ++k) face[k] = k;
    canonical(tet, face, n);
  }
  std::memcpy(lambda, middle, sizeof middle);
  pointOn(tet, face, lambda, n, crd);
}

// A curved polygon of the section: 6 nodes (triangle) or 9 (quadrilateral) in the node order of
// its kind.
struct CurvedPolygon {
  int count = 0;
  double crd[9][3];
  double ref[9][4];
};

void buildPolygon(const CurvedTet& tet, Section section, CurvedPolygon* out) {
  const int n = section.count;
  const double* p0 = section.corner[0].crd;
  const double* p1 = section.corner[1].crd;
  const double* p2 = section.corner[2].crd;
  double u[3], v[3];
  for (int x = 0; x < 3; ++x) u[x] = p1[x] - p0[x], v[x] = p2[x] - p0[x];
  const double facing = (u[1] * v[2] - u[2] * v[1]) * tet.plane[0] +
                        (u[2] * v[0] - u[0] * v[2]) * tet.plane[1] +
                        (u[0] * v[1] - u[1] * v[0]) * tet.plane[2];
  if (facing < 0) std::swap(section.corner[1], section.corner[n == 3 ? 2 : 3]);
  for (int c = 0; c < n; ++c) {
    std::memcpy(out->crd[c], section.corner[c].crd, sizeof out->crd[c]);
    std::memcpy(out->ref[c], section.corner[c].lambda, sizeof out->ref[c]);
  }
  for (int j = 0; j < n; ++j)
    sideNode(tet, section.corner[j], section.corner[(j + 1) % n], out->ref[n + j], out->crd[n + j]);
  out->count = n == 3 ? 6 : 9;
  if (n == 3) return;
  // The centre of the quadrilateral from its boundary nodes; an affine mix of points of the
  // plane, so it lies on the plane.
  for (int x = 0; x < 4; ++x) {
    double mids = 0, corners = 0;
    for (int j = 0; j < 4; ++j) mids += out->ref[4 + j][x], corners += out->ref[j][x];
    out->ref[8][x] = 0.5 * mids - 0.25 * corners;
    if (x == 3) break;
    mids = corners = 0;
    for (int j = 0; j < 4; ++j) mids += out->crd[4 + j][x], corners += out->crd[j][x];
    out->crd[8][x] = 0.5 * mids - 0.25 * corners;
  }
}

CurvedTet curvedTet(ZelObject* mesh, const double* plane, const zel::cut::ElementArray& elements,
                    int e) {
  CurvedTet tet{mesh, plane, {}, {}};
  const int* v = elements.of(e);
  for (int k = 0; k < 10; ++k) tet.node[k] = elements.coordinates + 3L * v[k];
  for (int k = 0; k < 4; ++k) tet.global[k] = v[k];
  return tet;
}

void store(const CurvedPolygon& polygon, int typ, int e, int ref, CapArrays* result) {
  const bool triangle = polygon.count == 6;
  const int slot = triangle ? ++result->nbrTri : ++result->nbrQua;
  double* crd = (triangle ? result->triCrd : result->quaCrd) + 3 * polygon.count * slot;
  double* refs = (triangle ? result->triRef : result->quaRef) + 4 * polygon.count * slot;
  int* info = (triangle ? result->triInf : result->quaInf) + 3 * slot;
  std::memcpy(crd, polygon.crd, 3 * polygon.count * sizeof(double));
  std::memcpy(refs, polygon.ref, 4 * polygon.count * sizeof(double));
  info[0] = typ, info[1] = e, info[2] = ref;
}

}  // namespace

int zel_CappingHighOrder(ZelObject* mesh, const double* plane, int typ, int nbrCutEnt,
                         const int* lstCutEnt, int* nbrCutTri, double** triCrd, double** triRef,
                         int** triInf, int* nbrCutQua, double** quaCrd, double** quaRef,
                         int** quaInf, char* status) {
  const int check =
      zel::cut::checkCappingArguments(mesh, plane, lstCutEnt, nbrCutTri, triCrd, triRef, triInf,
                                      nbrCutQua, quaCrd, quaRef, quaInf, status);
  if (check != zel::kSuccess) return check;
  zel::cut::ElementArray elements;
  if (typ != EntityType::TetrahedronP2 || !zel::cut::elementArray(mesh, typ, &elements))
    nbrCutEnt = 0;
  // First pass: the corners of every listed element, which fix the polygon kinds.
  std::vector<Section> sections(std::max(nbrCutEnt, 0));
  int triangles = 0, quadrilaterals = 0;
  for (int i = 0; i < nbrCutEnt; ++i) {
    const int e = lstCutEnt[i];
    if (!elements.valid(e)) {
      zel::printMessage("  .... problem id entity %d iEnt %d [0-%d] nbrFac %d \n", e, i,
                        nbrCutEnt - 1, 0);
      continue;
    }
    sections[i] = findCorners(curvedTet(mesh, plane, elements, e));
    triangles += sections[i].count == 3;
    quadrilaterals += sections[i].count == 4;
  }
  CapArrays result{6, 9};
  if (!result.allocate(triangles, quadrilaterals))
    return zel::setStatus(status, "zel_CappingHighOrder : not enough memory\n");
  // Second pass: the side nodes, in the order of the list.
  for (int i = 0; i < nbrCutEnt; ++i) {
    if (sections[i].count == 0) continue;
    const int e = lstCutEnt[i];
    CurvedPolygon polygon;
    buildPolygon(curvedTet(mesh, plane, elements, e), sections[i], &polygon);
    store(polygon, typ, e, elements.refs ? elements.refs[e] : 0, &result);
  }
  zel::cut::handOver(&result, nbrCutTri, triCrd, triRef, triInf, nbrCutQua, quaCrd, quaRef, quaInf);
  return zel::kSuccess;
}
