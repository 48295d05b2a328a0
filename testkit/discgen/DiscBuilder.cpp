#include "testkit/discgen/DiscBuilder.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "base/LittleEndian.h"
#include "gamedata/CatalogueFile.h"
#include "gamedata/ClipAudio.h"

namespace wc {
namespace {

constexpr uint8_t kFiller = 0xEE;
constexpr std::array<bool, kStationCount> kListedByDefault = {false, true, false, false, true, true, true, false,
                                                              true,  true, true,  true,  true, true, true, true};

std::string lowerCase(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

void copyText(char* field, size_t fieldSize, const std::string& text) {
  std::memset(field, 0, fieldSize);
  // NOLINTNEXTLINE(bugprone-not-null-terminated-result): the last byte stays the zero set above
  std::memcpy(field, text.data(), std::min(text.size(), fieldSize - 1));
}

// One record of the station's clip array, in pack order: a top-level clip or
// one of its follow-ons.
struct FlatClip {
  const ClipPlan* plan;
  int32_t intros;
  int32_t outros;
};

std::vector<FlatClip> flatten(const StationPlan& station) {
  std::vector<FlatClip> flat;
  for (const ClipPlan& clip : station.clips) {
    flat.push_back({&clip, int32_t(clip.intros.size()), int32_t(clip.outros.size())});
    for (const ClipPlan& intro : clip.intros) flat.push_back({&intro, 0, 0});
    for (const ClipPlan& outro : clip.outros) flat.push_back({&outro, 0, 0});
  }
  return flat;
}

EncodedClip encodeClip(const ClipPlan& plan) {
  if (plan.frames) return *plan.frames;
  if (plan.generate) return encodeStereo(plan.generate());
  return encodeStereo(plan.signal);
}

bool fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

bool checkPlan(const DiscPlan& plan, std::string* error) {
  std::array<bool, kStationCount> seen{};
  for (const StationPlan& station : plan.stations) {
    if (station.index < 0 || station.index >= kStationCount)
      return fail(error, "station index " + std::to_string(station.index) + " is outside 0..15");
    if (seen[size_t(station.index)]) return fail(error, "station " + std::to_string(station.index) + " is given twice");
    seen[size_t(station.index)] = true;
    for (const ClipPlan& clip : station.clips) {
      for (const auto* followOns : {&clip.intros, &clip.outros})
        for (const ClipPlan& f : *followOns)
          if (!f.intros.empty() || !f.outros.empty())
            return fail(error, "an intro or outro cannot have intros or outros of its own");
    }
    if (flatten(station).size() > size_t(kMaxClipsPerStation))
      return fail(error, "station " + std::to_string(station.index) + " has more than 256 clips");
  }
  return true;
}

// Writes `count` filler bytes.
bool writeFiller(OutputFile& out, uint64_t count) {
  const std::vector<uint8_t> filler(size_t(std::min<uint64_t>(count, 65536)), kFiller);
  while (count > 0) {
    const size_t n = size_t(std::min<uint64_t>(count, filler.size()));
    if (!out.write(filler.data(), n)) return false;
    count -= n;
  }
  return true;
}

// Writes one pack and returns its clips' records in clip order.
std::optional<std::vector<LookupRecord>> writePack(FileSystem& fs, const Path& path, int stationIndex,
                                                   const std::vector<FlatClip>& clips, const DiscWriteOptions& options,
                                                   std::string* error) {
  auto out = fs.openWrite(path);
  if (!out) {
    fail(error, "cannot create " + path.string());
    return std::nullopt;
  }
  std::vector<LookupRecord> records;
  uint64_t position = 0;
  const uint64_t align = std::max<uint32_t>(options.clipAlignment, 1);
  for (const FlatClip& clip : clips) {
    const uint64_t start = (std::max<uint64_t>(position, options.packLeadIn) + align - 1) / align * align;
    const std::vector<uint8_t> bytes = layOutClip(encodeClip(*clip.plan));
    if (start + bytes.size() > 0xFFFFFFFFull) {
      fail(error, path.string() + " would pass 4 GiB");
      return std::nullopt;
    }
    if (!writeFiller(*out, start - position) || !out->write(bytes.data(), bytes.size())) {
      fail(error, "cannot write " + path.string());
      return std::nullopt;
    }
    records.push_back({uint32_t(stationIndex), uint32_t(start), uint32_t(bytes.size() - ClipAudio::kHeaderSize)});
    position = start + bytes.size();
  }
  if (!out->close()) {
    fail(error, "cannot write " + path.string());
    return std::nullopt;
  }
  return records;
}

std::vector<LookupRecord> tableOrder(const DiscPlan& plan,
                                     const std::array<std::vector<LookupRecord>, kStationCount>& clipsOf,
                                     bool interleave) {
  std::vector<LookupRecord> table;
  if (!interleave) {
    for (const StationPlan& station : plan.stations)
      for (const LookupRecord& r : clipsOf[size_t(station.index)]) table.push_back(r);
    return table;
  }
  for (size_t round = 0;; ++round) {
    bool any = false;
    for (const StationPlan& station : plan.stations) {
      const auto& records = clipsOf[size_t(station.index)];
      if (round < records.size()) {
        table.push_back(records[round]);
        any = true;
      }
    }
    if (!any) return table;
  }
}

std::unique_ptr<Catalogue> buildCatalogue(const DiscPlan& plan,
                                          const std::array<std::vector<LookupRecord>, kStationCount>& clipsOf) {
  auto catalogue = std::make_unique<Catalogue>();
  std::memset(catalogue.get(), 0, sizeof(Catalogue));
  for (int i = 0; i < kStationCount; ++i) {
    Station& s = catalogue->stations[i];
    copyText(s.name, sizeof s.name, kPackNames[size_t(i)]);
    copyText(s.label, sizeof s.label, kPackNames[size_t(i)]);
    s.listed = kListedByDefault[size_t(i)] && !plan.unlistEmptyStations;
  }
  for (const StationPlan& station : plan.stations) {
    Station& s = catalogue->stations[station.index];
    if (station.label) copyText(s.label, sizeof s.label, *station.label);
    s.listed = station.listed
                   ? *station.listed
                   : (kListedByDefault[size_t(station.index)] && (!plan.unlistEmptyStations || !station.clips.empty()));
    const std::vector<FlatClip> flat = flatten(station);
    const auto& records = clipsOf[size_t(station.index)];
    s.clipCount = int32_t(flat.size());
    for (size_t k = 0; k < flat.size(); ++k) {
      Clip& c = s.clips[k];
      copyText(c.title, sizeof c.title, flat[k].plan->title);
      copyText(c.artist, sizeof c.artist, flat[k].plan->artist);
      c.setKind(flat[k].plan->clipClass);
      c.intros = flat[k].intros;
      c.outros = flat[k].outros;
      c.offset = records[k].offset;
      c.size = records[k].size;
    }
  }
  return catalogue;
}

bool writeBytes(FileSystem& fs, const Path& path, std::span<const uint8_t> bytes, std::string* error) {
  auto out = fs.openWrite(path);
  if (!out) return fail(error, "cannot create " + path.string());
  const bool written = out->write(bytes.data(), bytes.size());
  if (!out->close() || !written) return fail(error, "cannot write " + path.string());
  return true;
}

}  // namespace

DiscPaths discPaths(const Path& directory, DiscLayout layout, bool isoNames) {
  DiscPaths paths;
  paths.catalogueFile = directory / "WavecrateInfo.dat";
  if (layout == DiscLayout::Cache) {
    paths.audioRoot = directory / "CACHE";
    paths.lookupTable = paths.audioRoot / "TRAKLKUP.DAT";
    for (int i = 0; i < kStationCount; ++i)
      paths.packs[size_t(i)] = paths.audioRoot / (std::string(kPackNames[size_t(i)]) + ".PAK");
    return paths;
  }
  auto name = [isoNames](const std::string& n) { return isoNames ? lowerCase(n) : n; };
  auto file = [isoNames](const std::string& n) { return isoNames ? lowerCase(n) + ";1" : n; };
  paths.audioRoot = directory / name("AUDIO");
  paths.lookupTable = paths.audioRoot / name("CONFIG") / file("TRAKLKUP.DAT");
  for (int i = 0; i < kStationCount; ++i)
    paths.packs[size_t(i)] = paths.audioRoot / name("STREAMS") / file(std::string(kPackNames[size_t(i)]) + ".PAK");
  return paths;
}

std::vector<uint8_t> serializeLookupTable(std::span<const LookupRecord> records) {
  std::vector<uint8_t> bytes(records.size() * kLookupRecordSize);
  for (size_t i = 0; i < records.size(); ++i) {
    uint8_t* p = bytes.data() + i * kLookupRecordSize;
    writeU32LE(p, records[i].station);
    writeU32LE(p + 4, records[i].offset);
    writeU32LE(p + 8, records[i].size);
  }
  return bytes;
}

std::optional<WrittenDisc> writeDisc(const DiscPlan& plan, const Path& directory, const DiscWriteOptions& options,
                                     std::string* error, FileSystem& fs) {
  if (!checkPlan(plan, error)) return std::nullopt;
  const bool isoNames = options.isoNames && options.layout == DiscLayout::Disc;
  WrittenDisc disc;
  disc.paths = discPaths(directory, options.layout, isoNames);

  for (const Path& dir :
       {directory, disc.paths.audioRoot, disc.paths.lookupTable.parent_path(), disc.paths.packs[0].parent_path()}) {
    if (!fs.createDirectory(dir)) {
      fail(error, "cannot create the directory " + dir.string());
      return std::nullopt;
    }
  }

  // The catalogue decides which packs a cache holds (the listed ones), so
  // build it first from the clip layout alone, then fill in the records.
  std::array<const StationPlan*, kStationCount> stationAt{};
  for (const StationPlan& station : plan.stations) stationAt[size_t(station.index)] = &station;
  {
    std::array<std::vector<LookupRecord>, kStationCount> placeholders;
    for (const StationPlan& station : plan.stations)
      placeholders[size_t(station.index)].resize(flatten(station).size());
    disc.catalogue = buildCatalogue(plan, placeholders);
  }

  for (int i = 0; i < kStationCount; ++i) {
    const StationPlan* station = stationAt[size_t(i)];
    const std::vector<FlatClip> flat = station ? flatten(*station) : std::vector<FlatClip>{};
    const bool wanted = options.layout == DiscLayout::Disc || !flat.empty() || disc.catalogue->stations[i].listed;
    if (!wanted) continue;
    auto records = writePack(fs, disc.paths.packs[size_t(i)], i, flat, options, error);
    if (!records) return std::nullopt;
    disc.clipsOf[size_t(i)] = std::move(*records);
  }

  disc.catalogue = buildCatalogue(plan, disc.clipsOf);
  disc.records = tableOrder(plan, disc.clipsOf, options.interleave);
  if (!writeBytes(fs, disc.paths.lookupTable, serializeLookupTable(disc.records), error)) return std::nullopt;
  if (options.writeCatalogueFile &&
      !writeBytes(fs, disc.paths.catalogueFile, serializeCatalogue(*disc.catalogue), error))
    return std::nullopt;
  return disc;
}

}  // namespace wc
