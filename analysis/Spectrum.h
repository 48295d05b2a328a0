#pragma once
// Short-time spectra of mono audio at 24000 Hz, reduced to what the song
// detection compares: a log band-energy envelope (the timbre) and a chroma
// vector (the harmony) per frame. The transform is FFTW's.
#include <array>
#include <memory>
#include <span>
#include <vector>

namespace wc {

inline constexpr int kSpectrumBands = 24;
inline constexpr int kChromaBins = 12;
// 1024 samples (43 ms) every 512.
inline constexpr int kSpectrumFrame = 1024;
inline constexpr int kSpectrumHop = 512;

struct SpectralFrame {
  std::array<float, kSpectrumBands> bandsDb{};  // energy per band, dB
  std::array<float, kChromaBins> chroma{};      // unit length (zero for silence)
  float levelDb = -120.0f;                      // the frame's power, dB full scale
};

// A finer look at one stretch: 2048 samples (85 ms, 11.7 Hz bins), the ln
// power of each bin from 59 Hz to 6 kHz. Sustained partials show in it as
// lines that a cut between unrelated music does not continue.
inline constexpr int kFineFrame = 2048;
inline constexpr int kFineFirstBin = 5;
inline constexpr int kFineEndBin = 512;

// One analyser per thread: it owns its transform plan and buffers.
class SpectrumAnalyser {
 public:
  SpectrumAnalyser();
  ~SpectrumAnalyser();
  SpectrumAnalyser(const SpectrumAnalyser&) = delete;
  SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

  // Frames at 0, kSpectrumHop, ... while a whole frame fits.
  std::vector<SpectralFrame> frames(std::span<const float> mono);
  // The fine spectrum of mono[from, from + kFineFrame); empty when the
  // stretch is not there or is silent.
  std::vector<float> fineSpectrum(std::span<const float> mono, size_t from);

 private:
  struct Plan;
  std::unique_ptr<Plan> plan_, finePlan_;
};

}  // namespace wc
