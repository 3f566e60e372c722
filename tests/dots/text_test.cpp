// Text at the display's full resolution: the pixel font, the layout, the marquee, and the
// frames played as a movie's are.
#include <gtest/gtest.h>

#include "core/playback.h"
#include "dots/pixel_font.h"
#include "dots/text_frames.h"
#include "player/play_dots.h"
#include "support/fake_platform.h"
#include "support/port_record.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

std::vector<DotFrame> AllFrames(TextFrames& text) {
  std::vector<DotFrame> frames;
  DotFrame frame;
  while (text.Next(frame)) frames.push_back(frame);
  return frames;
}

// The lit dots' bounds: left, top, right, bottom (-1s when none is lit).
std::array<int, 4> Bounds(const DotFrame& frame) {
  std::array<int, 4> box{kPixelColumns, kPixelRows, -1, -1};
  for (int x = 0; x < kPixelColumns; ++x)
    for (int y = 0; y < kPixelRows; ++y)
      if (frame.At(x, y)) box = {std::min(box[0], x), std::min(box[1], y), x, std::max(box[3], y)};
  return box[2] < 0 ? std::array<int, 4>{-1, -1, -1, -1} : box;
}

TEST(Text, WhatFitsStandsStillInTheMiddleAndTheRestScrollsThrough) {
  const std::string line21(21, 'H'), line22(22, 'H');
  // clang-format off
  const std::tuple<std::string, int, std::array<int, 4>> cases[] = {  // text, frames, first's bounds
      {"H", 1, {61, 28, 65, 34}}, {"HH\\nH", 1, {58, 24, 68, 38}}, {"H\nH", 1, {61, 24, 65, 38}},
      {line21, 1, {1, 28, 125, 34}}, {"\\n\\n\\n\\n\\n\\n\\nH", 1, {61, 56, 65, 62}},
      {line22, 128 + 131, {127, 28, 127, 34}}, {"A\\nB\\nC\\nD\\nE\\nF\\nG\\nH\\nI", 1, {13, 28, 112, 34}},
      {"", 1, {-1, -1, -1, -1}}};
  // clang-format on
  for (const auto& [text, count, bounds] : cases) {
    SCOPED_TRACE(text);
    TextFrames frames(text, 11);
    const std::vector<DotFrame> all = AllFrames(frames);
    ASSERT_EQ(static_cast<int>(all.size()), count);
    EXPECT_EQ(Bounds(all.front()), bounds);
    EXPECT_EQ(all.front().slices, count == 1 ? 11 : kDefaultScrollSlices);
  }
  TextFrames asked("Hi", 11, 5);
  const std::vector<DotFrame> marquee = AllFrames(asked);
  ASSERT_EQ(marquee.size(), 128u + 11u) << "asked to scroll, text that fits scrolls too";
  EXPECT_EQ(Bounds(marquee[127]), (std::array<int, 4>{0, 28, 9, 34}));
  EXPECT_EQ(Bounds(marquee.back()), (std::array<int, 4>{-1, -1, -1, -1})) << "the last is out";
  EXPECT_EQ(marquee.back().slices, 5);
}

// A line feed written in more bytes than it needs is not a line feed: its bytes show as
// themselves, on the one line.
TEST(Text, AnOverlongLineFeedBreaksNoLine) {
  for (const std::string text : {"H\xE0\x80\x8AH", "H\xF0\x80\x80\x8AH", "H\xC0\x8AH"}) {
    TextFrames frames(text, 11);
    DotFrame frame;
    ASSERT_TRUE(frames.Next(frame));
    const std::array<int, 4> box = Bounds(frame);
    EXPECT_LT(box[3] - box[1], kGlyphPitchY) << "two lines: " << text.size() << " bytes";
  }
}

TEST(Text, Latin1LettersHaveTheirMarksAndWhatTheFontLacksShowsAsAQuestionMark) {
  for (const char32_t marked : {U'À', U'É', U'Ñ', U'Ö', U'Ý', U'à', U'é', U'ñ', U'ö', U'ÿ', U'Å'}) {
    SCOPED_TRACE(static_cast<int>(marked));
    const Glyph glyph = GlyphFor(marked);
    const auto marks = std::count_if(glyph.begin(), glyph.end(), [](uint8_t c) { return c & 3; });
    EXPECT_GT(marks, 0) << "a mark in the top two rows";
    EXPECT_NE(glyph, GlyphFor(marked < 0xE0 ? U'A' : U'a'));
  }
  EXPECT_NE(GlyphFor(U'É'), GlyphFor(U'È'));
  EXPECT_EQ(GlyphFor(U'€'), GlyphFor(U'?'));
  EXPECT_EQ(GlyphFor(0x1F), GlyphFor(U'?'));
  // A byte that is no UTF-8 is taken as Latin-1.
  TextFrames utf8("\xC3\xA9", 1), latin1("\xE9", 1);
  DotFrame a, b;
  ASSERT_TRUE(utf8.Next(a) && latin1.Next(b));
  EXPECT_EQ(a.dots, b.dots);
}

class PlayingDots : public ::testing::Test, public test::RecordingWindow {
 protected:
  void SetUp() override {
    pb.lPortBase = kFirstParallelPort;
    InitDisplay(pb);
    platform.onSleep = [this](int32_t) { ++held.back(); };
  }
  void FrameShown(std::size_t) override { held.push_back(0); }
  Playback pb;
  test::FakePlatform platform;
  test::RecordingPort port;
  std::vector<int> held;  // the slices each frame sent was held for
};

TEST_F(PlayingDots, EachFrameIsSentWholeAndHeldForItsSlicesAndRepeatLoopsUntilStopped) {
  TextFrames marquee("Hi", 11, 2);  // 139 frames a pass, two slices each
  platform.AtPump(139 * 2 * 2 + 2 + 22 * 2,
                  [this] { pb.bPlaying = false; });  // Stop, in the third pass
  repeat = 1;
  pb.bPlaying = true;
  PlayDots(pb, *this, marquee);
  EXPECT_EQ(held, std::vector<int>(139 * 2 + 22, 2)) << "the passes start again at the first";
  EXPECT_TRUE(captions.empty()) << "stopped, not ended";
  TextFrames still("Hi", 11);
  repeat = 0;
  pb.bPlaying = true;
  PlayDots(pb, *this, still);
  EXPECT_FALSE(pb.bPlaying);
  EXPECT_EQ(captions, std::vector<std::string>{"&Play"});
  const DisplayModel shown = port.Model();
  EXPECT_TRUE(shown.Lit(58, 28) && shown.Lit(62, 34) && !shown.Lit(0, 0)) << "H's corners";
}

}  // namespace
}  // namespace glowreel
