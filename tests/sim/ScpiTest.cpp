// Reading the command texts of the simulated instruments: headers with long and short forms,
// optional nodes and numeric suffixes, parameters with units, and several commands in one
// message.
#include "sim/Scpi.h"

#include <gtest/gtest.h>

namespace brimtal::sim {
namespace {

ScpiCommand Only(std::string_view text) {
  const auto commands = ParseScpiMessage(text);
  EXPECT_EQ(commands.size(), 1u) << text;
  return commands.empty() ? ScpiCommand{} : commands[0];
}

TEST(Scpi, HeadersMatchLongAndShortFormsAndSkipOptionalNodes) {
  const char* power = "[SOURce]:POWer[:LEVel][:IMMediate][:AMPLitude]";
  const std::vector<std::tuple<const char*, const char*, bool>> cases{
      {"POW -10 DBM", power, true},
      {":SOUR:POWER:LEV:IMM:AMPL -10", power, true},
      {"source:pow:level -10", power, true},
      {"POWE -10", power, false},  // neither the short nor the long form
      {"SOUR:LEV -10", power, false},
      {"POW:FREQ 1", power, false},
      {"*IDN?", "*IDN", true},
      {"FETC2?", "FETCh[:SCALar][:POWer][:AC]", true},
      {"DISP:TRAC:Y:RLEV 0", "DISPlay[:WINDow]:TRACe:Y[:SCALe]:RLEVel", true},
      {"DISP:WIND:TRAC:Y:SCAL:RLEV 0", "DISPlay[:WINDow]:TRACe:Y[:SCALe]:RLEVel", true},
  };
  for (const auto& [text, pattern, matches] : cases) {
    EXPECT_EQ(HeaderMatches(Only(text), pattern), matches) << text << " / " << pattern;
  }
}

TEST(Scpi, MessagesSplitIntoCommandsWithSuffixesQueriesAndParameters) {
  const auto commands =
      ParseScpiMessage(":SENS2:FREQ 80.0 MHZ;:FETC1?;SYST:ERR?;:DISP:TEXT \"a;b\",3\r\n");
  ASSERT_EQ(commands.size(), 4u);
  EXPECT_EQ(commands[0].nodes, (std::vector<std::string>{"SENS", "FREQ"}));
  EXPECT_EQ(NodeSuffix(commands[0], "SENSe"), 2);
  EXPECT_EQ(commands[0].params, (std::vector<std::string>{"80.0 MHZ"}));
  EXPECT_FALSE(commands[0].query);
  EXPECT_TRUE(commands[1].query);
  EXPECT_EQ(NodeSuffix(commands[1], "FETCh"), 1);
  EXPECT_TRUE(commands[2].params.empty());
  EXPECT_EQ(commands[3].params, (std::vector<std::string>{"\"a;b\"", "3"}));
  EXPECT_TRUE(ParseScpiMessage("  \r\n").empty());
}

TEST(Scpi, NumbersCarryTheirUnits) {
  const std::vector<std::tuple<const char*, std::optional<Quantity>>> cases{
      {"80.0 MHZ", Quantity{80.0, "MHZ"}},
      {"-20DBM", Quantity{-20.0, "DBM"}},
      {"1E3", Quantity{1000.0, ""}},
      {"1.5e-3 s", Quantity{0.0015, "S"}},
      {"2 EV", Quantity{2.0, "EV"}},  // an E not followed by digits starts the unit
      {"+.5", Quantity{0.5, ""}},
      {"MHZ", std::nullopt},
      {"5 M Z", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    const auto quantity = ParseQuantity(text);
    ASSERT_EQ(quantity.has_value(), expected.has_value()) << text;
    if (!expected) continue;
    EXPECT_DOUBLE_EQ(quantity->value, expected->value) << text;
    EXPECT_EQ(quantity->unit, expected->unit) << text;
  }
  EXPECT_EQ(ParseBoolean(" on "), true);
  EXPECT_EQ(ParseBoolean("0"), false);
  EXPECT_EQ(ParseBoolean("2"), std::nullopt);
}

}  // namespace
}  // namespace brimtal::sim
