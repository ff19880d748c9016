// Event delivery of the engine: queued from any thread, delivered on the
// draining thread in order, never after the player closed or to a sink that
// was unadvised.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "mediaengine/base/event_hub.h"
#include "mediaengine/base/event_queue.h"

namespace {

class RecordingSink : public wmp::PlayerEventsBase {
 public:
  void CdromMediaChange(long index) override { drives.push_back(index); }
  void PositionChange(double, double newPosition) override { positions.push_back(newPosition); }
  std::vector<long> drives;
  std::vector<double> positions;
};

TEST(EngineEvents, DeliversOnDrainInPostedOrderFromManyThreads) {
  mediaengine::EventQueue queue;
  std::atomic<int> wakeUps{0};  // posted from many threads at once
  queue.SetWakeUp([&wakeUps] { ++wakeUps; });
  mediaengine::EventHub hub(queue);
  auto sink = std::make_shared<RecordingSink>();
  std::uint32_t cookie = 0;
  ASSERT_EQ(hub.Advise(sink, &cookie), wmp::kOk);

  hub.Raise([](wmp::IPlayerEvents& s) { s.CdromMediaChange(0); });
  EXPECT_TRUE(sink->drives.empty()) << "nothing reaches the sink before the drain";
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([&hub, t] {
      for (int i = 0; i < 100; ++i) {
        hub.Raise([t, i](wmp::IPlayerEvents& s) { s.PositionChange(0, t * 1000 + i); });
      }
    });
  }
  for (auto& worker : workers) worker.join();
  EXPECT_EQ(queue.Drain(), 401);
  EXPECT_EQ(wakeUps, 401);
  EXPECT_EQ(sink->drives, std::vector<long>{0});
  ASSERT_EQ(sink->positions.size(), 400u);
  std::vector<double> last(4, -1);
  for (double p : sink->positions) {
    const int thread = static_cast<int>(p) / 1000;
    EXPECT_GT(p, last[thread]) << "each worker's events keep their order";
    last[thread] = p;
  }
}

TEST(EngineEvents, UnadvisedSinksAndClosedHubsGetNothing) {
  mediaengine::EventQueue queue;
  mediaengine::EventHub hub(queue);
  auto first = std::make_shared<RecordingSink>();
  auto second = std::make_shared<RecordingSink>();
  std::uint32_t a = 0, b = 0;
  ASSERT_EQ(hub.Advise(first, &a), wmp::kOk);
  ASSERT_EQ(hub.Advise(second, &b), wmp::kOk);
  EXPECT_NE(a, b);
  EXPECT_EQ(hub.Advise(first, nullptr), wmp::kPointer);
  EXPECT_EQ(hub.Advise(nullptr, &a), wmp::kInvalidArg);

  hub.Raise([](wmp::IPlayerEvents& s) { s.CdromMediaChange(1); });
  EXPECT_EQ(hub.Unadvise(b), wmp::kOk);
  EXPECT_EQ(hub.Unadvise(b), wmp::kInvalidArg);
  queue.Drain();
  EXPECT_EQ(first->drives, std::vector<long>{1});
  EXPECT_TRUE(second->drives.empty()) << "unadvised before the event was delivered";

  hub.Raise([](wmp::IPlayerEvents& s) { s.CdromMediaChange(2); });
  hub.Close();
  queue.Drain();
  EXPECT_EQ(first->drives, std::vector<long>{1}) << "queued before close, dropped after";
  hub.Raise([](wmp::IPlayerEvents& s) { s.CdromMediaChange(3); });
  EXPECT_TRUE(queue.Empty());
  std::uint32_t c = 0;
  EXPECT_LT(hub.Advise(first, &c), 0);
}

TEST(EngineEvents, ASinkThatDrainsAgainDoesNotReorderEvents) {
  mediaengine::EventQueue queue;
  mediaengine::EventHub hub(queue);
  struct Reentrant : RecordingSink {
    mediaengine::EventQueue* queue = nullptr;
    void CdromMediaChange(long index) override {
      drives.push_back(index);
      EXPECT_EQ(queue->Drain(), 0) << "a nested drain (modal loop) runs nothing";
    }
  };
  auto sink = std::make_shared<Reentrant>();
  sink->queue = &queue;
  std::uint32_t cookie = 0;
  hub.Advise(sink, &cookie);
  hub.Raise([](wmp::IPlayerEvents& s) { s.CdromMediaChange(1); });
  hub.Raise([](wmp::IPlayerEvents& s) { s.CdromMediaChange(2); });
  EXPECT_EQ(queue.Drain(), 2);
  EXPECT_EQ(sink->drives, (std::vector<long>{1, 2}));
}

TEST(EngineEvents, TheQueueKeepsDrainingAfterATaskThrows) {
  mediaengine::EventQueue queue;
  std::vector<int> ran;
  queue.Post([&ran] { ran.push_back(1); });
  queue.Post([] { throw std::runtime_error("a sink failed"); });
  queue.Post([&ran] { ran.push_back(3); });
  EXPECT_THROW(queue.Drain(), std::runtime_error);
  EXPECT_EQ(ran, std::vector<int>{1});
  EXPECT_FALSE(queue.Empty()) << "the task behind the failed one waits for the next drain";

  EXPECT_EQ(queue.Drain(), 1);
  queue.Post([&ran] { ran.push_back(4); });
  EXPECT_EQ(queue.Drain(), 1) << "a failed drain leaves the queue usable";
  EXPECT_EQ(ran, (std::vector<int>{1, 3, 4}));
  EXPECT_TRUE(queue.Empty());
}

}  // namespace
