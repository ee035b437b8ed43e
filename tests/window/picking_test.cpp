// Picking without a context: id decoding, the pixel read back, and the resolution of ids to
// objects with the highlight and picked-list rules.
#include <gtest/gtest.h>

#include "meshio/entity_types.h"
#include "scene/ZelDrawObject.h"
#include "window/picking_pass.h"

namespace {

using zel::resolvePick;

TEST(PickingIds, ColourBytesDecodeWithAlphaAsTheTopByte) {
  const unsigned char rgba[][4] = {
      {0, 0, 0, 0}, {0, 0, 1, 1}, {0x12, 0x34, 0x56, 0}, {255, 255, 255, 127}};
  const int ids[] = {0, (1 << 24) + 1, 0x123456, 0x7fffffff};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(zel::decodePickingId(rgba[i]), ids[i]);
}

// Rows count from the bottom (height - y); the window's top edge (y = 0) and points outside
// the window read an edge pixel.
TEST(PickingIds, ReadPixelFollowsTheRatioAndStaysInsideTheFramebuffer) {
  // x, y, ratio, width, height; the column and row read.
  const int cases[][7] = {{10, 100, 1, 800, 600, 10, 500},
                          {10, 100, 2, 1600, 1200, 20, 1000},
                          {800, 0, 1, 800, 600, 799, 599},
                          {-5, 900, 1, 800, 600, 0, 0}};
  for (const auto& c : cases) {
    const zel::FramebufferPixel p = zel::pickingPixel(c[0], c[1], c[2], c[3], c[4]);
    EXPECT_EQ(std::make_pair(p.column, p.row), std::make_pair(c[5], c[6])) << c[0];
  }
  EXPECT_EQ(zel::nearestPixel(10.5), 11);
  EXPECT_EQ(zel::nearestPixel(10.49), 10);
  EXPECT_EQ(zel::nearestPixel(-0.5), 0);
}

// Three triangle objects drawn with 10, 5 and 4 primitives: ids 1-10, 11-15 and 16-19.
class PickResolution : public testing::Test {
 protected:
  void SetUp() override {
    int base = 1;
    for (int count : {10, 5, 4}) {
      objects.emplace_back(ZelDrawObject::create(DrawKind::Triangle, int(objects.size()) + 1));
      objects.back()->setDisplayedCount(count);
      table.emplace_back(base, objects.back().get());
      base += count;
    }
  }
  ZelDrawObject* resolve(int id, bool highlightElements = true) {
    return resolvePick(table, 7, 9, id, highlightElements, picked).object;
  }
  ZelDrawObject* object(int i) { return objects[size_t(i)].get(); }
  std::vector<std::unique_ptr<ZelDrawObject>> objects;
  ZelPickingTable table;
  std::vector<ZelDrawObject*> picked;
};

TEST_F(PickResolution, IdsMapToTheirObjectAndLocalIndex) {
  const zel::PickResolution hit = resolvePick(table, 7, 9, 12, true, picked);
  ASSERT_EQ(hit.object, object(1));
  EXPECT_EQ(hit.localIndex, 1);
  EXPECT_EQ(object(1)->lastPick(), (std::array<int, 3>{7, 9, 1}));
  EXPECT_EQ(object(1)->highlightList(), std::vector<int>{1});
  EXPECT_EQ(picked, std::vector<ZelDrawObject*>{object(1)});
  // Past the last object's range (its ends are met by the picking gestures in a window).
  EXPECT_EQ(resolve(20), nullptr);
  // A hidden object has no range: the next object starts where it would have.
  objects[1]->setDisplayedCount(0);
  table[2].first = 11;
  EXPECT_EQ(resolve(11), object(2));
  EXPECT_EQ(object(2)->lastPick()[2], 0);
}

TEST_F(PickResolution, PickingTheSamePrimitiveAgainUnpicksIt) {
  ASSERT_EQ(resolve(3), object(0));
  ASSERT_EQ(resolve(13), object(1));
  EXPECT_EQ(picked.size(), 2u);
  // The first object lost its highlight when the second was picked; object 1 is picked again.
  EXPECT_TRUE(object(0)->highlightList().empty());
  EXPECT_EQ(resolve(13), nullptr);
  EXPECT_TRUE(object(1)->highlightList().empty());
  EXPECT_EQ(picked, std::vector<ZelDrawObject*>{object(0)});
  // Another primitive of the same object replaces the highlighted one.
  ASSERT_EQ(resolve(12), object(1));
  ASSERT_EQ(resolve(14), object(1));
  EXPECT_EQ(object(1)->highlightList(), std::vector<int>{3});
  // Without highlight elements nothing is highlighted, and the same primitive is simply
  // picked again.
  picked.clear();
  ASSERT_EQ(resolve(5, false), object(0));
  EXPECT_TRUE(object(0)->highlightList().empty());
  ASSERT_EQ(resolve(5, false), object(0));
  EXPECT_EQ(picked.size(), 2u);
}

TEST_F(PickResolution, BackgroundClearsEveryHighlightAndLaterEntriesKeepTheirs) {
  objects[2]->highlightList() = {2};
  ASSERT_EQ(resolve(4), object(0));
  // Entries after the match are not scanned.
  EXPECT_EQ(objects[2]->highlightList(), std::vector<int>{2});
  objects[1]->highlightList() = {0};
  EXPECT_EQ(resolve(0), nullptr);
  for (const auto& o : objects) EXPECT_TRUE(o->highlightList().empty());
  EXPECT_EQ(picked.size(), 1u);
}

}  // namespace
