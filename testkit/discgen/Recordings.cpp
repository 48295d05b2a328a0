#include "testkit/discgen/Recordings.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>

namespace wc {
namespace {

std::vector<float> convertChannels(const std::vector<float>& interleaved, int channels, int fromRate, int toRate) {
  const size_t frames = interleaved.size() / size_t(channels);
  if (frames == 0 || fromRate <= 0) return {};
  const double ratio = double(toRate) / double(fromRate);
  std::vector<float> out((size_t(double(frames) * ratio) + 16) * size_t(channels), 0.0f);
  SRC_DATA data{};
  data.data_in = interleaved.data();
  data.input_frames = long(frames);
  data.data_out = out.data();
  data.output_frames = long(out.size() / size_t(channels));
  data.src_ratio = ratio;
  if (src_simple(&data, SRC_SINC_FASTEST, channels) != 0) return {};
  out.resize(size_t(data.output_frames_gen) * size_t(channels));
  return out;
}

// The file as 24000 Hz stereo (mono is doubled, further channels dropped).
MixBuffer decode(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return MixBuffer(samplesFor(1.0));
  const int channels = std::max(1, info.channels);
  std::vector<float> interleaved(size_t(info.frames) * size_t(channels));
  const sf_count_t read = sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  interleaved.resize(size_t(std::max<sf_count_t>(read, 0)) * size_t(channels));
  const std::vector<float> converted = convertChannels(interleaved, channels, info.samplerate, kSignalSampleRate);
  const size_t frames = converted.size() / size_t(channels);
  if (frames == 0) return MixBuffer(samplesFor(1.0));
  MixBuffer audio(frames);
  for (size_t i = 0; i < frames; ++i) {
    audio.left[i] = converted[i * size_t(channels)];
    audio.right[i] = converted[i * size_t(channels) + (channels > 1 ? 1 : 0)];
  }
  return audio;
}

bool opens(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return false;
  sf_close(file);
  return info.frames > 0;
}

std::shared_ptr<const RecordingSet> readShelf(const RecordingShelf& shelf, std::string& why) {
  std::vector<std::string> paths;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(shelf.directory, error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(shelf.prefix) && name.ends_with(".ogg")) paths.push_back(entry.path().string());
  }
  if (paths.empty()) {
    why = std::string("no recordings in ") + shelf.directory + " (install the Debian package " + shelf.package + ")";
    return nullptr;
  }
  std::sort(paths.begin(), paths.end());
  for (const std::string& path : paths) {
    if (!opens(path)) {
      why = "libsndfile cannot decode " + path;
      return nullptr;
    }
  }
  return std::make_shared<const RecordingSet>(std::move(paths));
}

}  // namespace

struct RecordingSet::Slot {
  std::once_flag decoded;
  MixBuffer audio;
};

RecordingSet::RecordingSet(std::vector<std::string> paths)
    : paths_(std::move(paths)), slots_(std::make_unique<Slot[]>(paths_.size())) {}

RecordingSet::~RecordingSet() = default;

const MixBuffer& RecordingSet::audio(size_t i) const {
  Slot& slot = slots_[i];
  std::call_once(slot.decoded, [&] { slot.audio = decode(paths_[i]); });
  return slot.audio;
}

std::shared_ptr<const RecordingSet> loadRecordings(const RecordingShelf& shelf, std::string& why) {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<const RecordingSet>> loaded;
  const std::lock_guard lock(mutex);
  auto& slot = loaded[shelf.directory + std::string("/") + shelf.prefix];
  if (!slot) slot = readShelf(shelf, why);
  return slot;
}

std::vector<float> convertRate(std::span<const float> input, int fromRate, int toRate) {
  if (fromRate == toRate) return {input.begin(), input.end()};
  return convertChannels(std::vector<float>(input.begin(), input.end()), 1, fromRate, toRate);
}

}  // namespace wc
