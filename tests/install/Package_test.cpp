// The Debian package that CPack makes of this build: its control data and contents, lintian's
// verdict, and the unpacked program started the way its menu entry starts it, on a virtual
// desktop: its icon docks and its main window shows the version read from the unpacked file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/app/ProgramHarness.h"
#include "tests/e2e/Program.h"
#include "tests/install/InstallFiles.h"

using namespace install;

namespace {

constexpr int kFechar = 4;  // the menu's entry that ends the program, by the down arrow

// The package, made once for the suite, and the tree it unpacks to.
struct TPackage {
  TScratch scratch;
  fs::path deb;
  fs::path root;
  std::string log;  // what cpack said
};

const TPackage& ThePackage() {
  static TPackage package;
  static const bool made = [] {
    const fs::path out = package.scratch.Path() / "out";
    package.log =
        e2e::Output(kCPack + " -G DEB --config " + Quoted(kBuildDir + "/CPackConfig.cmake") +
                    " -B " + Quoted(out.string()) + " 2>&1");
    package.deb = out / "calvix_2.1.3.13_amd64.deb";
    package.root = package.scratch.Path() / "root";
    return e2e::Run("dpkg-deb -x " + Quoted(package.deb.string()) + " " +
                    Quoted(package.root.string())) == 0;
  }();
  (void)made;
  return package;
}

std::string Deb() {
  return Quoted(ThePackage().deb.string());
}

// The mask as rows of '#' and '.', for a readable failure.
std::string Picture(const std::vector<bool>& mask) {
  std::string out;
  const int width = e2e::kVersionRight - e2e::kVersionLeft;
  for (size_t i = 0; i < mask.size(); ++i)
    out += std::string(mask[i] ? "#" : ".") + ((i + 1) % width == 0 ? "\n" : "");
  return out;
}

class Package : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_TRUE(fs::is_regular_file(ThePackage().deb)) << ThePackage().log;
  }
};

}  // namespace

TEST_F(Package, CarriesItsControlDataAndTheInstalledTree) {
  const std::string fields = e2e::Output("dpkg-deb -f " + Deb() +
                                         " Package Version Section Maintainer Depends Recommends");
  EXPECT_NE(fields.find("Package: calvix\n"), std::string::npos) << fields;
  EXPECT_NE(fields.find("Version: 2.1.3.13\n"), std::string::npos) << fields;
  EXPECT_NE(fields.find("Section: utils\n"), std::string::npos) << fields;
  EXPECT_NE(fields.find("Maintainer: "), std::string::npos) << fields;
  // The libraries the programs link, found by dpkg-shlibdeps, and the fonts that fontconfig
  // gives for the families the windows name.
  for (const char* dependency :
       {"libc6 ", "libstdc++6 ", "libx11-6", "libfreetype6 ", "libfontconfig1 ", "fonts-liberation",
        "fonts-dejavu-core", "fonts-comic-neue"})
    EXPECT_NE(fields.find(dependency), std::string::npos) << dependency << "\n" << fields;
  // The session bus's library is opened at run time, where a session has a bus.
  EXPECT_NE(fields.find("Recommends: xdg-utils, libsystemd0"), std::string::npos) << fields;

  const std::string info = e2e::Output("dpkg-deb -I " + Deb() + " conffiles");
  EXPECT_EQ(info, "/etc/xdg/autostart/" + std::string(kAppId) + ".desktop");

  const std::string contents = e2e::Output("dpkg-deb -c " + Deb()) + "\n";
  const std::string entry = std::string(kAppId) + ".desktop";
  const std::string doc = "./usr/share/doc/calvix/";
  const std::vector<std::string> files = {
      "./usr/bin/MorCalvix",
      "./usr/share/applications/" + entry,
      "./etc/xdg/autostart/" + entry,
      "./usr/share/icons/hicolor/16x16/apps/calvix.png",
      "./usr/share/icons/hicolor/48x48/apps/calvix.png",
      "./usr/share/metainfo/" + std::string(kAppId) + ".metainfo.xml",
      "./usr/share/man/man1/MorCalvix.1.gz",
      "./usr/bin/calvix-check",
      "./usr/share/man/man1/calvix-check.1.gz",
      doc + "README.md",
      doc + "about.html",
      doc + "LICENCA.txt",
      doc + "copyright",
      doc + "changelog.gz",
      "./usr/share/doc-base/calvix"};
  for (const std::string& file : files)
    EXPECT_NE(contents.find(" " + file + "\n"), std::string::npos) << file << "\n" << contents;
  EXPECT_EQ(contents.find("/usr/local"), std::string::npos) << contents;
  EXPECT_EQ(contents.find(".1\n"), std::string::npos) << "an uncompressed manual page";
  for (const std::string& line : e2e::TProgram::Lines(contents))
    EXPECT_NE(line.find(" root/root "), std::string::npos) << line;

  // Debian's copyright file carries the licence window's terms.
  const std::string copyright = ReadText(ThePackage().root / "usr/share/doc/calvix/copyright");
  EXPECT_NE(copyright.find("\n LICEN\xC3\x87"
                           "A:\n .\n >> "),
            std::string::npos)
      << copyright;
}

// What lintian still reports at the "info" level is explained in packaging/CMakeLists.txt.
TEST_F(Package, LintianFindsNoErrorAndNoWarning) {
  if (e2e::Run("command -v lintian >/dev/null") != 0) GTEST_SKIP() << "lintian is not installed";
  const std::string verdict =
      e2e::Output("lintian --fail-on error,warning " + Deb() + " 2>&1; echo status $?");
  EXPECT_NE(verdict.find("status 0"), std::string::npos) << verdict;
  EXPECT_EQ(verdict.find("E: "), std::string::npos) << verdict;
  EXPECT_EQ(verdict.find("W: "), std::string::npos) << verdict;
}

TEST_F(Package, TheUnpackedProgramStartedAsItsMenuEntrySaysDocksAndShowsItsVersion) {
  // The menu entry names the program and its working folder for the final place; here they
  // lie under the unpacked root.
  const fs::path root = ThePackage().root;
  const auto entry =
      DesktopEntry(root / "usr/share/applications" / (std::string(kAppId) + ".desktop"));
  ASSERT_EQ(entry.at("Exec").front(), '/') << "an unquoted absolute path";
  const std::string exe = root.string() + entry.at("Exec");
  const std::string folder = root.string() + entry.at("Path");

  // The label as the program paints it when it reads the version from the unpacked file: the
  // same program on the headless desktop, in the same folder.
  headless::SetCurrentDirectoryText(testfiles::ZPath(folder));
  StartProgram();
  DoubleClickTrayIcon();
  ASSERT_EQ(FormPrincipal->LbVer->Caption(), "2.1.3.13");
  const platform::Surface screen = headless::Screen();
  const e2e::TShot painted{screen.width, screen.height, screen.pixels};
  const std::vector<bool> expected =
      e2e::VersionMask(painted, {FormPrincipal->Left(), FormPrincipal->Top()});
  ASSERT_GT(std::count(expected.begin(), expected.end(), true), 20);

  ASSERT_TRUE(e2e::TDesktop::Get().Started());
  e2e::TProgram program(exe, folder);
  ASSERT_FALSE(program.TrayIcon().empty()) << "the icon did not dock";
  program.DoubleClickIcon();
  const std::string main = e2e::TProgram::MainWindow();
  ASSERT_FALSE(main.empty()) << "the double click showed no window";
  const e2e::TPoint origin = e2e::Origin(main);
  std::vector<bool> shown;
  e2e::Eventually(
      [&] { return (shown = e2e::VersionMask(e2e::Screenshot(), origin)) == expected; });
  EXPECT_EQ(Picture(shown), Picture(expected)) << "the version label does not read 2.1.3.13";

  program.ChooseFromMenu(kFechar);
  EXPECT_EQ(program.ExitCode(), 0);
}
