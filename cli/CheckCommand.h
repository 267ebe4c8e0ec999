// calvix-check's work once its command line is read: checking, completing or generating
// numbers, and the exit status. Layer: the command line (cli/).
#pragma once

#include <string>

#include "cli/LineReader.h"
#include "cli/Options.h"
#include "cli/Output.h"

// The exit statuses: every number valid, a number invalid, and trouble (a usage error, a file
// that cannot be read, output that cannot be written).
inline constexpr int kExitValid = 0;
inline constexpr int kExitInvalid = 1;
inline constexpr int kExitTrouble = 2;

class TCheckCommand {
 public:
  TCheckCommand(const TOptions& options, TOutput& output) : FOptions(options), FOutput(output) {}

  // Does what the options ask and answers the exit status. Files that cannot be read are
  // named on standard error and the others are still read. Throws EWriteError when the output
  // cannot be written; what was read by then is lost, as there is nowhere to report it.
  int Run();

 private:
  // Reports one input: checks it, or completes it as a base.
  void Take(const TLine& input);
  void TakeBase(const TLine& input);
  void TakeArgument(std::string_view number);
  void ReadFile(std::string_view name);
  void Generate();

  const TOptions& FOptions;
  TOutput& FOutput;
  bool FAnyInvalid = false;
  bool FTrouble = false;
  std::string FNumber;  // the number being completed or generated, its room kept
};
