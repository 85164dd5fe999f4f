#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Threads that take the tasks of one job between them, the caller's thread among them,
// and sleep between jobs. A frame's work comes as jobs of a few tasks, a few a
// millisecond; a thread that has just finished a job waits a little while awake for the
// next before it sleeps, since waking a sleeping thread costs tens of microseconds.
class WorkerPool {
 public:
  // `threads` in all: threads - 1 are started here, the caller's is the last.
  explicit WorkerPool(int threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int threads() const { return int(workers_.size()) + 1; }

  // Runs task(t, thread) once for every t from 0 to tasks - 1, on the pool's threads and
  // the caller's, and returns once every task is done; `thread` (0 to threads() - 1)
  // tells which thread runs it, the caller's being 0. Which thread takes which task is
  // left to chance. The first exception a task throws is thrown here, once every task
  // has ended.
  void run(int tasks, const std::function<void(int task, int thread)>& task);

 private:
  void serve(int thread);
  void take(int thread);

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable finished_;
  const std::function<void(int, int)>* job_ = nullptr;
  int tasks_ = 0;
  std::atomic<int> nextTask_{0};
  std::atomic<std::uint64_t> generation_{0};  // one more for every job, and at the end
  int working_ = 0;                           // threads still on the job
  bool stopping_ = false;
  std::exception_ptr failure_;
};
