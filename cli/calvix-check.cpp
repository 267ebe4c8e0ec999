// calvix-check: the Calvix checks on the command line, for numbers in batches. Reads the
// command line, runs the command and turns failures into messages and exit statuses.
// Layer: the command line (cli/).
#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CheckCommand.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "cli/SystemFiles.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  TOptions options;
  std::string error;
  if (!ParseCommandLine(args, options, error)) {
    WriteError(error);
    WriteStandardError("Try 'calvix-check --help' for more information.\n");
    return kExitTrouble;
  }

  TStandardOutput standardOutput;
  TOutput output(standardOutput);
  try {
    int status = kExitValid;
    if (options.Mode == cmHelp) {
      output.Text() = HelpText();
    } else if (options.Mode == cmVersion) {
      output.Text() = VersionText();
    } else {
      status = TCheckCommand(options, output).Run();
    }
    output.Flush();
    return status;
  } catch (const EWriteError& failure) {
    // A reader that has gone away (| head) needs no message; the status still says that not
    // every answer was delivered.
    if (failure.Error() != EPIPE) WriteError("write error: " + ErrorText(failure.Error()));
    return kExitTrouble;
  }
}
