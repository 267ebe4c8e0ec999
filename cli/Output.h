// The command's output: lines gathered in a large buffer and written in few large writes.
// Layer: the command line (cli/), standard library only.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

// A write that failed, with the system's error number (EPIPE when the reader has gone).
class EWriteError : public std::runtime_error {
 public:
  explicit EWriteError(int error) : std::runtime_error("write error"), FError(error) {}
  int Error() const { return FError; }

 private:
  int FError;
};

// Where the output goes: standard output, or memory in the tests.
class TByteSink {
 public:
  virtual ~TByteSink() = default;
  // Writes every byte or throws EWriteError.
  virtual void Write(std::string_view bytes) = 0;
};

class TOutput {
 public:
  static constexpr std::size_t kDefaultFlushSize = std::size_t{1} << 20;

  explicit TOutput(TByteSink& sink, std::size_t flushSize = kDefaultFlushSize);

  // A line is appended to Text() and ended with EndLine(), which writes the buffer once it
  // holds flushSize bytes.
  std::string& Text() { return FText; }
  void EndLine();
  // Writes what the buffer holds; throws EWriteError.
  void Flush();

 private:
  TByteSink& FSink;
  std::size_t FFlushSize;
  std::string FText;
};
