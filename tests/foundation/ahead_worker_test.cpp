// The worker's bargain with a job's owner: what Claim returns decides whether the owner uses the job's
// results or runs it itself, so a wrong answer shows a picture half made or made twice.
#include "platform/ahead_worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <mutex>
#include <vector>

namespace sylvora {
namespace {

// Notes its number in a shared order as it runs; a gated job first waits until the test opens its gate.
struct NumberedJob final : AheadJob {
  NumberedJob(int number, std::vector<int>& order, std::mutex& orderMutex)
      : number(number), order(order), orderMutex(orderMutex) {}
  void Run() override {
    started.set_value();
    if (gated) gate.get_future().wait();
    const std::lock_guard lock(orderMutex);
    order.push_back(number);
  }
  int number;
  std::vector<int>& order;
  std::mutex& orderMutex;
  bool gated = false;
  std::promise<void> started;
  std::promise<void> gate;
};

// Queues three jobs behind a running one, takes one back unrun, claims the running one and awaits the
// rest.
void ClaimsInOrder(AheadWorker::Order workerOrder, const std::vector<int>& expected) {
  std::vector<int> order;
  std::mutex orderMutex;
  NumberedJob running(0, order, orderMutex), older(1, order, orderMutex), taken(2, order, orderMutex),
      newest(3, order, orderMutex);
  running.gated = true;
  AheadWorker worker(workerOrder);
  ASSERT_TRUE(worker.Queue(running));
  running.started.get_future().wait();
  for (NumberedJob* job : {&older, &taken, &newest}) ASSERT_TRUE(worker.Queue(*job));
  EXPECT_FALSE(worker.Queue(older)) << "a job already queued is not queued twice";
  EXPECT_TRUE(worker.Holds(running));
  EXPECT_TRUE(worker.Holds(taken));

  EXPECT_FALSE(worker.Claim(taken)) << "a queued job comes back unrun";
  EXPECT_FALSE(worker.Holds(taken));
  auto claimed = std::async(std::launch::async, [&] { return worker.Claim(running); });
  EXPECT_EQ(claimed.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout)
      << "Claim returned while its job was still running";
  running.gate.set_value();
  EXPECT_TRUE(claimed.get());
  EXPECT_TRUE(worker.Await(older)) << "a queued job is waited for until it has run";
  EXPECT_TRUE(worker.Await(newest));
  EXPECT_EQ(order, expected);
}

TEST(AheadWorkerTest, ClaimTakesBackWhatWaitsWaitsForWhatRunsAndTheOrderIsKept) {
  for (const auto& [workerOrder, expected] : {std::pair{AheadWorker::Order::NewestFirst, std::vector<int>{0, 3, 1}},
                                              std::pair{AheadWorker::Order::OldestFirst, std::vector<int>{0, 1, 3}}}) {
    SCOPED_TRACE(workerOrder == AheadWorker::Order::NewestFirst ? "newest first" : "oldest first");
    ClaimsInOrder(workerOrder, expected);
  }
}

// The owner of a refused job runs it itself; the worker's end waits for the job it is running.
TEST(AheadWorkerTest, AFullQueueRefusesAJobAndTheEndWaitsForTheRunningOne) {
  std::vector<int> order;
  std::mutex orderMutex;
  std::vector<std::unique_ptr<NumberedJob>> jobs;
  for (int number = 0; number <= AheadWorker::kMaxQueuedJobs + 1; ++number) {
    jobs.push_back(std::make_unique<NumberedJob>(number, order, orderMutex));
  }
  jobs[0]->gated = true;
  {
    AheadWorker worker(AheadWorker::Order::NewestFirst);
    ASSERT_TRUE(worker.Queue(*jobs[0]));
    jobs[0]->started.get_future().wait();
    for (int number = 1; number <= AheadWorker::kMaxQueuedJobs; ++number) ASSERT_TRUE(worker.Queue(*jobs[number]));
    EXPECT_FALSE(worker.Queue(*jobs.back())) << "a job past the queue's capacity";
    jobs[0]->gate.set_value();
  }
  const std::lock_guard lock(orderMutex);
  ASSERT_FALSE(order.empty());
  EXPECT_EQ(order.front(), 0);
  EXPECT_EQ(std::count(order.begin(), order.end(), AheadWorker::kMaxQueuedJobs + 1), 0);
}

}  // namespace
}  // namespace sylvora
