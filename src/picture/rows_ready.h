// How far a picture that one thread is still filling, top row first, is ready for another thread to read.
#pragma once

#include <atomic>
#include <climits>

namespace mozenta {

class RowsReady {
 public:
  // Rows 0..rows − 1 are written; what was written before is visible to the thread that waits for them.
  void Publish(int rows) {
    rows_.store(rows, std::memory_order_release);
    rows_.notify_all();
  }
  // No more rows will come (the filling ended, well or not): every wait returns.
  void PublishAll() { Publish(INT_MAX); }

  // Blocks until at least `rows` rows are ready.
  void WaitFor(int rows) const {
    int ready = rows_.load(std::memory_order_acquire);
    while (ready < rows) {
      rows_.wait(ready, std::memory_order_acquire);
      ready = rows_.load(std::memory_order_acquire);
    }
  }

 private:
  std::atomic<int> rows_{0};
};

}  // namespace mozenta
