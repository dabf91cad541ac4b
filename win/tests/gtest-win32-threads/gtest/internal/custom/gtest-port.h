#pragma once
// GoogleTest's customisation point, found before its own empty one.
//
// The Windows toolchains' C++ library is built on Win32 threads and has no
// std::mutex or std::condition_variable. GoogleTest takes its mutexes from
// Win32 on Windows; only Notification, which it uses to test itself, is
// written on the standard ones, so it is given here on an atomic flag.

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
