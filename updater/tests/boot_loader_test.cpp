// The simulated boot loader's command table, its flash semantics and its fault injection,
// driven byte by byte without a line in between.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bootsim/boot_loader.h"

namespace {

using namespace std::string_literals;
using quillmar::bootsim::BootLoader;
using quillmar::bootsim::Faults;
using quillmar::bootsim::kAppRegionBytes;
using quillmar::bootsim::NackFault;

// Feeds `input` and returns everything the boot loader answered.
std::string talk(BootLoader& loader, const std::string& input) {
  std::vector<uint8_t> reply;
  for (char byte : input) {
    loader.receive(static_cast<uint8_t>(byte), reply);
  }
  return std::string(reply.begin(), reply.end());
}

// A set-address command for word address `word`.
std::string at(uint32_t word) {
  return std::string{'A', static_cast<char>(word >> 8), static_cast<char>(word & 0xFF)};
}

std::string bytes(std::initializer_list<int> values) {
  std::string text;
  for (int value : values) {
    text += static_cast<char>(value);
  }
  return text;
}

// Faults with one thing changed by `set`.
template <typename Set>
Faults faultsWith(Set set) {
  Faults faults;
  set(faults);
  return faults;
}

struct Exchange {
  const char* what;
  std::string input;
  std::string reply;
};

TEST(BootLoaderTest, AnswersEachCommandAsTheCommandSetDefines) {
  const Exchange cases[] = {
      {"identifier", "S", "AVRBOOT"},
      {"escape is ignored", "\x1b\x1b\x1b\x1b", ""},
      {"auto-increment", "a", "Y"},
      {"programming mode", "PL", "\r\r"},
      {"exit", "E", "\r"},
      {"programmer type", "p", "S"},
      {"software version", "V", "10"},
      {"block mode with a 256-byte buffer", "b", bytes({'Y', 0x01, 0x00})},
      {"device codes", "t", bytes({0x43, 0x00})},
      {"device type, LEDs", "T\x43x\x01y\x01", "\r\r\r"},
      {"signature, last byte first", "s", bytes({0x02, 0x97, 0x1E})},
      {"fuses and lock bits", "FNQr", bytes({0xFF, 0x9E, 0xFF, 0xFF})},
      {"lock bits only clear", "l\xF0l\x3Fr", bytes({'\r', '\r', 0x30})},
      {"unknown commands", "Zv\x00"s, "???"},
      {"set address takes two bytes", at(0x5252) + "a", "\rY"},
      {"extended address takes three bytes", "H\x00\x00\x01R"s, bytes({'\r', 0xFF, 0xFF})},
      {"read advances by one word", at(0) + "RR", bytes({'\r', 0xFF, 0xFF, 0xFF, 0xFF})},
      {"eeprom byte write and read", at(7) + "D\x5A" + at(7) + "d", "\r\r\r\x5A"},
      {"block load refuses an unknown memory", "B\x00\x02Xa"s, "?Y"},
      {"block read refuses an unknown memory", "g\x00\x02X"s, "?"},
  };
  for (const Exchange& c : cases) {
    BootLoader loader;
    EXPECT_EQ(talk(loader, c.input), c.reply) << c.what;
    EXPECT_EQ(talk(loader, "a"), "Y") << c.what << ": no bytes left over";
  }
}

TEST(BootLoaderTest, PageWriteOnlyClearsBitsUntilErased) {
  BootLoader loader;
  loader.flash().bytes()[0] = 0x0F;
  std::string writeWord0 = at(0) + bytes({'c', 0xF0, 'C', 0xAA}) + at(0) + "m";
  talk(loader, writeWord0);
  EXPECT_EQ(loader.flash().bytes()[0], 0x00);
  EXPECT_EQ(talk(loader, "e"), "\r");
  talk(loader, writeWord0);
  EXPECT_EQ(loader.flash().bytes()[0], 0xF0);
  EXPECT_EQ(loader.flash().bytes()[1], 0xAA);
}

TEST(BootLoaderTest, BootSectionSurvivesEraseAndPageWrites) {
  BootLoader loader;
  auto flash = loader.flash().bytes();
  flash[kAppRegionBytes - 1] = 0x00;
  flash[kAppRegionBytes] = 0x12;
  talk(loader, "e" + at(kAppRegionBytes / 2) + bytes({'c', 0x00, 'C', 0x00}) +
                   at(kAppRegionBytes / 2) + "m");
  EXPECT_EQ(flash[kAppRegionBytes - 1], 0xFF);
  EXPECT_EQ(flash[kAppRegionBytes], 0x12);
  EXPECT_EQ(flash[kAppRegionBytes + 1], 0xFF);
}

TEST(BootLoaderTest, PageBufferIsEmptiedByEachPageWrite) {
  BootLoader loader;
  talk(loader, at(0) + bytes({'c', 0x11, 'C', 0x22}) + "m" + "e" + at(0) + "m");
  EXPECT_EQ(loader.flash().bytes()[0], 0xFF);
}

// Block transfers: flash blocks that cross page boundaries and end in an odd byte, and EEPROM.
TEST(BootLoaderTest, BlockLoadAndBlockReadRoundTrip) {
  struct Block {
    char memory;
    uint32_t start;
    size_t size;
  };
  const Block cases[] = {{'F', 0x7E, 301}, {'F', 0, 256}, {'E', 10, 40}};
  for (const Block& c : cases) {
    BootLoader loader;
    std::string data;
    for (size_t i = 0; i < c.size; ++i) {
      data += static_cast<char>(i * 7 + 0x11);
    }
    std::string header = {static_cast<char>(c.size >> 8), static_cast<char>(c.size & 0xFF),
                          c.memory};
    EXPECT_EQ(talk(loader, at(c.start) + "B" + header + data), "\r\r") << c.memory;
    std::string expected = data;
    if (c.memory == 'F' && c.size % 2 != 0) {
      expected += '\xFF';  // the odd byte's partner stays erased
      header[1] = static_cast<char>(c.size + 1);
    }
    EXPECT_EQ(talk(loader, at(c.start) + "g" + header), "\r" + expected) << c.memory;
  }
}

TEST(BootLoaderTest, UnacknowledgedCommandIsNotCarriedOut) {
  BootLoader loader(faultsWith([](Faults& f) {
    f.nacks = {NackFault{'C', 1}, NackFault{'e', 1}};
  }));
  loader.flash().bytes()[0] = 0x00;
  EXPECT_EQ(talk(loader, "e"), "?");
  EXPECT_EQ(loader.flash().bytes()[0], 0x00);
  EXPECT_EQ(talk(loader, at(0) + bytes({'c', 1, 'C', 2})), "\r\r?");
  EXPECT_EQ(loader.address(), 0u);
}

TEST(BootLoaderTest, StuckByteStoresWithBitZeroFlipped) {
  BootLoader loader(faultsWith([](Faults& f) { f.stuckAddress = 3; }));
  talk(loader, at(0) + bytes({'c', 0x10, 'C', 0x20, 'c', 0x30, 'C', 0x40}) + at(0) + "m");
  EXPECT_EQ(talk(loader, at(0) + "RR"), bytes({'\r', 0x20, 0x10, 0x41, 0x30}));
}

TEST(BootLoaderTest, DroppedPartialCommandLeavesNoBytesBehind) {
  BootLoader loader;
  talk(loader, "A\x01");
  loader.dropPartialCommand();
  EXPECT_EQ(talk(loader, "a"), "Y");
  EXPECT_EQ(loader.commandsCompleted(), 1u);
}

}  // namespace
