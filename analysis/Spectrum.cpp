#include "analysis/Spectrum.h"

#include <fftw3.h>

#include <cmath>
#include <mutex>

namespace wc {
namespace {

constexpr double kRate = 24000.0;
constexpr double kPi = 3.14159265358979323846;
constexpr int kBins = kSpectrumFrame / 2 + 1;

// FFTW's planner is not thread-safe; executing a plan is.
std::mutex& plannerLock() {
  static std::mutex lock;
  return lock;
}

double melOf(double hz) { return 2595.0 * std::log10(1.0 + hz / 700.0); }

// The band of each bin (-1: outside 60 Hz .. 9 kHz), bands equally wide on
// the mel scale; and the pitch class of each bin between 80 Hz and 4 kHz
// (-1 elsewhere), where the fundamentals and first partials of chords lie.
struct BinMaps {
  std::array<int, kBins> band{};
  std::array<int, kBins> pitchClass{};
  BinMaps() {
    const double low = melOf(60.0), high = melOf(9000.0);
    for (int b = 0; b < kBins; ++b) {
      const double hz = b * kRate / kSpectrumFrame;
      const double position = (melOf(hz) - low) / (high - low);
      band[size_t(b)] = hz < 60.0 || position >= 1.0 ? -1 : int(position * kSpectrumBands);
      if (hz < 80.0 || hz > 4000.0) {
        pitchClass[size_t(b)] = -1;
      } else {
        const double semitone = 12.0 * std::log2(hz / 440.0) + 69.0;
        pitchClass[size_t(b)] = int(std::lround(semitone)) % 12;
      }
    }
  }
};

const BinMaps& binMaps() {
  static const BinMaps maps;
  return maps;
}

}  // namespace

struct SpectrumAnalyser::Plan {
  float* in = nullptr;
  fftwf_complex* out = nullptr;
  fftwf_plan plan = nullptr;
  std::vector<float> window;

  explicit Plan(int size) : window(size_t(size)) {
    std::lock_guard<std::mutex> guard(plannerLock());
    in = fftwf_alloc_real(size_t(size));
    out = fftwf_alloc_complex(size_t(size / 2 + 1));
    plan = fftwf_plan_dft_r2c_1d(size, in, out, FFTW_ESTIMATE);
    for (int i = 0; i < size; ++i) window[size_t(i)] = float(0.5 - 0.5 * std::cos(2.0 * kPi * (i + 0.5) / size));
  }
  ~Plan() {
    std::lock_guard<std::mutex> guard(plannerLock());
    fftwf_destroy_plan(plan);
    fftwf_free(out);
    fftwf_free(in);
  }
};

SpectrumAnalyser::SpectrumAnalyser()
    : plan_(std::make_unique<Plan>(kSpectrumFrame)), finePlan_(std::make_unique<Plan>(kFineFrame)) {}
SpectrumAnalyser::~SpectrumAnalyser() = default;

std::vector<SpectralFrame> SpectrumAnalyser::frames(std::span<const float> mono) {
  std::vector<SpectralFrame> result;
  if (mono.size() < size_t(kSpectrumFrame)) return result;
  const BinMaps& maps = binMaps();
  for (size_t start = 0; start + kSpectrumFrame <= mono.size(); start += kSpectrumHop) {
    double power = 0.0;
    for (int i = 0; i < kSpectrumFrame; ++i) {
      const float x = mono[start + size_t(i)];
      plan_->in[i] = x * plan_->window[size_t(i)];
      power += double(x) * x;
    }
    fftwf_execute(plan_->plan);
    SpectralFrame f;
    f.levelDb = float(10.0 * std::log10(power / kSpectrumFrame + 1e-12));
    std::array<double, kSpectrumBands> bands{};
    std::array<double, kChromaBins> chroma{};
    for (int b = 0; b < kBins; ++b) {
      const double re = plan_->out[b][0], im = plan_->out[b][1];
      const double e = re * re + im * im;
      if (maps.band[size_t(b)] >= 0) bands[size_t(maps.band[size_t(b)])] += e;
      if (maps.pitchClass[size_t(b)] >= 0) chroma[size_t(maps.pitchClass[size_t(b)])] += e;
    }
    for (int i = 0; i < kSpectrumBands; ++i) f.bandsDb[size_t(i)] = float(10.0 * std::log10(bands[size_t(i)] + 1e-9));
    double norm = 0.0;
    for (double c : chroma) norm += c * c;
    norm = std::sqrt(norm);
    if (norm > 1e-9)
      for (int i = 0; i < kChromaBins; ++i) f.chroma[size_t(i)] = float(chroma[size_t(i)] / norm);
    result.push_back(f);
  }
  return result;
}

std::vector<float> SpectrumAnalyser::fineSpectrum(std::span<const float> mono, size_t from) {
  std::vector<float> result;
  if (from + kFineFrame > mono.size()) return result;
  double power = 0.0;
  for (size_t i = 0; i < size_t(kFineFrame); ++i) {
    const float x = mono[from + i];
    finePlan_->in[i] = x * finePlan_->window[i];
    power += double(x) * x;
  }
  // Below -70 dBFS there are no partials to follow.
  if (power / kFineFrame < 1e-7) return result;
  fftwf_execute(finePlan_->plan);
  result.reserve(kFineEndBin - kFineFirstBin);
  for (int b = kFineFirstBin; b < kFineEndBin; ++b) {
    const double re = finePlan_->out[b][0], im = finePlan_->out[b][1];
    result.push_back(float(std::log(re * re + im * im + 1e-10)));
  }
  return result;
}

}  // namespace wc
