// What the command line of calvix-check asks for, read the way the GNU tools read theirs,
// and the texts of --help and --version. Layer: the command line (cli/).
#include "cli/Options.h"

#include <array>
#include <limits>

using namespace checks;

namespace {

enum TOptionId : std::uint8_t {
  oiFile,
  oiCard,
  oiQuiet,
  oiJson,
  oiFormat,
  oiComplete,
  oiAllowRepeated,
  oiGenerate,
  oiKind,
  oiSeed,
  oiHelp,
  oiVersion
};

enum TArgumentUse : std::uint8_t { auNone, auRequired, auOptional };

struct TOptionInfo {
  std::string_view Name;
  char Short;  // 0 when the option has only its long name
  TArgumentUse Argument;
  TOptionId Id;
};

constexpr std::array<TOptionInfo, 12> kOptionTable{{
    {"file", 'f', auRequired, oiFile},
    {"card", 'c', auOptional, oiCard},
    {"quiet", 'q', auNone, oiQuiet},
    {"json", 'j', auNone, oiJson},
    {"format", 'F', auNone, oiFormat},
    {"complete", 0, auNone, oiComplete},
    {"allow-repeated", 0, auNone, oiAllowRepeated},
    {"generate", 'g', auRequired, oiGenerate},
    {"kind", 'k', auRequired, oiKind},
    {"seed", 's', auRequired, oiSeed},
    {"help", 0, auNone, oiHelp},
    {"version", 0, auNone, oiVersion},
}};

struct TCardRuleName {
  std::string_view Name;
  TCardPrefixRule Rule;
};
constexpr std::array<TCardRuleName, 5> kCardRuleNames{{
    {"amex", cpAmex},
    {"visa", cpVisa},
    {"mastercard", cpMasterCard},
    {"discover", cpDiscover},
    {"any", cpNone},
}};

struct TGeneratedKindName {
  std::string_view Name;
  TGeneratedKind Kind;
};
constexpr std::array<TGeneratedKindName, 3> kGeneratedKindNames{{
    {"cpf", gkCpf},
    {"cnpj", gkCnpj},
    {"cnpj-alpha", gkCnpjAlpha},
}};

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

std::optional<std::uint64_t> ParseCount(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

template <typename TNames>
std::string InvalidArgument(std::string_view value, std::string_view option, const TNames& names) {
  std::string error =
      "invalid argument " + Quoted(value) + " for " + Quoted(option) + "; valid arguments are";
  for (const auto& entry : names)
    error += " " + Quoted(entry.Name);
  return error;
}

// --- Reading the arguments ---

class TParser {
 public:
  TParser(const std::vector<std::string_view>& args, TOptions& options, std::string& error)
      : FArgs(args), FOptions(options), FError(error) {}

  bool Parse();

 private:
  bool ParseLong(std::string_view arg);
  bool ParseShorts(std::string_view arg);
  const TOptionInfo* FindLong(std::string_view name);
  bool Apply(const TOptionInfo& option, std::optional<std::string_view> argument,
             std::string_view shownName);
  bool CheckCombination();
  bool Fail(std::string error) {
    FError = std::move(error);
    return false;
  }

  const std::vector<std::string_view>& FArgs;
  TOptions& FOptions;
  std::string& FError;
  std::size_t FNext = 0;  // the argument after the one being read
  bool FGenerate = false;
  bool FComplete = false;
  std::optional<std::string_view> FKindGiven;
  std::optional<TCommandMode> FInformation;  // --help or --version, the first one given
};

bool TParser::Parse() {
  bool optionsEnded = false;
  while (FNext < FArgs.size()) {
    const std::string_view arg = FArgs[FNext++];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      // A lone "-" stands for standard input, as for the other tools that read files.
      FOptions.Inputs.push_back({arg == "-", arg});
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg[1] == '-') {
      if (!ParseLong(arg.substr(2))) return false;
    } else if (!ParseShorts(arg.substr(1))) {
      return false;
    }
  }
  if (FInformation) {
    FOptions.Mode = *FInformation;
    return true;
  }
  return CheckCombination();
}

// An exact name wins; otherwise the name may be the start of exactly one option's name.
const TOptionInfo* TParser::FindLong(std::string_view name) {
  const TOptionInfo* found = nullptr;
  int matches = 0;
  std::string candidates;
  for (const TOptionInfo& option : kOptionTable) {
    if (option.Name == name) return &option;
    if (option.Name.substr(0, name.size()) == name) {
      found = &option;
      ++matches;
      candidates += " " + Quoted("--" + std::string(option.Name));
    }
  }
  if (matches == 1) return found;
  const std::string shownName = Quoted("--" + std::string(name));
  Fail(matches == 0 ? "unrecognized option " + shownName
                    : "option " + shownName + " is ambiguous; possibilities:" + candidates);
  return nullptr;
}

bool TParser::ParseLong(std::string_view arg) {
  const std::size_t equals = arg.find('=');
  const TOptionInfo* option = FindLong(arg.substr(0, equals));
  if (option == nullptr) return false;
  const std::string shownName = "--" + std::string(option->Name);
  std::optional<std::string_view> argument;
  if (equals != std::string_view::npos) {
    if (option->Argument == auNone) {
      return Fail("option " + Quoted(shownName) + " doesn't allow an argument");
    }
    argument = arg.substr(equals + 1);
  } else if (option->Argument == auRequired) {
    if (FNext == FArgs.size()) return Fail("option " + Quoted(shownName) + " requires an argument");
    argument = FArgs[FNext++];
  }
  return Apply(*option, argument, shownName);
}

// A cluster of short options ("-qj"); one that takes an argument takes the rest of the
// cluster, or else the next argument when it needs one.
bool TParser::ParseShorts(std::string_view arg) {
  for (std::size_t i = 0; i < arg.size(); ++i) {
    const TOptionInfo* option = nullptr;
    for (const TOptionInfo& candidate : kOptionTable)
      if (candidate.Short != 0 && candidate.Short == arg[i]) option = &candidate;
    if (option == nullptr) return Fail("invalid option -- " + Quoted(arg.substr(i, 1)));
    const std::string shownName = "-" + std::string(1, arg[i]);
    if (option->Argument == auNone) {
      if (!Apply(*option, std::nullopt, shownName)) return false;
      continue;
    }
    std::optional<std::string_view> argument;
    if (i + 1 < arg.size()) {
      argument = arg.substr(i + 1);
    } else if (option->Argument == auRequired) {
      if (FNext == FArgs.size()) {
        return Fail("option requires an argument -- " + Quoted(arg.substr(i, 1)));
      }
      argument = FArgs[FNext++];
    }
    return Apply(*option, argument, shownName);
  }
  return true;
}

bool TParser::Apply(const TOptionInfo& option, std::optional<std::string_view> argument,
                    std::string_view shownName) {
  switch (option.Id) {
    case oiFile:
      FOptions.Inputs.push_back({true, *argument});
      return true;
    case oiCard:
      FOptions.Check.Cards = true;
      FOptions.Check.CardRule = cpAnyBrand;
      if (!argument) return true;
      for (const TCardRuleName& name : kCardRuleNames) {
        if (name.Name == *argument) {
          FOptions.Check.CardRule = name.Rule;
          return true;
        }
      }
      return Fail(InvalidArgument(*argument, shownName, kCardRuleNames));
    case oiQuiet:
      FOptions.Quiet = true;
      return true;
    case oiJson:
      FOptions.Report.Json = true;
      return true;
    case oiFormat:
      FOptions.Report.Format = true;
      return true;
    case oiComplete:
      FComplete = true;
      return true;
    case oiAllowRepeated:
      FOptions.Check.AllowRepeated = true;
      return true;
    case oiGenerate: {
      const auto count = ParseCount(*argument);
      if (!count) return Fail("invalid count " + Quoted(*argument) + " for " + Quoted(shownName));
      FOptions.GenerateCount = *count;
      FGenerate = true;
      return true;
    }
    case oiKind:
      FKindGiven = *argument;
      for (const TGeneratedKindName& name : kGeneratedKindNames) {
        if (name.Name == *argument) {
          FOptions.GenerateKind = name.Kind;
          return true;
        }
      }
      return Fail(InvalidArgument(*argument, shownName, kGeneratedKindNames));
    case oiSeed:
      FOptions.Seed = ParseCount(*argument);
      if (!FOptions.Seed) return Fail("invalid seed " + Quoted(*argument));
      return true;
    case oiHelp:
      if (!FInformation) FInformation = cmHelp;
      return true;
    case oiVersion:
      if (!FInformation) FInformation = cmVersion;
      return true;
  }
  return true;
}

bool TParser::CheckCombination() {
  if (FGenerate) {
    if (!FOptions.Inputs.empty()) return Fail("option '--generate' takes no numbers or files");
    if (FComplete) return Fail("options '--generate' and '--complete' cannot be combined");
    if (FOptions.Check.Cards) return Fail("options '--generate' and '--card' cannot be combined");
    if (FOptions.Quiet) return Fail("options '--generate' and '--quiet' cannot be combined");
    FOptions.Mode = cmGenerate;
    return true;
  }
  if (FKindGiven) return Fail("option '--kind' goes with '--generate'");
  if (FOptions.Seed) return Fail("option '--seed' goes with '--generate'");
  FOptions.Mode = FComplete ? cmComplete : cmCheck;
  return true;
}

constexpr std::string_view kHelpText =
    R"(Usage: calvix-check [OPTION]... [NUMBER]...
  or:  calvix-check --generate=N [--kind=KIND] [--seed=S] [--format] [--json]
Check Brazilian taxpayer numbers (CPF, CNPJ) and payment card numbers.

Each NUMBER, and each line of each FILE, is one number to check. With no NUMBER
and no FILE, or when NUMBER is -, read standard input. The kind is told from the
form: 11 digits make a CPF; 14 characters make a CNPJ, whose first 12 may be
digits or letters A to Z (lower case is read as upper case) and whose last 2 are
digits. The punctuation of the usual masks ('.', '-', '/', blanks) is ignored.

  -f, --file=FILE       read numbers from FILE, one per line; - is standard input
  -c, --card[=BRAND]    check payment card numbers: 13 to 19 digits and the Luhn
                          check digit; the number must begin as BRAND's do
                          (amex 37, visa 4, mastercard 5, discover 6), or as any
                          of them when BRAND is omitted; 'any' lifts the rule
  -q, --quiet           print only the invalid numbers
  -j, --json            print one JSON object per line
  -F, --format          print each valid number alone, in its standard mask:
                          000.000.000-00, 00.000.000/0000-00, 0000 0000 0000 0000
      --complete        print each base with its check digits added: 9 digits
                          of a CPF, 12 characters of a CNPJ, or with --card 12 to
                          18 digits of a card number
      --allow-repeated  accept numbers of one repeated digit (000.000.000-00,
                          111.111.111-11, ...), as the Calvix window does; without
                          this option they are invalid, since none is ever issued
  -g, --generate=N      print N valid numbers made up for test data
  -k, --kind=KIND       what --generate makes: cpf (the default), cnpj, or
                          cnpj-alpha (CNPJs with letters)
  -s, --seed=S          make the same numbers for the same S (0 to 2^64-1)
      --help            display this help and exit
      --version         output version information and exit

Each input gives one line: the input, its kind (cpf, cnpj, card, or unknown
when the count of characters fits no kind), and 'valid', or 'invalid' and the
reason: length, character, check digit, card prefix, repeated. Fields are
separated by tabs; control characters of the input are shown as '?'. A line
longer than 1024 bytes is no number: its start is shown, followed by '...'.

Exit status:
 0  if every number is valid,
 1  if a number is invalid,
 2  if trouble: a usage error, a file that cannot be read, output that cannot be
    written.

Examples:
  calvix-check 111.444.777-35 12.ABC.345/01DE-35
  calvix-check --quiet -f customers.txt
  cut -d, -f3 sales.csv | calvix-check --json
  calvix-check --generate=1000 --kind=cnpj-alpha --seed=7 --format
)";

}  // namespace

bool ParseCommandLine(const std::vector<std::string_view>& args, TOptions& options,
                      std::string& error) {
  return TParser(args, options, error).Parse();
}

std::string_view HelpText() {
  return kHelpText;
}

std::string VersionText() {
  return "calvix-check (Calvix) " CALVIX_VERSION
         "\n"
         "Freeware - Morvane Software & Systems\n";
}
