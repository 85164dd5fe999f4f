#include "raster/worker_pool.h"

namespace {

// How long a thread between jobs looks for the next one before it sleeps: a few
// microseconds, far less than a frame, and about what waking it would cost.
constexpr int kSpins = 4000;

}  // namespace

WorkerPool::WorkerPool(int threads) {
  for (int t = 1; t < threads; ++t)
    workers_.emplace_back([this, t] { serve(t); });
}

WorkerPool::~WorkerPool() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    generation_.fetch_add(1);
  }
  wake_.notify_all();
  for (std::thread& worker : workers_)
    worker.join();
}

void WorkerPool::run(int tasks, const std::function<void(int, int)>& task) {
  {
    const std::lock_guard lock(mutex_);
    job_ = &task;
    tasks_ = tasks;
    nextTask_.store(0);
    working_ = int(workers_.size());
    generation_.fetch_add(1);
  }
  wake_.notify_all();
  take(0);
  std::unique_lock lock(mutex_);
  finished_.wait(lock, [this] { return working_ == 0; });
  job_ = nullptr;
  if (failure_) {
    const std::exception_ptr failure = failure_;
    failure_ = nullptr;
    lock.unlock();
    std::rethrow_exception(failure);
  }
}

void WorkerPool::serve(int thread) {
  std::uint64_t seen = 0;
  while (true) {
    for (int spin = 0; spin < kSpins && generation_.load() == seen; ++spin)
      std::this_thread::yield();
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return generation_.load() != seen; });
      if (stopping_) return;
      seen = generation_.load();
    }
    take(thread);
    const std::lock_guard lock(mutex_);
    if (--working_ == 0) finished_.notify_one();
  }
}

void WorkerPool::take(int thread) {
  for (int t = nextTask_.fetch_add(1); t < tasks_; t = nextTask_.fetch_add(1)) {
    try {
      (*job_)(t, thread);
    } catch (...) {
      const std::lock_guard lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
    }
  }
}
