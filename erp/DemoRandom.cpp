#include "erp/DemoRandom.h"

#include <cmath>

namespace quill::erp {

std::uint64_t DemoRandom::next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

int DemoRandom::between(int low, int high) {
  if (high <= low) return low;
  auto span = static_cast<std::uint64_t>(high - low) + 1;
  return low + static_cast<int>(next() % span);
}

bool DemoRandom::chance(double probability) {
  return static_cast<double>(next() >> 11) * 0x1.0p-53 < probability;
}

double DemoRandom::amount(double low, double high, int decimals) {
  double scale = std::pow(10.0, decimals);
  auto from = static_cast<int>(std::llround(low * scale));
  auto to = static_cast<int>(std::llround(high * scale));
  return between(from, to) / scale;
}

}  // namespace quill::erp
