#include "parallel/team.hpp"

#include <algorithm>
#include <chrono>
#include <utility>

namespace parallel {

namespace {

// Watches value for a short while before the caller goes to sleep on it.
// Jobs come in quick succession (one iteration gives several), and a thread
// woken from sleep may take longer to get going than the job itself takes.
void watch_briefly(const std::atomic<std::uint32_t>& value, std::uint32_t old) {
  using Clock = std::chrono::steady_clock;
  constexpr auto watch = std::chrono::microseconds(100);
  const Clock::time_point until = Clock::now() + watch;
  while (value.load() == old && Clock::now() < until) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  }
}

}  // namespace

int hardware_threads() {
  const unsigned threads = std::thread::hardware_concurrency();
  return threads == 0 ? 1 : static_cast<int>(threads);
}

// One call of run(). Threads claim its tasks one at a time; the caller
// returns when every task is done, without waiting for workers that came too
// late to claim one (on a busy machine a worker may not get the processor for
// a while). A late worker still holds the job, so what it looks at stays
// valid, but finds nothing left to claim and never calls the task.
struct Team::Job {
  const std::function<void(std::size_t)>* task = nullptr;
  std::size_t tasks = 0;
  std::atomic<std::size_t> next{0};
  std::atomic<std::uint32_t> done{0};
  std::mutex error_mutex;
  std::exception_ptr error;
  std::size_t error_task = 0;
};

Team::Team(int threads) {
  const int others = std::max(threads, 1) - 1;
  workers_.reserve(static_cast<std::size_t>(others));
  for (int w = 0; w < others; ++w) workers_.emplace_back([this] { serve(); });
}

Team::~Team() {
  ending_.store(true);
  generation_.fetch_add(1);
  generation_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

// A worker sleeps until the generation moves on, then helps with the job of
// that moment.
void Team::serve() {
  std::uint32_t seen = 0;
  for (;;) {
    watch_briefly(generation_, seen);
    generation_.wait(seen);
    seen = generation_.load();
    if (ending_.load()) return;
    std::shared_ptr<Job> job;
    {
      const std::lock_guard<std::mutex> lock(job_mutex_);
      job = job_;
    }
    if (job) take_tasks(*job);
  }
}

void Team::take_tasks(Job& job) {
  for (std::size_t k = job.next.fetch_add(1); k < job.tasks; k = job.next.fetch_add(1)) {
    try {
      (*job.task)(k);
    } catch (...) {
      const std::lock_guard<std::mutex> lock(job.error_mutex);
      if (!job.error || k < job.error_task) {
        job.error = std::current_exception();
        job.error_task = k;
      }
    }
    if (job.done.fetch_add(1) + 1 == job.tasks) job.done.notify_all();
  }
}

void Team::run(std::size_t tasks, const std::function<void(std::size_t)>& task) {
  const auto job = std::make_shared<Job>();
  job->task = &task;
  job->tasks = tasks;
  // Workers are only woken when there is more than one task to share.
  if (!workers_.empty() && tasks > 1) {
    {
      const std::lock_guard<std::mutex> lock(job_mutex_);
      job_ = job;
    }
    generation_.fetch_add(1);
    generation_.notify_all();
  }
  take_tasks(*job);
  for (std::uint32_t done = job->done.load(); done != tasks; done = job->done.load()) {
    watch_briefly(job->done, done);
    job->done.wait(done);
  }
  {
    const std::lock_guard<std::mutex> lock(job_mutex_);
    if (job_ == job) job_.reset();
  }
  if (job->error) std::rethrow_exception(job->error);
}

void Team::for_blocks(std::size_t count, std::size_t min_block,
                      const std::function<void(std::size_t, std::size_t)>& work) {
  if (count == 0) return;
  constexpr std::size_t blocks_per_thread = 4;
  const std::size_t wanted = size() == 1 ? 1 : blocks_per_thread * static_cast<std::size_t>(size());
  const std::size_t block = std::max({std::size_t{1}, min_block, (count + wanted - 1) / wanted});
  const std::size_t blocks = (count + block - 1) / block;
  run(blocks, [&](std::size_t b) { work(b * block, std::min(count, (b + 1) * block)); });
}

Background::Background(std::function<void()> job)
    : thread_([this, job = std::move(job)] {
        try {
          job();
        } catch (...) {
          error_ = std::current_exception();
        }
        done_.store(true);
      }) {}

Background::~Background() {
  if (thread_.joinable()) thread_.join();
}

void Background::wait() {
  if (thread_.joinable()) thread_.join();
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

}  // namespace parallel
