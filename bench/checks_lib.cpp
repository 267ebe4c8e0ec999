// Throughput of the command line's checks library: CPF and CNPJ (numeric and alphanumeric)
// check digits, typed numbers told apart and checked, and card numbers, per call.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>
#include <vector>

#include "checks/CardNumber.h"
#include "checks/NumberGenerator.h"
#include "checks/NumberMask.h"
#include "checks/NumberText.h"
#include "checks/TaxpayerNumber.h"

namespace {

using namespace checks;

constexpr std::size_t kInputCount = 4096;
constexpr std::uint64_t kSeed = 20240501;

// Generated numbers, every other one with its last check digit spoilt, so that both verdicts
// are measured and the branch predictor cannot learn the answer.
std::vector<std::string> MakeNumbers(TGeneratedKind kind, bool masked) {
  TNumberGenerator generator(kSeed);
  std::vector<std::string> numbers;
  numbers.reserve(kInputCount);
  std::string number;
  while (numbers.size() < kInputCount) {
    number.clear();
    generator.Append(kind, number);
    if (numbers.size() % 2 == 1) number.back() = number.back() == '9' ? '0' : number.back() + 1;
    std::string text;
    if (masked) {
      AppendMasked(text, kind == gkCpf ? nkCpf : nkCnpj, number);
    } else {
      text = number;
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
    // A compare rather than a remainder, whose division would cost as much as a check.
    if (++index == numbers.size()) index = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_CheckCpf(benchmark::State& state) {
  static const auto numbers = MakeNumbers(gkCpf, false);
  RunChecks(state, numbers, [](const std::string& t) { return CheckCpf(t); });
}
BENCHMARK(BM_CheckCpf);

void BM_CheckCnpj(benchmark::State& state) {
  static const auto numbers = MakeNumbers(gkCnpj, false);
  RunChecks(state, numbers, [](const std::string& t) { return CheckCnpj(t); });
}
BENCHMARK(BM_CheckCnpj);

void BM_CheckCnpjAlphanumeric(benchmark::State& state) {
  static const auto numbers = MakeNumbers(gkCnpjAlpha, false);
  RunChecks(state, numbers, [](const std::string& t) { return CheckCnpj(t); });
}
BENCHMARK(BM_CheckCnpjAlphanumeric);

// What the command line does with every line: the mask dropped, the kind told, the check run,
// over an even mix of CPFs and CNPJs with and without their masks.
void BM_CheckNumberMixed(benchmark::State& state) {
  static const auto numbers = [] {
    std::vector<std::string> mixed;
    const auto cpf = MakeNumbers(gkCpf, false);
    const auto cpfMasked = MakeNumbers(gkCpf, true);
    const auto cnpj = MakeNumbers(gkCnpj, false);
    const auto cnpjMasked = MakeNumbers(gkCnpjAlpha, true);
    for (std::size_t i = 0; i < kInputCount; i += 4) {
      mixed.insert(mixed.end(), {cpf[i], cnpjMasked[i + 1], cpfMasked[i + 2], cnpj[i + 3]});
    }
    return mixed;
  }();
  const TCheckOptions options;
  RunChecks(state, numbers, [&](const std::string& t) { return CheckNumber(t, options).Reason; });
}
BENCHMARK(BM_CheckNumberMixed);

void BM_CheckCardNumber(benchmark::State& state) {
  static const auto numbers = [] {
    std::vector<std::string> cards;
    for (std::size_t i = 0; cards.size() < kInputCount; ++i) {
      std::string base = "4" + std::to_string(100000000000000 + i * 7919);
      std::string number;
      CompleteCardNumber(base, number);
      if (i % 2 == 1) number.back() = number.back() == '9' ? '0' : number.back() + 1;
      cards.push_back(number);
    }
    return cards;
  }();
  RunChecks(state, numbers, [](const std::string& t) { return CheckCardNumber(t); });
}
BENCHMARK(BM_CheckCardNumber);

}  // namespace
