// The command's output: lines gathered in a large buffer and written in few large writes.
// Layer: the command line (cli/), standard library only.
#include "cli/Output.h"

TOutput::TOutput(TByteSink& sink, std::size_t flushSize) : FSink(sink), FFlushSize(flushSize) {
  // Room for a long line past the flush size, so that the buffer seldom grows again.
  FText.reserve(flushSize + 8192);
}

void TOutput::EndLine() {
  FText.push_back('\n');
  if (FText.size() >= FFlushSize) Flush();
}

void TOutput::Flush() {
  if (FText.empty()) return;
  // The buffer is emptied even when the write fails, so that nothing is written twice.
  try {
    FSink.Write(FText);
  } catch (...) {
    FText.clear();
    throw;
  }
  FText.clear();
}
