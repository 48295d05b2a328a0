// How long jobs end: the line the status bar shows for each, and the
// transport shown stopped after every export.
#include <gtest/gtest.h>

#include <filesystem>

#include "session/Command.h"
#include "session/JobResult.h"
#include "support/FakeTrackExportServices.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

using std::chrono::milliseconds;

TEST(JobEndTest, StatusBarTextSaysWhatWasWrittenAndHowLong) {
  const struct {
    JobResult result;
    const char* text;
  } cases[] = {
      {{JobKind::ExportCd, JobOutcome::Done, "mix.wav and mix.cue", 15, 754, milliseconds(8400)},
       "Exported 15 tracks to mix.wav and mix.cue (12:34) in 8 s"},
      {{JobKind::ExportWave, JobOutcome::Done, "mix.wav", 1, 3723, milliseconds(65'600)},
       "Exported 1 track to mix.wav (1:02:03) in 1 min 6 s"},
      {{JobKind::ExportTracks, JobOutcome::Cancelled, "/m", 3, 59, milliseconds(3000)},
       "Export Tracks cancelled after 3 s"},
      {{JobKind::ExportWave, JobOutcome::Failed, "mix.wav", 3, 59, milliseconds(400)}, "Export Wave failed after 0 s"},
      {{JobKind::CopyAudioFiles, JobOutcome::Done, "", 0, -1, milliseconds(45'000)},
       "Copied the audio files to the local cache in 45 s"},
      {{JobKind::DetectSongs, JobOutcome::Done, "", 4, -1, milliseconds(80'000)},
       "Found songs in 4 stations in 1 min 20 s"},
      {{JobKind::DetectSongs, JobOutcome::Done, "", 0, -1, milliseconds(5000)}, "Detect Songs found no songs in 5 s"},
  };
  for (const auto& c : cases) EXPECT_EQ(jobResultText(c.result), c.text);
}

// Every export ends with nothing playing and its result told, timed by the
// session's clock.
TEST(JobEndTest, ExportsEndStoppedAndTellTheirResult) {
  SessionFixture f;
  FakeTrackExportServices services;
  f.dialogs.trackExportServices = &services;
  auto now = std::chrono::steady_clock::time_point{};
  f.session->setJobClock([&now] { return now += std::chrono::seconds(2); });  // each reading 2 s later
  for (int clip : {testdisc::kSongs[0], testdisc::kSongs[1]}) f.addTrack(clip);
  const Path folder = f.workPath("tracks");
  std::filesystem::create_directory(folder);
  const int64_t seconds = roundedSeconds(f.session->playlist().playlistSamples());

  const struct {
    Command command;
    JobKind kind;
    std::string target;
  } cases[] = {
      {Command::ExportWave, JobKind::ExportWave, "mix.wav"},
      {Command::ExportCd, JobKind::ExportCd, "mix.wav and mix.cue"},
      {Command::ExportTracks, JobKind::ExportTracks, folder.string()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.command));
    f.dialogs.fileAnswers.push_back(f.workPath("mix.wav").string());
    f.dialogs.questionAnswers = {SessionPrompts::Answer::Yes, SessionPrompts::Answer::No};  // replace, keep tracks
    services.choices.push_back(TrackExportChoice{folder.string(), TrackFormat::Flac, 5, "Mix"});
    const size_t jobsBefore = f.observer.jobs.size();
    ASSERT_TRUE(f.session->execute(c.command));

    EXPECT_EQ(f.session->transport().playingTrack(), nullptr);  // the render reported every track
    EXPECT_FALSE(f.session->commandState(Command::Stop)->enabled);
    EXPECT_TRUE(f.session->commandState(Command::Play)->enabled);
    ASSERT_EQ(f.observer.jobs.size(), jobsBefore + 1);
    const JobResult& job = f.observer.jobs.back();
    EXPECT_EQ(job.kind, c.kind);
    EXPECT_EQ(job.outcome, JobOutcome::Done);
    EXPECT_EQ(job.target, c.target);
    EXPECT_EQ(job.count, 2);
    EXPECT_EQ(job.audioSeconds, seconds);
    EXPECT_EQ(job.elapsed, std::chrono::seconds(2));
  }
  EXPECT_TRUE(f.dialogs.boxes.empty());
}

}  // namespace
}  // namespace wc::test
