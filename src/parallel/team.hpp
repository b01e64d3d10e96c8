#pragma once

// The one place that starts worker threads. A team shares out numbered tasks
// (or blocks of a range of samples or pairs) among its threads and waits for
// them; a background job runs beside the caller until it is waited for. What
// the tasks compute is the caller's business: a task must not depend on which
// thread runs it or on the order in which tasks run, so that results are the
// same for every team size.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace parallel {

// The threads the machine runs at once, at least 1.
int hardware_threads();

class Team {
 public:
  // threads below 1 count as 1; a team of 1 runs every task on the caller.
  explicit Team(int threads);
  ~Team();
  Team(const Team&) = delete;
  Team& operator=(const Team&) = delete;

  int size() const { return static_cast<int>(workers_.size()) + 1; }

  // Calls task(k) once for every k in [0, tasks), spread over the team with
  // the caller taking part, and returns when all have returned. Tasks are
  // started in the order of k, and a thread finishes a task before it takes
  // another, so a task may wait for one of a lower k (a team of 1 runs them
  // one after the other). When tasks throw, all tasks still run, and the
  // exception of the lowest k is thrown here. Not to be called from inside a
  // task.
  void run(std::size_t tasks, const std::function<void(std::size_t)>& task);

  // Cuts [0, count) into consecutive blocks of at least min_block indices
  // (the last may be shorter), a few per thread so that a thread held up by
  // the machine delays little, and calls work(first, last) for each block
  // [first, last) as a task of run().
  void for_blocks(std::size_t count, std::size_t min_block,
                  const std::function<void(std::size_t, std::size_t)>& work);

 private:
  struct Job;
  void serve();
  static void take_tasks(Job& job);

  std::vector<std::thread> workers_;
  std::mutex job_mutex_;
  std::shared_ptr<Job> job_;                  // the latest job, kept alive by whoever holds it
  std::atomic<std::uint32_t> generation_{0};  // advanced for every job and for the end
  std::atomic<bool> ending_{false};
};

// One job on a thread of its own, started at construction. wait() returns
// when the job is done and throws what it threw; the destructor waits too,
// dropping any exception (call wait() to see it).
class Background {
 public:
  explicit Background(std::function<void()> job);
  ~Background();
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;

  // True once the job has ended, whether or not it threw.
  bool done() const { return done_.load(); }
  void wait();

 private:
  std::exception_ptr error_;
  std::atomic<bool> done_{false};
  std::thread thread_;  // last: it starts when built, and uses the others
};

}  // namespace parallel
