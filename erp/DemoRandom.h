#pragma once

#include <cstdint>
#include <vector>

namespace quill::erp {

// The demo generator's source of chance: splitmix64, with its own ranges, so
// that one seed gives the same company with any compiler or library.
class DemoRandom {
 public:
  explicit DemoRandom(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next();
  // A whole number from low to high, both included.
  int between(int low, int high);
  // True with the given chance (0 to 1).
  bool chance(double probability);
  // A number from low to high with the given decimals, e.g. 0.3125.
  double amount(double low, double high, int decimals);

  template <typename T>
  const T& pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(between(0, static_cast<int>(items.size()) - 1))];
  }

 private:
  std::uint64_t state_;
};

}  // namespace quill::erp
