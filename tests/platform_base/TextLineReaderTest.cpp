// Line reading: line ends, carriage returns, the UTF-8 byte-order mark, files.
#include "platform/base/TextLineReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

std::vector<std::string> AllLines(TextLineReader& reader)
{
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line)) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> AllLines(std::string text)
{
    TextLineReader reader(std::move(text));
    return AllLines(reader);
}

using Lines = std::vector<std::string>;

TEST(TextLineReader, SplitsAtLineFeeds)
{
    EXPECT_EQ(AllLines("one\ntwo\nthree\n"), (Lines{"one", "two", "three"}));
}

TEST(TextLineReader, StripsTheCarriageReturnOfCrLf)
{
    EXPECT_EQ(AllLines("one\r\ntwo\r\n"), (Lines{"one", "two"}));
}

TEST(TextLineReader, StripsEveryCarriageReturnBeforeTheLineEnd)
{
    EXPECT_EQ(AllLines("one\r\r\ntwo\r"), (Lines{"one", "two"}));
}

TEST(TextLineReader, KeepsACarriageReturnInsideALine)
{
    EXPECT_EQ(AllLines("a\rb\r\n"), (Lines{"a\rb"}));
}

TEST(TextLineReader, LastLineNeedsNoLineFeed)
{
    EXPECT_EQ(AllLines("one\ntwo"), (Lines{"one", "two"}));
}

TEST(TextLineReader, KeepsEmptyLinesButAddsNoneAfterTheLastLineFeed)
{
    EXPECT_EQ(AllLines("a\n\n\r\nb\n"), (Lines{"a", "", "", "b"}));
}

TEST(TextLineReader, StripsTheByteOrderMarkAtTheStart)
{
    EXPECT_EQ(AllLines("\xEF\xBB\xBFhead\r\nbody\r\n"), (Lines{"head", "body"}));
}

TEST(TextLineReader, KeepsAByteOrderMarkAnywhereElse)
{
    EXPECT_EQ(AllLines("a\n\xEF\xBB\xBF" "b"), (Lines{"a", "\xEF\xBB\xBF" "b"}));
}

TEST(TextLineReader, PartialByteOrderMarkIsText)
{
    EXPECT_EQ(AllLines("\xEF\xBBx"), (Lines{"\xEF\xBBx"}));
}

TEST(TextLineReader, EmptyTextAndLoneMarkHaveNoLines)
{
    EXPECT_TRUE(AllLines("").empty());
    EXPECT_TRUE(AllLines("\xEF\xBB\xBF").empty());
    EXPECT_EQ(AllLines("\xEF\xBB\xBF\r\n"), (Lines{""}));
}

TEST(TextLineReader, CountsLines)
{
    TextLineReader reader("a\nb\n");
    std::string line;
    EXPECT_EQ(reader.LineNumber(), 0u);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(reader.LineNumber(), 1u);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(reader.LineNumber(), 2u);
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(reader.LineNumber(), 2u);
}

TEST(TextLineReader, KeepsBytesAsTheyAre)
{
    EXPECT_EQ(AllLines(std::string("a\0b\n\xFF", 5)), (Lines{std::string("a\0b", 3), "\xFF"}));
}

class TextLineReaderFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::path(::testing::TempDir()) /
                 ("line_reader_" + std::string(info->name()) + "_" + std::to_string(::getpid()) + ".txt");
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    void Write(const std::string& bytes)
    {
        std::ofstream file(m_path, std::ios::binary);
        file << bytes;
    }

    std::filesystem::path m_path;
};

TEST_F(TextLineReaderFile, ReadsLinesFromAFile)
{
    Write("\xEF\xBB\xBFx\r\ny");
    auto reader = TextLineReader::FromFile(m_path);
    ASSERT_TRUE(reader.has_value());
    EXPECT_EQ(AllLines(*reader), (Lines{"x", "y"}));
}

TEST_F(TextLineReaderFile, MissingFileIsNotOpened)
{
    EXPECT_FALSE(TextLineReader::FromFile(m_path).has_value());
    EXPECT_FALSE(ReadFileBytes(m_path).has_value());
}

TEST_F(TextLineReaderFile, ReadsEveryByte)
{
    std::string bytes;
    for (int i = 0; i < 70000; ++i) {
        bytes.push_back(static_cast<char>(i * 7));
    }
    Write(bytes);
    const auto read = ReadFileBytes(m_path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, bytes);
}

TEST_F(TextLineReaderFile, RefusesAFileLargerThanTheLimit)
{
    Write(std::string(100, 'a'));
    EXPECT_FALSE(ReadFileBytes(m_path, 99).has_value());
    EXPECT_FALSE(TextLineReader::FromFile(m_path, 99).has_value());
    const auto exact = ReadFileBytes(m_path, 100);
    ASSERT_TRUE(exact.has_value());
    EXPECT_EQ(exact->size(), 100u);
}

TEST_F(TextLineReaderFile, EmptyFileHasNoLines)
{
    Write("");
    auto reader = TextLineReader::FromFile(m_path);
    ASSERT_TRUE(reader.has_value());
    EXPECT_TRUE(AllLines(*reader).empty());
}

TEST_F(TextLineReaderFile, DirectoryIsNotReadAsText)
{
    EXPECT_FALSE(ReadFileBytes(std::filesystem::path(::testing::TempDir())).has_value());
}

}  // namespace
}  // namespace platform
