// Runs the built calvix-check as a child process, as a shell would: its standard input fed
// from the test, its standard output and error read back, its exit status and peak memory.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace clitest {

struct TChildSetup {
  bool IgnoreSigpipe = false;      // start the child with SIGPIPE ignored instead of its default
  std::string StandardOutputPath;  // a file to write to instead of a pipe (e.g. /dev/full)
};

struct TChildResult {
  int ExitStatus = -1;  // -1 when the child ended through a signal
  int Signal = 0;
  bool TimedOut = false;  // the child was killed for taking too long
  std::string Out;
  std::string Err;
  long MaxRssKb = 0;
};

// Every wait of the test for the child ends after this, so that a hang fails the test.
inline constexpr std::chrono::seconds kChildTimeout{60};

class TChild {
 public:
  explicit TChild(const std::vector<std::string>& args, const TChildSetup& setup = {});
  ~TChild();
  TChild(const TChild&) = delete;
  TChild& operator=(const TChild&) = delete;

  // Writes to the child's standard input, reading its output meanwhile so that neither side
  // waits for the other. False when the child stopped reading (it ended) or time ran out.
  bool Write(std::string_view bytes);
  void CloseInput();
  // The next line of its standard output without the line end; empty on end or timeout.
  std::string ReadLine();
  // Closes the reading end of its standard output, as `| head` does once it has enough.
  void CloseOutput();
  // Reads the rest of its output and waits for it to end.
  TChildResult Wait();

 private:
  bool Pump(int timeoutMs, bool writing = false);

  pid_t FPid = -1;
  int FInput = -1;
  int FOutput = -1;
  int FError = -1;
  std::chrono::steady_clock::time_point FDeadline;
  TChildResult FResult;
  std::size_t FLineStart = 0;
};

// Runs calvix-check with the arguments and the given standard input.
TChildResult RunCalvixCheck(const std::vector<std::string>& args, std::string_view input = {},
                            const TChildSetup& setup = {});

// The output split into lines.
std::vector<std::string> Lines(const std::string& text);

}  // namespace clitest
