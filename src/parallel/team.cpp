#include "parallel/team.hpp"

#include <algorithm>
#include <utility>

namespace parallel {

int hardware_threads() {
  const unsigned threads = std::thread::hardware_concurrency();
  return threads == 0 ? 1 : static_cast<int>(threads);
}

Team::Team(int threads) {
  const int others = std::max(threads, 1) - 1;
  workers_.reserve(static_cast<std::size_t>(others));
  for (int w = 0; w < others; ++w) workers_.emplace_back([this] { serve(); });
}

Team::~Team() {
  ending_ = true;
  generation_.fetch_add(1);
  generation_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

// A worker sleeps until the generation moves on, helps with the job of that
// generation, and reports back.
void Team::serve() {
  std::uint32_t seen = 0;
  for (;;) {
    generation_.wait(seen);
    seen = generation_.load();
    if (ending_) return;
    take_tasks();
    if (busy_.fetch_sub(1) == 1) busy_.notify_all();
  }
}

void Team::take_tasks() {
  for (std::size_t k = next_.fetch_add(1); k < tasks_; k = next_.fetch_add(1)) {
    try {
      (*task_)(k);
    } catch (...) {
      keep_error(k);
    }
  }
}

void Team::keep_error(std::size_t k) {
  const std::lock_guard<std::mutex> lock(error_mutex_);
  if (!error_ || k < error_task_) {
    error_ = std::current_exception();
    error_task_ = k;
  }
}

void Team::run(std::size_t tasks, const std::function<void(std::size_t)>& task) {
  task_ = &task;
  tasks_ = tasks;
  error_ = nullptr;
  next_.store(0);
  // Workers are only woken when there is more than one task to share.
  const bool share = !workers_.empty() && tasks > 1;
  if (share) {
    busy_.store(static_cast<int>(workers_.size()));
    generation_.fetch_add(1);
    generation_.notify_all();
  }
  take_tasks();
  if (share) {
    for (int busy = busy_.load(); busy != 0; busy = busy_.load()) busy_.wait(busy);
  }
  task_ = nullptr;
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
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
