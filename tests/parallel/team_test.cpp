// The thread team and the background job: every task runs exactly once,
// blocks tile their range, failures reach the caller, and a team serves job
// after job without losing a wake-up.

#include "parallel/team.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

TEST(Team, RunsEveryTaskExactlyOnceWhateverItsSize) {
  for (const int threads : {1, 2, 5}) {
    parallel::Team team(threads);
    EXPECT_EQ(team.size(), threads);
    std::vector<std::atomic<int>> runs(1000);
    team.run(runs.size(), [&](std::size_t k) { runs[k].fetch_add(1); });
    for (std::size_t k = 0; k < runs.size(); ++k) {
      ASSERT_EQ(runs[k].load(), 1) << "task " << k << ", " << threads << " threads";
    }
  }
  EXPECT_EQ(parallel::Team(0).size(), 1);
}

// A task may wait for one of a lower number: it has been started (on one
// thread, it has run).
TEST(Team, ATaskMayWaitForAnEarlierOne) {
  for (const int threads : {1, 2, 5}) {
    parallel::Team team(threads);
    for (int round = 0; round < 200; ++round) {
      std::atomic<bool> first_done{false};
      int seen = 0;
      team.run(2, [&](std::size_t k) {
        if (k == 0) {
          first_done.store(true);
          first_done.notify_all();
        } else {
          first_done.wait(false);
          seen = 1;
        }
      });
      ASSERT_EQ(seen, 1);
    }
  }
}

TEST(Team, BlocksTileTheRangeAndKeepTheirSmallestSize) {
  parallel::Team team(3);
  for (const auto& [count, min_block] : std::vector<std::pair<std::size_t, std::size_t>>{
           {0, 1}, {1, 1}, {10, 4}, {5000, 256}, {12497500, 16384}, {7, 100}}) {
    std::mutex mutex;
    std::vector<std::pair<std::size_t, std::size_t>> blocks;
    team.for_blocks(count, min_block, [&](std::size_t first, std::size_t last) {
      const std::lock_guard<std::mutex> lock(mutex);
      blocks.emplace_back(first, last);
    });
    std::sort(blocks.begin(), blocks.end());
    std::size_t next = 0;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      EXPECT_EQ(blocks[b].first, next) << count;
      EXPECT_LT(blocks[b].first, blocks[b].second) << count;
      if (b + 1 < blocks.size()) {
        EXPECT_GE(blocks[b].second - blocks[b].first, min_block);
      }
      next = blocks[b].second;
    }
    EXPECT_EQ(next, count);
  }
}

TEST(Team, FailuresLetTheOtherTasksRunAndTheLowestReachesTheCaller) {
  parallel::Team team(4);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::atomic<int>> runs(40);
    try {
      team.run(runs.size(), [&](std::size_t k) {
        runs[k].fetch_add(1);
        if (k == 31 || k == 7 || k == 12) throw std::runtime_error("task " + std::to_string(k));
      });
      FAIL() << "no failure passed on";
    } catch (const std::runtime_error& failure) {
      EXPECT_STREQ(failure.what(), "task 7");
    }
    for (const auto& r : runs) EXPECT_EQ(r.load(), 1);
  }
  // The team goes on working after a failure.
  std::atomic<int> sum{0};
  team.run(10, [&](std::size_t k) { sum += static_cast<int>(k); });
  EXPECT_EQ(sum.load(), 45);
}

// Short jobs one after another, as an iteration gives them: a wake-up lost
// between two jobs would hang here (and the test time out).
TEST(Team, ServesManyShortJobsInARow) {
  parallel::Team team(3);
  std::vector<long> cells(64, 0);
  for (int job = 0; job < 5000; ++job) {
    team.run(cells.size(), [&](std::size_t k) { cells[k] += job; });
  }
  for (const long cell : cells) EXPECT_EQ(cell, 4999L * 5000 / 2);
}

TEST(Background, RunsBesideTheCallerAndPassesOnItsFailure) {
  std::atomic<bool> go{false};
  int result = 0;
  parallel::Background job([&] {
    while (!go.load()) std::this_thread::yield();
    result = 42;
  });
  EXPECT_FALSE(job.done());
  go = true;
  job.wait();
  EXPECT_TRUE(job.done());
  EXPECT_EQ(result, 42);
  job.wait();  // a second wait returns at once

  parallel::Background failing([] { throw std::runtime_error("disk full"); });
  try {
    failing.wait();
    FAIL() << "the failure was lost";
  } catch (const std::runtime_error& failure) {
    EXPECT_STREQ(failure.what(), "disk full");
  }
}

TEST(Background, IsWaitedForWhenDropped) {
  std::atomic<bool> finished{false};
  {
    parallel::Background job([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      finished = true;
    });
  }
  EXPECT_TRUE(finished.load());
}

}  // namespace
