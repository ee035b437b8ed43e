// Picking without a context: id decoding, the pixel read back, and the resolution of ids to
// objects with the highlight and picked-list rules.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "meshio/entity_types.h"
#include "scene/ZelDrawObject.h"
#include "window/picking_pass.h"

namespace {

using zel::decodePickingId;
using zel::pickingPixel;
using zel::resolvePick;

TEST(PickingIds, ColourBytesDecodeWithAlphaAsTheTopByte) {
  const unsigned char background[4] = {0, 0, 0, 0};
  const unsigned char high[4] = {0, 0, 1, 1};
  const unsigned char mixed[4] = {0x12, 0x34, 0x56, 0};
  const unsigned char top[4] = {255, 255, 255, 127};
  EXPECT_EQ(decodePickingId(background), 0);
  EXPECT_EQ(decodePickingId(high), (1 << 24) + 1);
  EXPECT_EQ(decodePickingId(mixed), 0x123456);
  EXPECT_EQ(decodePickingId(top), 0x7fffffff);
}

TEST(PickingIds, ReadPixelFollowsTheRatioAndStaysInsideTheFramebuffer) {
  // Rows count from the bottom: height - y.
  const zel::FramebufferPixel inside = pickingPixel(10, 100, 1.0, 800, 600);
  EXPECT_EQ(inside.column, 10);
  EXPECT_EQ(inside.row, 500);
  const zel::FramebufferPixel doubled = pickingPixel(10, 100, 2.0, 1600, 1200);
  EXPECT_EQ(doubled.column, 20);
  EXPECT_EQ(doubled.row, 1000);
  // The window's top edge (y = 0) and points outside the window read an edge pixel.
  const zel::FramebufferPixel top = pickingPixel(800, 0, 1.0, 800, 600);
  EXPECT_EQ(top.column, 799);
  EXPECT_EQ(top.row, 599);
  const zel::FramebufferPixel outside = pickingPixel(-5, 900, 1.0, 800, 600);
  EXPECT_EQ(outside.column, 0);
  EXPECT_EQ(outside.row, 0);
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
  std::vector<std::unique_ptr<ZelDrawObject>> objects;
  ZelPickingTable table;
  std::vector<ZelDrawObject*> picked;
};

TEST_F(PickResolution, IdsMapToTheirObjectAndLocalIndex) {
  const zel::PickResolution hit = resolvePick(table, 7, 9, 12, true, picked);
  ASSERT_EQ(hit.object, objects[1].get());
  EXPECT_EQ(hit.localIndex, 1);
  EXPECT_EQ(objects[1]->lastPick(), (std::array<int, 3>{7, 9, 1}));
  EXPECT_EQ(objects[1]->highlightList(), std::vector<int>{1});
  EXPECT_EQ(picked, std::vector<ZelDrawObject*>{objects[1].get()});
  // Range ends: the first and last id of each object.
  EXPECT_EQ(resolve(1), objects[0].get());
  EXPECT_EQ(resolve(10), objects[0].get());
  EXPECT_EQ(objects[0]->lastPick()[2], 9);
  EXPECT_EQ(resolve(11), objects[1].get());
  EXPECT_EQ(objects[1]->lastPick()[2], 0);
  EXPECT_EQ(resolve(19), objects[2].get());
  EXPECT_EQ(resolve(20), nullptr);
}

TEST_F(PickResolution, HiddenObjectsHaveNoRange) {
  objects[1]->setDisplayedCount(0);
  table[2].first = 11;  // the next object starts where the hidden one would have
  EXPECT_EQ(resolve(11), objects[2].get());
  EXPECT_EQ(objects[2]->lastPick()[2], 0);
}

TEST_F(PickResolution, PickingTheSamePrimitiveAgainUnpicksIt) {
  ASSERT_EQ(resolve(3), objects[0].get());
  ASSERT_EQ(resolve(13), objects[1].get());
  EXPECT_EQ(picked.size(), 2u);
  // The first object lost its highlight when the second was picked; object 1 is picked again.
  EXPECT_TRUE(objects[0]->highlightList().empty());
  EXPECT_EQ(resolve(13), nullptr);
  EXPECT_TRUE(objects[1]->highlightList().empty());
  EXPECT_EQ(picked, std::vector<ZelDrawObject*>{objects[0].get()});
  // Another primitive of the same object replaces the highlighted one.
  ASSERT_EQ(resolve(12), objects[1].get());
  ASSERT_EQ(resolve(14), objects[1].get());
  EXPECT_EQ(objects[1]->highlightList(), std::vector<int>{3});
}

TEST_F(PickResolution, BackgroundClearsEveryHighlightAndLaterEntriesKeepTheirs) {
  objects[2]->highlightList() = {2};
  ASSERT_EQ(resolve(4), objects[0].get());
  // Entries after the match are not scanned.
  EXPECT_EQ(objects[2]->highlightList(), std::vector<int>{2});
  objects[1]->highlightList() = {0};
  EXPECT_EQ(resolve(0), nullptr);
  for (const auto& object : objects) EXPECT_TRUE(object->highlightList().empty());
  EXPECT_EQ(picked.size(), 1u);
}

TEST_F(PickResolution, WithoutHighlightElementsNothingIsHighlighted) {
  ASSERT_EQ(resolve(5, false), objects[0].get());
  EXPECT_TRUE(objects[0]->highlightList().empty());
  // Without a highlight, the same primitive is simply picked again.
  ASSERT_EQ(resolve(5, false), objects[0].get());
  EXPECT_EQ(picked.size(), 2u);
}

}  // namespace
