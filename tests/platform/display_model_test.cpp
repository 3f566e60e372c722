#include <gtest/gtest.h>

#include "platform/port/display_model.h"

namespace glowreel {
namespace {

struct Bytes {
  std::vector<Transfer> transfers;
  Bytes& Cmd(std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) transfers.push_back({false, b});
    return *this;
  }
  Bytes& Dat(std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) transfers.push_back({true, b});
    return *this;
  }
  DisplayModel Model() const {
    DisplayModel model;
    for (const Transfer& t : transfers) model.Receive(t);
    return model;
  }
};

TEST(DisplayModel, LatchesTheDataRegisterWhenTheStrobeBecomesActive) {
  DisplayModel model;
  const uint8_t writes[][2] = {{2, 0x05}, {0, 0x24}, {2, 0x01}, {2, 0x05},   // command 0x24
                               {2, 0x05}, {0, 0x40}, {2, 0x01}, {2, 0x01},   // 0x40, held strobe
                               {2, 0x0D}, {0, 0x81}, {2, 0x09}, {2, 0x0D}};  // data 0x81
  for (const auto& w : writes) model.WriteRegister(w[0], w[1]);
  EXPECT_TRUE(model.IsOn());
  EXPECT_TRUE(model.Lit(0, 0));
  EXPECT_TRUE(model.Lit(0, 7));
  EXPECT_FALSE(model.Lit(0, 1));
}

TEST(DisplayModel, StaysDarkUntilALayerIsSwitchedOn) {
  Bytes bytes;
  bytes.Cmd({0x84}).Dat({0xFF});
  EXPECT_FALSE(bytes.Model().IsOn());
  EXPECT_FALSE(bytes.Model().Lit(0, 0));
  EXPECT_TRUE(bytes.Model().Stored(0, 0, 0));
  bytes.Cmd({0x24, 0x40});
  EXPECT_TRUE(bytes.Model().Lit(0, 0));
  bytes.Cmd({0x20, 0x00});
  EXPECT_FALSE(bytes.Model().IsOn());
}

TEST(DisplayModel, ParameterBelongsToItsCommand) {
  Bytes bytes;
  bytes.Cmd({0x44, 0x24, 0x40});  // the 0x40 switches graphics on, it is no brightness
  EXPECT_EQ(bytes.Model().Brightness(), 11);
  bytes.Cmd({0x62, 0x03}).Dat({0xFF});  // area set: its data byte draws nothing
  EXPECT_FALSE(bytes.Model().Lit(0, 0));
  bytes.Cmd({0x4F});
  EXPECT_EQ(bytes.Model().Brightness(), 0);
  bytes.Cmd({0x40});
  EXPECT_EQ(bytes.Model().Brightness(), 15);
}

TEST(DisplayModel, XAdvancesOnlyInTheAutoIncrementMode) {
  Bytes fixed;
  fixed.Cmd({0x24, 0x40, 0x80, 0x64, 10, 0x60, 1}).Dat({0x01, 0x02});
  EXPECT_FALSE(fixed.Model().Lit(10, 8));
  EXPECT_TRUE(fixed.Model().Lit(10, 9));
  EXPECT_FALSE(fixed.Model().Lit(11, 9));

  Bytes advancing;
  advancing.Cmd({0x24, 0x40, 0x84, 0x64, 10, 0x60, 1}).Dat({0x01, 0x02});
  EXPECT_TRUE(advancing.Model().Lit(10, 8));
  EXPECT_TRUE(advancing.Model().Lit(11, 9));
}

TEST(DisplayModel, SecondLayerLivesInPagesEightToFifteen) {
  Bytes bytes;
  bytes.Cmd({0x84, 0x64, 0, 0x60, 8}).Dat({0x01});
  bytes.Cmd({0x24, 0x40});
  EXPECT_TRUE(bytes.Model().Stored(1, 0, 0));
  EXPECT_FALSE(bytes.Model().Lit(0, 0));
  bytes.Cmd({0x28, 0x40});
  EXPECT_TRUE(bytes.Model().Lit(0, 0));
}

TEST(DisplayModel, ClearEmptiesBothLayersAndSendsThePositionHome) {
  Bytes bytes;
  bytes.Cmd({0x24, 0x40, 0x84, 0x64, 50, 0x60, 3}).Dat({0xFF}).Cmd({0x5F}).Dat({0x01});
  EXPECT_FALSE(bytes.Model().Lit(50, 24));
  EXPECT_TRUE(bytes.Model().Lit(0, 0));
}

}  // namespace
}  // namespace glowreel
