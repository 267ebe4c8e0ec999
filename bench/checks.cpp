// Throughput of the number checks: CPF and CGC check digits and the card number test per call.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/MORTypes.h"
#include "validation/MorVerifyCard.h"

namespace {

constexpr std::size_t kInputCount = 4096;

// Random digit strings with a valid ending on every other entry, so that both verdicts are
// measured and the branch predictor cannot learn the answer.
template <typename Check>
std::vector<std::string> MakeNumbers(std::size_t length, Check check) {
  std::mt19937 random(20240501);
  std::uniform_int_distribution<int> digit(0, 9);
  std::vector<std::string> numbers;
  numbers.reserve(kInputCount);
  while (numbers.size() < kInputCount) {
    std::string text(length, '0');
    for (char& c : text)
      c = char('0' + digit(random));
    const bool wantValid = numbers.size() % 2 == 0;
    for (int ending = 0; wantValid && ending < 100 && !check(text); ++ending) {
      text[length - 2] = char('0' + ending / 10);
      text[length - 1] = char('0' + ending % 10);
    }
    numbers.push_back(text);
  }
  return numbers;
}

template <typename Check>
void RunChecks(benchmark::State& state, const std::vector<std::string>& numbers, Check check) {
  std::size_t index = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(check(numbers[index]));
    index = (index + 1) % numbers.size();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ValidaCPF(benchmark::State& state) {
  static const auto numbers = MakeNumbers(11, [](const std::string& t) { return ValidaCPF(t); });
  RunChecks(state, numbers, [](const std::string& t) { return ValidaCPF(t); });
}
BENCHMARK(BM_ValidaCPF);

void BM_ValidaCGC(benchmark::State& state) {
  static const auto numbers = MakeNumbers(14, [](const std::string& t) { return ValidaCGC(t); });
  RunChecks(state, numbers, [](const std::string& t) { return ValidaCGC(t); });
}
BENCHMARK(BM_ValidaCGC);

// The same numbers as the masked fields show them, with the digits kept before the check as
// the main window does: the kind of input that general-purpose validators take.
std::vector<std::string> Punctuated(std::vector<std::string> numbers,
                                    const std::vector<std::pair<std::size_t, char>>& marks) {
  for (std::string& text : numbers) {
    for (auto mark = marks.rbegin(); mark != marks.rend(); ++mark)
      text.insert(mark->first, 1, mark->second);
  }
  return numbers;
}

// Keeps at most 32 digits, more than either number has, in a buffer on the stack.
template <typename Check>
bool CheckDigitsOf(const std::string& text, Check check) {
  std::array<char, 32> digits;
  std::size_t count = 0;
  for (const char c : text)
    if (c >= '0' && c <= '9' && count < digits.size()) digits[count++] = c;
  return check(std::string_view(digits.data(), count));
}

void BM_ValidaCPFMasked(benchmark::State& state) {
  static const auto numbers =
      Punctuated(MakeNumbers(11, [](const std::string& t) { return ValidaCPF(t); }),
                 {{3, '.'}, {6, '.'}, {9, '-'}});
  RunChecks(state, numbers, [](const std::string& t) { return CheckDigitsOf(t, ValidaCPF); });
}
BENCHMARK(BM_ValidaCPFMasked);

void BM_ValidaCGCMasked(benchmark::State& state) {
  static const auto numbers =
      Punctuated(MakeNumbers(14, [](const std::string& t) { return ValidaCGC(t); }),
                 {{2, '.'}, {5, '.'}, {8, '/'}, {12, '-'}});
  RunChecks(state, numbers, [](const std::string& t) { return CheckDigitsOf(t, ValidaCGC); });
}
BENCHMARK(BM_ValidaCGCMasked);

// Card numbers as a user types them, in groups of four with blanks, half of them good.
void BM_CardNumber(benchmark::State& state) {
  static const auto numbers = [] {
    auto digits = MakeNumbers(
        16, [](const std::string& t) { return TMorVerifyCard::IsCardNumberValid(t, ccOther); });
    for (std::string& text : digits) {
      text = text.substr(0, 4) + ' ' + text.substr(4, 4) + ' ' + text.substr(8, 4) + ' ' +
             text.substr(12, 4);
    }
    return digits;
  }();
  RunChecks(state, numbers,
            [](const std::string& t) { return TMorVerifyCard::IsCardNumberValid(t, ccOther); });
}
BENCHMARK(BM_CardNumber);

}  // namespace
