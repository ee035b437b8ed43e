// Builds the constant Lagrange to Bezier tables by inverting the Bernstein matrix at the nodes,
// and applies one to a whole element array.
#include "homath/bezier_conversion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>

#include "homath/bernstein.h"
#include "meshio/node_order.h"

namespace {

// Gauss-Jordan inversion with partial pivoting of the n x n row-major matrix a (destroyed).
std::vector<double> invert(std::vector<double> a, int n) {
  std::vector<double> inv(static_cast<size_t>(n) * n, 0.0);
  for (int i = 0; i < n; i++) inv[i * n + i] = 1.0;
  for (int col = 0; col < n; col++) {
    int pivot = col;
    for (int r = col + 1; r < n; r++)
      if (std::fabs(a[r * n + col]) > std::fabs(a[pivot * n + col])) pivot = r;
    if (pivot != col)
      for (int c = 0; c < n; c++) {
        std::swap(a[col * n + c], a[pivot * n + c]);
        std::swap(inv[col * n + c], inv[pivot * n + c]);
      }
    const double scale = 1.0 / a[col * n + col];
    for (int c = 0; c < n; c++) {
      a[col * n + c] *= scale;
      inv[col * n + c] *= scale;
    }
    for (int r = 0; r < n; r++) {
      const double factor = a[r * n + col];
      if (r == col || factor == 0.0) continue;
      for (int c = 0; c < n; c++) {
        a[r * n + c] -= factor * a[col * n + c];
        inv[r * n + c] -= factor * inv[col * n + c];
      }
    }
  }
  return inv;
}

int vertexCount(int kind) {
  switch (kind) {
    case EntityType::Edge:
      return 2;
    case EntityType::Triangle:
      return 3;
    case EntityType::Pyramid:
      return 5;
    case EntityType::Prism:
      return 6;
    case EntityType::Hexahedron:
      return 8;
    default:
      return 4;  // quadrilateral, tetrahedron
  }
}

std::unique_ptr<zel::BezierConversionTable> buildTable(int kind, int deg) {
  const zel::LatticeOrder& order = *zel::latticeNodeOrder(kind, deg);
  const int n = order.count;
  std::vector<double> m(static_cast<size_t>(n) * n);
  std::vector<double> point(order.width);
  for (int p = 0; p < n; p++) {
    for (int c = 0; c < order.width; c++) point[c] = static_cast<double>(order.row(p)[c]) / deg;
    zel::bernsteinValues(kind, deg, point.data(), &m[static_cast<size_t>(p) * n]);
  }
  const std::vector<double> inv = invert(std::move(m), n);
  auto table = std::make_unique<zel::BezierConversionTable>();
  table->nbrNod = n;
  table->nbrVer = vertexCount(kind);
  table->rowStart.push_back(0);
  for (int p = table->nbrVer; p < n; p++) {
    const double* row = &inv[static_cast<size_t>(p) * n];
    double largest = 0.0;
    for (int q = 0; q < n; q++) largest = std::max(largest, std::fabs(row[q]));
    // A coefficient depends only on the nodes of its own edge, face or element; the other
    // entries are zero up to the rounding of the inversion.
    for (int q = 0; q < n; q++)
      if (std::fabs(row[q]) > 1e-11 * largest) {
        table->column.push_back(q);
        table->weight.push_back(row[q]);
      }
    table->rowStart.push_back(static_cast<int>(table->column.size()));
  }
  return table;
}

template <int kCmp>
void convertLoop(const zel::BezierConversionTable& t, int nbrVal, int nbrCmpRuntime,
                 const float* lag, float* out, unsigned char* done, int nbrEnt, const int* idx) {
  const int nbrCmp = kCmp > 0 ? kCmp : nbrCmpRuntime;
  const int nbrNod = t.nbrNod;
  const int* column = t.column.data();
  const double* weight = t.weight.data();
  const int* rowStart = t.rowStart.data();
  double sum[kCmp > 0 ? kCmp : 64];
  for (long e = 0; e < nbrEnt; e++) {
    const int* el = idx + e * static_cast<long>(nbrNod);
    bool valid = true;
    for (int k = 0; k < nbrNod; k++)
      valid &= static_cast<unsigned>(el[k]) < static_cast<unsigned>(nbrVal);
    if (!valid) continue;
    for (int p = t.nbrVer; p < nbrNod; p++) {
      const int g = el[p];
      if (done[g]) continue;
      done[g] = 1;
      const int r = p - t.nbrVer;
      for (int c0 = 0; c0 < nbrCmp; c0 += 64) {  // components in chunks of the stack buffer
        const int chunk = std::min(nbrCmp - c0, kCmp > 0 ? kCmp : 64);
        for (int c = 0; c < chunk; c++) sum[c] = 0.0;
        for (int s = rowStart[r]; s < rowStart[r + 1]; s++) {
          const float* src = lag + static_cast<long>(el[column[s]]) * nbrCmp + c0;
          for (int c = 0; c < chunk; c++) sum[c] += weight[s] * src[c];
        }
        float* dst = out + static_cast<long>(g) * nbrCmp + c0;
        for (int c = 0; c < chunk; c++) dst[c] = static_cast<float>(sum[c]);
      }
    }
  }
}

}  // namespace

const zel::BezierConversionTable* zel::bezierConversionTable(int kind, int deg) {
  constexpr int kKinds = EntityType::Hexahedron + 1;
  static std::array<std::array<std::unique_ptr<zel::BezierConversionTable>, 11>, kKinds> tables;
  static std::array<std::array<std::once_flag, 11>, kKinds> built;
  if (deg < 2 || deg > zel::kMaxLatticeDegree || !zel::isLatticeKind(kind)) return nullptr;
  std::call_once(built[kind][deg], [&] { tables[kind][deg] = buildTable(kind, deg); });
  return tables[kind][deg].get();
}

void zel::convertElementArray(const zel::BezierConversionTable& table, int nbrVal, float* values,
                              int nbrCmp, int nbrEnt, const int* idx) {
  if (nbrEnt < 1 || nbrVal < 1 || nbrCmp < 1 || !values || !idx) return;
  // The Lagrange values are read from a copy, so that coefficients already written for shared
  // nodes never feed the conversion of a later element.
  const size_t count = static_cast<size_t>(nbrVal) * nbrCmp;
  std::unique_ptr<float, decltype(&std::free)> lagrange(
      static_cast<float*>(std::malloc(count * sizeof(float))), &std::free);
  std::unique_ptr<unsigned char, decltype(&std::free)> done(
      static_cast<unsigned char*>(std::calloc(nbrVal, 1)), &std::free);
  if (!lagrange || !done) return;
  std::memcpy(lagrange.get(), values, count * sizeof(float));
  if (nbrCmp == 1)
    convertLoop<1>(table, nbrVal, 1, lagrange.get(), values, done.get(), nbrEnt, idx);
  else if (nbrCmp == 3)
    convertLoop<3>(table, nbrVal, 3, lagrange.get(), values, done.get(), nbrEnt, idx);
  else
    convertLoop<0>(table, nbrVal, nbrCmp, lagrange.get(), values, done.get(), nbrEnt, idx);
}
