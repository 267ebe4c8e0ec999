// calvix-check's work once its command line is read: checking, completing or generating
// numbers, and the exit status. Layer: the command line (cli/).
#include "cli/CheckCommand.h"

#include <random>

#include "cli/SystemFiles.h"

using namespace checks;

namespace {

constexpr std::string_view kStandardInputName = "-";

// A pipe or a terminal gets its answers before the command waits for more of its input, so
// that a program or a person that writes a number and waits for the verdict gets it.
class TAnsweringSource : public TByteSource {
 public:
  TAnsweringSource(TFileSource& file, TOutput& output) : FFile(file), FOutput(output) {}

  std::ptrdiff_t Read(char* into, std::size_t size) override {
    if (FFile.MayWait()) FOutput.Flush();
    return FFile.Read(into, size);
  }

 private:
  TFileSource& FFile;
  TOutput& FOutput;
};

std::string ShownFileName(std::string_view name) {
  return name == kStandardInputName ? "standard input" : std::string(name);
}

std::uint64_t RandomSeed() {
  std::random_device device;
  return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

TNumberKind GeneratedNumberKind(TGeneratedKind kind) {
  return kind == gkCpf ? nkCpf : nkCnpj;
}

}  // namespace

int TCheckCommand::Run() {
  if (FOptions.Mode == cmGenerate) {
    Generate();
  } else if (FOptions.Inputs.empty()) {
    ReadFile(kStandardInputName);
  } else {
    for (const TInput& input : FOptions.Inputs) {
      if (input.FromFile) {
        ReadFile(input.Text);
      } else {
        TakeArgument(input.Text);
      }
    }
  }
  if (FTrouble) return kExitTrouble;
  return FAnyInvalid ? kExitInvalid : kExitValid;
}

void TCheckCommand::Take(const TLine& input) {
  if (FOptions.Mode == cmComplete) {
    TakeBase(input);
    return;
  }
  const TVerdict verdict = input.Truncated() ? TVerdict{FOptions.Check.Cards ? nkCard : nkUnknown}
                                             : CheckNumber(input.Text, FOptions.Check);
  // The common case, a valid number under --quiet, ends here.
  if (verdict.Valid() && FOptions.Quiet) return;
  FAnyInvalid |= !verdict.Valid();
  AppendCheckReport(FOutput.Text(), input, verdict, FOptions.Report);
  FOutput.EndLine();
}

void TCheckCommand::TakeBase(const TLine& input) {
  FNumber.clear();
  const TVerdict verdict = input.Truncated() ? TVerdict{FOptions.Check.Cards ? nkCard : nkUnknown}
                                             : CompleteNumber(input.Text, FOptions.Check, FNumber);
  if (verdict.Valid() && FOptions.Quiet) return;
  FAnyInvalid |= !verdict.Valid();
  AppendCompletionReport(FOutput.Text(), input, verdict, FNumber, FOptions.Report);
  FOutput.EndLine();
}

// An argument is taken as a line is: one too long for any number shows only its start.
void TCheckCommand::TakeArgument(std::string_view number) {
  const std::size_t shown = number.size() > kLongestLine ? kLongLineShown : number.size();
  Take(TLine{number.substr(0, shown), number.size()});
}

void TCheckCommand::ReadFile(std::string_view name) {
  TFileSource file(name);
  if (file.IsOpen()) {
    TAnsweringSource source(file, FOutput);
    TLineReader reader(source);
    TLine line;
    while (reader.Next(line))
      Take(line);
    if (!reader.Failed()) return;
  }
  // The answers so far come out before the message, so that both read in order on a terminal.
  FOutput.Flush();
  WriteError(ShownFileName(name) + ": " + ErrorText(file.Error()));
  FTrouble = true;
}

void TCheckCommand::Generate() {
  TNumberGenerator generator(FOptions.Seed ? *FOptions.Seed : RandomSeed());
  const TNumberKind kind = GeneratedNumberKind(FOptions.GenerateKind);
  for (std::uint64_t i = 0; i < FOptions.GenerateCount; ++i) {
    FNumber.clear();
    generator.Append(FOptions.GenerateKind, FNumber);
    AppendGeneratedReport(FOutput.Text(), FNumber, kind, FOptions.Report);
    FOutput.EndLine();
  }
}
