// The command's files through the system: numbers read from files and standard input, output
// written to standard output, messages to standard error. The only part of the command that
// speaks POSIX. Layer: the command line (cli/).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "cli/LineReader.h"
#include "cli/Output.h"

class TFileSource : public TByteSource {
 public:
  // Opens the named file, or standard input for "-". Standard input is left open afterwards.
  explicit TFileSource(std::string_view name);
  ~TFileSource() override;
  TFileSource(const TFileSource&) = delete;
  TFileSource& operator=(const TFileSource&) = delete;

  bool IsOpen() const { return FDescriptor >= 0; }
  // The system's error number of the failed open or read.
  int Error() const { return FError; }
  // A read from a pipe or a terminal may wait for the writer; one from a file never does.
  bool MayWait() const { return FMayWait; }

  std::ptrdiff_t Read(char* into, std::size_t size) override;

 private:
  int FDescriptor = -1;
  bool FOwned = false;
  bool FMayWait = false;
  int FError = 0;
};

// Standard output. A closed pipe ends the program through SIGPIPE as it ends the other tools;
// where that signal is ignored, the write throws EWriteError with EPIPE.
class TStandardOutput : public TByteSink {
 public:
  void Write(std::string_view bytes) override;
};

// Writes "calvix-check: MESSAGE" and a line end to standard error.
void WriteError(std::string_view message);
// Writes the text as it is to standard error.
void WriteStandardError(std::string_view text);
// The system's text for an error number.
std::string ErrorText(int error);
