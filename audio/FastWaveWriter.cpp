#include "audio/FastWaveWriter.h"

#include <algorithm>
#include <bit>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/ResamplePlan.h"
#include "base/LittleEndian.h"

namespace wc {
namespace {

constexpr int32_t kBlocksPerJob = 16;  // a job: about 28000 output frames
constexpr int kMaxWorkers = 16;

// A 64-byte aligned array of doubles inside an over-allocated vector.
class AlignedDoubles {
 public:
  explicit AlignedDoubles(size_t count) : storage_(count + 8, 0.0) {
    data_ = storage_.data();
    while (reinterpret_cast<uintptr_t>(data_) % 64 != 0) ++data_;
  }
  double* data() { return data_; }

 private:
  std::vector<double> storage_;
  double* data_;
};

// A worker's scratch: the kernel's (stays in the first-level cache) and its
// list of outputs to recompute.
struct BlockScratch {
  explicit BlockScratch(const ResamplePlan& plan)
      : scratch(size_t(plan.scratchDoubles())), uncertain(size_t(2 * plan.phaseCount() * plan.periodsPerBlock())) {}
  AlignedDoubles scratch;
  std::vector<uint32_t> uncertain;
};

}  // namespace

// One job: `periods` whole periods of input (with the window's history in
// front) in, their output samples out.
struct Job {
  enum class State { Free, Filling, Ready, Computing, Done };
  State state = State::Free;
  int64_t seq = 0;
  int64_t outputLimit = 0;         // global output frames allowed in the file
  std::vector<float> left, right;  // from the job's origin: step * firstPeriod - kBlockLead
  size_t filled = 0;
  std::vector<int16_t> pcm;  // interleaved, 2 * L * periods
};

struct FastWaveWriter::Pipeline {
  Pipeline(int32_t inRate, int32_t outRate, SimdLevel level, int workerCount, std::unique_ptr<OutputFile> f,
           uint64_t maxFrames, bool headerWritten)
      : plan(inRate, outRate),
        kernel(kernelFor(level)),
        periodsPerJob(plan.periodsPerBlock() * kBlocksPerJob),
        outputsPerJob(int64_t(plan.phaseCount()) * periodsPerJob),
        inputSpan(size_t(plan.step()) * size_t(periodsPerJob) + kPaddedTaps + 8),
        maxOutputFrames(maxFrames),
        file(std::move(f)),
        writeFailed(!headerWritten) {
    // Room for the jobs computed while the writer waits for the disk (a
    // direct write of a few megabytes takes milliseconds, a job less than one).
    jobs.resize(size_t(8 * workerCount + 8));
    for (Job& job : jobs) {
      job.left.assign(inputSpan, 0.0f);
      job.right.assign(inputSpan, 0.0f);
      job.pcm.assign(size_t(2 * outputsPerJob), 0);
    }
    for (int i = 0; i < workerCount; ++i) workers.emplace_back([this] { workerLoop(); });
    writer = std::thread([this] { writerLoop(); });
  }

  ~Pipeline() { stop(/*abandon=*/true); }

  Job& slotOf(int64_t seq) { return jobs[size_t(seq % int64_t(jobs.size()))]; }

  // Calling thread: the job `submitted` in a free slot, its input starting
  // with the tail of the previous job's (or with silence for the first).
  Job& acquire() {
    Job& job = slotOf(submitted);
    {
      std::unique_lock lock(mutex);
      jobFreed.wait(lock, [&] { return job.state == Job::State::Free; });
      job.state = Job::State::Filling;
    }
    job.seq = submitted;
    const size_t overlap = kPaddedTaps + 8;
    if (submitted == 0) {
      std::fill(job.left.begin(), job.left.begin() + kBlockLead, 0.0f);
      std::fill(job.right.begin(), job.right.begin() + kBlockLead, 0.0f);
      job.filled = kBlockLead;
    } else {
      const Job& previous = slotOf(submitted - 1);
      const size_t from = inputSpan - overlap;
      // The previous job may be computing: both only read these samples.
      std::copy(previous.left.begin() + long(from), previous.left.end(), job.left.begin());
      std::copy(previous.right.begin() + long(from), previous.right.end(), job.right.begin());
      job.filled = overlap;
    }
    return job;
  }

  // Calling thread: hands a full job to the workers.
  void submit(Job& job, int64_t outputLimit) {
    std::lock_guard lock(mutex);
    job.outputLimit = outputLimit;
    job.state = Job::State::Ready;
    ++submitted;
    workAvailable.notify_one();
  }

  void push(const float* left, const float* right, size_t count) {
    while (count > 0) {
      if (!current) current = &acquire();
      const size_t take = std::min(count, inputSpan - current->filled);
      std::copy(left, left + take, current->left.begin() + long(current->filled));
      std::copy(right, right + take, current->right.begin() + long(current->filled));
      current->filled += take;
      left += take;
      right += take;
      count -= take;
      if (current->filled == inputSpan) {
        submit(*current, int64_t(maxOutputFrames));
        current = nullptr;
      }
    }
  }

  // Calling thread: completes the input with silence until the jobs cover
  // `limit` output frames.
  void flush(int64_t limit) {
    while (submitted * outputsPerJob < limit) {
      if (!current) current = &acquire();
      std::fill(current->left.begin() + long(current->filled), current->left.end(), 0.0f);
      std::fill(current->right.begin() + long(current->filled), current->right.end(), 0.0f);
      current->filled = inputSpan;
      submit(*current, limit);
      current = nullptr;
    }
  }

  // A worker: interpolates one job; returns the outputs it summed again.
  int64_t compute(Job& job, BlockScratch& scratch) {
    int64_t recomputed = 0;
    const int32_t periodsPerBlock = plan.periodsPerBlock();
    const int32_t slots = 2 * plan.phaseCount();
    const int64_t firstOutput = job.seq * outputsPerJob;
    for (int32_t b = 0; b < kBlocksPerJob; ++b) {
      if (firstOutput + int64_t(b) * periodsPerBlock * plan.phaseCount() >= job.outputLimit) break;
      const size_t from = size_t(b) * size_t(periodsPerBlock) * size_t(plan.step());
      const float* xl = job.left.data() + from;
      const float* xr = job.right.data() + from;
      int16_t* out = job.pcm.data() + size_t(b) * size_t(periodsPerBlock) * size_t(slots);
      int32_t uncertainCount = 0;
      kernel(plan.kernel(), xl, xr, periodsPerBlock, scratch.scratch.data(), out, scratch.uncertain.data(),
             &uncertainCount);
      for (int32_t u = 0; u < uncertainCount; ++u) {
        const uint32_t index = scratch.uncertain[size_t(u)];
        out[index] =
            exactBlockOutput(plan.kernel(), xl, xr, int32_t(index / uint32_t(slots)), int32_t(index % uint32_t(slots)));
      }
      recomputed += uncertainCount;
    }
    return recomputed;
  }

  void workerLoop() {
    BlockScratch scratch(plan);
    int64_t mine = 0;
    for (;;) {
      Job* job = nullptr;
      {
        std::unique_lock lock(mutex);
        workAvailable.wait(lock, [&] { return nextToCompute < submitted || stopping; });
        if (nextToCompute >= submitted) break;  // stopping and nothing left
        job = &slotOf(nextToCompute++);
        job->state = Job::State::Computing;
      }
      mine += compute(*job, scratch);
      {
        std::lock_guard lock(mutex);
        job->state = Job::State::Done;
      }
      jobDone.notify_all();
    }
    std::lock_guard lock(mutex);
    recomputedTotal += mine;
  }

  void writerLoop() {
    for (;;) {
      Job* job = nullptr;
      {
        std::unique_lock lock(mutex);
        jobDone.wait(lock, [&] {
          return abandoned || (nextToWrite < submitted && slotOf(nextToWrite).state == Job::State::Done) ||
                 (stopping && nextToWrite == submitted);
        });
        if (abandoned || nextToWrite == submitted) return;
        job = &slotOf(nextToWrite);
      }
      const int64_t firstOutput = nextToWrite * outputsPerJob;
      const int64_t frames = std::clamp<int64_t>(job->outputLimit - firstOutput, 0, outputsPerJob);
      if (frames > 0 && !writeFailed) {
        if constexpr (std::endian::native != std::endian::little) {
          for (int64_t i = 0; i < 2 * frames; ++i)
            writeU16LE(reinterpret_cast<uint8_t*>(&job->pcm[size_t(i)]), uint16_t(job->pcm[size_t(i)]));
        }
        if (!file->write(job->pcm.data(), size_t(frames) * 4)) writeFailed = true;
      }
      framesWritten += frames;
      {
        std::lock_guard lock(mutex);
        job->state = Job::State::Free;
        ++nextToWrite;
      }
      jobFreed.notify_all();
    }
  }

  // Calling thread: lets the workers drain (or drop, when abandoning) the
  // submitted jobs and joins every thread.
  void stop(bool abandon) {
    {
      std::lock_guard lock(mutex);
      stopping = true;
      abandoned = abandon;
    }
    workAvailable.notify_all();
    jobDone.notify_all();
    for (std::thread& t : workers)
      if (t.joinable()) t.join();
    if (writer.joinable()) writer.join();
  }

  const ResamplePlan plan;
  const BlockKernel kernel;
  const int32_t periodsPerJob;
  const int64_t outputsPerJob;
  const size_t inputSpan;  // input samples per job, history included
  const uint64_t maxOutputFrames;
  std::unique_ptr<OutputFile> file;  // the writer thread's until stop()
  // The writer thread's, read by the calling thread after stop():
  bool writeFailed;
  int64_t framesWritten = 0;

  std::vector<Job> jobs;
  Job* current = nullptr;  // calling thread: the job being filled
  std::mutex mutex;
  std::condition_variable workAvailable;  // submitted grew, or stopping
  std::condition_variable jobDone;        // a job is done, or stopping
  std::condition_variable jobFreed;       // a job was written
  // Under the mutex:
  int64_t submitted = 0;
  int64_t nextToCompute = 0;
  int64_t nextToWrite = 0;
  bool stopping = false;
  bool abandoned = false;
  int64_t recomputedTotal = 0;
  std::vector<std::thread> workers;
  std::thread writer;
};

FastWaveWriter::FastWaveWriter(FastWriterOptions options) : options_(options) {}

FastWaveWriter::~FastWaveWriter() = default;

bool FastWaveWriter::supports(int32_t inRate, int32_t outRate) { return ResamplePlan::supports(inRate, outRate); }

bool FastWaveWriter::open(std::unique_ptr<OutputFile> file, int32_t inRate, int32_t outRate) {
  if (!file || pipeline_ || !supports(inRate, outRate)) return false;
  level_ = options_.level;
  while (!simdLevelAvailable(level_)) level_ = SimdLevel(int(level_) - 1);
  workers_ = options_.workers > 0 ? options_.workers : int(std::thread::hardware_concurrency());
  workers_ = std::clamp(workers_, 1, kMaxWorkers);
  inRate_ = inRate;
  outRate_ = outRate;
  framesPushed_ = framesWritten_ = recomputed_ = 0;
  uint8_t header[WaveWriter::kHeaderBytes];
  WaveWriter::buildPlaceholderHeader(header);
  const bool headerWritten = file->write(header, sizeof header);
  pipeline_ = std::make_unique<Pipeline>(inRate, outRate, level_, workers_, std::move(file), options_.maxDataBytes / 4,
                                         headerWritten);
  return true;
}

void FastWaveWriter::pushFrames(const float* left, const float* right, size_t count) {
  if (!pipeline_) return;
  framesPushed_ += int64_t(count);
  pipeline_->push(left, right, count);
}

int64_t FastWaveWriter::sectorsSoFar() const {
  if (framesPushed_ <= 0 || inRate_ <= 0) return 0;
  return (framesPushed_ * WaveWriter::kSectorsPerSecond + inRate_ - 1) / inRate_;
}

bool FastWaveWriter::finish() {
  if (!pipeline_) return false;
  const int64_t target = int64_t(WaveWriter::predictedDataBytes(framesPushed_, inRate_, outRate_) / 4);
  const int64_t limit = std::min<int64_t>(target, int64_t(pipeline_->maxOutputFrames));
  pipeline_->flush(limit);
  pipeline_->stop(/*abandon=*/false);
  framesWritten_ = pipeline_->framesWritten;
  recomputed_ = pipeline_->recomputedTotal;
  bool ok = !pipeline_->writeFailed && target <= limit;

  uint8_t header[WaveWriter::kHeaderBytes];
  const uint64_t dataBytes = uint64_t(framesWritten_) * 4;
  WaveWriter::buildHeader(header, outRate_, dataBytes);
  OutputFile& file = *pipeline_->file;
  if (!file.seek(0) || !file.write(header, sizeof header)) ok = false;
  if (!file.close()) ok = false;
  pipeline_.reset();
  return ok;
}

std::unique_ptr<FrameSink> openWaveSink(std::unique_ptr<OutputFile> file, int32_t inRate, int32_t outRate,
                                        const WaveSinkOptions& options) {
  if (!file || inRate <= 0 || outRate <= 0) return nullptr;
  if (!options.reference && FastWaveWriter::supports(inRate, outRate)) {
    auto fast = std::make_unique<FastWaveWriter>(options.fast);
    if (fast->open(std::move(file), inRate, outRate)) return fast;
    return nullptr;
  }
  auto reference = std::make_unique<WaveWriter>(options.fast.maxDataBytes);
  if (!reference->open(std::move(file), inRate, outRate)) return nullptr;
  return reference;
}

}  // namespace wc
