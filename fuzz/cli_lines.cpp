// Fuzz target for calvix-check's line reader and checks: any bytes, arriving in any pieces,
// split into the lines a plain split gives, and each of the first distinct lines gets a verdict
// that agrees with its bare characters, a one-line report and a valid JSON object.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checks/NumberMask.h"
#include "checks/NumberText.h"
#include "cli/LineReader.h"
#include "cli/Report.h"
#include "tests/cli/JsonCheck.h"

using namespace checks;

namespace {

// The checks of a line depend on nothing but the line, so a line met again in the same input is
// not checked again (the fuzzer's copies and crossovers repeat lines often). Of an input's other
// lines, only the first few get the checks: every line costs a dozen checks and reports, the
// line split alone costs next to nothing, and the fuzzer brings a line to the front as readily
// as it changes one. Every line is still held to the plain split.
constexpr std::size_t kCheckedLines = 16;

void Require(bool condition) {
  if (!condition) std::abort();
}

class TPiecesSource : public TByteSource {
 public:
  TPiecesSource(std::string_view text, std::size_t piece) : FText(text), FPiece(piece) {}

  std::ptrdiff_t Read(char* into, std::size_t size) override {
    const std::size_t count = std::min({size, FPiece, FText.size()});
    std::memcpy(into, FText.data(), count);
    FText.remove_prefix(count);
    return static_cast<std::ptrdiff_t>(count);
  }

 private:
  std::string_view FText;
  std::size_t FPiece;
};

// The lines of the text split the obvious way, each with its length and shown start.
std::vector<TLine> PlainLines(std::string_view text) {
  std::vector<TLine> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(
        {line.size() > kLongestLine ? line.substr(0, kLongLineShown) : line, line.size()});
  }
  return lines;
}

std::string Bare(std::string_view text) {
  std::string bare;
  for (const char c : text)
    if (std::string_view(".-/ \t").find(c) == std::string_view::npos) bare += c;
  return bare;
}

void CheckLine(const TLine& line, const TCheckOptions& options, bool reports) {
  const TVerdict verdict = CheckNumber(line.Text, options);
  // The standard masks' own path and the general one agree with the bare characters.
  const std::string bare = Bare(line.Text);
  const TVerdict bareVerdict = CheckNumber(bare, options);
  Require(verdict.Kind == bareVerdict.Kind && verdict.Reason == bareVerdict.Reason);
  if (verdict.Valid()) {
    Require(verdict.Kind != nkUnknown);
    std::string masked;
    AppendMasked(masked, verdict.Kind, bare);
    Require(CheckNumber(masked, options).Valid());
  }
  for (const bool format : {false, true}) {
    if (!reports) break;
    std::string report;
    AppendCheckReport(report, line, verdict, {false, format});
    Require(report.find('\n') == std::string::npos);
    report.clear();
    AppendCheckReport(report, line, verdict, {true, format});
    Require(clitest::IsValidJson(report));
  }
  std::string number;
  if (CompleteNumber(line.Text, options, number).Valid()) {
    Require(CheckNumber(number, options).Valid());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the size of the pieces the input arrives in and of the blocks.
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  TPiecesSource source(text, 1 + data[0] % 16 * 97);
  TLineReader reader(source, 1 + data[0] / 16 * 61);
  const std::vector<TLine> expected = PlainLines(text);
  std::size_t count = 0;
  TLine line;
  TCheckOptions cards;
  cards.Cards = true;
  TCheckOptions window;
  window.AllowRepeated = true;
  std::set<std::pair<std::string, std::uint64_t>> checked;
  while (reader.Next(line)) {
    Require(count < expected.size());
    Require(line.Text == expected[count].Text && line.Length == expected[count].Length);
    ++count;
    if (checked.size() == kCheckedLines || !checked.emplace(line.Text, line.Length).second)
      continue;
    // The reports look the same whatever the options; they are checked once.
    CheckLine(line, {}, true);
    CheckLine(line, cards, false);
    CheckLine(line, window, false);
  }
  Require(count == expected.size() && !reader.Failed());
  return 0;
}
