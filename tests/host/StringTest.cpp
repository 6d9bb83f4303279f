// MString and the interpreter's word splitting.
#include "Interpreter.h"

#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

TEST(StringTest, DoublesPrintShortestAndWholeNumbersPlain) {
    EXPECT_EQ(gxFormatDouble(12.0), "12");
    EXPECT_EQ(gxFormatDouble(-0.0), "0");
    EXPECT_EQ(gxFormatDouble(0.1), "0.1");
    EXPECT_EQ(gxFormatDouble(static_cast<double>(0.1f)), "0.10000000149011612");
    EXPECT_EQ(gxFormatDouble(1e20), "1e+20");
    double third = 1.0 / 3.0;
    EXPECT_EQ(std::strtod(gxFormatDouble(third).c_str(), nullptr), third);
}

TEST(StringTest, NumbersParseOnlyWhenTheWholeTextIsANumber) {
    EXPECT_TRUE(MString("-2.5e3").isDouble());
    EXPECT_EQ(MString("-2.5e3").asDouble(), -2500.0);
    EXPECT_FALSE(MString("2.5x").isDouble());
    EXPECT_FALSE(MString("").isDouble());
    EXPECT_FALSE(MString(" 1").isDouble());
    EXPECT_TRUE(MString("42").isInt());
    EXPECT_FALSE(MString("4.2").isInt());
    EXPECT_FALSE(MString("99999999999").isInt());
}

TEST(StringTest, SplitSubstringAndIndex) {
    MStringArray parts;
    MString("a,,b,c").split(',', parts);
    ASSERT_EQ(parts.length(), 3u);
    EXPECT_EQ(parts[2], MString("c"));
    MString s("mesh.f[12]");
    EXPECT_EQ(s.substring(0, s.index('.') - 1), MString("mesh"));
    EXPECT_EQ(s.substring(s.index('[') + 1, s.rindex(']') - 1).asInt(), 12);
    EXPECT_EQ(s.substring(5, 100), MString("f[12]"));
    EXPECT_EQ(s.substring(4, 2), MString(""));
}

TEST(StringTest, LineSplitsIntoCommandsAndWords) {
    std::vector<std::vector<std::string>> commands;
    std::string error;
    ASSERT_TRUE(gxhost::splitLine("  setAttr a.b 1 ; getAttr \"x y\";; // setAttr c.d 2", commands, error));
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], (std::vector<std::string>{"setAttr", "a.b", "1"}));
    EXPECT_EQ(commands[1], (std::vector<std::string>{"getAttr", "x y"}));
    ASSERT_TRUE(gxhost::splitLine("echo \"\" \"a;b\" \"tab\\there\" \"q \\\" in\" \"//no comment\"", commands,
                                  error));
    EXPECT_EQ(commands[0],
              (std::vector<std::string>{"echo", "", "a;b", "tab\there", "q \" in", "//no comment"}));
    ASSERT_TRUE(gxhost::splitLine("   // only a comment", commands, error));
    EXPECT_TRUE(commands.empty());
}

} // namespace
