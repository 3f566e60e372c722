#include <gtest/gtest.h>

#include <random>

#include "app/shared_state.h"
#include "support/fake_platform.h"
#include "support/recording_port.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

using test::Commands;
using test::DataBytes;
using test::FakePlatform;
using test::RecordingPort;

class RefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSharedState();
    lPortBase = 888;
  }
  FakePlatform platform;
  RecordingPort port;
};

TEST_F(RefreshTest, SendsEightPagesOfColumnBytes) {
  RefreshDisplay();
  const auto transfers = port.Transfers();
  EXPECT_EQ(transfers.size(), 1056u);
  EXPECT_EQ(port.Writes().size(), 4224u);
  std::vector<uint8_t> commands;
  for (uint8_t page = 0; page < 8; ++page) commands.insert(commands.end(), {0x64, 0, 0x60, page});
  EXPECT_EQ(Commands(transfers), commands);
  EXPECT_EQ(DataBytes(transfers), std::vector<uint8_t>(1024, 0x00));
  for (int i = 0; i < 8; ++i) {
    EXPECT_FALSE(transfers[i * 132 + 3].isData) << "page " << i << " starts with its position";
    EXPECT_TRUE(transfers[i * 132 + 4].isData);
  }
  for (const auto& write : port.Writes()) ASSERT_EQ(write.value & 0xFF00, 0);
}

struct PixelCase {
  int x, y;
  std::size_t dataIndex;
  uint8_t byte;
};

TEST_F(RefreshTest, EachPixelLandsInItsByteAndBit) {
  for (const PixelCase c :
       {PixelCase{0, 0, 0, 0x01}, PixelCase{127, 63, 1023, 0x80}, PixelCase{5, 10, 128 + 5, 0x04},
        PixelCase{64, 39, 4 * 128 + 64, 0x80}}) {
    SCOPED_TRACE("pixel " + std::to_string(c.x) + "," + std::to_string(c.y));
    pixelBuffer = PixelBuffer{};
    pixelBuffer[c.x][c.y] = 7;  // any non-zero value is lit
    port.Clear();
    RefreshDisplay();
    std::vector<uint8_t> expected(1024, 0);
    expected[c.dataIndex] = c.byte;
    EXPECT_EQ(DataBytes(port.Transfers()), expected);
  }
}

TEST_F(RefreshTest, RandomImageSurvivesTheTripThroughTheDisplayModel) {
  InitDisplay();
  SetBrightness(15);
  std::mt19937 random(42);
  for (auto& column : pixelBuffer)
    for (int16_t& pixel : column) pixel = static_cast<int16_t>(random() % 3 == 0 ? -1 : 0);
  RefreshDisplay();
  const DisplayModel model = port.Model();
  for (int x = 0; x < kPixelColumns; ++x)
    for (int y = 0; y < kPixelRows; ++y)
      ASSERT_EQ(model.Lit(x, y), pixelBuffer[x][y] != 0) << "pixel " << x << "," << y;
}

TEST_F(RefreshTest, FailingPortReportsEveryWriteAndTheRefreshGoesToItsEnd) {
  RecordingPort failing(/*failing=*/true);
  RefreshDisplay();
  EXPECT_EQ(failing.Writes().size(), 4224u);
  EXPECT_EQ(platform.ErrorReports(57), 4224);
}

}  // namespace
}  // namespace glowreel
