// The tool switches and the editor's own command-line flags.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "application/ui/EditorCommandLine.h"
#include "platform/base/Cp1252.h"
#include "resources/strings/StringTable.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(ToolSwitches, VersionWritesExactlyTheThreeBytesOverAnOlderFile)
{
    TempFolder folder;
    const auto path = folder.Path() / "version.txt";
    WriteWholeFile(path, "an older and longer text");
    const std::vector<std::string> args = {"-version", path.string()};
    const ToolSwitchRequest request = ScanToolSwitches(args);
    ASSERT_TRUE(request.AsksForFile());
    ASSERT_TRUE(WriteToolSwitchFile(request));
    EXPECT_EQ(ReadWholeFile(path), "2,2");
}

TEST(ToolSwitches, StringWritesTheTextInWindows1252WithoutTerminator)
{
    TempFolder folder;
    const auto path = folder.Path() / "string.txt";
    const std::vector<std::string> args = {"/string", "128", path.string()};
    ASSERT_TRUE(WriteToolSwitchFile(ScanToolSwitches(args)));
    const std::string expected = platform::Utf8ToCp1252(LoadStringId(128));
    EXPECT_EQ(ReadWholeFile(path), expected);
    EXPECT_EQ(expected.find('\0'), std::string::npos);
}

TEST(ToolSwitches, NamesAreCaseSensitiveAndIdZeroStopsTheScan)
{
    const std::vector<std::string> capitals = {"-VERSION", "/tmp/x"};
    EXPECT_FALSE(ScanToolSwitches(capitals).AsksForFile());
    const std::vector<std::string> zero = {"-string", "0", "/tmp/x", "-version", "/tmp/y"};
    EXPECT_FALSE(ScanToolSwitches(zero).AsksForFile());
    const std::vector<std::string> noPath = {"-version"};
    EXPECT_FALSE(ScanToolSwitches(noPath).AsksForFile());
}

TEST(EditorCommandLine, FlagNaAndTheFileToOpen)
{
    const std::vector<std::string> args = {"-na", "/home/user/show.cvp", "other.cvp"};
    const EditorCommandLine line = ParseEditorCommandLine(args);
    EXPECT_TRUE(line.integerDrawer);
    ASSERT_TRUE(line.fileToOpen.has_value());
    EXPECT_EQ(*line.fileToOpen, "/home/user/show.cvp");

    const std::vector<std::string> other = {"-NA", "-string", "0", "F", "/na"};
    const EditorCommandLine second = ParseEditorCommandLine(other);
    EXPECT_TRUE(second.integerDrawer);          // "/na" is the flag, "-NA" is not
    EXPECT_FALSE(second.fileToOpen.has_value());  // a tool switch's operands are no file
}

}  // namespace
