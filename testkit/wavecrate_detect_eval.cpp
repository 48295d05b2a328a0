// Measures the song detection on generated bare discs, as a benchmark
// measures speed: for each family and seed range it generates the discs,
// runs the analysis the program runs on a bare disc, compares every clip's
// role with the generator's plan and prints one Markdown table row per
// family and seed range, with the analysis time against one plain decode of
// the same audio.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "analysis/DiscAnalysis.h"
#include "analysis/PackClipSource.h"
#include "audio/StereoDecoder.h"
#include "gamedata/CatalogueBuilder.h"
#include "gamedata/CatalogueFile.h"
#include "testkit/discgen/BareFamilies.h"
#include "testkit/discgen/ParallelEncode.h"
#include "tools/ExitStatus.h"

namespace {

using namespace wc;

constexpr const char* kUsage =
    "Usage: wavecrate-detect-eval [options]\n"
    "\n"
    "Generates bare discs, runs the song detection on every analysable station\n"
    "and prints a Markdown table: one row per family and seed range.\n"
    "\n"
    "Options:\n"
    "  --family NAME   a family of discs (repeatable; default: all of them)\n"
    "  --seeds A-B     a range of seeds, or one seed A (repeatable; default 1-5)\n"
    "  --songs N       song blocks per station (default 4)\n"
    "  --small         short songs only, as the tests use them\n"
    "  --verbose       list every wrong clip with the block's confidence\n"
    "  --keep DIR      generate into DIR and keep the discs there; a disc already\n"
    "                  in DIR is used as it is (remove DIR after changing a\n"
    "                  generator)\n"
    "  --threads N     generate on N threads (default 2)\n"
    "  --list          list the families and exit\n"
    "  --help          show this text\n"
    "\n"
    "Choose the detector's parameters on one family and seed range; report on\n"
    "the other families and on seeds never used for choosing.\n";

struct SeedRange {
  uint32_t first = 1, last = 5;
  std::string text() const {
    return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
  }
};

struct Options {
  std::vector<const BareFamily*> families;
  std::vector<SeedRange> ranges;
  BareDiscSize size;
  bool verbose = false;
  std::optional<Path> keep;
  unsigned threads = 2;
};

std::optional<SeedRange> parseRange(const std::string& text) {
  char* end = nullptr;
  const unsigned long first = std::strtoul(text.c_str(), &end, 10);
  if (end == text.c_str()) return std::nullopt;
  unsigned long last = first;
  if (*end == '-') {
    const char* from = end + 1;
    last = std::strtoul(from, &end, 10);
    if (end == from) return std::nullopt;
  }
  if (*end != '\0' || last < first || last > 0xFFFFFFFFul) return std::nullopt;
  return SeedRange{uint32_t(first), uint32_t(last)};
}

// A generated disc as the program finds it, and the truth beside it.
struct DiscOnDisk {
  std::unique_ptr<Catalogue> truth = std::make_unique<Catalogue>();
  std::unique_ptr<Catalogue> bare = std::make_unique<Catalogue>();
  std::array<std::optional<Path>, kStationCount> packs;
};

Path discDirectory(const Path& root, const BareFamily& family, uint32_t seed, const BareDiscSize& size) {
  return root / (std::string(family.name) + "-" + std::to_string(seed) + "-" + std::to_string(size.songsPerStation) +
                 (size.small ? "-small" : ""));
}

// The truth is written last, so it stands for a complete disc.
Path truthFile(const Path& directory) { return directory / "truth.dat"; }

// Writes the disc unless a complete one is there. Empty on success, else why not.
std::string generate(const BareFamily& family, uint32_t seed, const BareDiscSize& size, const Path& directory,
                     unsigned threads) {
  std::error_code ignored;
  if (std::filesystem::exists(truthFile(directory), ignored)) return {};
  std::string why;
  std::optional<DiscPlan> plan = family.plan(seed, size, why);
  if (!plan) return why;
  encodeClipsAhead(*plan, threads);
  std::filesystem::create_directories(directory, ignored);
  DiscWriteOptions options;
  options.layout = DiscLayout::Cache;
  options.writeCatalogueFile = false;
  std::optional<WrittenDisc> disc = writeDisc(*plan, directory, options, &why);
  if (!disc) return why;
  if (!replaceFileAtomically(realFileSystem(), truthFile(directory), serializeCatalogue(*disc->catalogue)))
    return "cannot write " + truthFile(directory).string();
  return {};
}

std::optional<DiscOnDisk> load(const Path& directory) {
  const DiscPaths paths = discPaths(directory, DiscLayout::Cache);
  const auto table = readWholeFile(realFileSystem(), paths.lookupTable);
  const auto truth = readWholeFile(realFileSystem(), truthFile(directory));
  if (!table || !truth || truth->size() != kCatalogueFileSize) return std::nullopt;
  DiscOnDisk disc;
  parseCatalogue(*truth, *disc.truth);
  resetToBareCatalogue(*disc.bare);
  fillClipsFromLookup(*disc.bare, parseLookupTable(*table));
  for (int s = 0; s < kStationCount; ++s) disc.packs[size_t(s)] = paths.packs[size_t(s)];
  return disc;
}

struct Score {
  int discs = 0;
  int clips = 0, rolesRight = 0;
  int blocks = 0, blocksExact = 0;
  int songsFound = 0, songsFoundRight = 0;
  // Clips whose block the program names for the user to check.
  int flagged = 0, wrongFlagged = 0;
  double analysisSeconds = 0.0, decodeSeconds = 0.0;
  std::vector<std::string> unavailable;
  std::vector<std::string> wrong;  // with --verbose
};

const char* className(ClipClass clipClass) {
  switch (clipClass) {
    case ClipClass::Song: return "song";
    case ClipClass::Other3: return "intro";
    case ClipClass::Other4: return "outro";
    case ClipClass::Chatter: return "chatter";
    case ClipClass::ChatterFive: return "identification";
    default: return "other";
  }
}

std::string describe(ClipClass clipClass, int32_t intros, int32_t outros) {
  std::string text = className(clipClass);
  if (clipClass == ClipClass::Song) text += " " + std::to_string(intros) + "/" + std::to_string(outros);
  return text;
}

bool roleRight(const Clip& truth, const RoleOfClip& got) {
  return classOfRole(got.role) == truth.kind() && got.intros == truth.intros && got.outros == truth.outros;
}

void scoreStation(const Station& truth, const StationProposal& p, const std::string& where, bool verbose,
                  Score& score) {
  const size_t n = std::min(p.roles.size(), size_t(std::clamp(truth.clipCount, 0, kMaxClipsPerStation)));
  for (size_t k = 0; k < n; ++k) {
    const Clip& t = truth.clips[k];
    const RoleOfClip& r = p.roles[k];
    ++score.clips;
    const bool flagged = r.confidence < kUncertainBlock;
    score.flagged += flagged;
    if (!roleRight(t, r)) score.wrongFlagged += flagged;
    if (roleRight(t, r)) {
      ++score.rolesRight;
    } else if (verbose) {
      char line[256];
      std::snprintf(
          line, sizeof line, "- %s station %d clip %zu: want %s, got %s (confidence %.2f)", where.c_str(), p.station, k,
          describe(t.kind(), t.intros, t.outros).c_str(),
          r.role == ClipRole::Unreadable ? "unreadable" : describe(classOfRole(r.role), r.intros, r.outros).c_str(),
          r.confidence);
      score.wrong.push_back(line);
    }
    if (r.role == ClipRole::Song) {
      ++score.songsFound;
      if (t.isSong()) ++score.songsFoundRight;
    }
    if (!t.isSong()) continue;
    ++score.blocks;
    const size_t followOns = size_t(std::max(0, t.intros) + std::max(0, t.outros));
    bool exact = roleRight(t, r) && k + followOns < n;
    for (size_t j = 1; exact && j <= followOns; ++j) exact = roleRight(truth.clips[k + j], p.roles[k + j]);
    if (exact) ++score.blocksExact;
  }
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Reads and decodes every clip of the stations once, as a player would.
double decodeOnce(const ClipSource& source, const Catalogue& catalogue, const std::vector<int>& stations) {
  const auto start = std::chrono::steady_clock::now();
  int64_t sum = 0;
  int16_t left[28], right[28];
  for (int s : stations) {
    for (int k = 0; k < catalogue.stations[s].clipCount; ++k) {
      const std::unique_ptr<ClipAudio> clip = source(s, k);
      if (!clip) continue;
      DecoderState l, r;
      for (uint32_t chunk = 0; chunk < clip->chunkCount(); ++chunk)
        for (uint32_t f = 0; f < clip->framesInChunk(chunk); ++f) {
          decodeStereoFrame(clip->leftFrame(chunk, f), clip->rightFrame(chunk, f), left, right, l, r);
          sum += left[0];
        }
    }
  }
  volatile int64_t keep = sum;
  (void)keep;
  return secondsSince(start);
}

void evaluate(const DiscOnDisk& disc, const std::string& where, bool verbose, Score& score) {
  std::vector<int> stations;
  for (int s = 0; s < kStationCount; ++s)
    if (isAnalysableStation(*disc.bare, s)) stations.push_back(s);
  const ClipSource source = packClipSource(realFileSystem(), disc.packs, *disc.bare);
  const auto start = std::chrono::steady_clock::now();
  const std::optional<DiscProposal> proposal = analyseStations(*disc.bare, stations, source);
  score.analysisSeconds += secondsSince(start);
  score.decodeSeconds += decodeOnce(source, *disc.bare, stations);
  ++score.discs;
  if (!proposal) return;
  for (const StationProposal& p : proposal->stations)
    scoreStation(disc.truth->stations[p.station], p, where, verbose, score);
}

std::string percent(int part, int whole) {
  if (whole == 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%", 100.0 * part / whole);
  return text;
}

void printRow(const BareFamily& family, const SeedRange& range, const Score& s) {
  if (!s.unavailable.empty() && s.discs == 0) {
    std::printf("| %s | %s | unavailable: %s | | | | | | | | |\n", std::string(family.name).c_str(),
                range.text().c_str(), s.unavailable.front().c_str());
    return;
  }
  char times[64];
  std::snprintf(times, sizeof times, "%.2f | %.2f | %.2f", s.analysisSeconds, s.decodeSeconds,
                s.decodeSeconds > 0 ? s.analysisSeconds / s.decodeSeconds : 0.0);
  std::printf("| %s | %s | %d | %s | %d/%d | %s | %s | %s | %s | %s |\n", std::string(family.name).c_str(),
              range.text().c_str(), s.clips, percent(s.rolesRight, s.clips).c_str(), s.blocksExact, s.blocks,
              percent(s.songsFoundRight, s.blocks).c_str(), percent(s.songsFoundRight, s.songsFound).c_str(),
              percent(s.wrongFlagged, s.clips - s.rolesRight).c_str(), percent(s.flagged, s.clips).c_str(), times);
}

// A scratch directory removed at the end, unless the discs are to be kept.
class WorkDirectory {
 public:
  explicit WorkDirectory(const std::optional<Path>& keep) {
    if (keep) {
      path_ = *keep;
      std::error_code ignored;
      std::filesystem::create_directories(path_, ignored);
      return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "wavecrate-eval-XXXXXX").string();
    if (mkdtemp(pattern.data())) {
      path_ = pattern;
      remove_ = true;
    }
  }
  ~WorkDirectory() {
    std::error_code ignored;
    if (remove_) std::filesystem::remove_all(path_, ignored);
  }
  WorkDirectory(const WorkDirectory&) = delete;
  WorkDirectory& operator=(const WorkDirectory&) = delete;
  const Path& path() const { return path_; }

 private:
  Path path_;
  bool remove_ = false;
};

std::optional<Options> parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg == "--list") {
      for (const BareFamily& f : bareFamilies())
        std::printf("%-12s %s\n", std::string(f.name).c_str(), std::string(f.about).c_str());
      std::exit(0);
    } else if (arg == "--family" && hasValue) {
      const BareFamily* f = findBareFamily(argv[++i]);
      if (!f) {
        std::fprintf(stderr, "wavecrate-detect-eval: no family \"%s\" (--list shows them)\n", argv[i]);
        return std::nullopt;
      }
      o.families.push_back(f);
    } else if (arg == "--seeds" && hasValue) {
      const auto range = parseRange(argv[++i]);
      if (!range) return std::nullopt;
      o.ranges.push_back(*range);
    } else if ((arg == "--songs" || arg == "--threads") && hasValue) {
      const long n = std::strtol(argv[++i], nullptr, 10);
      if (n < 1 || n > 60) return std::nullopt;
      if (arg == "--songs")
        o.size.songsPerStation = int(n);
      else
        o.threads = unsigned(n);
    } else if (arg == "--small") {
      o.size.small = true;
    } else if (arg == "--verbose") {
      o.verbose = true;
    } else if (arg == "--keep" && hasValue) {
      o.keep = Path(argv[++i]);
    } else {
      return std::nullopt;
    }
  }
  if (o.families.empty())
    for (const BareFamily& f : bareFamilies()) o.families.push_back(&f);
  if (o.ranges.empty()) o.ranges.push_back(SeedRange{});
  return o;
}

struct Job {
  const BareFamily* family;
  uint32_t seed;
  Path directory;
  std::string error;
};

// Generates every disc first, side by side, so the timed analyses below run
// one at a time without a generator competing for the processors.
void generateAll(std::vector<Job>& jobs, const BareDiscSize& size, unsigned threads) {
  std::atomic<size_t> next{0};
  const unsigned workers = std::max(1u, std::min<unsigned>(threads, unsigned(jobs.size())));
  BareDiscSize perDisc = size;
  perDisc.threads = std::max(1u, threads / workers);
  const auto work = [&] {
    for (size_t i = next++; i < jobs.size(); i = next++) {
      Job& job = jobs[i];
      std::fprintf(stderr, "generating %s seed %u\n", std::string(job.family->name).c_str(), job.seed);
      job.error = generate(*job.family, job.seed, perDisc, job.directory, perDisc.threads);
    }
  };
  std::vector<std::jthread> pool;
  for (unsigned t = 1; t < workers; ++t) pool.emplace_back(work);
  work();
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = parse(argc, argv);
  if (!options) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  const WorkDirectory work(options->keep);
  if (work.path().empty()) {
    std::fputs("wavecrate-detect-eval: cannot create a temporary directory\n", stderr);
    return kExitFailure;
  }

  std::vector<Job> jobs;
  for (const BareFamily* family : options->families)
    for (const SeedRange& range : options->ranges)
      for (uint64_t seed = range.first; seed <= range.last; ++seed)
        jobs.push_back(
            {family, uint32_t(seed), discDirectory(work.path(), *family, uint32_t(seed), options->size), {}});
  generateAll(jobs, options->size, options->threads);

  std::vector<std::string> wrong;
  std::puts(
      "| family | seeds | clips | clip roles right | song blocks exact | songs recall | songs precision | "
      "wrong clips flagged | clips flagged | analysis s | decode-once s | analysis/decode |");
  std::puts("|---|---|---|---|---|---|---|---|---|---|---|---|");
  std::fflush(stdout);
  int status = 0;
  size_t j = 0;
  for (const BareFamily* family : options->families) {
    for (const SeedRange& range : options->ranges) {
      Score score;
      for (uint64_t seed = range.first; seed <= range.last; ++seed, ++j) {
        const Job& job = jobs[j];
        if (!job.error.empty()) {
          score.unavailable.push_back(job.error);
          continue;
        }
        const std::optional<DiscOnDisk> disc = load(job.directory);
        if (!disc) {
          score.unavailable.push_back("cannot read the disc in " + job.directory.string());
          continue;
        }
        evaluate(*disc, std::string(family->name) + " seed " + std::to_string(seed), options->verbose, score);
      }
      if (!score.unavailable.empty()) {
        std::fprintf(stderr, "wavecrate-detect-eval: %s: %s\n", std::string(family->name).c_str(),
                     score.unavailable.front().c_str());
        status = kExitFailure;
      }
      printRow(*family, range, score);
      std::fflush(stdout);
      wrong.insert(wrong.end(), score.wrong.begin(), score.wrong.end());
    }
  }
  if (options->verbose) {
    std::printf("\nWrong clips: %zu\n\n", wrong.size());
    for (const std::string& line : wrong) std::puts(line.c_str());
  }
  return status;
}
