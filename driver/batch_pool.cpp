#include "driver/batch_pool.h"

#include <utility>

namespace quillon {

BatchPool::BatchPool(const std::vector<MovieJob>& jobs, ProgramWork work, unsigned threads)
    : jobs_(jobs), work_(work), outcomes_(jobs.size()), done_(jobs.size(), false) {
  for (unsigned i = 0; i < threads && i < jobs.size(); ++i) {
    try {
      threads_.emplace_back([this] { Work(); });
    } catch (...) {
      break;  // the threads started so far do the work
    }
  }
}

BatchPool::~BatchPool() {
  for (std::thread& thread : threads_) thread.join();
}

MovieOutcome BatchPool::RunJob(const MovieJob& job) const {
  if (!job.movie.is_movie) return {};
  // What cannot be kept for lack of memory leaves an empty message, which the batch line fills.
  try {
    CapturedOutput output;
    const int exit_code = RunMovie(job.line, work_, output);
    output.outcome().exit_code = exit_code;
    return std::move(output.outcome());
  } catch (...) {
    return {};
  }
}

void BatchPool::Work() {
  for (;;) {
    size_t index = 0;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (next_ == jobs_.size()) return;
      index = next_++;
    }
    MovieOutcome outcome = RunJob(jobs_[index]);
    const std::lock_guard<std::mutex> lock(mutex_);
    outcomes_[index] = std::move(outcome);
    done_[index] = true;
    ++finished_;
    changed_.notify_all();
  }
}

MovieOutcome BatchPool::Wait(size_t index, const std::function<void(size_t)>& finished) {
  if (threads_.empty()) Work();
  std::unique_lock<std::mutex> lock(mutex_);
  size_t told = finished_;
  while (!done_[index]) {
    changed_.wait(lock, [&] { return finished_ != told; });
    told = finished_;
    lock.unlock();
    finished(told);
    lock.lock();
  }
  return std::move(outcomes_[index]);
}

}  // namespace quillon
