#include "platform/ahead_worker.h"

#include <algorithm>

namespace sylvora {

AheadWorker::~AheadWorker() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

bool AheadWorker::Queue(AheadJob& job) {
  {
    const std::lock_guard lock(mutex_);
    if (job.state_ != AheadJob::State::Idle || queued_ == kMaxQueuedJobs) return false;
    job.state_ = AheadJob::State::Queued;
    queue_[queued_++] = &job;
    if (!thread_.joinable()) thread_ = std::thread(&AheadWorker::Serve, this);
  }
  wake_.notify_one();
  return true;
}

bool AheadWorker::Claim(AheadJob& job) {
  std::unique_lock lock(mutex_);
  if (job.state_ == AheadJob::State::Queued) TakeOffQueue(job);
  ran_.wait(lock, [&job] { return job.state_ != AheadJob::State::Running; });
  const bool ran = job.state_ == AheadJob::State::Done;
  job.state_ = AheadJob::State::Idle;
  return ran;
}

void AheadWorker::TakeOffQueue(AheadJob& job) {
  AheadJob** const end = queue_.begin() + queued_;
  AheadJob** const place = std::find(queue_.begin(), end, &job);
  std::copy(place + 1, end, place);
  --queued_;
}

bool AheadWorker::Await(AheadJob& job) {
  std::unique_lock lock(mutex_);
  ran_.wait(lock, [&job] { return job.state_ != AheadJob::State::Queued && job.state_ != AheadJob::State::Running; });
  const bool ran = job.state_ == AheadJob::State::Done;
  job.state_ = AheadJob::State::Idle;
  return ran;
}

bool AheadWorker::Holds(const AheadJob& job) {
  const std::lock_guard lock(mutex_);
  return job.state_ == AheadJob::State::Queued || job.state_ == AheadJob::State::Running;
}

void AheadWorker::Serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || queued_ > 0; });
    if (stopping_) return;
    AheadJob* job = queue_[order_ == Order::NewestFirst ? queued_ - 1 : 0];
    TakeOffQueue(*job);
    job->state_ = AheadJob::State::Running;
    lock.unlock();
    job->Run();
    lock.lock();
    job->state_ = AheadJob::State::Done;
    ran_.notify_all();
  }
}

}  // namespace sylvora
