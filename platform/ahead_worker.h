#pragma once
// Work done ahead on a second processor. Start-up and a scene change load pictures and sounds one after
// another on the main thread: decoding them, and making each picture ready for its texture, costs far
// more than what the main thread must do itself. A worker takes that work as soon as it is known, beside
// the main thread's; what the main thread needs before the worker reached it is taken back and done
// there. The results are the same whichever thread ran.
#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace sylvora {

// One piece of work the worker can run. Its owner must not touch what Run reads or writes from Queue
// until Claim returns.
class AheadJob {
 public:
  virtual ~AheadJob() = default;
  // Does the work; on the worker's thread, or on the caller's where the owner runs it itself.
  virtual void Run() = 0;

 private:
  friend class AheadWorker;
  enum class State { Idle, Queued, Running, Done };
  State state_ = State::Idle;
};

// One background thread and its queue, owned by the native display layer (pictures made ready for their
// textures), the video object (pictures decoded ahead) and the OpenAL sound library (sounds decoded
// ahead). The thread starts at the first Queue and
// is joined by the destructor, after the job it is running; queued jobs are dropped.
class AheadWorker {
 public:
  // The most jobs waiting at once; a job that finds the queue full is left for its owner to run.
  static constexpr int kMaxQueuedJobs = 128;
  // Which queued job runs next: the newest where the main thread takes the oldest first (it draws a
  // scene's pictures before the creatures loaded earlier; it decodes the sounds it loads first itself,
  // meeting the worker half-way), the oldest where it takes them in the order queued (a loader's
  // pictures).
  enum class Order { NewestFirst, OldestFirst };

  explicit AheadWorker(Order order) : order_(order) {}
  ~AheadWorker();
  AheadWorker(const AheadWorker&) = delete;
  AheadWorker& operator=(const AheadWorker&) = delete;

  // Hands job to the worker, to run in the worker's order. False when it is queued, running or done
  // already, or when the queue is full.
  bool Queue(AheadJob& job);
  // Takes job back from the worker: a queued job is taken off the queue unrun, a running one is waited
  // for. True when the worker ran it since it was queued. Either way the job is the owner's again.
  bool Claim(AheadJob& job);
  // Waits until job has run, where it is queued or running: for owners that take their jobs in the
  // order they queued them, so that the one they want is the worker's next. True when it ran; the job
  // is the owner's again.
  bool Await(AheadJob& job);
  // Whether job is queued or running: Claim would take it off the queue or wait for it.
  bool Holds(const AheadJob& job);

 private:
  // The worker's loop: runs queued jobs until the destructor stops it.
  void Serve();
  // Removes a queued job from the queue, keeping the others' order; under mutex_.
  void TakeOffQueue(AheadJob& job);

  const Order order_;
  std::mutex mutex_;
  std::condition_variable wake_;  // a job was queued, or the worker must stop
  std::condition_variable ran_;   // a job finished running
  std::array<AheadJob*, kMaxQueuedJobs> queue_{};
  int queued_ = 0;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace sylvora
