// How far a picture that one thread is still filling, top row first, is ready for another thread to read.
#pragma once

#include <atomic>
#include <climits>

namespace mozenta {

class RowsReady {
 public:
  // 0: the picture has its size and store, no row yet; more: rows 0..rows − 1 are written. What was written
  // before is visible to the thread that waits for them.
  void Publish(int rows) {
    rows_.store(rows, std::memory_order_release);
    rows_.notify_all();
  }
  // No more rows will come (the filling ended, well or not): every wait returns.
  void PublishAll() { Publish(INT_MAX); }

  // Blocks until at least `rows` rows are ready; WaitFor(0) until the picture is made.
  void WaitFor(int rows) const {
    int ready = rows_.load(std::memory_order_acquire);
    while (ready < rows) {
      rows_.wait(ready, std::memory_order_acquire);
      ready = rows_.load(std::memory_order_acquire);
    }
  }

 private:
  std::atomic<int> rows_{-1};  // −1: not made yet
};

}  // namespace mozenta
