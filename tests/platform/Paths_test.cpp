// Windows-style names and Unix paths: drive Z: is the Unix root, both separators count, and
// "." and ".." resolve the way Windows resolves them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/core/Paths.h"

using platform::UnixPathFromWindows;
using platform::WindowsPathFromUnix;

TEST(Paths, DriveZIsTheUnixRoot) {
  EXPECT_EQ(UnixPathFromWindows("Z:\\home\\ana"), "/home/ana");
  EXPECT_EQ(UnixPathFromWindows("z:/home/ana"), "/home/ana");
  EXPECT_EQ(UnixPathFromWindows("Z:\\"), "/");
  EXPECT_EQ(UnixPathFromWindows("Z:/"), "/");
  EXPECT_EQ(UnixPathFromWindows("Z:\\usr/lib\\x"), "/usr/lib/x");
  EXPECT_EQ(UnixPathFromWindows("\\usr\\lib"), "/usr/lib");
  EXPECT_EQ(UnixPathFromWindows("/usr/lib"), "/usr/lib");
}

TEST(Paths, DotsResolveWithoutClimbingAboveTheRoot) {
  EXPECT_EQ(UnixPathFromWindows("Z:\\a\\b\\..\\c"), "/a/c");
  EXPECT_EQ(UnixPathFromWindows("Z:\\a\\.\\b\\.\\"), "/a/b");
  EXPECT_EQ(UnixPathFromWindows("Z:\\..\\..\\etc"), "/etc");
  EXPECT_EQ(UnixPathFromWindows("Z:\\a\\..\\.."), "/");
  EXPECT_EQ(UnixPathFromWindows("Z:\\a\\\\b//c"), "/a/b/c");
}

TEST(Paths, RelativeNamesStartAtTheCurrentDirectory) {
  const std::string here = platform::UnixCurrentDirectory();
  EXPECT_EQ(UnixPathFromWindows("x\\y"), (here == "/" ? "" : here) + "/x/y");
  EXPECT_EQ(UnixPathFromWindows("Z:x"), (here == "/" ? "" : here) + "/x");
  EXPECT_EQ(UnixPathFromWindows("."), here);
}

TEST(Paths, NamesThatCannotExistHereMapToNothing) {
  EXPECT_FALSE(UnixPathFromWindows(""));
  EXPECT_FALSE(UnixPathFromWindows("C:\\Windows"));
  EXPECT_FALSE(UnixPathFromWindows("c:"));
  EXPECT_FALSE(UnixPathFromWindows("\\\\server\\share\\file"));
  EXPECT_FALSE(UnixPathFromWindows("\\\\?\\Z:\\x"));
  EXPECT_FALSE(UnixPathFromWindows("//server/share"));
}

TEST(Paths, UnixPathsArePresentedOnDriveZ) {
  EXPECT_EQ(WindowsPathFromUnix("/"), "Z:\\");
  EXPECT_EQ(WindowsPathFromUnix("/home/ana"), "Z:\\home\\ana");
  EXPECT_EQ(WindowsPathFromUnix("//home///ana"), "Z:\\home\\ana");
  EXPECT_EQ(WindowsPathFromUnix("rel/name"), "rel\\name");
}

TEST(Paths, NamesAreWindows1252OutsideAndUtf8Inside) {
  // "ção" in Windows-1252 is E7 E3 6F; the file system sees its UTF-8 form.
  EXPECT_EQ(UnixPathFromWindows("Z:\\a\xe7\xe3o"), "/a\xc3\xa7\xc3\xa3o");
  EXPECT_EQ(WindowsPathFromUnix("/a\xc3\xa7\xc3\xa3o"), "Z:\\a\xe7\xe3o");
  // A name the code page cannot hold shows '?' instead of bytes out of step.
  EXPECT_EQ(WindowsPathFromUnix("/\xe2\x88\x9e"), "Z:\\?");
}

TEST(Paths, RoundTripKeepsAbsoluteNames) {
  for (const char* name : {"Z:\\", "Z:\\usr", "Z:\\home\\ana\\Documentos\\a b.txt"}) {
    EXPECT_EQ(WindowsPathFromUnix(*UnixPathFromWindows(name)), name);
  }
}

TEST(Paths, AFileIsReadWholeAndAFolderOrNothingNotAtAll) {
  char folder[] = "/tmp/calvix-paths-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string file = std::string(folder) + "/big";
  // Larger than one read, with every byte value.
  std::string written;
  for (int i = 0; i < 40000; ++i)
    written += char(i * 7);
  FILE* out = std::fopen(file.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(written.data(), 1, written.size(), out);
  std::fclose(out);
  std::string read = "left over";
  EXPECT_TRUE(platform::ReadUnixFile(file, read));
  EXPECT_EQ(read, written);
  EXPECT_FALSE(platform::ReadUnixFile(std::string(folder) + "/missing", read));
  EXPECT_TRUE(read.empty());
  EXPECT_FALSE(platform::ReadUnixFile(folder, read)) << "a folder is no file";
  std::remove(file.c_str());
  rmdir(folder);
}
