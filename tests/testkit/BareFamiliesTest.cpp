// Every family of generated bare discs: a seed fixes the disc, and the
// truth it carries has the game's block structure, since the detection is
// scored against it.
#include <gtest/gtest.h>

#include "testkit/discgen/BareFamilies.h"
#include "testkit/discgen/ParallelEncode.h"

namespace wc::test {
namespace {

void appendClip(const ClipPlan& c, std::vector<uint8_t>& bytes) {
  bytes.insert(bytes.end(), {uint8_t(c.clipClass), uint8_t(c.intros.size()), uint8_t(c.outros.size())});
  bytes.insert(bytes.end(), c.frames->left.begin(), c.frames->left.end());
  bytes.insert(bytes.end(), c.frames->right.begin(), c.frames->right.end());
}

// Every clip's class, counts and frames, in the order of the packs.
std::vector<uint8_t> bytesOf(const DiscPlan& plan) {
  std::vector<uint8_t> bytes;
  for (const StationPlan& s : plan.stations)
    for (const ClipPlan& c : s.clips) {
      appendClip(c, bytes);
      for (const ClipPlan& f : c.intros) appendClip(f, bytes);
      for (const ClipPlan& f : c.outros) appendClip(f, bytes);
    }
  return bytes;
}

class BareFamiliesTest : public ::testing::TestWithParam<std::string_view> {};

TEST_P(BareFamiliesTest, SeedFixesTheDiscAndItsTruthHolds) {
  const BareFamily& family = *findBareFamily(GetParam());
  const BareDiscSize size{1, true, 2};
  std::string why;
  std::optional<DiscPlan> plan = family.plan(5, size, why);
  if (!plan) GTEST_SKIP() << family.name << ": " << why;
  std::optional<DiscPlan> again = family.plan(5, size, why);
  std::optional<DiscPlan> other = family.plan(6, size, why);
  ASSERT_TRUE(again && other);
  for (DiscPlan* p : {&*plan, &*again, &*other}) encodeClipsAhead(*p, 2);
  EXPECT_TRUE(bytesOf(*plan) == bytesOf(*again));
  EXPECT_FALSE(bytesOf(*plan) == bytesOf(*other));

  for (const StationPlan& s : plan->stations) {
    int blocks = 0;
    size_t clips = 0;
    for (const ClipPlan& c : s.clips) {
      clips += 1 + c.intros.size() + c.outros.size();
      ASSERT_TRUE(c.frames);
      EXPECT_GT(c.frames->frames(), 0u);
      if (c.clipClass != ClipClass::Song) {
        EXPECT_TRUE(c.clipClass == ClipClass::Chatter || c.clipClass == ClipClass::ChatterFive) << int(c.clipClass);
        EXPECT_TRUE(c.intros.empty() && c.outros.empty());
        continue;
      }
      ++blocks;
      EXPECT_LE(c.intros.size(), 8u);
      EXPECT_LE(c.outros.size(), 8u);
      for (const ClipPlan& intro : c.intros) EXPECT_EQ(intro.clipClass, ClipClass::Other3);
      for (const ClipPlan& outro : c.outros) EXPECT_EQ(outro.clipClass, ClipClass::Other4);
      // Each follow-on is cut from the song's own performance: never longer
      // than the lead-in or tail a block is given.
      for (const auto* followOns : {&c.intros, &c.outros})
        for (const ClipPlan& f : *followOns) EXPECT_LT(f.frames->frames(), 10u * 24000u / 28u);
    }
    EXPECT_EQ(blocks, size.songsPerStation) << "station " << s.index;
    EXPECT_LE(clips, size_t(kMaxClipsPerStation));
  }
}

std::vector<std::string_view> familyNames() {
  std::vector<std::string_view> names;
  for (const BareFamily& f : bareFamilies()) names.push_back(f.name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Families, BareFamiliesTest, ::testing::ValuesIn(familyNames()),
                         [](const auto& family) { return std::string(family.param); });

}  // namespace
}  // namespace wc::test
