// cmake --install into a scratch folder: the tree under the prefix, the menu entry and the entry
// that starts the program at login as the desktop's validator reads them, the AppStream
// description as appstreamcli reads it, and entries that follow an unusual prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/MakerSettings.h"
#include "tests/e2e/Desktop.h"
#include "tests/install/InstallFiles.h"

using namespace install;

namespace {

// Installs the build into `root` for `prefix` (the whole of it, or one component); the exit
// status of cmake --install.
int InstallInto(const fs::path& root, const std::string& prefix,
                const std::string& component = "") {
  std::string command = "DESTDIR=" + Quoted(root.string()) + " " + kCMake + " --install " +
                        Quoted(kBuildDir) + " --prefix " + Quoted(prefix);
  if (!component.empty()) command += " --component " + component;
  return e2e::Run(command + " >/dev/null");
}

// What desktop-file-validate says of an entry: nothing when it is clean.
std::string ValidateEntry(const fs::path& entry) {
  return e2e::Output("desktop-file-validate " + Quoted(entry.string()) + " 2>&1; echo $?");
}

// What appstreamcli says of a description, without the network: its verdict line last.
std::string ValidateDescription(const fs::path& file) {
  return e2e::Output("appstreamcli validate --no-net " + Quoted(file.string()) +
                     " 2>&1; echo status $?");
}

std::string Menu() {
  return std::string("share/applications/") + kAppId + ".desktop";
}

}  // namespace

TEST(InstallTree, PutsTheProgramItsMenuEntryIconsDescriptionAndDocumentsUnderThePrefix) {
  TScratch dest;
  ASSERT_EQ(InstallInto(dest.Path(), "/usr"), 0);
  const fs::path usr = dest.Path() / "usr";

  const fs::path program = usr / "bin/MorCalvix";
  ASSERT_TRUE(fs::is_regular_file(program));
  EXPECT_NE(fs::status(program).permissions() & fs::perms::others_exec, fs::perms::none);
  for (const int size : {16, 32, 48}) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    EXPECT_EQ(PngSize(usr / "share/icons/hicolor" / folder / "apps/calvix.png"),
              std::make_pair(uint32_t(size), uint32_t(size)))
        << folder;
  }
  EXPECT_TRUE(fs::is_regular_file(usr / "share/man/man1/MorCalvix.1"));
  // The checks on the command line come with the program.
  EXPECT_TRUE(fs::is_regular_file(usr / "bin/calvix-check"));
  EXPECT_TRUE(fs::is_regular_file(usr / "share/man/man1/calvix-check.1"));

  // The documents, the about page where the licence window's link looks for it.
  const fs::path docs = usr / "share/doc/calvix";
  // The README's pictures lie where its links point.
  const std::string readme = ReadText(docs / "README.md");
  for (size_t at = readme.find("](docs/"); at != std::string::npos;
       at = readme.find("](docs/", at + 1)) {
    const std::string link = readme.substr(at + 2, readme.find(')', at) - at - 2);
    EXPECT_TRUE(fs::is_regular_file(docs / link)) << link;
  }
  EXPECT_TRUE(fs::is_regular_file(usr / kInstalledDocDir / "about.html"));
  // The terms as the licence window lists them: 32 lines, in UTF-8.
  const std::string terms = ReadText(docs / "LICENCA.txt");
  EXPECT_EQ(std::count(terms.begin(), terms.end(), '\n'), 32);
  EXPECT_EQ(terms.rfind("LICEN\xC3\x87"
                        "A:\n",
                        0),
            0u)
      << terms.substr(0, 40);
  EXPECT_NE(terms.find("\n" + std::string(46, '=') + "\n"), std::string::npos);

  // Only the package has Debian's files, and the login entry waits for its option.
  EXPECT_FALSE(fs::exists(docs / "copyright"));
  EXPECT_FALSE(fs::exists(dest.Path() / "etc"));

  // The menu entry starts the program in its own folder, where it finds its file and so its
  // version.
  const auto entry = DesktopEntry(usr / Menu());
  EXPECT_EQ(entry.at("Name"), "Calvix");
  EXPECT_EQ(entry.at("Exec"), "/usr/bin/MorCalvix");
  EXPECT_EQ(entry.at("TryExec"), "/usr/bin/MorCalvix");
  EXPECT_EQ(entry.at("Path"), "/usr/bin");
  EXPECT_EQ(entry.at("Icon"), "calvix");
  EXPECT_EQ(entry.at("StartupNotify"), "false");
  EXPECT_NE(entry.at("Categories").find("Utility;"), std::string::npos);
  EXPECT_FALSE(entry.at("Comment").empty());
  EXPECT_FALSE(entry.at("Comment[pt_BR]").empty());
  EXPECT_EQ(ValidateEntry(usr / Menu()), "0");

  const fs::path description = usr / "share/metainfo" / (std::string(kAppId) + ".metainfo.xml");
  const std::string text = ReadText(description);
  EXPECT_NE(text.find("<release version=\"2.1.3.13\""), std::string::npos);
  EXPECT_NE(text.find("<launchable type=\"desktop-id\">" + std::string(kAppId) + ".desktop<"),
            std::string::npos);
  const std::string verdict = ValidateDescription(description);
  EXPECT_NE(verdict.find("status 0"), std::string::npos) << verdict;
  EXPECT_EQ(verdict.find("W:"), std::string::npos) << verdict;
}

TEST(InstallTree, TheLoginEntryStartsTheSameProgramAndTheSessionCanTurnItOff) {
  TScratch dest;
  ASSERT_EQ(InstallInto(dest.Path(), "/usr"), 0);
  ASSERT_EQ(InstallInto(dest.Path(), "/usr", "autostart"), 0);
  const fs::path login = dest.Path() / "etc/xdg/autostart" / (std::string(kAppId) + ".desktop");
  ASSERT_TRUE(fs::is_regular_file(login));

  auto entry = DesktopEntry(login);
  EXPECT_EQ(entry["X-GNOME-Autostart-enabled"], "true");
  // Hidden is the user's own switch, in a copy under ~/.config/autostart; ours never sets it.
  EXPECT_EQ(entry.count("Hidden"), 0u);
  entry.erase("X-GNOME-Autostart-enabled");
  EXPECT_EQ(entry, DesktopEntry(dest.Path() / "usr" / Menu()));
  EXPECT_EQ(ValidateEntry(login), "0");
}

TEST(InstallTree, EntriesNameTheProgramWhereverThePrefixPutsIt) {
  TScratch dest;
  const std::string prefix = "/opt/Calvix 2$";
  ASSERT_EQ(InstallInto(dest.Path(), prefix), 0);
  const fs::path menu = dest.Path() / ("opt/Calvix 2$/" + Menu());
  const auto entry = DesktopEntry(menu);
  // A path with a space is quoted in Exec, and the dollar sign escaped inside the quotes.
  EXPECT_EQ(entry.at("Exec"), "\"/opt/Calvix 2\\\\$/bin/MorCalvix\"");
  EXPECT_EQ(entry.at("Path"), "/opt/Calvix 2$/bin");
  EXPECT_EQ(entry.at("TryExec"), "/opt/Calvix 2$/bin/MorCalvix");
  EXPECT_EQ(ValidateEntry(menu), "0");
}

TEST(InstallTree, TheDescriptionListsScreenshotsOnlyWithTheirWebAddress) {
  TScratch scratch;
  const fs::path file = scratch.Path() / "calvix.metainfo.xml";
  auto write = [&](const std::string& url) {
    return e2e::Run(
        kCMake + " -DTEMPLATE=" +
        Quoted(std::string(CALVIX_SOURCE_DIR) + "/packaging/" + kAppId + ".metainfo.xml.in") +
        " -DOUTPUT=" + Quoted(file.string()) + " -DVERSION=2.1.3.13 -DDOCS=" +
        Quoted(std::string(CALVIX_SOURCE_DIR) + "/docs") + " -DSCREENSHOT_URL=" + url + " -P " +
        Quoted(std::string(CALVIX_SOURCE_DIR) + "/packaging/Metainfo.cmake"));
  };
  ASSERT_EQ(write("https://example.org/calvix/docs/"), 0);
  std::string text = ReadText(file);
  EXPECT_NE(text.find("<image>https://example.org/calvix/docs/"), std::string::npos) << text;
  EXPECT_NE(text.find("<caption>"), std::string::npos);
  const std::string verdict = ValidateDescription(file);
  EXPECT_NE(verdict.find("status 0"), std::string::npos) << verdict;

  // Without an address there is no screenshot, which software centres would reject.
  ASSERT_EQ(write("''"), 0);
  EXPECT_EQ(ReadText(file).find("<screenshot"), std::string::npos);
}
