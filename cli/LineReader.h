// Splits a stream of bytes into lines, in large blocks and in bounded memory whatever the
// length of a line. Layer: the command line (cli/), standard library only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// Where the bytes come from: a file, standard input, or memory in the tests.
class TByteSource {
 public:
  virtual ~TByteSource() = default;
  // Reads at most `size` bytes into `into`, waiting for at least one unless the input has
  // ended. Answers the count read, 0 at the end of the input and -1 on an error, which the
  // source keeps for its own report.
  virtual std::ptrdiff_t Read(char* into, std::size_t size) = 0;
};

// No number is written in more bytes than this, whatever blanks surround it. A longer line is
// read through without being kept: only its first kLongLineShown bytes are.
inline constexpr std::size_t kLongestLine = 1024;
inline constexpr std::size_t kLongLineShown = 40;

// One line, without its line end ("\n" or "\r\n").
struct TLine {
  std::string_view Text;     // the whole line, or the first bytes of one longer than kLongestLine
  std::uint64_t Length = 0;  // the length of the whole line
  bool Truncated() const { return Length > Text.size(); }
};

class TLineReader {
 public:
  static constexpr std::size_t kDefaultBlockSize = std::size_t{1} << 20;

  explicit TLineReader(TByteSource& source, std::size_t blockSize = kDefaultBlockSize);

  // Gives the next line, whose text stays valid until the next call. False at the end of the
  // input, and at a read error, after which Failed() is true; a line cut short by the error is
  // not given. A last line without a line end is a line.
  bool Next(TLine& line) {
    // Most lines end inside the block already read.
    const void* found = std::memchr(FBuffer.data() + FSearched, '\n', FEnd - FSearched);
    if (found == nullptr) return NextAfterReading(line);
    const auto end = static_cast<std::size_t>(static_cast<const char*>(found) - FBuffer.data());
    GiveLine(line, end);
    FSearched = FBegin = end + 1;
    return true;
  }
  bool Failed() const { return FFailed; }

 private:
  bool NextAfterReading(TLine& line);
  void Fill();
  bool SkipLongLine(TLine& line);

  // The line runs from FBegin to `end`, where its line end starts or the input ended. A line
  // too long for any number shows only its start, as it does when it is read through.
  void GiveLine(TLine& line, std::size_t end) {
    if (end > FBegin && FBuffer[end - 1] == '\r') --end;
    line.Length = end - FBegin;
    line.Text = std::string_view(FBuffer.data() + FBegin,
                                 line.Length > kLongestLine ? kLongLineShown : line.Length);
  }

  TByteSource& FSource;
  std::vector<char> FBuffer;
  std::size_t FBegin = 0;     // the start of the line being read
  std::size_t FSearched = 0;  // where the search for its end goes on
  std::size_t FEnd = 0;       // the end of the bytes read
  bool FEnded = false;
  bool FFailed = false;
  std::string FLongLineStart;
};
