// Version information read from program files: the built program's own resource, missing
// files, files without a resource, and damaged blocks that must be refused without reading
// beyond them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/support/ResourceFiles.h"

using testfiles::Bytes;

namespace {

// A version buffer filled the way a program does it: the size first, then the data.
struct TVersionBuffer {
  explicit TVersionBuffer(const std::string& name) {
    DWORD handle = 99;
    size = GetFileVersionInfoSizeA(name.c_str(), &handle);
    sizeError = size ? 0 : GetLastError();
    EXPECT_EQ(handle, 0u);
    if (size == 0) return;
    data.resize(size);
    filled = GetFileVersionInfoA(name.c_str(), 0, size, data.data());
  }

  // The text at `path`, or "<none>" when the query fails.
  std::string Text(const char* path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), path, &value, &length)) return "<none>";
    return std::string(static_cast<const char*>(value));
  }

  DWORD size = 0;
  DWORD sizeError = 0;
  BOOL filled = FALSE;
  std::vector<char> data;
};

std::string ProgramName() {
  return testfiles::ZPath(CALVIX_EXE_PATH);
}

}  // namespace

TEST(VersionInfo, TheProgramCarriesItsVersion) {
  TVersionBuffer info(ProgramName());
  ASSERT_GT(info.size, 0u);
  ASSERT_TRUE(info.filled);

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, (DWORD)VS_FFI_SIGNATURE);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00020001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x0003000Du);

  DWORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(info.data.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(length, 4u);
  EXPECT_EQ(*translation, 0x04E40416u);

  EXPECT_EQ(info.Text("\\StringFileInfo\\041604E4\\FileVersion"), "2.1.3.13");
  EXPECT_EQ(info.Text("\\stringfileinfo\\041604e4\\FILEVERSION"), "2.1.3.13");
  EXPECT_EQ(info.Text("StringFileInfo\\\\041604e4\\FileVersion\\"), "2.1.3.13");
  // Accented text comes back in Windows-1252.
  EXPECT_NE(info.Text("\\StringFileInfo\\041604E4\\FileDescription").find("verifica\xe7\xe3o"),
            std::string::npos);
}

TEST(VersionInfo, QueriesFollowTheWin32Answers) {
  TVersionBuffer info(ProgramName());
  ASSERT_TRUE(info.filled);
  void* value = reinterpret_cast<void*>(1);
  UINT length = 77;
  SetLastError(0);
  EXPECT_FALSE(
      VerQueryValueA(info.data.data(), "\\StringFileInfo\\041604e4\\Missing", &value, &length));
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(value, reinterpret_cast<void*>(1));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_TYPE_NOT_FOUND);
  // A string table of the wrong shape finds nothing; forward slashes are not separators here.
  EXPECT_EQ(info.Text("\\StringFileInfo\\0416e4\\FileVersion"), "<none>");
  EXPECT_EQ(info.Text("/StringFileInfo/041604e4/FileVersion"), "<none>");
  // A block has no value of its own.
  ASSERT_TRUE(VerQueryValueA(info.data.data(), "\\StringFileInfo", &value, &length));
  EXPECT_EQ(length, 0u);
  // String lengths count the terminator.
  ASSERT_TRUE(
      VerQueryValueA(info.data.data(), "\\StringFileInfo\\041604e4\\FileVersion", &value, &length));
  EXPECT_EQ(length, 9u);
}

TEST(VersionInfo, MissingFilesAndFilesWithoutVersionHaveNone) {
  testfiles::TScratch scratch;
  EXPECT_EQ(TVersionBuffer(testfiles::ZPath(scratch.Path("absent"))).sizeError,
            (DWORD)ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(TVersionBuffer(testfiles::ZPath(scratch.Path("no/such/folder"))).sizeError,
            (DWORD)ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(TVersionBuffer("C:\\Windows\\notepad.exe").sizeError, (DWORD)ERROR_PATH_NOT_FOUND);

  const std::string text = scratch.Write("readme.txt", Bytes{'h', 'i', '\n'});
  EXPECT_EQ(TVersionBuffer(testfiles::ZPath(text)).sizeError, (DWORD)ERROR_RESOURCE_DATA_NOT_FOUND);
  const std::string other = scratch.Write("other", testfiles::ElfWithSection({1, 2, 3}, ".data"));
  EXPECT_EQ(TVersionBuffer(testfiles::ZPath(other)).sizeError,
            (DWORD)ERROR_RESOURCE_DATA_NOT_FOUND);
  const std::string noVersion =
      scratch.Write("noversion", testfiles::ElfWithSection(resources::BuildDirectory(
                                     {{uint16_t{10}, uint16_t{1}, Bytes{1, 2, 3, 4}}})));
  EXPECT_EQ(TVersionBuffer(testfiles::ZPath(noVersion)).sizeError,
            (DWORD)ERROR_RESOURCE_DATA_NOT_FOUND);

  char buffer[64];
  SetLastError(0);
  EXPECT_FALSE(GetFileVersionInfoA(testfiles::ZPath(text).c_str(), 0, sizeof buffer, buffer));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_DATA_NOT_FOUND);
}

// --- Damaged blocks ---

namespace {

class DamagedVersion : public ::testing::Test {
 protected:
  Bytes Block() const {
    return resources::VersionBlock(testfiles::VersionTree(0x0416, 0x04E4, u"2.1.3.13"));
  }
  // Writes a program whose version resource is `block` and reads its version information.
  TVersionBuffer Read(const Bytes& block) {
    const auto path =
        FScratch.Write("program" + std::to_string(FCount++),
                       testfiles::ElfWithSection(testfiles::DirectoryWithVersion(block)));
    return TVersionBuffer(testfiles::ZPath(path));
  }
  static void SetWord(Bytes& block, size_t at, uint16_t value) {
    block[at] = value & 0xFF;
    block[at + 1] = value >> 8;
  }

  testfiles::TScratch FScratch;
  int FCount = 0;
};

constexpr char kFileVersion[] = "\\StringFileInfo\\041604E4\\FileVersion";

}  // namespace

TEST_F(DamagedVersion, ASoundBlockReads) {
  EXPECT_EQ(Read(Block()).Text(kFileVersion), "2.1.3.13");
}

TEST_F(DamagedVersion, RootsThatOverrunOrAreNotVersionBlocksAreRefused) {
  Bytes block = Block();
  SetWord(block, 0, static_cast<uint16_t>(block.size() + 4));
  EXPECT_EQ(Read(block).size, 0u);

  block = Block();
  block[6] = 'X';  // the root's key is no longer VS_VERSION_INFO
  EXPECT_EQ(Read(block).size, 0u);

  block = Block();
  SetWord(block, 0, 4);  // shorter than a node header
  EXPECT_EQ(Read(block).size, 0u);
  EXPECT_EQ(Read(Bytes{}).size, 0u);
}

TEST_F(DamagedVersion, ChildrenThatOverrunTheirParentAreNotFound) {
  Bytes block = Block();
  const size_t table = testfiles::NodeOffset(block, u"041604E4");
  SetWord(block, table, 0x4000);
  auto info = Read(block);
  ASSERT_GT(info.size, 0u);
  EXPECT_EQ(info.Text(kFileVersion), "<none>");
  // Siblings of the damaged node's parent are still found.
  void* value = nullptr;
  UINT length = 0;
  EXPECT_TRUE(VerQueryValueA(info.data.data(), "\\VarFileInfo\\Translation", &value, &length));
}

TEST_F(DamagedVersion, ZeroLengthNodesEndTheWalk) {
  Bytes block = Block();
  SetWord(block, testfiles::NodeOffset(block, u"CompanyName"), 0);
  EXPECT_EQ(Read(block).Text(kFileVersion), "<none>");
}

TEST_F(DamagedVersion, KeysWithoutTerminatorAreDamage) {
  Bytes block = Block();
  const size_t node = testfiles::NodeOffset(block, u"FileVersion");
  // The node ends right after "FileVe", leaving its key without a terminator.
  SetWord(block, node, 6 + 12);
  EXPECT_EQ(Read(block).Text(kFileVersion), "<none>");
}

TEST_F(DamagedVersion, TextsThatClaimTooMuchAreCutToTheirNode) {
  Bytes block = Block();
  SetWord(block, testfiles::NodeOffset(block, u"FileVersion") + 2, 0x7FFF);
  EXPECT_EQ(Read(block).Text(kFileVersion), "2.1.3.13");
}

TEST_F(DamagedVersion, BinaryValuesThatOverrunAreNotFound) {
  Bytes block = Block();
  SetWord(block, testfiles::NodeOffset(block, u"Translation") + 2, 0x100);
  EXPECT_EQ(Read(block).Text("\\VarFileInfo\\Translation"), "<none>");
  block = Block();
  SetWord(block, 2, 0x2000);  // the fixed information claims more than the root holds
  EXPECT_EQ(Read(block).Text("\\"), "<none>");
}

TEST_F(DamagedVersion, ASmallBufferIsCutToABlockThatHoldsTogether) {
  const auto path = FScratch.Write(
      "program", testfiles::ElfWithSection(testfiles::DirectoryWithVersion(Block())));
  const std::string name = testfiles::ZPath(path);
  const DWORD size = GetFileVersionInfoSizeA(name.c_str(), nullptr);
  ASSERT_GT(size, 100u);
  // Exactly as large as asked, so that the sanitizer sees any read beyond it.
  for (DWORD room : {size - 1, size / 2, 100u, 12u}) {
    std::vector<char> buffer(room);
    ASSERT_TRUE(GetFileVersionInfoA(name.c_str(), 0, room, buffer.data())) << room;
    void* value = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueA(buffer.data(), kFileVersion, &value, &length)) << room;
    VerQueryValueA(buffer.data(), "\\VarFileInfo\\Translation", &value, &length);
  }
  std::vector<char> tiny(4);
  EXPECT_FALSE(GetFileVersionInfoA(name.c_str(), 0, 4, tiny.data()));
}
