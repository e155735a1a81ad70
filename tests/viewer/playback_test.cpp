// The road of a selection through the playback timer, the file decode and
// the panes, with the platform faked and real files on disk.
#include "playback.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "current_file_decode.h"
#include "example_files.h"
#include "temp_folder_test.h"
#include "viewer_fakes.h"

namespace orvane {
namespace {

using testing::EventLog;
using testing::FakeList;
using testing::FakeServices;

class PlaybackTest : public vexo::testing::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    folderText_ = folder_.string() + "/";
    Write("a.vxo", vexo::testing::HandCheckedFile());
    Write("b.vxo", {'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Write("c.vxo", vexo::testing::HandCheckedFile());
    Write("v.vxo", vexo::testing::WithByte(vexo::testing::HandCheckedFile(), 11, 102));
    std::filesystem::create_directory(folder_ / "e.vxo");
  }
  // The tick that the timer armed last would deliver; fails when none is due.
  void Tick() {
    ASSERT_TRUE(playback_.IsArmed()) << "no tick is due";
    services_.log.clear();
    playback_.OnPlaybackTimer();
  }
  std::string PathOf(const std::string& name) const { return folderText_ + name; }

  FakeServices services_;
  CurrentFileDecode decode_{{services_, services_, services_, services_, services_}};
  Playback playback_{services_, [this](const std::string& path) {
                       decode_.currentFilePath = path;
                       return decode_.DecodeCurrentFile();
                     }};
  std::string folderText_;
};

TEST_F(PlaybackTest, AClickOnOneFileDecodesShowsAndWritesItsBmp) {
  FakeList list({"e.vxo", "a.vxo", "c.vxo"});
  decode_.saveBmp = true;
  list.Select({1});
  playback_.OnSelectionChanged(list, folderText_);
  EXPECT_EQ(services_.log, (EventLog{"arm 1"}));
  Tick();
  EXPECT_EQ(services_.log,
            (EventLog{"kill", "size 4x2", "image 24", "statistics " + PathOf("a.vxo")}));
  EXPECT_FALSE(playback_.IsArmed());
  EXPECT_TRUE(std::filesystem::exists(folder_ / "a1.bmp"));
}

TEST_F(PlaybackTest, ADamagedFileEndsTheRunWithItsMessage) {
  FakeList list({"a.vxo", "b.vxo", "c.vxo"});
  playback_.framesPerSecond = 1;
  playback_.SelectAllFiles(list, folderText_);
  playback_.StartPlayback();
  Tick();
  EXPECT_EQ(services_.log.back(), "arm 1000");
  Tick();
  EXPECT_EQ(services_.log, (EventLog{"kill", "kill", "message This is not the VEXO file"}));
  EXPECT_FALSE(playback_.IsArmed());  // c.vxo is never decoded
}

TEST_F(PlaybackTest, AVersionMismatchStopsTheTimerAndKeepsThePicture) {
  FakeList list({"a.vxo", "v.vxo"});
  playback_.SelectAllFiles(list, folderText_);
  playback_.StartPlayback();
  Tick();
  Tick();
  EXPECT_EQ(services_.log, (EventLog{"kill", "kill", "message Incorrect Decoder Version"}));
  EXPECT_EQ(decode_.Decoder().Statistics().path, PathOf("a.vxo"));
}

TEST_F(PlaybackTest, SelectAllThenDecodePlaysTheFolderEntryFirstAndEndsSilently) {
  FakeList list({"e.vxo", "a.vxo"});
  playback_.SelectAllFiles(list, folderText_);
  EXPECT_EQ(playback_.SelectedFiles(), (std::vector{PathOf("e.vxo"), PathOf("a.vxo")}));
  EXPECT_TRUE(services_.log.empty());  // Select All does not play
  playback_.StartPlayback();
  Tick();
  EXPECT_EQ(services_.log, (EventLog{"kill"}));
  EXPECT_FALSE(playback_.IsArmed());
}

TEST_F(PlaybackTest, DecodeWithAnEmptySelectionArmsOnceAndDoesNothing) {
  playback_.framesPerSecond = 60;
  playback_.StartPlayback();
  EXPECT_EQ(services_.log, (EventLog{"arm 16"}));
  Tick();
  EXPECT_EQ(services_.log, (EventLog{"kill"}));
}

TEST_F(PlaybackTest, ClickingTwoItemsOnlyRebuildsAndARunRestartsOnANewSelection) {
  FakeList list({"a.vxo", "c.vxo", "e.vxo"});
  list.Select({0, 1});
  playback_.OnSelectionChanged(list, folderText_);
  EXPECT_TRUE(services_.log.empty());
  playback_.StartPlayback();
  Tick();
  ASSERT_EQ(playback_.PlayPosition(), 1u);
  list.Select({2});  // a new selection during the run restarts it
  playback_.RebuildSelection(list, folderText_);
  EXPECT_EQ(playback_.PlayPosition(), 0u);
  list.Select({});
  playback_.RebuildSelection(list, folderText_);
  EXPECT_EQ(playback_.PlayPosition(), std::nullopt);
  Tick();
  EXPECT_EQ(services_.log, (EventLog{"kill"}));
}

TEST_F(PlaybackTest, ABmpThatCannotBeWrittenIsReportedAndTheDecodeSucceeds) {
  std::filesystem::create_directory(folder_ / "a1.bmp");  // in the way of the BMP
  FakeList list({"a.vxo"});
  decode_.saveBmp = true;
  list.Select({0});
  playback_.OnSelectionChanged(list, folderText_);
  Tick();
  ASSERT_EQ(services_.log.size(), 5u);
  EXPECT_EQ(services_.log[3], "statistics " + PathOf("a.vxo"));
  EXPECT_NE(services_.log[4].find("status "), std::string::npos);
  EXPECT_NE(services_.log[4].find("a1.bmp"), std::string::npos);
}

}  // namespace
}  // namespace orvane
