// What the command line of calvix-check asks for, read the way the GNU tools read theirs,
// and the texts of --help and --version. Layer: the command line (cli/).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checks/NumberGenerator.h"
#include "checks/NumberText.h"
#include "cli/Report.h"

enum TCommandMode : std::uint8_t { cmCheck, cmComplete, cmGenerate, cmHelp, cmVersion };

// A number given as an argument, or a file to read numbers from ("-" is standard input).
struct TInput {
  bool FromFile = false;
  std::string_view Text;
};

struct TOptions {
  TCommandMode Mode = cmCheck;
  std::vector<TInput> Inputs;  // in the order given; none means standard input
  checks::TCheckOptions Check;
  TReportStyle Report;
  bool Quiet = false;  // only the invalid numbers are written
  std::uint64_t GenerateCount = 0;
  checks::TGeneratedKind GenerateKind = checks::gkCpf;
  std::optional<std::uint64_t> Seed;
};

// Reads the arguments that follow the program's name, which must outlive the options. Options
// and numbers may come in any order; "--" ends the options; long options may be shortened
// while they stay unambiguous, and take their argument after "=" or as the next argument.
// False on a usage error, which `error` then describes.
bool ParseCommandLine(const std::vector<std::string_view>& args, TOptions& options,
                      std::string& error);

std::string_view HelpText();
std::string VersionText();
