// RandomSource: the one source of random draws of a Brain. Every choice the
// engine makes at random takes a draw from here, modulo the number of choices,
// so a fixed seed repeats a whole conversation.
#pragma once

#include <cstdint>
#include <random>

namespace vesko {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A draw from 0 to 2^31 - 1.
  virtual std::uint32_t draw() = 0;
};

// The standard engine behind a seed.
class SeededRandom final : public RandomSource {
 public:
  explicit SeededRandom(std::uint32_t seed) : engine_(seed) {}
  std::uint32_t draw() override { return static_cast<std::uint32_t>(engine_()) & 0x7fffffffu; }

 private:
  std::mt19937 engine_;
};

}  // namespace vesko
