// Tests of calvix-check as a program, started as a shell would start it: its output lines,
// options and exit statuses, generated numbers checked back, and bad input and faults (files
// that cannot be read, NUL bytes, invalid UTF-8, a gigabyte line, a closed or full output).
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/cli/ChildProcess.h"
#include "tests/cli/JsonCheck.h"

using namespace clitest;

namespace {

// A folder of its own for the files a test writes, removed afterwards.
class TScratch {
 public:
  TScratch()
      : FPath(std::filesystem::temp_directory_path() /
              ("calvix-check-test-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(FPath);
  }
  ~TScratch() { std::filesystem::remove_all(FPath); }

  std::string Write(const std::string& name, const std::string& text) const {
    const auto path = FPath / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  std::string Path(const std::string& name) const { return (FPath / name).string(); }

 private:
  std::filesystem::path FPath;
};

void ExpectEveryLineIsJson(const std::string& out) {
  for (const std::string& line : Lines(out))
    EXPECT_TRUE(IsValidJson(line)) << line;
}

}  // namespace

// --- Output and exit statuses ---

TEST(CalvixCheck, WritesOneLinePerNumberAndTheExitStatus) {
  const TChildResult allValid = RunCalvixCheck({"111.444.777-35", "12.ABC.345/01DE-35"});
  EXPECT_EQ(allValid.ExitStatus, 0);
  EXPECT_EQ(allValid.Out,
            "111.444.777-35\tcpf\tvalid\n"
            "12.ABC.345/01DE-35\tcnpj\tvalid\n");
  EXPECT_EQ(allValid.Err, "");

  const TChildResult someInvalid =
      RunCalvixCheck({"111.444.777-36", "abc", "000.000.000-00", "1114447773X", "11144477735"});
  EXPECT_EQ(someInvalid.ExitStatus, 1);
  EXPECT_EQ(someInvalid.Out,
            "111.444.777-36\tcpf\tinvalid\tcheck digit\n"
            "abc\tunknown\tinvalid\tlength\n"
            "000.000.000-00\tcpf\tinvalid\trepeated\n"
            "1114447773X\tcpf\tinvalid\tcharacter\n"
            "11144477735\tcpf\tvalid\n");
}

TEST(CalvixCheck, QuietWritesOnlyTheInvalidNumbers) {
  const TChildResult result =
      RunCalvixCheck({"--quiet"}, "11144477735\n11144477736\n12345678909\n");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Out, "11144477736\tcpf\tinvalid\tcheck digit\n");
  const TChildResult silent = RunCalvixCheck({"-q", "11144477735"});
  EXPECT_EQ(silent.ExitStatus, 0);
  EXPECT_EQ(silent.Out, "");
}

TEST(CalvixCheck, AllowRepeatedFollowsTheWindowsRule) {
  EXPECT_EQ(RunCalvixCheck({"--allow-repeated", "000.000.000-00", "00000000000000"}).ExitStatus, 0);
  EXPECT_EQ(RunCalvixCheck({"--allow-repeated", "11111111111111"}).ExitStatus, 1);
}

TEST(CalvixCheck, WritesJsonObjects) {
  const TChildResult result = RunCalvixCheck(
      {"--json", "111.444.777-35", "11144477736", "--card=visa", "5555555555554444"});
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Out,
            "{\"input\":\"111.444.777-35\",\"kind\":\"card\",\"brand\":\"unknown\",\"valid\":false,"
            "\"reason\":\"length\"}\n"
            "{\"input\":\"11144477736\",\"kind\":\"card\",\"brand\":\"unknown\",\"valid\":false,"
            "\"reason\":\"length\"}\n"
            "{\"input\":\"5555555555554444\",\"kind\":\"card\",\"brand\":\"mastercard\","
            "\"valid\":false,\"reason\":\"card prefix\"}\n");
  const TChildResult taxpayers = RunCalvixCheck({"-jF", "111.444.777-35", "11144477736"});
  EXPECT_EQ(
      taxpayers.Out,
      "{\"input\":\"111.444.777-35\",\"kind\":\"cpf\",\"valid\":true,"
      "\"formatted\":\"111.444.777-35\"}\n"
      "{\"input\":\"11144477736\",\"kind\":\"cpf\",\"valid\":false,\"reason\":\"check digit\"}\n");
}

TEST(CalvixCheck, FormatWritesValidNumbersInTheirMasks) {
  const TChildResult result =
      RunCalvixCheck({"--format", "11144477735", "12abc34501de35", "12345", "11222333000181"});
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Out,
            "111.444.777-35\n12.ABC.345/01DE-35\n12345\tunknown\tinvalid\tlength\n"
            "11.222.333/0001-81\n");
  EXPECT_EQ(RunCalvixCheck({"-F", "--card", "378282246310005"}).Out, "3782 822463 10005\n");
}

TEST(CalvixCheck, CompletesBases) {
  const TChildResult result =
      RunCalvixCheck({"--complete", "111.444.777", "12.abc.345/01de", "000000000", "1234"});
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Out,
            "11144477735\n12ABC34501DE35\n000000000\tcpf\tinvalid\trepeated\n"
            "1234\tunknown\tinvalid\tlength\n");
  EXPECT_EQ(RunCalvixCheck({"--complete", "-F", "--card", "411111111111111"}).Out,
            "4111 1111 1111 1111\n");
  const TChildResult json = RunCalvixCheck({"--complete", "--json", "111444777"});
  EXPECT_EQ(
      json.Out,
      "{\"input\":\"111444777\",\"kind\":\"cpf\",\"valid\":true,\"number\":\"11144477735\"}\n");
}

TEST(CalvixCheck, ChecksCardNumbers) {
  const TChildResult result = RunCalvixCheck({"--card", "4111 1111 1111 1111", "378282246310005",
                                              "341111111111111", "4111111111111112", "4111"});
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Out,
            "4111 1111 1111 1111\tcard\tvalid\n378282246310005\tcard\tvalid\n"
            "341111111111111\tcard\tinvalid\tcard prefix\n"
            "4111111111111112\tcard\tinvalid\tcheck digit\n4111\tcard\tinvalid\tlength\n");
  EXPECT_EQ(RunCalvixCheck({"--card=any", "341111111111111"}).ExitStatus, 0);
}

TEST(CalvixCheck, UsageErrorsExitWithTwo) {
  const TChildResult result = RunCalvixCheck({"--bogus", "11144477735"});
  EXPECT_EQ(result.ExitStatus, 2);
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(result.Err,
            "calvix-check: unrecognized option '--bogus'\n"
            "Try 'calvix-check --help' for more information.\n");
  EXPECT_EQ(RunCalvixCheck({"--generate=1", "111"}).ExitStatus, 2);
}

TEST(CalvixCheck, HelpAndVersionGoToStandardOutput) {
  const TChildResult help = RunCalvixCheck({"--help"});
  EXPECT_EQ(help.ExitStatus, 0);
  EXPECT_EQ(help.Out.rfind("Usage: calvix-check [OPTION]... [NUMBER]...\n", 0), 0u);
  EXPECT_NE(help.Out.find("--allow-repeated"), std::string::npos);
  EXPECT_NE(help.Out.find("none is ever issued"), std::string::npos);
  const TChildResult version = RunCalvixCheck({"--version"});
  EXPECT_EQ(version.ExitStatus, 0);
  EXPECT_EQ(version.Out.rfind("calvix-check (Calvix) ", 0), 0u);
}

// --- Generated numbers ---

TEST(CalvixCheck, GeneratedNumbersCheckBackValid) {
  for (const std::string kind : {"cpf", "cnpj", "cnpj-alpha"}) {
    const std::vector<std::string> args{"--generate=2000", "--kind=" + kind, "--seed=9"};
    std::vector<std::string> masked = args;
    masked.push_back("--format");
    for (const auto& generation : {args, masked}) {
      const TChildResult generated = RunCalvixCheck(generation);
      ASSERT_EQ(generated.ExitStatus, 0);
      ASSERT_EQ(Lines(generated.Out).size(), 2000u);
      const TChildResult checked = RunCalvixCheck({"--quiet"}, generated.Out);
      EXPECT_EQ(checked.ExitStatus, 0) << kind;
      EXPECT_EQ(checked.Out, "") << kind;
    }
  }
}

TEST(CalvixCheck, GenerationRepeatsForASeed) {
  const auto first = RunCalvixCheck({"-g", "50", "-k", "cnpj", "-s", "123"}).Out;
  EXPECT_EQ(first, RunCalvixCheck({"-g", "50", "-k", "cnpj", "-s", "123"}).Out);
  EXPECT_NE(first, RunCalvixCheck({"-g", "50", "-k", "cnpj", "-s", "124"}).Out);
  EXPECT_NE(first, RunCalvixCheck({"-g", "50", "-k", "cnpj"}).Out);
  ExpectEveryLineIsJson(RunCalvixCheck({"-g", "20", "-j", "-k", "cnpj-alpha"}).Out);
}

// --- Files ---

TEST(CalvixCheck, ReadsFilesAndArgumentsInOrder) {
  TScratch scratch;
  const std::string a = scratch.Write("a.txt", "11144477735\n12.ABC.345/01DE-35\n");
  const std::string b = scratch.Write("b.txt", "11144477736");
  const TChildResult result = RunCalvixCheck({"-f", a, "12345678909", "--file=" + b, "-"}, "x\n");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Out,
            "11144477735\tcpf\tvalid\n12.ABC.345/01DE-35\tcnpj\tvalid\n12345678909\tcpf\tvalid\n"
            "11144477736\tcpf\tinvalid\tcheck digit\nx\tunknown\tinvalid\tlength\n");
}

TEST(CalvixCheck, NamesAFileItCannotReadAndReadsTheOthers) {
  TScratch scratch;
  const std::string good = scratch.Write("good.txt", "11144477735\n");
  const std::string missing = scratch.Path("missing.txt");
  const TChildResult result = RunCalvixCheck({"-f", missing, "-f", good, "-f", "/"});
  EXPECT_EQ(result.ExitStatus, 2);
  EXPECT_EQ(result.Out, "11144477735\tcpf\tvalid\n");
  EXPECT_EQ(result.Err, "calvix-check: " + missing + ": No such file or directory\n" +
                            "calvix-check: /: Is a directory\n");
}

// --- Bad input ---

TEST(CalvixCheck, TakesNulBytesInvalidUtf8AndCrlf) {
  std::string input = "111.444.777-35\r\n";
  input += '\0';
  input +=
      "\n12\xff\xfe"
      "3\n\"\\\x01\n\n12.ABC.345/01DE-35\r\n";
  const TChildResult text = RunCalvixCheck({}, input);
  EXPECT_EQ(text.ExitStatus, 1);
  EXPECT_EQ(text.Out,
            "111.444.777-35\tcpf\tvalid\n?\tunknown\tinvalid\tlength\n"
            "12\xff\xfe"
            "3\tunknown\tinvalid\tlength\n\"\\?\tunknown\tinvalid\tlength\n"
            "\tunknown\tinvalid\tlength\n12.ABC.345/01DE-35\tcnpj\tvalid\n");
  const TChildResult json = RunCalvixCheck({"--json"}, input);
  ExpectEveryLineIsJson(json.Out);
  const auto lines = Lines(json.Out);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[1], R"({"input":"\u0000","kind":"unknown","valid":false,"reason":"length"})");
  EXPECT_EQ(lines[2],
            R"({"input":"12\ufffd\ufffd3","kind":"unknown","valid":false,"reason":"length"})");
  EXPECT_EQ(lines[3], R"({"input":"\"\\\u0001","kind":"unknown","valid":false,"reason":"length"})");
}

TEST(CalvixCheck, ArgumentsWithControlCharactersStayOneLine) {
  const TChildResult result = RunCalvixCheck({"--json", "111\n444\t777-35"});
  EXPECT_EQ(result.Out,
            "{\"input\":\"111\\n444\\t777-35\",\"kind\":\"unknown\",\"valid\":false,"
            "\"reason\":\"length\"}\n");
  EXPECT_EQ(RunCalvixCheck({"111\n444"}).Out, "111?444\tunknown\tinvalid\tlength\n");
}

// A gigabyte line is read through in bounded memory and reported too long, with its start;
// the numbers after it are still checked.
TEST(CalvixCheck, ReadsAGigabyteLineInBoundedMemory) {
  TChild child({"--json"});
  ASSERT_TRUE(child.Write("11144477735\n"));
  const std::string block(1 << 20, '7');
  for (int i = 0; i < 1024; ++i)
    ASSERT_TRUE(child.Write(block)) << i;
  ASSERT_TRUE(child.Write("\r\n111.444.777-35\n"));
  const TChildResult result = child.Wait();
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.ExitStatus, 1);
  const auto lines = Lines(result.Out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "{\"input\":\"" + std::string(40, '7') +
                          "\",\"truncated\":true,\"length\":1073741824,\"kind\":\"unknown\","
                          "\"valid\":false,\"reason\":\"length\"}");
  EXPECT_EQ(lines[2], R"({"input":"111.444.777-35","kind":"cpf","valid":true})");
  // Far below the line's size even in the sanitizer build, whose own overhead is some tens of
  // megabytes.
  EXPECT_LT(result.MaxRssKb, 64 * 1024);
}

TEST(CalvixCheck, ShowsTheStartOfALongArgument) {
  const TChildResult result = RunCalvixCheck({std::string(5000, '1')});
  EXPECT_EQ(result.Out, std::string(40, '1') + "...\tunknown\tinvalid\tlength\n");
}

// --- Output faults ---

// As `calvix-check | head -1`: the reader leaves, and the program ends at once and quietly,
// by SIGPIPE as the other tools do.
TEST(CalvixCheck, EndsQuietlyWhenTheReaderLeaves) {
  TChild child({"--generate=100000000000"});
  EXPECT_EQ(child.ReadLine().size(), 11u);
  child.CloseOutput();
  const TChildResult result = child.Wait();
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.Signal, SIGPIPE);
  EXPECT_EQ(result.Err, "");
}

// Where SIGPIPE is ignored, the failed write ends it with status 2, still without a message;
// here it reads an endless input.
TEST(CalvixCheck, EndsQuietlyWhenTheReaderLeavesAndSigpipeIsIgnored) {
  TChildSetup setup;
  setup.IgnoreSigpipe = true;
  TChild child({}, setup);
  std::string numbers;
  for (int i = 0; i < 10000; ++i)
    numbers += "11144477735\n";
  ASSERT_TRUE(child.Write(numbers));
  EXPECT_EQ(child.ReadLine(), "11144477735\tcpf\tvalid");
  child.CloseOutput();
  // It must stop reading: the writes below fail once it has ended.
  bool stillReading = true;
  for (int i = 0; i < 100000 && stillReading; ++i)
    stillReading = child.Write(numbers);
  EXPECT_FALSE(stillReading);
  const TChildResult result = child.Wait();
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.ExitStatus, 2);
  EXPECT_EQ(result.Err, "");
}

TEST(CalvixCheck, ReportsAFullOutput) {
  TChildSetup setup;
  setup.StandardOutputPath = "/dev/full";
  const TChildResult result = RunCalvixCheck({"11144477735"}, {}, setup);
  EXPECT_EQ(result.ExitStatus, 2);
  EXPECT_EQ(result.Err, "calvix-check: write error: No space left on device\n");
}

// A program or a person that writes a number and waits gets its answer before the next one.
TEST(CalvixCheck, AnswersEachLineOfAPipeWithoutWaitingForMore) {
  TChild child({});
  ASSERT_TRUE(child.Write("11144477735\n"));
  EXPECT_EQ(child.ReadLine(), "11144477735\tcpf\tvalid");
  ASSERT_TRUE(child.Write("11144477736\n"));
  EXPECT_EQ(child.ReadLine(), "11144477736\tcpf\tinvalid\tcheck digit");
  const TChildResult result = child.Wait();
  EXPECT_EQ(result.ExitStatus, 1);
}
