// Tests of the shared module: the taxpayer check digits, the version lookup and the search for
// another copy of the program.
#include <gtest/gtest.h>

#include <string>

#include "core/MORTypes.h"
#include "platform/headless/headless.h"
#include "tests/support/ResourceFiles.h"
#include "toolkit/Forms.h"

namespace {

// Counts the two-digit endings that make a valid number out of the given base.
template <typename Check>
int ValidEndings(const std::string& base, Check check) {
  int count = 0;
  for (int ending = 0; ending < 100; ++ending) {
    const std::string text = base + char('0' + ending / 10) + char('0' + ending % 10);
    if (check(text)) ++count;
  }
  return count;
}

}  // namespace

TEST(ValidaCPF, AcceptsTheWorkedExamples) {
  EXPECT_TRUE(ValidaCPF("11144477735"));
  // Remainder 1 in the first pass gives check digit 0, not 10.
  EXPECT_TRUE(ValidaCPF("12345678909"));
}

TEST(ValidaCPF, RejectsAWrongCheckDigit) {
  EXPECT_FALSE(ValidaCPF("11144477736"));
  EXPECT_FALSE(ValidaCPF("11144477745"));
  EXPECT_FALSE(ValidaCPF("12345678919"));
  EXPECT_FALSE(ValidaCPF("12345678900"));
}

TEST(ValidaCPF, AcceptsEveryRepeatedDigit) {
  for (char digit = '0'; digit <= '9'; ++digit) {
    EXPECT_TRUE(ValidaCPF(std::string(11, digit))) << digit;
  }
}

TEST(ValidaCPF, RejectsShortTexts) {
  EXPECT_FALSE(ValidaCPF(""));
  for (std::size_t length = 1; length <= 10; ++length) {
    EXPECT_FALSE(ValidaCPF(std::string("11144477735").substr(0, length))) << length;
    EXPECT_FALSE(ValidaCPF(std::string(length, '0'))) << length;
  }
}

TEST(ValidaCPF, IgnoresDigitsAfterTheEleventh) {
  EXPECT_TRUE(ValidaCPF("111444777350"));
  EXPECT_TRUE(ValidaCPF("12345678909987654321"));
  EXPECT_FALSE(ValidaCPF("111444777360"));
}

TEST(ValidaCPF, RejectsAnyCharacterThatIsNotADecimalDigit) {
  EXPECT_FALSE(ValidaCPF("111.444.777-35"));
  EXPECT_FALSE(ValidaCPF("1114447773 5"));
  EXPECT_FALSE(ValidaCPF("11144477735x"));
  EXPECT_FALSE(ValidaCPF(std::string("11144477735\0", 12)));
  // Windows-1252 superscript digits are not decimal digits.
  EXPECT_FALSE(ValidaCPF("1114447773\xB9"));
  // Characters just outside '0'..'9' must not be read as digits either.
  EXPECT_FALSE(ValidaCPF("/0000000000"));
  EXPECT_FALSE(ValidaCPF(":0000000000"));
}

TEST(ValidaCPF, AcceptsExactlyOneEndingPerBase) {
  for (const char* base : {"000000001", "111444777", "123456789", "987654321", "500000000",
                           "090807060", "999999998"}) {
    EXPECT_EQ(ValidEndings(base, [](const std::string& t) { return ValidaCPF(t); }), 1) << base;
  }
}

TEST(ValidaCGC, AcceptsTheWorkedExamples) {
  EXPECT_TRUE(ValidaCGC("11222333000181"));
  // A first weighted sum of 100 gives 1000 mod 11 = 10, which becomes 0.
  EXPECT_TRUE(ValidaCGC("11222333000009"));
}

TEST(ValidaCGC, RejectsAWrongCheckDigit) {
  EXPECT_FALSE(ValidaCGC("11222333000182"));
  EXPECT_FALSE(ValidaCGC("11222333000191"));
  EXPECT_FALSE(ValidaCGC("11222333000081"));
}

TEST(ValidaCGC, AcceptsOnlyZerosAmongRepeatedDigits) {
  EXPECT_TRUE(ValidaCGC(std::string(14, '0')));
  for (char digit = '1'; digit <= '9'; ++digit) {
    EXPECT_FALSE(ValidaCGC(std::string(14, digit))) << digit;
  }
  // Fourteen ones compute the check digits 8 and 0.
  EXPECT_TRUE(ValidaCGC("11111111111180"));
}

TEST(ValidaCGC, RejectsShortTexts) {
  EXPECT_FALSE(ValidaCGC(""));
  for (std::size_t length = 1; length <= 13; ++length) {
    EXPECT_FALSE(ValidaCGC(std::string("11222333000181").substr(0, length))) << length;
    EXPECT_FALSE(ValidaCGC(std::string(length, '0'))) << length;
  }
}

TEST(ValidaCGC, IgnoresDigitsAfterTheFourteenth) {
  EXPECT_TRUE(ValidaCGC("112223330001819"));
  EXPECT_FALSE(ValidaCGC("112223330001829"));
}

TEST(ValidaCGC, RejectsAnyCharacterThatIsNotADecimalDigit) {
  EXPECT_FALSE(ValidaCGC("11.222.333/0001-81"));
  EXPECT_FALSE(ValidaCGC("11222333000181-"));
  EXPECT_FALSE(ValidaCGC("1122233300018\xB9"));
  EXPECT_FALSE(ValidaCGC("/0000000000000"));
}

TEST(ValidaCGC, AcceptsExactlyOneEndingPerBase) {
  for (const char* base :
       {"112223330001", "000000000001", "999999999999", "123456789012", "500000000000"}) {
    EXPECT_EQ(ValidEndings(base, [](const std::string& t) { return ValidaCGC(t); }), 1) << base;
  }
}

// --- The program's version ---

namespace {

using testfiles::Bytes;

// The folder of the built program as a Z:\ name, ending with a backslash.
std::string ProgramFolder() {
  const std::string program = testfiles::ZPath(CALVIX_EXE_PATH);
  return program.substr(0, program.rfind('\\') + 1);
}

class ReadFileVersionTest : public ::testing::Test {
 protected:
  // A program whose version resource is the given block.
  std::string ProgramWith(const Bytes& block) {
    return testfiles::ZPath(
        FScratch.Write("program" + std::to_string(FCount++),
                       testfiles::ElfWithSection(testfiles::DirectoryWithVersion(block))));
  }
  std::string ProgramIn(uint16_t language, uint16_t codePage) {
    return ProgramWith(
        resources::VersionBlock(testfiles::VersionTree(language, codePage, u"5.6.7.8")));
  }

  testfiles::TScratch FScratch;
  int FCount = 0;
  std::string FVersion = "kept";
};

}  // namespace

TEST_F(ReadFileVersionTest, ReadsTheBuiltProgramThroughItsDriveZName) {
  EXPECT_STREQ(kExeFileName, "MorCalvix");
  EXPECT_TRUE(ReadFileVersion(ProgramFolder() + kExeFileName, FVersion));
  EXPECT_EQ(FVersion, "2.1.3.13");
}

TEST_F(ReadFileVersionTest, MissingFilesAndResourcesLeaveTheVersionAlone) {
  EXPECT_FALSE(ReadFileVersion(ProgramFolder() + "NoSuchProgram", FVersion));
  EXPECT_FALSE(ReadFileVersion("C:\\Tools\\MorCalvix.exe", FVersion));
  EXPECT_FALSE(ReadFileVersion("", FVersion));
  EXPECT_FALSE(
      ReadFileVersion(testfiles::ZPath(FScratch.Write("notes.txt", Bytes{'x'})), FVersion));
  EXPECT_EQ(FVersion, "kept");
}

TEST_F(ReadFileVersionTest, DamagedBlocksAnswerFalseEvenAfterAnEarlierSuccess) {
  ASSERT_TRUE(ReadFileVersion(ProgramIn(0x0416, 0x04E4), FVersion));
  EXPECT_EQ(FVersion, "5.6.7.8");

  Bytes block = resources::VersionBlock(testfiles::VersionTree(0x0416, 0x04E4, u"5.6.7.8"));
  const size_t table = testfiles::NodeOffset(block, u"041604E4");
  block[table] = 0xFF, block[table + 1] = 0x7F;  // a string table that overruns the block
  FVersion = "kept";
  EXPECT_FALSE(ReadFileVersion(ProgramWith(block), FVersion));
  EXPECT_EQ(FVersion, "kept");
}

TEST_F(ReadFileVersionTest, ATranslationListShorterThanOneEntryIsDamage) {
  auto tree = testfiles::VersionTree(0x0416, 0x04E4, u"5.6.7.8");
  tree.children[1].children[0] = resources::BinaryValue(u"Translation", Bytes{0x16, 0x04});
  EXPECT_FALSE(ReadFileVersion(ProgramWith(resources::VersionBlock(tree)), FVersion));
  EXPECT_EQ(FVersion, "kept");
}

TEST_F(ReadFileVersionTest, OnlyNumbersWithThreeSignificantHexDigitsFindTheirTable) {
  EXPECT_TRUE(ReadFileVersion(ProgramIn(0x0C0A, 0x04B0), FVersion));  // \StringFileInfo\0c0a04b0
  EXPECT_EQ(FVersion, "5.6.7.8");
  FVersion = "kept";
  EXPECT_FALSE(ReadFileVersion(ProgramIn(0x0007, 0x04E4), FVersion));  // looks for 0704e4
  EXPECT_FALSE(ReadFileVersion(ProgramIn(0x0416, 0x0000), FVersion));  // looks for 041600
  EXPECT_FALSE(ReadFileVersion(ProgramIn(0x1004, 0x04E4), FVersion));  // looks for 0100404e4
  EXPECT_EQ(FVersion, "kept");
}

// --- One copy per desktop ---

namespace {

class ActivatePreviousInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DoneApplication();
    headless::Reset();
    Application->SetTitle("Calvix");
  }
  void TearDown() override { DoneApplication(); }

  // Runs the search; the exit code it ended the program with, or -1 when it returned.
  static int Search(bool postSecondMessage = true) {
    try {
      ActivatePreviousInstance(Application, postSecondMessage);
    } catch (const THalt& halt) {
      return halt.ExitCode;
    }
    return -1;
  }
  static HWND Other(const std::string& className, const std::string& text, size_t depth = 0) {
    return headless::AddForeignWindow({className, text, false, true, RECT{}, depth});
  }
  static bool BroughtForward(HWND window) {
    return headless::ForeignRecord(window).broughtForward > 0;
  }
};

TEST_F(ActivatePreviousInstanceTest, AnotherCopyIsRestoredMessagedAndBroughtForwardAndThisOneEnds) {
  Other("TFormPrincipal", "Calvix");  // the right text, but a form
  const HWND copy = Other("TApplication", "Calvix", 1);
  EXPECT_EQ(Search(), 0);
  const headless::TForeignRecord& seen = headless::ForeignRecord(copy);
  EXPECT_EQ(seen.showCommands, std::vector<int>{SW_RESTORE});
  ASSERT_EQ(seen.posted.size(), 2u);
  EXPECT_EQ(seen.posted[0].message, kActivateMessage);
  EXPECT_EQ(seen.posted[1].message, kActivateSecondMessage);
  for (const MSG& m : seen.posted) {
    EXPECT_EQ(m.wParam, reinterpret_cast<WPARAM>(copy));
    EXPECT_EQ(m.lParam, 0);
  }
  EXPECT_EQ(seen.broughtForward, 1);
}

TEST_F(ActivatePreviousInstanceTest, TheClassIgnoresLetterCaseAndTheTextDoesNot) {
  const HWND sameTextOtherCase = Other("TApplication", "calvix");
  const HWND otherProgram = Other("TApplication", "Calvix Pro");
  const HWND longer = Other("TApplication", "Calvix ");
  EXPECT_EQ(Search(), -1);
  for (HWND h : {sameTextOtherCase, otherProgram, longer})
    EXPECT_FALSE(BroughtForward(h));

  const HWND lowerClass = Other("tapplication", "Calvix");
  EXPECT_EQ(Search(false), 0);
  EXPECT_TRUE(BroughtForward(lowerClass));
  // Without the flag only the first message goes.
  ASSERT_EQ(headless::ForeignRecord(lowerClass).posted.size(), 1u);
  EXPECT_EQ(headless::ForeignRecord(lowerClass).posted[0].message, kActivateMessage);
}

TEST_F(ActivatePreviousInstanceTest, ItsOwnApplicationWindowNeverMatches) {
  // Our own window has the class and the title, and sits in the walk like any other.
  ASSERT_EQ(GetWindowTextLengthA(Application->Handle()), 6);
  EXPECT_EQ(Search(), -1);
}

TEST_F(ActivatePreviousInstanceTest, TextsAreReadUpTo255CharactersSoALongerTitleNeverMatches) {
  const std::string title255(255, 'C');
  Application->SetTitle(title255);
  const HWND exact = Other("TApplication", title255);
  EXPECT_EQ(Search(), 0);
  EXPECT_TRUE(BroughtForward(exact));

  headless::RemoveForeignWindow(exact);
  const std::string title256(256, 'C');
  Application->SetTitle(title256);
  const HWND cut = Other("TApplication", title256);
  EXPECT_EQ(Search(), -1);
  EXPECT_FALSE(BroughtForward(cut));
}

}  // namespace
