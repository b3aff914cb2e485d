// The settings file format: exact layout, round trips and every kind of damage.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <vector>

#include "application/settings/SettingsFile.h"
#include "dsp_blocks/chunks/InplaceMemoryStream.h"
#include "platform/base/ByteStreamMemory.h"
#include "tests/support/TempFolder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Builds a file image by hand, independently of the codec.
struct Image {
  Bytes bytes;

  Image& Signature() {
    bytes.insert(bytes.end(), kSettingsSignature.begin(), kSettingsSignature.end());
    return *this;
  }
  Image& U8(std::uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  Image& U16(std::uint16_t v) {
    bytes.push_back(static_cast<std::uint8_t>(v));
    bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    return *this;
  }
  Image& U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
      bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    return *this;
  }
  Image& Header(std::uint16_t length, std::uint16_t tag) { return U16(length).U16(tag); }
  Image& End() { return U16(0); }
  Image& U32Chunk(std::uint16_t tag, std::uint32_t v) { return Header(4, tag).U32(v); }
  Image& ModeChunk(std::uint8_t channel, std::uint32_t mode) { return Header(5, 0x5573).U8(channel).U32(mode); }
  Image& Raw(std::initializer_list<std::uint8_t> raw) {
    bytes.insert(bytes.end(), raw);
    return *this;
  }
};

Bytes Encode(const AppSettings& settings) {
  platform::MemoryStream* stream = platform::MemoryStream::Create();
  EXPECT_NE(stream, nullptr);
  EXPECT_TRUE(WriteAppSettingsStream(stream, settings));
  Bytes bytes = stream->Bytes();
  stream->Release();
  return bytes;
}

bool Decode(const Bytes& bytes, AppSettings& settings) {
  platform::MemoryStream* stream = platform::MemoryStream::Create(bytes.data(), bytes.size());
  EXPECT_NE(stream, nullptr);
  bool ok = ReadAppSettingsStream(stream, settings);
  stream->Release();
  return ok;
}

AppSettings Sample() {
  AppSettings s;
  s.frameStyle = 0x16CF0000;
  s.frameRect = {-1920, 10, 1280, 1034};
  s.framePlacement.length = 44;
  s.framePlacement.flags = 2;
  s.framePlacement.showCmd = 3;
  s.framePlacement.minPositionX = -1;
  s.framePlacement.minPositionY = -2;
  s.framePlacement.maxPositionX = -8;
  s.framePlacement.maxPositionY = -31;
  s.framePlacement.normalPosition = {100, 120, 900, 720};
  s.spareStyle = 0xDEADBEEF;
  s.spareRect = {1, 2, 3, 4};
  s.spareBlock = {1, 2, 3, 4, 5, 6, 7, 8};
  s.meterViewSetting = 0x01020304;
  for (std::size_t i = 0; i < kInputEqChannels; ++i) {
    s.inputEqMode[i] = static_cast<std::uint32_t>(i * 3 + 1);
  }
  s.inputEqWidthIsQ = 0;
  return s;
}

TEST(SettingsFileLayout, DefaultSaveIsByteForByteTheDocumentedLayout) {
  Image expected;
  expected.Signature();
  expected.Header(28, 0x5E70).Header(4, 0xFF00).U32(0).Header(16, 0xFF01).U32(0).U32(0).U32(0).U32(0);
  expected.Header(44, 0x5E73);
  for (int i = 0; i < 11; ++i) {
    expected.U32(0);
  }
  expected.Header(28, 0x5E71).Header(4, 0xFF00).U32(0).Header(16, 0xFF01).U32(0).U32(0).U32(0).U32(0);
  expected.Header(8, 0x5E72).U32(0).U32(0);
  expected.U32Chunk(0x5570, 0);
  for (std::uint8_t channel = 0; channel < 16; ++channel) {
    expected.ModeChunk(channel, 0);
  }
  expected.Header(1, 0x5572).U8(1);
  expected.End();

  Bytes actual = Encode(AppSettings{});
  EXPECT_EQ(actual.size(), 299u);
  EXPECT_EQ(kSettingsFileBytes, 299u);
  EXPECT_EQ(actual, expected.bytes);
}

TEST(SettingsFileLayout, SignatureIsTheGuidInMemoryOrder) {
  const Bytes expected = {0x70, 0xb3, 0xc1, 0x1c, 0x93, 0xf7, 0x29, 0x46,
                          0xb0, 0xc9, 0x01, 0xa7, 0x91, 0xbc, 0x48, 0x12};
  Bytes actual = Encode(AppSettings{});
  EXPECT_EQ(Bytes(actual.begin(), actual.begin() + 16), expected);
}

TEST(SettingsFileLayout, ValuesAreLittleEndianInTheirChunks) {
  AppSettings s;
  s.frameStyle = 0x11223344;
  s.frameRect = {-2, 0, 0, 0};
  s.meterViewSetting = 0xA1B2C3D4;
  s.inputEqMode[15] = 0x0000ABCD;
  Bytes b = Encode(s);
  // frame style sub-chunk payload right after the two headers
  EXPECT_EQ(Bytes(b.begin() + 24, b.begin() + 28), (Bytes{0x44, 0x33, 0x22, 0x11}));
  EXPECT_EQ(Bytes(b.begin() + 32, b.begin() + 36), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
  // meter view: after signature (16), frame (32), placement (48), spare (32), block (12)
  EXPECT_EQ(Bytes(b.begin() + 140 + 4, b.begin() + 148), (Bytes{0xD4, 0xC3, 0xB2, 0xA1}));
  // the last mode chunk: channel 15, then the mode
  std::size_t last = 148 + 15 * 9;
  EXPECT_EQ(Bytes(b.begin() + last, b.begin() + last + 9), (Bytes{5, 0, 0x73, 0x55, 15, 0xCD, 0xAB, 0, 0}));
}

TEST(SettingsFileLayout, WriteFailsUnlessTheWholeFileFits) {
  std::uint8_t buffer[kSettingsFileBytes];
  for (std::uint32_t capacity = 0; capacity < kSettingsFileBytes; ++capacity) {
    dsp::InplaceWriteStream stream(buffer, capacity);
    EXPECT_FALSE(WriteAppSettingsStream(&stream, Sample())) << capacity;
  }
  dsp::InplaceWriteStream stream(buffer, kSettingsFileBytes);
  EXPECT_TRUE(WriteAppSettingsStream(&stream, Sample()));
  EXPECT_EQ(stream.Size(), kSettingsFileBytes);
  EXPECT_FALSE(WriteAppSettingsStream(nullptr, Sample()));
}

TEST(SettingsFileRoundTrip, EveryFieldTogether) {
  AppSettings written = Sample();
  AppSettings read;
  EXPECT_TRUE(Decode(Encode(written), read));
  EXPECT_EQ(read, written);
}

TEST(SettingsFileRoundTrip, EachFieldOnItsOwn) {
  const std::vector<std::pair<const char*, std::function<void(AppSettings&)>>> changes = {
      {"frameStyle", [](AppSettings& s) { s.frameStyle = 7; }},
      {"frameRect.left", [](AppSettings& s) { s.frameRect.left = -5; }},
      {"frameRect.top", [](AppSettings& s) { s.frameRect.top = 6; }},
      {"frameRect.right", [](AppSettings& s) { s.frameRect.right = 7; }},
      {"frameRect.bottom", [](AppSettings& s) { s.frameRect.bottom = 8; }},
      {"framePlacement.length", [](AppSettings& s) { s.framePlacement.length = 44; }},
      {"framePlacement.flags", [](AppSettings& s) { s.framePlacement.flags = 1; }},
      {"framePlacement.showCmd", [](AppSettings& s) { s.framePlacement.showCmd = 1; }},
      {"framePlacement.minPositionX", [](AppSettings& s) { s.framePlacement.minPositionX = -1; }},
      {"framePlacement.minPositionY", [](AppSettings& s) { s.framePlacement.minPositionY = -1; }},
      {"framePlacement.maxPositionX", [](AppSettings& s) { s.framePlacement.maxPositionX = 9; }},
      {"framePlacement.maxPositionY", [](AppSettings& s) { s.framePlacement.maxPositionY = 9; }},
      {"framePlacement.normalPosition", [](AppSettings& s) { s.framePlacement.normalPosition = {1, 2, 3, 4}; }},
      {"spareStyle", [](AppSettings& s) { s.spareStyle = 1; }},
      {"spareRect", [](AppSettings& s) { s.spareRect = {4, 3, 2, 1}; }},
      {"spareBlock", [](AppSettings& s) { s.spareBlock[7] = 0xFF; }},
      {"meterViewSetting", [](AppSettings& s) { s.meterViewSetting = 3; }},
      {"inputEqMode[0]", [](AppSettings& s) { s.inputEqMode[0] = 1; }},
      {"inputEqMode[15]", [](AppSettings& s) { s.inputEqMode[15] = 0xFFFFFFFF; }},
      {"inputEqWidthIsQ", [](AppSettings& s) { s.inputEqWidthIsQ = 0; }},
  };
  for (const auto& [name, change] : changes) {
    AppSettings written;
    change(written);
    ASSERT_NE(written, AppSettings{}) << name;
    AppSettings read;
    EXPECT_TRUE(Decode(Encode(written), read)) << name;
    EXPECT_EQ(read, written) << name;
  }
}

TEST(SettingsFileRead, SignatureAndEndMarkerOnlyGivesDefaults) {
  Image image;
  image.Signature().End();
  AppSettings read = Sample();
  EXPECT_TRUE(Decode(image.bytes, read));
  EXPECT_EQ(read, AppSettings{});
  EXPECT_EQ(read.inputEqWidthIsQ, 1);
}

TEST(SettingsFileRead, ForeignOrShortSignatureGivesDefaults) {
  Bytes bytes = Encode(Sample());
  bytes[3] ^= 0xFF;
  AppSettings read = Sample();
  EXPECT_FALSE(Decode(bytes, read));
  EXPECT_EQ(read, AppSettings{});
  EXPECT_FALSE(Decode(Bytes(kSettingsSignature.begin(), kSettingsSignature.begin() + 15), read));
  EXPECT_FALSE(Decode(Bytes{}, read));
  EXPECT_EQ(read, AppSettings{});
}

TEST(SettingsFileRead, AllModesChunkThenSingleChannels) {
  Image image;
  image.Signature().U32Chunk(0x5571, 9).ModeChunk(2, 4).ModeChunk(15, 5).End();
  AppSettings read;
  EXPECT_TRUE(Decode(image.bytes, read));
  for (std::size_t i = 0; i < kInputEqChannels; ++i) {
    std::uint32_t expected = i == 2 ? 4 : i == 15 ? 5 : 9;
    EXPECT_EQ(read.inputEqMode[i], expected) << i;
  }
}

TEST(SettingsFileRead, ChannelIndexOutOfRangeChangesNothingAndReportsFalse) {
  Image image;
  image.Signature().ModeChunk(16, 4).ModeChunk(255, 4).U32Chunk(0x5570, 77).End();
  AppSettings read;
  EXPECT_FALSE(Decode(image.bytes, read));
  EXPECT_EQ(read.inputEqMode, AppSettings{}.inputEqMode);
  EXPECT_EQ(read.meterViewSetting, 77u);
}

TEST(SettingsFileRead, UnknownTagsAreSkipped) {
  Image image;
  image.Signature().U32Chunk(0x5570, 5).Header(3, 0x1234).Raw({1, 2, 3}).Header(1, 0x5572).U8(0).End();
  AppSettings read;
  EXPECT_TRUE(Decode(image.bytes, read));
  EXPECT_EQ(read.meterViewSetting, 5u);
  EXPECT_EQ(read.inputEqWidthIsQ, 0);
}

TEST(SettingsFileRead, UnknownSubChunksAreSkipped) {
  Image image;
  image.Signature().Header(4 + 2 + 8 + 20, 0x5E70).Header(2, 0xFF7F).U16(0xFFFF);
  image.Header(4, 0xFF00).U32(12).Header(16, 0xFF01).U32(1).U32(2).U32(3).U32(4).End();
  AppSettings read;
  EXPECT_TRUE(Decode(image.bytes, read));
  EXPECT_EQ(read.frameStyle, 12u);
  EXPECT_EQ(read.frameRect, (SettingsRect{1, 2, 3, 4}));
}

TEST(SettingsFileRead, ShortPayloadKeepsTheDefaultAndReadingGoesOn) {
  Image image;
  image.Signature().Header(2, 0x5570).U16(0x7777).Header(10, 0x5E73).U32(1).U32(2).U16(3).U32Chunk(0x5571, 6).End();
  AppSettings read;
  EXPECT_FALSE(Decode(image.bytes, read));
  EXPECT_EQ(read.meterViewSetting, 0u);
  EXPECT_EQ(read.framePlacement, WindowPlacement{});
  EXPECT_EQ(read.inputEqMode[0], 6u);
}

TEST(SettingsFileRead, LongerPayloadUsesItsHeadAndSkipsTheRest) {
  Image image;
  image.Signature().Header(8, 0x5570).U32(42).U32(0xFFFFFFFF).Header(3, 0x5572).Raw({0, 9, 9}).End();
  AppSettings read;
  EXPECT_TRUE(Decode(image.bytes, read));
  EXPECT_EQ(read.meterViewSetting, 42u);
  EXPECT_EQ(read.inputEqWidthIsQ, 0);
}

TEST(SettingsFileRead, DamagedSubChunkSkipsOnlyItsChunk) {
  Image image;
  // The rectangle sub-chunk claims 40 bytes inside a 12-byte payload.
  image.Signature().Header(12, 0x5E70).Header(4, 0xFF00).U32(3).Header(40, 0xFF01);
  image.U32Chunk(0x5570, 8).End();
  AppSettings read;
  EXPECT_FALSE(Decode(image.bytes, read));
  EXPECT_EQ(read.frameStyle, 3u);
  EXPECT_EQ(read.frameRect, SettingsRect{});
  EXPECT_EQ(read.meterViewSetting, 8u);
}

TEST(SettingsFileRead, ZeroLengthSubChunkEndsTheSubList) {
  Image image;
  image.Signature().Header(4 + 4 + 2, 0x5E71).Header(4, 0xFF00).U32(3).U16(0).U32Chunk(0x5570, 1).End();
  AppSettings read;
  EXPECT_TRUE(Decode(image.bytes, read));
  EXPECT_EQ(read.spareStyle, 3u);
  EXPECT_EQ(read.meterViewSetting, 1u);
}

TEST(SettingsFileRead, LengthPastTheEndKeepsWhatCameBefore) {
  Image image;
  image.Signature().U32Chunk(0x5570, 8).Header(500, 0x5E73).U32(1);
  AppSettings read;
  EXPECT_FALSE(Decode(image.bytes, read));
  EXPECT_EQ(read.meterViewSetting, 8u);
  EXPECT_EQ(read.framePlacement, WindowPlacement{});
}

TEST(SettingsFileRead, BytesAfterTheEndMarkerAreIgnored) {
  Bytes bytes = Encode(Sample());
  bytes.insert(bytes.end(), {0xFF, 0xFF, 0x00, 0x12});
  AppSettings read;
  EXPECT_TRUE(Decode(bytes, read));
  EXPECT_EQ(read, Sample());
}

TEST(SettingsFileRead, EveryTruncationLoadsWithoutCrashAndKeepsOnlyWrittenValues) {
  const AppSettings full = Sample();
  const Bytes bytes = Encode(full);
  const AppSettings defaults;
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    AppSettings read;
    EXPECT_FALSE(Decode(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)), read)) << length;
    // Each field holds either its default or the value written, never anything else.
    EXPECT_TRUE(read.frameStyle == full.frameStyle || read.frameStyle == defaults.frameStyle) << length;
    EXPECT_TRUE(read.frameRect == full.frameRect || read.frameRect == defaults.frameRect) << length;
    EXPECT_TRUE(read.framePlacement == full.framePlacement || read.framePlacement == defaults.framePlacement) << length;
    EXPECT_TRUE(read.spareBlock == full.spareBlock || read.spareBlock == defaults.spareBlock) << length;
    EXPECT_TRUE(read.meterViewSetting == full.meterViewSetting || read.meterViewSetting == 0) << length;
    for (std::size_t i = 0; i < kInputEqChannels; ++i) {
      EXPECT_TRUE(read.inputEqMode[i] == full.inputEqMode[i] || read.inputEqMode[i] == 0) << length;
    }
    if (length >= bytes.size() - 2) {
      // Only the end marker is missing: every value is there.
      EXPECT_EQ(read, full) << length;
    }
  }
  AppSettings read;
  EXPECT_TRUE(Decode(bytes, read));
}

TEST(SettingsFileRead, RandomDamageNeverCrashes) {
  const Bytes original = Encode(Sample());
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; ++round) {
    Bytes bytes = original;
    int flips = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < flips; ++i) {
      std::size_t at = 16 + random() % (bytes.size() - 16);
      bytes[at] = static_cast<std::uint8_t>(random());
    }
    if (random() % 4 == 0) {
      bytes.resize(16 + random() % (bytes.size() - 16));
    }
    AppSettings read;
    Decode(bytes, read);  // must simply return
  }
}

// ---- files ----

std::vector<std::filesystem::path> LeftoverTempFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".tmp") {
      found.push_back(entry.path());
    }
  }
  return found;
}

TEST(SettingsFileOnDisk, SaveThenLoadRoundTripsAndLeavesNoTemporaryFile) {
  TempFolder folder;
  auto path = folder.Path() / "Settings.dat";
  ASSERT_TRUE(SaveAppSettingsFile(path, Sample()));
  EXPECT_EQ(std::filesystem::file_size(path), kSettingsFileBytes);
  AppSettings read;
  SettingsFileStatus status = SettingsFileStatus::Unreadable;
  EXPECT_TRUE(LoadAppSettingsFile(path, read, &status));
  EXPECT_EQ(status, SettingsFileStatus::Read);
  EXPECT_EQ(read, Sample());
  EXPECT_TRUE(LeftoverTempFiles(folder.Path()).empty());
}

TEST(SettingsFileOnDisk, SaveReplacesAnExistingFile) {
  TempFolder folder;
  auto path = folder.Path() / "Settings.dat";
  WriteWholeFile(path, "older content of another length");
  ASSERT_TRUE(SaveAppSettingsFile(path, AppSettings{}));
  std::string bytes = ReadWholeFile(path);
  EXPECT_EQ(bytes.size(), kSettingsFileBytes);
}

TEST(SettingsFileOnDisk, MissingFileIsFirstRun) {
  TempFolder folder;
  AppSettings read = Sample();
  SettingsFileStatus status = SettingsFileStatus::Read;
  EXPECT_FALSE(LoadAppSettingsFile(folder.Path() / "Settings.dat", read, &status));
  EXPECT_EQ(status, SettingsFileStatus::Missing);
  EXPECT_EQ(read, AppSettings{});
  EXPECT_EQ(read.inputEqWidthIsQ, 1);
}

TEST(SettingsFileOnDisk, FolderUnderTheFileNameIsUnreadable) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path() / "Settings.dat");
  AppSettings read;
  SettingsFileStatus status = SettingsFileStatus::Read;
  EXPECT_FALSE(LoadAppSettingsFile(folder.Path() / "Settings.dat", read, &status));
  EXPECT_EQ(status, SettingsFileStatus::Unreadable);
}

TEST(SettingsFileOnDisk, OversizedFileLoadsItsValidHead) {
  TempFolder folder;
  auto path = folder.Path() / "Settings.dat";
  Bytes bytes = Encode(Sample());
  bytes.resize(kSettingsFileReadLimit + 4096, 0xEE);
  WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
  AppSettings read;
  SettingsFileStatus status = SettingsFileStatus::Unreadable;
  EXPECT_TRUE(LoadAppSettingsFile(path, read, &status));
  EXPECT_EQ(status, SettingsFileStatus::Read);
  EXPECT_EQ(read, Sample());
}

TEST(SettingsFileOnDisk, FailedWriteKeepsTheOldFile) {
  TempFolder folder;
  auto path = folder.Path() / "Settings.dat";
  ASSERT_TRUE(SaveAppSettingsFile(path, Sample()));
  const std::string before = ReadWholeFile(path);

  // A file-size limit below the settings size makes the write of the temporary file fail,
  // as a full disk would.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previous), 0);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool saveResult = SaveAppSettingsFile(path, AppSettings{});
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_FALSE(saveResult);
  EXPECT_EQ(ReadWholeFile(path), before);
  EXPECT_TRUE(LeftoverTempFiles(folder.Path()).empty());
}

TEST(SettingsFileOnDisk, FailedRenameKeepsTheOldContentAndNoTemporaryFile) {
  TempFolder folder;
  // A non-empty folder where the file should go cannot be replaced by a rename.
  auto path = folder.Path() / "Settings.dat";
  std::filesystem::create_directory(path);
  WriteWholeFile(path / "keep.txt", "user data");
  EXPECT_FALSE(SaveAppSettingsFile(path, Sample()));
  EXPECT_EQ(ReadWholeFile(path / "keep.txt"), "user data");
  EXPECT_TRUE(LeftoverTempFiles(folder.Path()).empty());
}

TEST(SettingsFileOnDisk, SaveIntoMissingFolderFails) {
  TempFolder folder;
  EXPECT_FALSE(SaveAppSettingsFile(folder.Path() / "absent" / "Settings.dat", Sample()));
}

} // namespace
