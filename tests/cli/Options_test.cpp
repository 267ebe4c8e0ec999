// Tests of the command line's reading: options and numbers in any order, the GNU forms of
// options, and the usage errors with their messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/Options.h"

using namespace checks;

namespace {

struct TParsed {
  bool Ok = false;
  TOptions Options;
  std::string Error;
};

TParsed Parse(const std::vector<std::string_view>& args) {
  TParsed parsed;
  parsed.Ok = ParseCommandLine(args, parsed.Options, parsed.Error);
  return parsed;
}

std::string Inputs(const TOptions& options) {
  std::string shown;
  for (const TInput& input : options.Inputs)
    shown += (input.FromFile ? "file:" : "number:") + std::string(input.Text) + " ";
  return shown;
}

}  // namespace

TEST(ParseCommandLine, KeepsNumbersAndFilesInTheirOrder) {
  const TParsed parsed = Parse({"111", "-f", "a.txt", "--quiet", "222", "--file=b.txt", "-",
                                "-fc.txt", "--", "-q", "--json"});
  ASSERT_TRUE(parsed.Ok) << parsed.Error;
  EXPECT_EQ(
      Inputs(parsed.Options),
      "number:111 file:a.txt number:222 file:b.txt file:- file:c.txt number:-q number:--json ");
  EXPECT_TRUE(parsed.Options.Quiet);
  EXPECT_FALSE(parsed.Options.Report.Json);
  EXPECT_EQ(parsed.Options.Mode, cmCheck);
}

TEST(ParseCommandLine, ReadsClustersAndShortenedLongOptions) {
  const TParsed parsed = Parse({"-qjF", "--allow", "--comp"});
  ASSERT_TRUE(parsed.Ok) << parsed.Error;
  EXPECT_TRUE(parsed.Options.Quiet);
  EXPECT_TRUE(parsed.Options.Report.Json);
  EXPECT_TRUE(parsed.Options.Report.Format);
  EXPECT_TRUE(parsed.Options.Check.AllowRepeated);
  EXPECT_EQ(parsed.Options.Mode, cmComplete);
}

TEST(ParseCommandLine, ReadsTheCardBrand) {
  EXPECT_EQ(Parse({"--card"}).Options.Check.CardRule, cpAnyBrand);
  EXPECT_TRUE(Parse({"--card"}).Options.Check.Cards);
  EXPECT_EQ(Parse({"--card=visa"}).Options.Check.CardRule, cpVisa);
  EXPECT_EQ(Parse({"-cany"}).Options.Check.CardRule, cpNone);
  // An optional argument only comes after '=': here "amex" is a number to check.
  const TParsed separate = Parse({"--card", "amex"});
  EXPECT_EQ(separate.Options.Check.CardRule, cpAnyBrand);
  EXPECT_EQ(Inputs(separate.Options), "number:amex ");
  const TParsed wrong = Parse({"--card=diners"});
  EXPECT_FALSE(wrong.Ok);
  EXPECT_EQ(wrong.Error,
            "invalid argument 'diners' for '--card'; valid arguments are 'amex' 'visa' "
            "'mastercard' 'discover' 'any'");
}

TEST(ParseCommandLine, ReadsGeneration) {
  const TParsed parsed =
      Parse({"--generate", "25", "-k", "cnpj-alpha", "--seed=18446744073709551615"});
  ASSERT_TRUE(parsed.Ok) << parsed.Error;
  EXPECT_EQ(parsed.Options.Mode, cmGenerate);
  EXPECT_EQ(parsed.Options.GenerateCount, 25u);
  EXPECT_EQ(parsed.Options.GenerateKind, gkCnpjAlpha);
  EXPECT_EQ(parsed.Options.Seed, 18446744073709551615u);
  EXPECT_EQ(Parse({"-g3"}).Options.GenerateKind, gkCpf);
}

TEST(ParseCommandLine, HelpAndVersionWinOverEverythingElse) {
  EXPECT_EQ(Parse({"-q", "--help", "--generate=1", "2"}).Options.Mode, cmHelp);
  EXPECT_EQ(Parse({"--version", "--help"}).Options.Mode, cmVersion);
  EXPECT_EQ(Parse({"--vers"}).Options.Mode, cmVersion);
}

TEST(ParseCommandLine, DescribesEachUsageError) {
  const std::pair<std::vector<std::string_view>, std::string> cases[] = {
      {{"--bogus"}, "unrecognized option '--bogus'"},
      {{"-x"}, "invalid option -- 'x'"},
      {{"-qx"}, "invalid option -- 'x'"},
      {{"--c"}, "option '--c' is ambiguous; possibilities: '--card' '--complete'"},
      {{"--file"}, "option '--file' requires an argument"},
      {{"-f"}, "option requires an argument -- 'f'"},
      {{"--quiet=yes"}, "option '--quiet' doesn't allow an argument"},
      {{"--generate=ten"}, "invalid count 'ten' for '--generate'"},
      {{"-g", "-1"}, "invalid count '-1' for '-g'"},
      {{"--generate=99999999999999999999"},
       "invalid count '99999999999999999999' for '--generate'"},
      {{"--generate=1", "--kind=rg"},
       "invalid argument 'rg' for '--kind'; valid arguments are 'cpf' 'cnpj' 'cnpj-alpha'"},
      {{"--generate=1", "--seed=x"}, "invalid seed 'x'"},
      {{"--generate=1", "111"}, "option '--generate' takes no numbers or files"},
      {{"--generate=1", "-f", "a"}, "option '--generate' takes no numbers or files"},
      {{"--generate=1", "--complete"}, "options '--generate' and '--complete' cannot be combined"},
      {{"--generate=1", "--card"}, "options '--generate' and '--card' cannot be combined"},
      {{"--generate=1", "-q"}, "options '--generate' and '--quiet' cannot be combined"},
      {{"--kind=cpf"}, "option '--kind' goes with '--generate'"},
      {{"--seed=1"}, "option '--seed' goes with '--generate'"},
  };
  for (const auto& [args, error] : cases) {
    const TParsed parsed = Parse(args);
    EXPECT_FALSE(parsed.Ok) << error;
    EXPECT_EQ(parsed.Error, error);
  }
}
