// Tests of the generator of test data: valid numbers of each kind, the same for a seed on
// every machine, and never one of a repeated digit.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "checks/NumberGenerator.h"
#include "checks/TaxpayerNumber.h"

using namespace checks;

namespace {

std::vector<std::string> Generate(std::uint64_t seed, TGeneratedKind kind, int count) {
  TNumberGenerator generator(seed);
  std::vector<std::string> numbers;
  for (int i = 0; i < count; ++i) {
    std::string number;
    generator.Append(kind, number);
    numbers.push_back(number);
  }
  return numbers;
}

}  // namespace

TEST(NumberGenerator, MakesValidNumbersOfEachKind) {
  for (const std::string& number : Generate(1, gkCpf, 2000)) {
    ASSERT_EQ(number.size(), kCpfLength);
    ASSERT_EQ(CheckCpf(number), crNone) << number;
  }
  for (const std::string& number : Generate(1, gkCnpj, 2000)) {
    ASSERT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << number;
    ASSERT_EQ(CheckCnpj(number), crNone) << number;
  }
  for (const std::string& number : Generate(1, gkCnpjAlpha, 2000)) {
    ASSERT_NE(number.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << number;
    ASSERT_EQ(number.find_first_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos) << number;
    ASSERT_EQ(CheckCnpj(number), crNone) << number;
  }
}

// The engine's sequence is fixed by the standard and the reduction is the generator's own, so
// these are the numbers of seed 1 on any machine and with any standard library.
TEST(NumberGenerator, GivesTheSameNumbersForTheSameSeedEverywhere) {
  EXPECT_EQ(Generate(1, gkCpf, 3),
            (std::vector<std::string>{"11403940533", "60572422890", "42274331189"}));
  EXPECT_EQ(Generate(42, gkCnpjAlpha, 50), Generate(42, gkCnpjAlpha, 50));
  EXPECT_NE(Generate(42, gkCnpj, 50), Generate(43, gkCnpj, 50));
}

TEST(NumberGenerator, SpreadsItsNumbers) {
  const auto numbers = Generate(5, gkCpf, 5000);
  EXPECT_EQ(std::set<std::string>(numbers.begin(), numbers.end()).size(), numbers.size());
  std::set<char> firstDigits;
  for (const std::string& number : numbers)
    firstDigits.insert(number[0]);
  EXPECT_EQ(firstDigits.size(), 10u);
}
