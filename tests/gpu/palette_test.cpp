// Palette computation, the range rule, extension, the user-palette check and the palette state.
#include "gpu/palette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using zel::PaletteValues;

void expectPalette(const PaletteValues& got, const PaletteValues& want, double tol = 1e-6) {
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(got[i], want[i], tol) << "value " << i;
}

TEST(PaletteComputation, RangeOfDataSplitIntoQuarters) {
  const std::vector<float> f = {2.0f, 1.0f, 3.0f, 1.5f};
  const std::vector<double> d = {2.0, 1.0, 3.0, 1.5};
  expectPalette(*zel::computePalette(4, f.data()), {1, 1.5, 2, 2.5, 3});
  expectPalette(*zel::computePalette(4, d.data()), {1, 1.5, 2, 2.5, 3});
  // Symmetric range: p0 + p4 = 0 must not count as a constant field.
  const std::vector<double> sym = {-1.0, 1.0};
  expectPalette(*zel::computePalette(2, sym.data()), {-1, -0.5, 0, 0.5, 1});
  // Double data beyond float precision still gives the right quarter points.
  const std::vector<double> big = {1e30, 3e30};
  expectPalette(*zel::computePalette(2, big.data()), {1e30f, 1.5e30f, 2e30f, 2.5e30f, 3e30f}, 1e24);
}

TEST(PaletteComputation, ConstantAndZeroFieldsAreWidened) {
  const std::vector<float> five(7, 5.0f), minusFive(3, -5.0f), zeros(4, 0.0f);
  expectPalette(*zel::computePalette(7, five.data()), {4.5, 4.75, 5.0, 5.25, 5.5});
  expectPalette(*zel::computePalette(3, minusFive.data()), {-5.5, -5.25, -5.0, -4.75, -4.5});
  const PaletteValues z = *zel::computePalette(4, zeros.data());
  EXPECT_FLOAT_EQ(z[0], -1e-15f);
  EXPECT_FLOAT_EQ(z[4], 1e-15f);
  EXPECT_NEAR(z[2], 0.0, 1e-30);
  // Nearly constant (relative spread below 1e-14) counts as constant.
  const std::vector<double> near = {1.0, 1.0 + 1e-15};
  expectPalette(*zel::computePalette(2, near.data()), {0.9, 0.95, 1.0, 1.05, 1.1});
  // A small but real spread is kept as it is.
  const std::vector<double> spread = {1.0, 1.0 + 1e-6};
  EXPECT_FLOAT_EQ((*zel::computePalette(2, spread.data()))[4], 1.0f + 1e-6f);
}

TEST(PaletteComputation, NothingToComputeFromGivesNone) {
  const float one = 1.0f;
  EXPECT_FALSE(zel::computePalette(0, &one));
  EXPECT_FALSE(zel::computePalette(-3, &one));
  EXPECT_FALSE(zel::computePalette(4, static_cast<const float*>(nullptr)));
  EXPECT_FALSE(zel::computePalette(4, static_cast<const double*>(nullptr)));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> allNan = {nan, nan};
  EXPECT_FALSE(zel::computePalette(2, allNan.data()));
  // NaNs among real values are skipped, wherever they stand.
  const std::vector<double> someNan = {nan, 4.0, nan, 0.0};
  expectPalette(*zel::computePalette(4, someNan.data()), {0, 1, 2, 3, 4});
}

TEST(PaletteComputation, ExtensionTakesTheUnionOfRanges) {
  const PaletteValues held = {0, 0.25f, 0.5f, 0.75f, 1};
  const PaletteValues incoming = {0.5f, 0.875f, 1.25f, 1.625f, 2};
  expectPalette(zel::extendPalette(held, incoming), {0, 0.5, 1, 1.5, 2});
  expectPalette(zel::extendPalette(incoming, held), {0, 0.5, 1, 1.5, 2});
  // Extending a constant palette by itself keeps it constant-widened, not doubly widened.
  const PaletteValues c = {5, 5, 5, 5, 5};
  expectPalette(zel::extendPalette(c, c), {4.5, 4.75, 5.0, 5.25, 5.5});
}

TEST(UserPalette, IncreasingValuesAreKeptAsGiven) {
  const float equalNeighbours[5] = {0, 1, 1, 2, 3};
  expectPalette(zel::checkedPalette(equalNeighbours), {0, 1, 1, 2, 3}, 0);
  // Degenerate ends are widened; the inner values stay as given.
  const float constant[5] = {5, 5, 5, 5, 5};
  expectPalette(zel::checkedPalette(constant), {4.5, 5, 5, 5, 5.5});
  const float negative[5] = {-5, -5, -5, -5, -5};
  expectPalette(zel::checkedPalette(negative), {-5.5, -5, -5, -5, -4.5});
  const float zero[5] = {0, 0, 0, 0, 0};
  const PaletteValues z = zel::checkedPalette(zero);
  EXPECT_FLOAT_EQ(z[0], -1e-15f);
  EXPECT_FLOAT_EQ(z[4], 1e-15f);
  EXPECT_EQ(z[2], 0.0f);
}

TEST(UserPaletteDeathTest, DecreasingOrMissingPaletteEndsTheProcess) {
  const float decreasing[5] = {0, 2, 1, 3, 4};
  EXPECT_EXIT(zel::checkedPalette(decreasing), testing::ExitedWithCode(1),
              "^ Please provide a correct palette\n$");
  const float lastDecreasing[5] = {0, 1, 2, 3, 2.5f};
  EXPECT_EXIT(zel::checkedPalette(lastDecreasing), testing::ExitedWithCode(1),
              "Please provide a correct palette");
  EXPECT_EXIT(zel::checkedPalette(nullptr), testing::ExitedWithCode(1),
              "^ Please provide a palette\n$");
  zel::PaletteState state;
  EXPECT_EXIT(state.setValues(nullptr), testing::ExitedWithCode(1), "Please provide a palette");
  EXPECT_EXIT(state.forceValues(decreasing), testing::ExitedWithCode(1),
              "Please provide a correct palette");
}

TEST(PaletteState, SetForceAndReset) {
  zel::PaletteState state;
  EXPECT_FALSE(state.set);
  EXPECT_FALSE(state.forced);
  EXPECT_EQ(state.colourMap, 2);
  EXPECT_EQ(state.isoLineCount, 9);
  EXPECT_EQ(state.userIsoCount, 0);
  expectPalette(state.values, {0, 0, 0, 0, 0}, 0);

  const float given[5] = {1, 2, 3, 4, 5};
  state.setValues(given);
  EXPECT_TRUE(state.set);
  EXPECT_FALSE(state.forced);
  expectPalette(state.values, {1, 2, 3, 4, 5}, 0);
  state.reset();
  EXPECT_FALSE(state.set);
  expectPalette(state.values, {0, 0, 0, 0, 0}, 0);

  state.forceValues(given);
  EXPECT_TRUE(state.set);
  EXPECT_TRUE(state.forced);
  state.reset();  // a forced palette survives a reset
  EXPECT_TRUE(state.set);
  expectPalette(state.values, {1, 2, 3, 4, 5}, 0);
}

TEST(PaletteState, SetFromDataKeepsThePreviousPaletteWhenThereIsNoData) {
  zel::PaletteState state;
  const std::vector<double> data = {-2.0, 6.0, 1.0};
  ASSERT_TRUE(state.setValuesFrom(3, data.data()));
  EXPECT_TRUE(state.set);
  expectPalette(state.values, {-2, 0, 2, 4, 6});
  EXPECT_FALSE(state.setValuesFrom(0, data.data()));
  EXPECT_FALSE(state.setValuesFrom(3, static_cast<const float*>(nullptr)));
  EXPECT_TRUE(state.set);
  expectPalette(state.values, {-2, 0, 2, 4, 6});
  const std::vector<float> floats = {3.0f, 3.0f};
  ASSERT_TRUE(state.setValuesFrom(2, floats.data()));
  expectPalette(state.values, {2.7, 2.85, 3.0, 3.15, 3.3});
}

TEST(PaletteState, UserIsoValuesAreCappedAtNine) {
  zel::PaletteState state;
  const std::vector<float> three = {0.1f, 0.2f, 0.3f};
  state.setUserIsoValues(3, three.data());
  EXPECT_EQ(state.userIsoCount, 3);
  EXPECT_FLOAT_EQ(state.userIso[2], 0.3f);
  EXPECT_EQ(state.userIso[3], 0.0f);
  std::vector<float> twelve(12);
  for (int i = 0; i < 12; ++i) twelve[i] = float(i + 1);
  state.setUserIsoValues(12, twelve.data());
  EXPECT_EQ(state.userIsoCount, 9);
  EXPECT_FLOAT_EQ(state.userIso[8], 9.0f);
  state.setUserIsoValues(-1, twelve.data());
  EXPECT_EQ(state.userIsoCount, 0);
  state.setUserIsoValues(4, nullptr);
  EXPECT_EQ(state.userIsoCount, 0);
}

}  // namespace
