// Tests of the line reader: lines found whatever the blocks the input arrives in, CRLF, NUL
// bytes, lines too long for any number read through in bounded memory, and read errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "cli/LineReader.h"

namespace {

// Gives its text in pieces of the sizes asked for, cycling through them, and then the end or
// an error.
class TPiecesSource : public TByteSource {
 public:
  TPiecesSource(std::string text, std::vector<std::size_t> pieces, bool failAtEnd = false)
      : FText(std::move(text)), FPieces(std::move(pieces)), FFailAtEnd(failAtEnd) {}

  std::ptrdiff_t Read(char* into, std::size_t size) override {
    if (FAt == FText.size()) return FFailAtEnd ? -1 : 0;
    const std::size_t piece =
        std::min({size, FPieces[FNext++ % FPieces.size()], FText.size() - FAt});
    std::memcpy(into, FText.data() + FAt, piece);
    FAt += piece;
    return static_cast<std::ptrdiff_t>(piece);
  }

 private:
  std::string FText;
  std::vector<std::size_t> FPieces;
  bool FFailAtEnd;
  std::size_t FAt = 0;
  std::size_t FNext = 0;
};

struct TReadLine {
  std::string Text;
  std::uint64_t Length;
  bool operator==(const TReadLine&) const = default;
  friend void PrintTo(const TReadLine& line, std::ostream* out) {
    *out << line.Length << ":" << line.Text.substr(0, 12);
  }
};

std::vector<TReadLine> ReadAll(TByteSource& source, std::size_t blockSize, bool* failed = nullptr) {
  TLineReader reader(source, blockSize);
  std::vector<TReadLine> lines;
  TLine line;
  while (reader.Next(line))
    lines.push_back({std::string(line.Text), line.Length});
  if (failed != nullptr) *failed = reader.Failed();
  return lines;
}

// The lines as the reader must give them, found the slow and obvious way.
std::vector<TReadLine> Expected(const std::string& text) {
  std::vector<TReadLine> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string::npos ? text.size() : end + 1;
    if (end == std::string::npos) end = text.size();
    if (end > start && text[end - 1] == '\r') --end;
    const std::string line = text.substr(start, end - start);
    lines.push_back(
        {line.size() > kLongestLine ? line.substr(0, kLongLineShown) : line, line.size()});
    start = next;
  }
  return lines;
}

}  // namespace

TEST(LineReader, GivesEachLineWithoutItsLineEnd) {
  TPiecesSource source("111.444.777-35\r\n\n12.ABC.345/01DE-35\nlast", {1 << 20});
  const auto lines = ReadAll(source, 4096);
  const std::vector<TReadLine> expected{
      {"111.444.777-35", 14}, {"", 0}, {"12.ABC.345/01DE-35", 18}, {"last", 4}};
  EXPECT_EQ(lines, expected);
}

TEST(LineReader, KeepsNulBytesAndLoneReturns) {
  const std::string text("a\0b\rc\r\r\n\0\n", 10);
  TPiecesSource source(text, {3});
  const std::vector<TReadLine> expected{{std::string("a\0b\rc\r", 6), 6},
                                        {std::string(1, '\0'), 1}};
  EXPECT_EQ(ReadAll(source, 64), expected);
}

TEST(LineReader, FindsTheSameLinesWhateverThePiecesAndBlocks) {
  std::mt19937 random(5);
  std::string text;
  // Short lines, empty ones, CRLF, and lines around and well beyond the longest kept.
  const std::size_t lengths[] = {
      0, 1, 11, 14, 18, kLongestLine - 1, kLongestLine, kLongestLine + 1, 3 * kLongestLine, 20000};
  for (int i = 0; i < 300; ++i) {
    const std::size_t length = lengths[random() % std::size(lengths)];
    for (std::size_t j = 0; j < length; ++j)
      text += static_cast<char>('a' + random() % 26);
    text += random() % 3 == 0 ? "\r\n" : "\n";
  }
  text += "no line end";
  const auto expected = Expected(text);
  for (const std::size_t block :
       {std::size_t{1}, std::size_t{7}, std::size_t{4096}, std::size_t{1} << 20}) {
    for (const std::vector<std::size_t>& pieces :
         {std::vector<std::size_t>{1}, {2, 5}, {1000, 3}, {1 << 20}}) {
      TPiecesSource source(text, pieces);
      ASSERT_EQ(ReadAll(source, block), expected) << "block " << block;
    }
  }
}

TEST(LineReader, SplitsACarriageReturnAndLineFeedAcrossBlocks) {
  const std::string longLine = std::string(3000, 'x') + "\r\n" + "next\r\n";
  TPiecesSource source(longLine, {3000, 1, 1, 6});
  const std::vector<TReadLine> expected{{std::string(kLongLineShown, 'x'), 3000}, {"next", 4}};
  EXPECT_EQ(ReadAll(source, 16), expected);
}

// A line of a gigabyte passes through the reader's fixed buffer; the source makes it up as it
// is read, so the test holds no copy of it either.
TEST(LineReader, ReadsAGigabyteLineInItsOwnBuffer) {
  class TEndlessLine : public TByteSource {
   public:
    std::ptrdiff_t Read(char* into, std::size_t size) override {
      if (FLeft == 0) {
        if (FTailGiven) return 0;
        FTailGiven = true;
        std::memcpy(into, "\n111.444.777-35\n", 16);
        return 16;
      }
      const std::size_t piece = std::min<std::uint64_t>(size, FLeft);
      std::memset(into, 'y', piece);
      FLeft -= piece;
      ++Reads;
      return static_cast<std::ptrdiff_t>(piece);
    }
    std::uint64_t FLeft = std::uint64_t{1} << 30;
    bool FTailGiven = false;
    int Reads = 0;
  } source;
  TLineReader reader(source);
  TLine line;
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line.Length, std::uint64_t{1} << 30);
  EXPECT_EQ(line.Text, std::string(kLongLineShown, 'y'));
  EXPECT_TRUE(line.Truncated());
  // Read in blocks of a megabyte, not byte by byte or all at once.
  EXPECT_GE(source.Reads, 1000);
  EXPECT_LE(source.Reads, 1100);
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line.Text, "111.444.777-35");
  EXPECT_FALSE(reader.Next(line));
}

TEST(LineReader, StopsAtAReadErrorWithoutTheCutLine) {
  TPiecesSource source("11144477735\n111444", {5}, true);
  bool failed = false;
  const auto lines = ReadAll(source, 64, &failed);
  EXPECT_TRUE(failed);
  const std::vector<TReadLine> expected{{"11144477735", 11}};
  EXPECT_EQ(lines, expected);
}
