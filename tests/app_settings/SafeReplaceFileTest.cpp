// Replacing files in one step, and keeping the destination when that fails.
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

#include "application/settings/SafeReplaceFile.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(SafeReplaceFile, MovesTheSourceOverTheDestination) {
  TempFolder folder;
  auto source = folder.Path() / "new.tmp";
  auto destination = folder.Path() / "file.dat";
  WriteWholeFile(source, "new");
  WriteWholeFile(destination, "old content");
  EXPECT_EQ(SafeReplaceFile(source, destination), 0);
  EXPECT_EQ(ReadWholeFile(destination), "new");
  EXPECT_FALSE(std::filesystem::exists(source));
}

TEST(SafeReplaceFile, CreatesTheDestinationWhenMissing) {
  TempFolder folder;
  auto source = folder.Path() / "new.tmp";
  WriteWholeFile(source, "new");
  EXPECT_EQ(SafeReplaceFile(source, folder.Path() / "file.dat"), 0);
  EXPECT_EQ(ReadWholeFile(folder.Path() / "file.dat"), "new");
}

TEST(SafeReplaceFile, SamePathTextIsSuccessWithoutChange) {
  TempFolder folder;
  auto path = folder.Path() / "file.dat";
  WriteWholeFile(path, "same");
  EXPECT_EQ(SafeReplaceFile(path, path), 0);
  EXPECT_EQ(ReadWholeFile(path), "same");
}

TEST(SafeReplaceFile, MissingSourceKeepsTheDestination) {
  TempFolder folder;
  auto destination = folder.Path() / "file.dat";
  WriteWholeFile(destination, "old");
  EXPECT_EQ(SafeReplaceFile(folder.Path() / "absent.tmp", destination), ENOENT);
  EXPECT_EQ(ReadWholeFile(destination), "old");
}

TEST(SafeReplaceFile, FailedRenameKeepsBothFiles) {
  TempFolder folder;
  auto source = folder.Path() / "new.tmp";
  auto destination = folder.Path() / "busy";
  WriteWholeFile(source, "new");
  std::filesystem::create_directory(destination);
  WriteWholeFile(destination / "inside", "old");
  int error = SafeReplaceFile(source, destination);
  EXPECT_NE(error, 0);
  EXPECT_EQ(ReadWholeFile(destination / "inside"), "old");
  EXPECT_EQ(ReadWholeFile(source), "new");
}

TEST(SafeReplaceFile, SourceOnAnotherFileSystemIsCopiedThenRenamed) {
  TempFolder local;
  const std::filesystem::path shm = "/dev/shm";
  struct stat a {}, b {};
  if (stat(shm.c_str(), &a) != 0 || stat(local.Path().c_str(), &b) != 0 || a.st_dev == b.st_dev) {
    GTEST_SKIP() << "no second file system (/dev/shm) to move across here";
  }
  std::filesystem::path source;
  ASSERT_EQ(CreateTempFileIn(shm, "quarry-test-", source), 0);
  WriteWholeFile(source, "across");
  auto destination = local.Path() / "file.dat";
  WriteWholeFile(destination, "old");
  EXPECT_EQ(SafeReplaceFile(source, destination), 0);
  EXPECT_EQ(ReadWholeFile(destination), "across");
  EXPECT_FALSE(std::filesystem::exists(source));
  for (const auto& entry : std::filesystem::directory_iterator(local.Path())) {
    EXPECT_EQ(entry.path().filename(), "file.dat");
  }
}

TEST(CreateTempFileIn, MakesDistinctNewFilesWithThePrefix) {
  TempFolder folder;
  std::filesystem::path first, second;
  ASSERT_EQ(CreateTempFileIn(folder.Path(), "cvp", first), 0);
  ASSERT_EQ(CreateTempFileIn(folder.Path(), "cvp", second), 0);
  EXPECT_NE(first, second);
  EXPECT_EQ(first.parent_path(), folder.Path());
  EXPECT_TRUE(first.filename().string().starts_with("cvp"));
  EXPECT_EQ(first.extension(), ".tmp");
  EXPECT_EQ(std::filesystem::file_size(first), 0u);
}

TEST(CreateTempFileIn, MissingFolderReportsTheError) {
  TempFolder folder;
  std::filesystem::path out;
  EXPECT_EQ(CreateTempFileIn(folder.Path() / "absent", "cvp", out), ENOENT);
}

} // namespace

// Saving over a symbolic link writes through it: the link stays and its target gets the new
// content, also when the target lies in another folder or does not exist yet.
TEST(SafeReplaceFile, ALinkIsKeptAndItsTargetReplaced) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path() / "real");
  const auto target = folder.Path() / "real" / "file.dat";
  const auto link = folder.Path() / "link.dat";
  WriteWholeFile(target, "old");
  std::filesystem::create_symlink("real/file.dat", link);
  auto source = folder.Path() / "new.tmp";
  WriteWholeFile(source, "new");
  ASSERT_EQ(SafeReplaceFile(source, link), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadWholeFile(target), "new");

  const auto dangling = folder.Path() / "dangling.dat";
  std::filesystem::create_symlink(folder.Path() / "real" / "later.dat", dangling);
  WriteWholeFile(source, "first");
  ASSERT_EQ(SafeReplaceFile(source, dangling), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(dangling));
  EXPECT_EQ(ReadWholeFile(folder.Path() / "real" / "later.dat"), "first");
}

// The replaced file keeps the permissions its owner gave it.
TEST(SafeReplaceFile, TheDestinationKeepsItsMode) {
  TempFolder folder;
  const auto destination = folder.Path() / "private.dat";
  WriteWholeFile(destination, "old");
  ASSERT_EQ(::chmod(destination.c_str(), 0600), 0);
  auto source = folder.Path() / "new.tmp";
  WriteWholeFile(source, "new");
  ASSERT_EQ(::chmod(source.c_str(), 0644), 0);
  ASSERT_EQ(SafeReplaceFile(source, destination), 0);
  struct stat st {};
  ASSERT_EQ(::stat(destination.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(ReadWholeFile(destination), "new");
}
