// Splits a stream of bytes into lines, in large blocks and in bounded memory whatever the
// length of a line. Layer: the command line (cli/), standard library only.
#include "cli/LineReader.h"

TLineReader::TLineReader(TByteSource& source, std::size_t blockSize)
    : FSource(source), FBuffer(blockSize + kLongestLine + 2) {}

// No line end in what was read: the line is too long, or ends with the input, or goes on in
// the next block.
bool TLineReader::NextAfterReading(TLine& line) {
  for (;;) {
    FSearched = FEnd;
    // One byte more than the longest line kept may be the return of a CRLF line end.
    if (FEnd - FBegin > kLongestLine + 1) return SkipLongLine(line);
    if (FFailed) return false;
    if (FEnded) {
      if (FBegin == FEnd) return false;
      GiveLine(line, FEnd);
      FSearched = FBegin = FEnd;
      return true;
    }
    Fill();
    const void* found = std::memchr(FBuffer.data() + FSearched, '\n', FEnd - FSearched);
    if (found != nullptr) {
      const auto end = static_cast<std::size_t>(static_cast<const char*>(found) - FBuffer.data());
      GiveLine(line, end);
      FSearched = FBegin = end + 1;
      return true;
    }
  }
}

// The pending start of a line, never longer than kLongestLine + 1, moves to the front, so
// that every read has at least a block of room.
void TLineReader::Fill() {
  const std::size_t pending = FEnd - FBegin;
  if (FBegin > 0) {
    std::memmove(FBuffer.data(), FBuffer.data() + FBegin, pending);
    FSearched -= FBegin;
    FBegin = 0;
    FEnd = pending;
  }
  const std::ptrdiff_t count = FSource.Read(FBuffer.data() + FEnd, FBuffer.size() - FEnd);
  if (count > 0) {
    FEnd += static_cast<std::size_t>(count);
  } else {
    FEnded = true;
    FFailed = count < 0;
  }
}

// Keeps the start of a line too long for any number and reads through the rest of it, a block
// at a time, only counting its bytes.
bool TLineReader::SkipLongLine(TLine& line) {
  FLongLineStart.assign(FBuffer.data() + FBegin, kLongLineShown);
  std::uint64_t length = 0;
  bool endsInReturn = false;
  for (;;) {
    const void* found = std::memchr(FBuffer.data() + FSearched, '\n', FEnd - FSearched);
    const std::size_t end =
        found != nullptr
            ? static_cast<std::size_t>(static_cast<const char*>(found) - FBuffer.data())
            : FEnd;
    if (end > FBegin) {
      length += end - FBegin;
      endsInReturn = FBuffer[end - 1] == '\r';
    }
    if (found != nullptr) {
      FSearched = FBegin = end + 1;
      break;
    }
    FSearched = FBegin = FEnd;
    if (FEnded) break;
    Fill();
  }
  if (FFailed) return false;
  if (endsInReturn) --length;
  line.Text = FLongLineStart;
  line.Length = length;
  return true;
}
