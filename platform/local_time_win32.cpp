// localtime_s fills the caller's record instead of the runtime's shared one.
#include <time.h>

#include "local_time.h"

namespace quillmar::platform {

std::tm localTime(std::time_t when) {
  std::tm local{};
  if (localtime_s(&local, &when) != 0) {
    return std::tm{};
  }
  return local;
}

}  // namespace quillmar::platform
