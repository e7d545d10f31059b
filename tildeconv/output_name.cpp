#include "output_name.h"

namespace quillmar::tildeconv {

std::string outputFileName(const std::string& sourceName) {
  std::string name = sourceName;
  for (const char letter : {'l', 'm', 't', 'h'}) {
    while (!name.empty() && name.back() == letter) {
      name.pop_back();
    }
  }
  return name + "syn";
}

}  // namespace quillmar::tildeconv
