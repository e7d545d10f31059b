// localtime_r fills the caller's record instead of the one shared by the whole process.
#include "local_time.h"

namespace quillmar::platform {

std::tm localTime(std::time_t when) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) {
    return std::tm{};
  }
  return local;
}

}  // namespace quillmar::platform
