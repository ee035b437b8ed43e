// Reference node coordinates, linear vertex weights, lexicographic positions and the factorial.
#include "homath/reference_nodes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "meshio/node_order.h"
#include "meshio/status.h"

double* GetCrdNodByTyp(int typ, int deg, int* dim) {
  if (typ < EntityType::Triangle || typ > EntityType::Hexahedron || typ == 5)
    zel::fatalExit(stdout, "GetCrdNodByTyp Typ %d not defined \n", typ);
  if (deg > zel::kMaxLatticeDegree || deg < 0)
    zel::fatalExit(stdout, "GetCrdNodByTyp Typ %d, deg %d not considered \n", typ, deg);
  const zel::LatticeOrder& order = *zel::latticeNodeOrder(typ, deg);
  const int width = order.width;
  *dim = width;
  double* crd = static_cast<double*>(std::malloc(sizeof(double) * order.count * width));
  if (deg == 0) {
    for (int c = 0; c < width; c++) crd[c] = typ == EntityType::Quadrilateral ? 0.5 : 1.0 / width;
    return crd;
  }
  const double scale = deg == 1 ? 1.0 : 1.0 / deg;
  for (size_t i = 0; i < order.rows.size(); i++) crd[i] = order.rows[i] * scale;
  return crd;
}

namespace {

// The weights of the pyramid and the hexahedron sum to 1 identically; a failed sum means the
// point itself is broken (not a number, or far outside the element).
bool sumsToOne(const double* phi, int count) {
  double sum = 0.0;
  for (int i = 0; i < count; i++) sum += phi[i];
  return std::fabs(sum - 1.0) <= 1e-5;
}

double sum(const double* phi, int count) {
  double sum = 0.0;
  for (int i = 0; i < count; i++) sum += phi[i];
  return sum;
}

void pyramidWeights(const double* crd, double* phi) {
  const double x = crd[0], y = crd[1], z = crd[2];
  if (z == 1.0) {
    phi[0] = phi[1] = phi[2] = phi[3] = 0.0;
    phi[4] = 1.0;
  } else {
    const double w = 1.0 - z;
    phi[0] = (1.0 - x - z) * (1.0 - y - z) / w;
    phi[1] = x * (1.0 - y - z) / w;
    phi[2] = x * y / w;
    phi[3] = (1.0 - x - z) * y / w;
    phi[4] = z;
  }
  if (!sumsToOne(phi, 5)) {
    zel::printMessage("GetBasisFunctionsFromCrdNod : case Pyramid, the sum should be equal to 1 ");
    zel::printMessage("Phi Pyr %f %f %f %f %f \n", phi[0], phi[1], phi[2], phi[3], phi[4]);
    zel::fatalExit(stdout, "somme Phi Pyr %f \n", sum(phi, 5));
  }
}

void hexahedronWeights(const double* crd, double* phi) {
  const double x = crd[0], y = crd[1], z = crd[2];
  const double bottom = 1.0 - z;
  phi[0] = (1 - x) * (1 - y) * bottom;
  phi[1] = x * (1 - y) * bottom;
  phi[2] = x * y * bottom;
  phi[3] = (1 - x) * y * bottom;
  phi[4] = (1 - x) * (1 - y) * z;
  phi[5] = x * (1 - y) * z;
  phi[6] = x * y * z;
  phi[7] = (1 - x) * y * z;
  if (!sumsToOne(phi, 8)) {
    zel::printMessage("GetBasisFunctionsFromCrdNod case Hex, the sum should be equal to 1.");
    zel::printMessage("phi Hex : %f %f %f %f %f %f %f %f \n", phi[0], phi[1], phi[2], phi[3],
                      phi[4], phi[5], phi[6], phi[7]);
    zel::fatalExit(stdout, "sum phi %f \n", sum(phi, 8));
  }
}

}  // namespace

double* GetBasisFunctionsFromCrdNod(int typ, const double* crd, int* nbrBas) {
  if (typ < EntityType::Quadrilateral || typ > EntityType::Hexahedron)
    zel::fatalExit(stdout, "GetBasisFunctionsFromCrdNod : typ %d not considered \n", typ);
  static const int kCounts[] = {4, 4, 5, 6, 8};  // quadrilateral .. hexahedron
  const int count = kCounts[typ - EntityType::Quadrilateral];
  double* phi = static_cast<double*>(std::malloc(sizeof(double) * count));
  *nbrBas = count;
  switch (typ) {
    case EntityType::Quadrilateral: {
      const double x = crd[0], y = crd[1];
      phi[0] = (1 - x) * (1 - y);
      phi[1] = x * (1 - y);
      phi[2] = x * y;
      phi[3] = (1 - x) * y;
      break;
    }
    case EntityType::Tetrahedron:
      for (int i = 0; i < 4; i++) phi[i] = crd[i];
      break;
    case EntityType::Pyramid:
      pyramidWeights(crd, phi);
      break;
    case EntityType::Prism:
      for (int i = 0; i < 3; i++) {
        phi[i] = crd[i] * (1.0 - crd[3]);
        phi[i + 3] = crd[i] * crd[3];
      }
      break;
    default:
      hexahedronWeights(crd, phi);
      break;
  }
  return phi;
}

namespace {

bool inRange(int deg, int value) { return value >= 0 && value <= deg; }

[[noreturn]] void WrongCoefficients(const char* function) {
  zel::fatalExit(stderr, " #ERROR :%s wrong coefficients in input\n", function);
}

}  // namespace

int posEdg(int deg, int i, int j) {
  if (!inRange(deg, i) || !inRange(deg, j) || i + j != deg) WrongCoefficients("posEdg");
  return i;
}

int posTri(int deg, int i, int j, int k) {
  if (!inRange(deg, i) || !inRange(deg, j) || !inRange(deg, k) || i + j + k != deg)
    WrongCoefficients("posTri");
  return i * (deg + 1) - i * (i - 1) / 2 + k;
}

int posQua(int deg, int i, int j) {
  if (!inRange(deg, i) || !inRange(deg, j)) WrongCoefficients("posQua");
  return i * (deg + 1) + j;
}

int posTet(int deg, int i, int j, int k, int l) {
  if (!inRange(deg, i) || !inRange(deg, j) || !inRange(deg, k) || !inRange(deg, l) ||
      i + j + k + l != deg)
    WrongCoefficients("posTet");
  const int n = deg + 1;
  return ((i * n + j) * n + k) * n + l;
}

int posPri(int deg, int i, int j, int k, int h) {
  if (!inRange(deg, i) || !inRange(deg, j) || !inRange(deg, k) || !inRange(deg, h) ||
      i + j + k != deg)
    WrongCoefficients("posPri");
  const int n = deg + 1;
  return ((i * n + j) * n + k) * n + h;
}

uint32_t zel_Factorial(int n) {
  if (n < 0) {
    zel::printError("No negative factorial !\n");
    return 0;
  }
  uint32_t product = 1;
  for (int i = 2; i <= n; i++) product *= static_cast<uint32_t>(i);
  return product;
}
