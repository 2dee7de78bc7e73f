// A small pool of worker threads for the codec's block encoding.
//
// The pool starts on first use with a thread for every core but one (at least one) and runs
// until StopWorkers, which the texture service calls when the library ends (never from
// DllMain: a thread cannot be started or joined under the loader lock). A batch is a function run for the indices 0 to count - 1,
// in any order and on any thread; the thread that waits for a batch runs its indices too, so a
// batch finishes even when no worker could be started.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

namespace vela::codec {

class JobBatch {
 public:
  JobBatch(std::size_t count, std::function<void(std::size_t)> job) : job_(std::move(job)), count_(count) {}
  JobBatch(const JobBatch&) = delete;
  JobBatch& operator=(const JobBatch&) = delete;

 private:
  friend class WorkerPool;
  friend void WaitFor(JobBatch& batch);
  // Runs indices until none is left to take.
  void RunSome();
  // Runs one index if one is left to take.
  void RunOne();

  std::function<void(std::size_t)> job_;
  std::size_t count_;
  std::atomic<std::size_t> next_{0};
  std::size_t runners_ = 0;  // workers inside RunSome; guarded by the pool's mutex
};

// Queues `batch` on the shared pool (started here on first use). The batch must stay alive
// until WaitFor answers. Without a pool (no thread could start) nothing is queued and WaitFor
// runs the whole batch. The jobs must not throw.
void Post(JobBatch& batch);
// Runs what is left of `batch` on this thread, then, until its every index has finished, runs
// indices of the batches queued after it.
void WaitFor(JobBatch& batch);

// Joins the workers; the next Post starts them again.
void StopWorkers();

}  // namespace vela::codec
