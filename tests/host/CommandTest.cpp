// The command interpreter, the built-in commands, plug-in commands and plug-in loading.
// MString and the interpreter's word splitting.
#include "HostFixture.h"

#include <maya/MArgList.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include <dlfcn.h>
#include <unistd.h>

#include "Interpreter.h"
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

using namespace gxhost;

namespace {

class CommandTest : public HostFixture {};

TEST_F(CommandTest, ScriptBuildsAndEvaluatesAGraph) {
    const char* script = "// two counters in a row\n"
                         "createNode testCounter -n first;\n"
                         "createNode \"testCounter\" -name second\n"
                         "\n"
                         "connectAttr first.output second.in   // short name on the destination\n"
                         "setAttr first.input 2.5\n"
                         "getAttr second.output\n";
    std::vector<std::string> result;
    ASSERT_TRUE(executeScript(script, "graph.mel", &result));
    EXPECT_EQ(result, (std::vector<std::string>{"10"}));
    EXPECT_EQ(nodeNames(), (std::vector<std::string>{"first", "second"}));
}

// A bad line or an unterminated quote: one error naming the script and the line; the script stops.
TEST_F(CommandTest, BadLinesReportTheirLineNumberAndStopTheScript) {
    const std::pair<const char*, const char*> scripts[] = {
        {"createNode testCounter -n a\nsetAttr a.input 1\nsetAttr a.nosuch 2\ncreateNode testCounter -n b\n",
         "broken.mel:3: setAttr: Node 'a' has no attribute 'nosuch'"},
        {"testEcho \"open\ncreateNode testCounter -n b\n", "broken.mel:1: unterminated string"},
    };
    for (const auto& [script, error] : scripts) {
        MessageCapture capture;
        EXPECT_FALSE(executeScript(script, "broken.mel"));
        EXPECT_EQ(capture.errors(), std::vector<std::string>{error});
        EXPECT_TRUE(findNode("b").isNull());
    }
}

TEST_F(CommandTest, FailingPluginCommandShowsItsOwnErrorThenTheLine) {
    MessageCapture capture;
    MStringArray result;
    EXPECT_FALSE(MGlobal::executeCommand("testEcho", result));
    ASSERT_EQ(capture.errors().size(), 2u);
    EXPECT_EQ(capture.errors()[0], "Usage: testEcho WORD...");
    EXPECT_EQ(capture.errors()[1], "testEcho: failed with (kFailure): Unexpected Internal Failure");
}

TEST_F(CommandTest, ArgListReadsNumbersStrictly) {
    MArgList args;
    args.addArg(MString("0.25"));
    args.addArg(MString("12"));
    args.addArg(MString("12abc"));
    MStatus status;
    EXPECT_DOUBLE_EQ(args.asDouble(0, &status), 0.25);
    EXPECT_TRUE(status);
    EXPECT_EQ(args.asInt(1, &status), 12);
    EXPECT_TRUE(status);
    args.asDouble(2, &status);
    EXPECT_FALSE(status);
    args.asInt(0, &status);
    EXPECT_FALSE(status);
    EXPECT_EQ(args.asString(2), MString("12abc"));
    args.asString(3, &status);
    EXPECT_FALSE(status);
}

TEST_F(CommandTest, SelectionListResolvesNodeNames) {
    createNode("testCounter", "alpha");
    createNode("testCounter", "beta");
    MSelectionList list;
    EXPECT_EQ(list.add("gamma"), MStatus::kInvalidParameter);
    ASSERT_TRUE(list.add("beta"));
    MObject node;
    ASSERT_TRUE(list.getDependNode(0, node));
    EXPECT_EQ(nodeName(node), "beta");
    EXPECT_FALSE(list.getDependNode(1, node));
    list.clear();
    ASSERT_TRUE(list.add("*a"));
    EXPECT_EQ(list.length(), 2u);
    std::vector<std::string> result;
    ASSERT_TRUE(executeCommand("ls -type testCounter b*", &result));
    EXPECT_EQ(result, (std::vector<std::string>{"beta"}));
    ASSERT_TRUE(executeCommand("delete alpha\nls", &result));
    EXPECT_EQ(result, (std::vector<std::string>{"beta"}));
}

TEST_F(CommandTest, PluginLoadingNamesTheLibraryAndItsIdentity) {
    EXPECT_TRUE(isPluginLoaded(pluginName));
    EXPECT_TRUE(isCommandRegistered("testEcho"));
    MessageCapture capture;
    EXPECT_FALSE(loadPlugin(GX_TEST_PLUGIN)) << "already loaded";
    EXPECT_FALSE(loadPlugin("/nonexistent/plugin.so"));
    ASSERT_EQ(capture.errors().size(), 2u);
    EXPECT_EQ(capture.errors()[0], "loadPlugin: Plug-in '" + pluginName + "' is already loaded");
    EXPECT_EQ(capture.errors()[1].rfind("loadPlugin: Cannot load plug-in '/nonexistent/plugin.so': ", 0), 0u);
    ASSERT_TRUE(executeCommand("unloadPlugin " + pluginName));
    EXPECT_FALSE(isCommandRegistered("testEcho"));
    EXPECT_FALSE(isNodeTypeRegistered("testCounter"));
    std::vector<std::string> result;
    ASSERT_TRUE(executeCommand(std::string("loadPlugin \"") + GX_TEST_PLUGIN + "\"", &result));
    EXPECT_EQ(result, (std::vector<std::string>{pluginName}));
}

TEST_F(CommandTest, LibraryWithoutEntryPointsIsRefused) {
    MessageCapture capture;
    // The host library itself has no initializePlugin.
    Dl_info info;
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&gxhost::resetScene), &info), 0);
    EXPECT_FALSE(loadPlugin(info.dli_fname));
    EXPECT_EQ(capture.errors(),
              std::vector<std::string>{std::string("loadPlugin: Plug-in '") + info.dli_fname +
                                       "' lacks the entry point 'initializePlugin'"});
}


class SelectionTest : public HostFixture {};

TEST_F(SelectionTest, SelectCommandFeedsTheActiveSelection) {
    for (const char* n : {"n1", "n2", "other"})
        createNode("testCounter", n);
    ASSERT_TRUE(executeCommand("select n*\nselect -add other"));
    MSelectionList active;
    MGlobal::getActiveSelectionList(active);
    MStringArray names;
    active.getSelectionStrings(names);
    ASSERT_EQ(names.length(), 3u);
    EXPECT_EQ(names[0], MString("n1"));
    EXPECT_EQ(names[2], MString("other"));
    MStringArray listed;
    ASSERT_TRUE(MGlobal::executeCommand("select n2\nls -sl", listed));
    ASSERT_EQ(listed.length(), 1u);
    EXPECT_EQ(listed[0], MString("n2"));
    ASSERT_TRUE(MGlobal::executeCommand("select -clear"));
    MGlobal::getActiveSelectionList(active);
    EXPECT_TRUE(active.isEmpty());
    MessageCapture capture;
    EXPECT_FALSE(MGlobal::executeCommand("select nothing*"));
    EXPECT_EQ(capture.errors().back(), "select: No object matches name: nothing*");
}

TEST_F(SelectionTest, CommandResultsConvertToNumbers) {
    createNode("testCounter", "c");
    setAttr("c.input", 1.5);
    MDoubleArray doubles;
    ASSERT_TRUE(MGlobal::executeCommand("getAttr c.output", doubles));
    ASSERT_EQ(doubles.length(), 1u);
    EXPECT_EQ(doubles[0], 3.0);
    MString text;
    ASSERT_TRUE(MGlobal::executeCommand("testEcho a b", text));
    EXPECT_EQ(text, MString("a b"));
    MessageCapture capture;
    ASSERT_TRUE(MGlobal::executeCommand("testEcho shown", true));
    EXPECT_EQ(capture.infos(), (std::vector<std::string>{"testEcho shown"})) << "echo shows the command";
}

// Numbers that an attribute's type cannot hold are refused before any conversion (which would be
// undefined behaviour), whether a plain value, an integer array element or an array count.
TEST_F(CommandTest, SetAttrRefusesNumbersTheTypeCannotHold) {
    ASSERT_TRUE(executeCommand("createNode testClamp -n c"));
    for (const char* bad :
         {"setAttr c.mode 1e10", "setAttr c.mode nan", "setAttr c.mode -40000", "setAttr c.deliveries 3e9",
          "setAttr c.deliveries -inf", "setAttr c.level 1e39", "setAttr c.level -type Int32Array 1 3e9",
          "setAttr c.level -type Int32Array 1 0.5", "setAttr c.level -type Int32Array 1e300 1",
          "setAttr c.level -type doubleArray nan", "setAttr c.level -type doubleArray -1"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(executeCommand(bad));
    }
    std::vector<std::string> result;
    ASSERT_TRUE(executeCommand("setAttr c.mode 1\nsetAttr c.deliveries -5\ngetAttr c.deliveries", &result));
    EXPECT_EQ(result, std::vector<std::string>{"-5"});
}

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
