// The simulator's command line: each option's value reaches the right field. The refusals are
// pinned end to end by the transcript.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bootsim/sim_options.h"

namespace {

using quillmar::bootsim::parseSimOptions;
using quillmar::bootsim::SimOptions;

TEST(SimOptionsTest, EveryOptionReachesItsField) {
  SimOptions options;
  ASSERT_EQ(parseSimOptions(
                {"--load",     "in.hex",  "--dump",     "out.bin", "--sessions",     "2",
                 "--commands", "0x10",    "--id",       "AVRBOOX", "--silent-after", "100",
                 "--nack",     "m:3",     "--nack",     "0x1b:1",  "--nack",         "::2",
                 "--corrupt",  "0x1FFFF", "--no-block", "--baud",  "38400",          "--latency",
                 "16",         "--help",  "--version"},
                options),
            "");
  EXPECT_EQ(options.loadPath, "in.hex");
  EXPECT_EQ(options.dumpPath, "out.bin");
  EXPECT_EQ(options.limits.sessions, 2u);
  EXPECT_EQ(options.limits.commands, 16u);
  EXPECT_EQ(options.faults.identifier, "AVRBOOX");
  EXPECT_EQ(options.faults.silentAfter, 100u);
  ASSERT_EQ(options.faults.nacks.size(), 3u);
  EXPECT_EQ(options.faults.nacks[0].command, 'm');
  EXPECT_EQ(options.faults.nacks[0].use, 3u);
  EXPECT_EQ(options.faults.nacks[1].command, 0x1B);
  EXPECT_EQ(options.faults.nacks[2].command, ':');
  EXPECT_EQ(options.faults.stuckAddress, 0x1FFFFu);
  EXPECT_TRUE(options.faults.noBlock);
  EXPECT_EQ(options.line.baud, 38400u);
  EXPECT_EQ(options.line.latencyMs, 16u);
  EXPECT_TRUE(options.help);  // neither takes a value
  EXPECT_TRUE(options.version);
}

}  // namespace
