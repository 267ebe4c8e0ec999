// The record of font matches between runs: used while nothing it rests on has changed, void as
// a whole on any change and on any file that is not a whole record of ours.
#include "platform/core/FontMatchStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/core/Paths.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::fonts::TMatch;
using platform::fonts::TMatchRequest;
using platform::fonts::TMatchStore;

class FontMatchStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir =
        fs::temp_directory_path() /
        ("font-match-store-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(FDir);
    fs::create_directories(FDir / "conf.d");
    Write(FDir / "fonts.conf", "<fontconfig/>");
    Write(FDir / "Face.ttf", "not really a face");
    FRecord = (FDir / "cache" / "font-matches").string();
  }
  void TearDown() override { fs::remove_all(FDir); }

  static void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  // A record made in an earlier run: one match, resting on the configuration and its folders.
  void RecordOne(const std::string& environment = "env") {
    TMatchStore store(FRecord);
    store.SetEnvironment(environment);
    store.Remember(kRequest, Face(), Watched());
  }
  std::vector<std::string> Watched() const {
    return {(FDir / "fonts.conf").string(), (FDir / "conf.d").string(),
            (FDir / "user.conf").string()};  // absent, watched for its coming
  }
  TMatch Face() const { return {(FDir / "Face.ttf").string(), 1, "Liberation Sans", true, false}; }
  bool Holds(const std::string& environment = "env") const {
    TMatchStore store(FRecord);
    store.SetEnvironment(environment);
    return store.Load() && store.Find(kRequest) != nullptr;
  }

  const TMatchRequest kRequest{"Liberation Sans", true, false};
  fs::path FDir;
  std::string FRecord;
};

TEST_F(FontMatchStoreTest, ANextRunFindsWhatTheLastOneMatched) {
  RecordOne();
  TMatchStore store(FRecord);
  store.SetEnvironment("env");
  ASSERT_TRUE(store.Load());
  const TMatch* found = store.Find(kRequest);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(*found, Face());
  EXPECT_EQ(store.Find({"Liberation Sans", false, false}), nullptr) << "another style";
  EXPECT_EQ(store.Find({"liberation sans", true, false}), nullptr) << "exactly as asked";
  // A second match joins the first; a record is replaced whole, nothing left beside it.
  store.Remember({"DejaVu Sans", false, true}, Face(), Watched());
  TMatchStore again(FRecord);
  again.SetEnvironment("env");
  ASSERT_TRUE(again.Load());
  EXPECT_NE(again.Find(kRequest), nullptr);
  EXPECT_NE(again.Find({"DejaVu Sans", false, true}), nullptr);
  EXPECT_EQ(std::distance(fs::directory_iterator(FDir / "cache"), fs::directory_iterator()), 1);
}

TEST_F(FontMatchStoreTest, AnyChangeToWhatTheAnswerRestsOnVoidsTheRecord) {
  const auto changed = [&](auto change) {
    RecordOne();
    EXPECT_TRUE(Holds());
    change();
    return !Holds();
  };
  EXPECT_TRUE(changed([&] { Write(FDir / "fonts.conf", "<fontconfig><dir>x</dir></fontconfig>"); }))
      << "a configuration file rewritten";
  EXPECT_TRUE(changed([&] {
    Write(FDir / "conf.d" / "99-new.conf", "<fontconfig/>");
    // As a later run sees the folder: its time moved on (the clock may not have, this quickly).
    fs::last_write_time(FDir / "conf.d", fs::last_write_time(FDir / "conf.d") + 1s);
  })) << "a file added to a configuration folder";
  EXPECT_TRUE(changed([&] { Write(FDir / "user.conf", "<fontconfig/>"); }))
      << "a configuration where there was none";
  EXPECT_TRUE(changed([&] { fs::remove(FDir / "Face.ttf"); })) << "the face removed";
  Write(FDir / "Face.ttf", "not really a face");
  RecordOne("env");
  EXPECT_FALSE(Holds("another env")) << "another environment or library version";
}

TEST_F(FontMatchStoreTest, AFileThatIsNoWholeRecordOfOursIsVoid) {
  RecordOne();
  std::string whole;
  ASSERT_TRUE(platform::ReadUnixFile(FRecord, whole));
  const auto holdsAs = [&](const std::string& text) {
    Write(FRecord, text);
    return Holds();
  };
  EXPECT_TRUE(holdsAs(whole));
  EXPECT_FALSE(holdsAs(whole.substr(0, whole.size() - 1))) << "cut short";
  EXPECT_FALSE(holdsAs(whole.substr(0, whole.rfind("match")))) << "only its first lines";
  EXPECT_FALSE(holdsAs("")) << "empty";
  EXPECT_FALSE(holdsAs("calvix font matches 2\n" + whole.substr(whole.find('\n') + 1)))
      << "another format";
  std::string bad = whole;
  bad.replace(bad.rfind("\t1\t"), 3, "\tx\t");
  EXPECT_FALSE(holdsAs(bad)) << "a number that is none";
  EXPECT_FALSE(holdsAs(whole + "match\tonly\tthree\n")) << "a line of the wrong shape";
  EXPECT_FALSE(holdsAs(std::string(300 * 1024, 'x'))) << "far too large";
  fs::remove(FRecord);
  EXPECT_FALSE(Holds()) << "no record at all";
}

TEST_F(FontMatchStoreTest, NamesTheFormatCannotHoldAreNotWritten) {
  TMatchStore store(FRecord);
  store.SetEnvironment("env");
  store.Remember(kRequest, Face(), {(FDir / "a\tb").string()});
  EXPECT_FALSE(fs::exists(FRecord));
  EXPECT_NE(store.Find(kRequest), nullptr) << "the run itself keeps its match";
  TMatchStore nothing(FRecord);
  nothing.SetEnvironment("env");
  nothing.Remember(kRequest, TMatch{}, Watched());
  EXPECT_FALSE(fs::exists(FRecord)) << "no face found is not remembered";
  TMatchStore memoryOnly{std::string()};
  EXPECT_FALSE(memoryOnly.Keeps());
}

}  // namespace
