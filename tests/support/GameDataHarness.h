#pragma once
// A GameData wired to test doubles: a scratch directory holding the working
// directory ("work") and a mount point for the disc ("disc"), a fault
// injecting file layer over the real one, a scripted mount table that lists
// the disc mount as an optical disc, scripted boxes and a recording exit.
#include <memory>

#include "gamedata/GameData.h"
#include "support/DiscFixture.h"
#include "support/FaultyFileSystem.h"
#include "support/GameDataFakes.h"

namespace wc::test {

struct GameDataHarness {
  GameDataHarness() {
    std::filesystem::create_directories(work);
    std::filesystem::create_directories(discMount);
    mounts.addMount(discMount.string(), "iso9660", "/dev/sr0");
    recreate();
  }

  // A new GameData over the same files, as a new start of the program.
  void recreate() { gameData = std::make_unique<GameData>(fs, work, mounts, prompts, exits.function()); }

  Path cache() const { return work / "CACHE"; }

  ScopedTempDir temp;
  Path work = temp.path() / "work";
  Path discMount = temp.path() / "disc";
  FaultyFileSystem fs;
  FakeMountTable mounts;
  ScriptedPrompts prompts;
  RecordedExits exits;
  std::unique_ptr<GameData> gameData;
};

}  // namespace wc::test
