#pragma once
// The movies of a batch run in threads, their outcomes handed over in the folder's order.

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "driver/batch.h"

namespace quillon {

class BatchPool {
 public:
  // Starts up to `threads` threads over `jobs`, which must outlive the pool; with none to be had
  // the jobs run on the caller's thread at the first Wait.
  BatchPool(const std::vector<MovieJob>& jobs, ProgramWork work, unsigned threads);
  // Lets every job finish.
  ~BatchPool();
  BatchPool(const BatchPool&) = delete;
  BatchPool& operator=(const BatchPool&) = delete;

  // The outcome of job `index` once it has finished; `finished` is called with the count of
  // finished jobs whenever it grows meanwhile.
  MovieOutcome Wait(size_t index, const std::function<void(size_t)>& finished);

 private:
  void Work();
  MovieOutcome RunJob(const MovieJob& job) const;

  const std::vector<MovieJob>& jobs_;
  const ProgramWork work_;
  std::mutex mutex_;
  std::condition_variable changed_;
  size_t next_ = 0;  // the next job to take
  size_t finished_ = 0;
  std::vector<MovieOutcome> outcomes_;
  std::vector<bool> done_;
  std::vector<std::thread> threads_;
};

}  // namespace quillon
