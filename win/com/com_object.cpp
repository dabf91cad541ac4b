#include "com/com_object.h"

namespace frambolist::win {

std::atomic<long>& LiveObjectCount() {
  static std::atomic<long> count{0};
  return count;
}

std::atomic<long>& ServerLockCount() {
  static std::atomic<long> count{0};
  return count;
}

}  // namespace frambolist::win
