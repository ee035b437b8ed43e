// Shared: Bernstein weights and the node order of edges, triangles and quadrilaterals
// (vertices, then edge nodes, then the inner element of the same kind, recursively).

const float kFactorial[11] = float[11](1.0, 1.0, 2.0, 6.0, 24.0, 120.0, 720.0, 5040.0,
                                       40320.0, 362880.0, 3628800.0);

// x^n for n >= 0, with 0^0 = 1 (pow() leaves that case undefined).
float ipow(float x, int n) {
  float r = 1.0;
  for (int k = 0; k < n; ++k) r *= x;
  return r;
}

// Bernstein polynomial C(d,i) t^i (1-t)^(d-i).
float bernstein1(int d, int i, float t) {
  return kFactorial[d] / (kFactorial[i] * kFactorial[d - i]) * ipow(t, i) * ipow(1.0 - t, d - i);
}

// Triangle Bernstein polynomial d!/(i! j! l!) u^i v^j w^l.
float bernstein2(int d, int i, int j, int l, float u, float v, float w) {
  return kFactorial[d] / (kFactorial[i] * kFactorial[j] * kFactorial[l]) * ipow(u, i) *
         ipow(v, j) * ipow(w, l);
}

// Position in the node order of the triangle node (i, j, l), i + j + l = d.
int triNode(int d, int i, int j, int l) {
  int s = min(i, min(j, l));  // ring of the node
  int m = d - 3 * s;          // degree of that ring
  int before = (d + 1) * (d + 2) / 2 - (m + 1) * (m + 2) / 2;
  int a = i - s, b = j - s, c = l - s;
  if (m == 0) return before;
  if (a == m) return before;
  if (b == m) return before + 1;
  if (c == m) return before + 2;
  if (c == 0) return before + 3 + (b - 1);               // edge 0 -> 1
  if (a == 0) return before + 3 + (m - 1) + (c - 1);     // edge 1 -> 2
  return before + 3 + 2 * (m - 1) + (a - 1);             // edge 2 -> 0
}

// Position in the node order of the quadrilateral node (i, j), both in [0, d].
int quaNode(int d, int i, int j) {
  int s = min(min(i, j), min(d - i, d - j));
  int m = d - 2 * s;
  int before = (d + 1) * (d + 1) - (m + 1) * (m + 1);
  int a = i - s, b = j - s;
  if (m == 0) return before;
  if (b == 0) return a == 0 ? before : (a == m ? before + 1 : before + 4 + (a - 1));
  if (a == m) return b == m ? before + 2 : before + 4 + (m - 1) + (b - 1);
  if (b == m) return a == 0 ? before + 3 : before + 4 + 2 * (m - 1) + (m - a - 1);
  return before + 4 + 3 * (m - 1) + (m - b - 1);         // edge 3 -> 0
}

// Position in the node order of the edge node at t = i/d.
int edgNode(int d, int i) { return i == 0 ? 0 : (i == d ? 1 : i + 1); }
