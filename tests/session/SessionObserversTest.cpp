// The session tells every observer that registered, not just the last one,
// and stops telling one once it is removed.
#include <gtest/gtest.h>

#include "support/ViewFixture.h"

namespace wc::test {
namespace {

TEST(SessionObserversTest, EveryObserverHearsUntilItIsRemoved) {
  SessionFixture f;  // its own observer registered first
  RecordingSessionObserver second;
  f.session->addObserver(second);
  f.addTrack(testdisc::kSongs[0]);  // the unnamed playlist is now changed
  ASSERT_EQ(second.playlistStatuses.size(), 1u);
  EXPECT_EQ(second.playlistStatuses, f.observer.playlistStatuses);

  f.session->removeObserver(second);
  f.session->clearPlaylist();
  EXPECT_EQ(second.playlistStatuses.size(), 1u);
  EXPECT_EQ(f.observer.playlistStatuses.size(), 2u);
}

}  // namespace
}  // namespace wc::test
