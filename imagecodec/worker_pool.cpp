#include "imagecodec/worker_pool.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vela::codec {

// The shared pool. Posting and waiting happen on the library's one thread; the workers take
// indices of the queued batches.
class WorkerPool {
 public:
  static constexpr unsigned kMaxWorkers = 8;

  // One core is left to the thread that posts: it decodes the next band while the workers
  // encode, and the decoding is what the whole load waits for. A worker on every core would
  // take turns with it there (measured: a 2048 x 2048 PNG 25 % slower on two cores). At least
  // one worker, so that one core still overlaps decoding and encoding.
  WorkerPool() {
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 2u, kMaxWorkers + 1) - 1;
    try {
      for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      // Fewer workers (maybe none): the waiting thread runs what they do not.
    }
  }
  ~WorkerPool() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  bool HasWorkers() const { return !threads_.empty(); }

  void Post(JobBatch& batch) {
    {
      const std::lock_guard lock(mutex_);
      queue_.push_back(&batch);
    }
    wake_.notify_all();
  }

  // Once this thread has taken the last index and the batch is out of the queue, the batch is
  // done when no worker is inside it any more. Until then this thread takes indices of the
  // batches queued after it, one at a time, rather than sit idle while a worker finishes its
  // last index (measured under Wine: about 50 us at every band, which the decoding waited).
  void WaitFor(JobBatch& batch) {
    batch.RunSome();
    std::unique_lock lock(mutex_);
    std::erase(queue_, &batch);
    while (batch.runners_ != 0) {
      JobBatch* other = QueuedWithWork();
      if (!other) {
        finished_.wait(lock, [&] { return batch.runners_ == 0; });
        break;
      }
      RunUnlocked(lock, *other, &JobBatch::RunOne);
    }
  }

 private:
  JobBatch* QueuedWithWork() const {
    for (JobBatch* queued : queue_) {
      if (queued->next_.load() < queued->count_) return queued;
    }
    return nullptr;
  }

  void Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      JobBatch* batch = queue_.front();
      if (batch->next_.load() >= batch->count_) {
        queue_.pop_front();  // every index taken: the others finish it
        continue;
      }
      RunUnlocked(lock, *batch, &JobBatch::RunSome);
    }
  }

  // Runs `run` of `batch` with the lock released, counted among the batch's runners.
  void RunUnlocked(std::unique_lock<std::mutex>& lock, JobBatch& batch, void (JobBatch::*run)()) {
    ++batch.runners_;
    lock.unlock();
    (batch.*run)();
    lock.lock();
    if (--batch.runners_ == 0) finished_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable finished_;
  std::deque<JobBatch*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

namespace {

// Made on first use and destroyed only by StopWorkers: a static object's destructor would join
// the threads while the process or the DLL is being torn down.
WorkerPool* g_pool = nullptr;

WorkerPool* SharedPool() {
  if (!g_pool) g_pool = new WorkerPool;
  return g_pool;
}

}  // namespace

void JobBatch::RunSome() {
  for (std::size_t i = next_++; i < count_; i = next_++) job_(i);
}

void JobBatch::RunOne() {
  if (const std::size_t i = next_++; i < count_) job_(i);
}

void Post(JobBatch& batch) {
  WorkerPool* pool = SharedPool();
  if (pool->HasWorkers()) pool->Post(batch);
}

void WaitFor(JobBatch& batch) {
  if (g_pool) {
    g_pool->WaitFor(batch);
  } else {
    batch.RunSome();
  }
}

void StopWorkers() {
  delete g_pool;
  g_pool = nullptr;
}

}  // namespace vela::codec
