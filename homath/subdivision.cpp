// de Casteljau subdivision of curves, triangles and quadrilaterals, and range refinement.
#include "homath/subdivision.h"

#include <algorithm>
#include <cstdio>

#include "homath/reference_nodes.h"
#include "meshio/node_order.h"
#include "meshio/status.h"

namespace {

// Splits count = deg+1 values (spaced by stride) into left and right pieces (stride 1 each).
void splitLine(const float* in, int deg, int stride, double a, double b, float* left,
               float* right) {
  double level[16] = {};
  for (int i = 0; i <= deg; i++) level[i] = in[i * stride];
  left[0] = static_cast<float>(level[0]);
  right[deg] = static_cast<float>(level[deg]);
  for (int m = deg; m > 0; m--) {
    for (int i = 0; i < m; i++) level[i] = a * level[i] + b * level[i + 1];
    left[deg - m + 1] = static_cast<float>(level[0]);
    right[m - 1] = static_cast<float>(level[m - 1]);
  }
}

bool noSubdivision(int deg) {
  if (deg >= 1) return false;
  zel::printMessage("no subdivision\n");
  return true;
}

// One de Casteljau step with barycentric point q on a triangle grid b[i*n + k] of degree m.
void triangleStep(double* b, int m, int n, const double* q) {
  for (int i = 0; i < m; i++)
    for (int k = 0; i + k < m; k++)
      b[i * n + k] = q[0] * b[(i + 1) * n + k] + q[1] * b[i * n + k] + q[2] * b[i * n + k + 1];
}

// Coefficients of the sub-triangle with vertices q0, q1, q2: the blossom of the polynomial at
// (q0^i, q1^j, q2^k), written at posTri(deg, i, j, k) of out.
void subTriangle(const double* grid, int deg, const double* q0, const double* q1, const double* q2,
                 float* out) {
  const int n = deg + 1;
  double byQ2[16 * 16], byQ1[16 * 16], byQ0[16 * 16];
  std::copy(grid, grid + n * n, byQ2);
  for (int k = 0; k <= deg; k++) {
    if (k > 0) triangleStep(byQ2, deg - k + 1, n, q2);
    std::copy(byQ2, byQ2 + n * n, byQ1);
    for (int j = 0; j + k <= deg; j++) {
      if (j > 0) triangleStep(byQ1, deg - k - j + 1, n, q1);
      std::copy(byQ1, byQ1 + n * n, byQ0);
      const int i = deg - j - k;
      for (int m = i; m > 0; m--) triangleStep(byQ0, m, n, q0);
      out[posTri(deg, i, j, k)] = static_cast<float>(byQ0[0]);
    }
  }
}

}  // namespace

bool zel_NodeOrderToLexicographic(int kind, int deg, const float* nodeOrder, float* lexicographic) {
  if (kind != EntityType::Edge && kind != EntityType::Triangle && kind != EntityType::Quadrilateral)
    return false;
  const zel::LatticeOrder* order = deg >= 1 ? zel::latticeNodeOrder(kind, deg) : nullptr;
  if (!order) return false;
  for (int n = 0; n < order->count; n++) {
    const int* r = order->row(n);
    const int at = kind == EntityType::Edge       ? posEdg(deg, r[0], deg - r[0])
                   : kind == EntityType::Triangle ? posTri(deg, r[0], r[1], r[2])
                                                  : posQua(deg, r[0], r[1]);
    lexicographic[at] = nodeOrder[n];
  }
  return true;
}

std::vector<float> zel_SubdivideCurve(const float* coeffs, int deg, double a, double b) {
  if (noSubdivision(deg) || deg > 15) return {};
  std::vector<float> pieces(2 * (deg + 1));
  splitLine(coeffs, deg, 1, a, b, pieces.data(), pieces.data() + deg + 1);
  return pieces;
}

std::vector<float> zel_SubdivideTriangle(int pieces, const float* coeffs, int deg, double u,
                                         double v, double w) {
  if (noSubdivision(deg) || deg > 15) return {};
  for (double c : {u, v, w})
    if (!(c >= 1e-6 && c <= 0.999999)) {
      zel::printMessage(" unproper input arguments u, v, w for triangle subdivision\n");
      return {};
    }
  if (pieces != 3 && pieces != 4) {
    zel::printMessage(" subdvision in %d of a HO triangle not implemented\n", pieces);
    return {};
  }
  const int n = deg + 1, size = n * (n + 1) / 2;
  double grid[16 * 16];
  for (int i = 0; i <= deg; i++)
    for (int k = 0; i + k <= deg; k++) grid[i * n + k] = coeffs[posTri(deg, i, deg - i - k, k)];
  const double v0[3] = {1, 0, 0}, v1[3] = {0, 1, 0}, v2[3] = {0, 0, 1};
  std::vector<float> out(pieces * size);
  if (pieces == 3) {
    const double p[3] = {u, v, w};
    subTriangle(grid, deg, p, v1, v2, &out[0]);
    subTriangle(grid, deg, v0, p, v2, &out[size]);
    subTriangle(grid, deg, v0, v1, p, &out[2 * size]);
  } else {
    const double m01[3] = {0.5, 0.5, 0}, m12[3] = {0, 0.5, 0.5}, m02[3] = {0.5, 0, 0.5};
    subTriangle(grid, deg, v0, m01, m02, &out[0]);
    subTriangle(grid, deg, m01, v1, m12, &out[size]);
    subTriangle(grid, deg, m02, m12, v2, &out[2 * size]);
    subTriangle(grid, deg, m12, m02, m01, &out[3 * size]);
  }
  return out;
}

std::vector<float> zel_SubdivideQuadrilateral(const float* coeffs, int deg, double s, double t) {
  if (noSubdivision(deg) || deg > 15) return {};
  const int n = deg + 1, block = n * n;
  // rows[i*n + j]: low-j half of row i; rows[block + i*n + j]: its high-j half.
  std::vector<float> rows(2 * block), out(4 * block);
  for (int i = 0; i < n; i++)
    splitLine(coeffs + i * n, deg, 1, t, 1.0 - t, &rows[i * n], &rows[block + i * n]);
  float left[16], right[16];
  for (int half = 0; half < 2; half++)
    for (int j = 0; j < n; j++) {
      splitLine(&rows[half * block + j], deg, n, s, 1.0 - s, left, right);
      for (int i = 0; i < n; i++) {
        out[half * block + i * n + j] = left[i];
        out[(2 + half) * block + i * n + j] = right[i];
      }
    }
  return out;
}

namespace {

// Drops a piece inside the range; otherwise widens the range by its corners and tells whether
// to refine it further.
bool widenByPiece(const float* piece, int size, const int* corners, int nbrCorners,
                  double range[2]) {
  const auto [low, high] = std::minmax_element(piece, piece + size);
  if (*low >= range[0] && *high <= range[1]) return false;
  for (int c = 0; c < nbrCorners; c++) {
    range[0] = std::min(range[0], static_cast<double>(piece[corners[c]]));
    range[1] = std::max(range[1], static_cast<double>(piece[corners[c]]));
  }
  return true;
}

}  // namespace

void zel_RefineRangeEdge(const float* coeffs, int deg, double t, double range[2], int depth) {
  const std::vector<float> pieces = zel_SubdivideCurve(coeffs, deg, 1.0 - t, t);
  if (pieces.empty()) return;
  const int size = deg + 1, corners[2] = {0, deg};
  for (int p = 0; p < 2; p++)
    if (widenByPiece(&pieces[p * size], size, corners, 2, range) && depth > 0)
      zel_RefineRangeEdge(&pieces[p * size], deg, t, range, depth - 1);
}

void zel_RefineRangeTriangle(const float* coeffs, int deg, double u, double v, double w,
                             double range[2], int depth) {
  const std::vector<float> pieces = zel_SubdivideTriangle(4, coeffs, deg, u, v, w);
  if (pieces.empty()) return;
  const int size = (deg + 1) * (deg + 2) / 2;
  const int corners[3] = {posTri(deg, deg, 0, 0), posTri(deg, 0, deg, 0), posTri(deg, 0, 0, deg)};
  for (int p = 0; p < 4; p++)
    if (widenByPiece(&pieces[p * size], size, corners, 3, range) && depth > 0)
      zel_RefineRangeTriangle(&pieces[p * size], deg, u, v, w, range, depth - 1);
}

void zel_RefineRangeQuadrilateral(const float* coeffs, int deg, double s, double t, double range[2],
                                  int depth) {
  const std::vector<float> pieces = zel_SubdivideQuadrilateral(coeffs, deg, s, t);
  if (pieces.empty()) return;
  const int size = (deg + 1) * (deg + 1);
  const int corners[4] = {posQua(deg, 0, 0), posQua(deg, deg, 0), posQua(deg, deg, deg),
                          posQua(deg, 0, deg)};
  for (int p = 0; p < 4; p++)
    if (widenByPiece(&pieces[p * size], size, corners, 4, range) && depth > 0)
      zel_RefineRangeQuadrilateral(&pieces[p * size], deg, s, t, range, depth - 1);
}
