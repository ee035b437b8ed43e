// The default node orders stored in the entity catalogue equal, row for row, the orders the
// recursive lattice rule produces for degrees 1 to 4.
#include <gtest/gtest.h>

#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/node_order.h"

TEST(StoredNodeOrders, EqualTheLatticeRuleRowForRow) {
  int compared = 0;
  for (int typ = 3; typ <= 31; ++typ) {
    if (typ == 5) continue;
    SCOPED_TRACE(typ);
    int nodes = 0, width = 0;
    const int* stored = zel_Typ2Ordering(typ, &nodes, &width);
    const zel::LatticeOrder rule = zel::buildNodeOrder(zel_Typ2Shape(typ), zel_Typ2Deg(typ));
    ASSERT_EQ(rule.count, nodes);
    ASSERT_EQ(rule.width, width);
    for (int n = 0; n < nodes; ++n)
      EXPECT_EQ(std::vector<int>(stored + n * width, stored + (n + 1) * width),
                std::vector<int>(rule.row(n), rule.row(n) + width))
          << "node " << n;
    ++compared;
  }
  EXPECT_EQ(compared, 28);
}
