// What the window program costs the machine while it is left open: CPU time
// per second of wall time, idle and playing a playlist, against a bare event
// loop that runs only the 5 ms precise timer (the floor). Each case runs the
// event loop for a fixed wall time in this one process; the window program is
// the real application (frame, view, engine on SDL's sound device) started in
// a directory of generated stations, offscreen.
//
//   ./build/wavecrate_window_bench [--seconds=3] [--stations=build/demo]
//
// (offscreen and with SDL's dummy driver unless QT_QPA_PLATFORM and
// SDL_AUDIODRIVER say otherwise).
//
// Counters: cpu_pct is the process (every thread, the sound device's
// included) in percent of one core, main_pct the user-interface thread alone,
// wakeups_s its voluntary context switches per second, over_floor_pct the
// process cost above the floor's in percentage points.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/MainFrame.h"
#include "app/WavecrateApp.h"
#include "session/Command.h"
#include "ui/qt/StudioViewAdapter.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc {
namespace {

struct Options {
  double seconds = 3.0;            // measured wall time of each case
  std::filesystem::path stations;  // directory with the catalogue and the cache
};

Options& options() {
  static Options value;
  return value;
}

double cpuSeconds(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

long threadWakeups() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_nvcsw;
}

struct Cost {
  double processPct = 0;  // percent of one core
  double mainPct = 0;
  double wakeupsPerSecond = 0;
};

// Runs the event loop for `seconds` of wall time and measures what it cost.
Cost runEventLoopFor(double seconds) {
  QEventLoop loop;
  QTimer::singleShot(int(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
  const auto wall0 = std::chrono::steady_clock::now();
  const double process0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const double main0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  const long wakeups0 = threadWakeups();
  loop.exec();
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  Cost cost;
  cost.processPct = 100.0 * (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process0) / wall;
  cost.mainPct = 100.0 * (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - main0) / wall;
  cost.wakeupsPerSecond = double(threadWakeups() - wakeups0) / wall;
  return cost;
}

// The floor, measured once by its own case; the window cases measure it
// themselves when run without it.
std::optional<Cost>& floorCost() {
  static std::optional<Cost> value;
  return value;
}

Cost bareTimerLoop(double seconds) {
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  timer.setInterval(5);
  long ticks = 0;
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { benchmark::DoNotOptimize(++ticks); });
  timer.start();
  return runEventLoopFor(seconds);
}

void report(benchmark::State& state, const Cost& cost) {
  state.counters["cpu_pct"] = cost.processPct;
  state.counters["main_pct"] = cost.mainPct;
  state.counters["wakeups_s"] = cost.wakeupsPerSecond;
  if (!floorCost()) floorCost() = bareTimerLoop(options().seconds);
  state.counters["over_floor_pct"] = cost.processPct - floorCost()->processPct;
}

void BM_BareTimerLoop(benchmark::State& state) {
  for (auto _ : state) floorCost() = bareTimerLoop(options().seconds);
  report(state, *floorCost());
}

// The application, started once in the stations directory and shared by the
// window cases; main() ends it before the QApplication goes.
class WindowProgram {
 public:
  static WindowProgram* instance() {
    static bool tried = false;
    if (!tried) {
      tried = true;
      slot() = start();
    }
    return slot().get();
  }
  static void end() { slot().reset(); }

  CMainFrame& frame() { return *app_.mainFrame(); }
  bool run(Command id) { return frame().executeCommand(id); }
  // A new playlist of every song of the first station that has songs.
  bool fillPlaylist() {
    auto* adapter = dynamic_cast<StudioViewAdapter*>(frame().view().client());
    if (!adapter || !run(Command::FileNew)) return false;
    for (int station = 0; station < kStationCount; ++station) {
      adapter->view().showStation(station);
      if (run(Command::AddAllSongs)) return true;
    }
    return false;
  }

  ~WindowProgram() { app_.exitInstance(0); }

 private:
  static std::unique_ptr<WindowProgram> start() {
    std::error_code error;
    std::filesystem::current_path(options().stations, error);
    if (error) {
      std::fprintf(stderr, "Cannot enter %s: %s\n", options().stations.c_str(), error.message().c_str());
      return nullptr;
    }
    auto program = std::unique_ptr<WindowProgram>(new WindowProgram);
    if (!program->app_.initInstance()) return nullptr;
    // Start-up questions, the first paint, and the sound timer's drain.
    runEventLoopFor(2.0);
    return program;
  }
  WindowProgram() = default;
  static std::unique_ptr<WindowProgram>& slot() {
    static std::unique_ptr<WindowProgram> program;
    return program;
  }

  CWavecrateApp app_;
};

void BM_WindowIdle(benchmark::State& state) {
  WindowProgram* program = WindowProgram::instance();
  if (!program) {
    state.SkipWithError("the window program did not start");
    return;
  }
  Cost cost;
  for (auto _ : state) cost = runEventLoopFor(options().seconds);
  report(state, cost);
}

void BM_WindowPlaying(benchmark::State& state) {
  WindowProgram* program = WindowProgram::instance();
  if (!program) {
    state.SkipWithError("the window program did not start");
    return;
  }
  if (!program->fillPlaylist() || !program->run(Command::Play)) {
    state.SkipWithError("the stations gave no playlist to play");
    return;
  }
  // Past the start of the first track.
  runEventLoopFor(0.5);
  Cost cost;
  for (auto _ : state) cost = runEventLoopFor(options().seconds);
  program->run(Command::Stop);
  report(state, cost);
}

BENCHMARK(BM_BareTimerLoop)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowIdle)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowPlaying)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reads --seconds=N and --stations=DIR from what the benchmark library left.
bool parseOptions(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--seconds=", 0) == 0) {
      options().seconds = std::atof(arg.c_str() + 10);
      if (options().seconds <= 0) return false;
    } else if (arg.rfind("--stations=", 0) == 0) {
      options().stations = arg.substr(11);
    } else {
      return false;
    }
  }
  if (options().stations.empty()) options().stations = WAVECRATE_DEMO_DIR;
  options().stations = std::filesystem::absolute(options().stations);
  return true;
}

}  // namespace
}  // namespace wc

int main(int argc, char** argv) {
  // The measured program draws offscreen and sounds into SDL's dummy driver
  // unless the caller chose otherwise.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  benchmark::Initialize(&argc, argv);
  if (!wc::parseOptions(argc, argv)) {
    std::fprintf(stderr, "Usage: %s [benchmark flags] [--seconds=N] [--stations=DIR]\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Wavecrate"));
  // Keeps the remembered disc image of the stations directory out of the
  // user's settings.
  QStandardPaths::setTestModeEnabled(true);
  benchmark::RunSpecifiedBenchmarks();
  wc::WindowProgram::end();
  benchmark::Shutdown();
  return 0;
}
