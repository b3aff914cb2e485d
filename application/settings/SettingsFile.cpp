// Reading and writing the settings file with the 16-bit-tag chunk codec.
#include "application/settings/SettingsFile.h"

#include <algorithm>
#include <vector>

#include "application/settings/SafeReplaceFile.h"
#include "dsp_blocks/chunks/ChunkCodec.h"
#include "platform/base/ByteOrder.h"
#include "platform/base/ByteStreamFile.h"
#include "platform/base/ByteStreamMemory.h"

namespace {

using Writer = dsp::ChunkWriter<dsp::SettingsChunk>;
using Reader = dsp::ChunkReader<dsp::SettingsChunk>;

constexpr std::uint32_t kRectBytes = 16;

void PutU32(std::uint8_t* out, std::uint32_t value) { platform::StoreLittleEndian(value, out); }

std::uint32_t GetU32(const std::uint8_t* in) { return platform::LoadLittleEndian<std::uint32_t>(in); }

std::int32_t GetI32(const std::uint8_t* in) { return static_cast<std::int32_t>(GetU32(in)); }

void EncodeRect(const SettingsRect& rect, std::uint8_t* out) {
  PutU32(out, static_cast<std::uint32_t>(rect.left));
  PutU32(out + 4, static_cast<std::uint32_t>(rect.top));
  PutU32(out + 8, static_cast<std::uint32_t>(rect.right));
  PutU32(out + 12, static_cast<std::uint32_t>(rect.bottom));
}

SettingsRect DecodeRect(const std::uint8_t* in) {
  return SettingsRect{GetI32(in), GetI32(in + 4), GetI32(in + 8), GetI32(in + 12)};
}

std::array<std::uint8_t, kWindowPlacementBytes> EncodePlacement(const WindowPlacement& p) {
  std::array<std::uint8_t, kWindowPlacementBytes> out{};
  PutU32(out.data(), p.length);
  PutU32(out.data() + 4, p.flags);
  PutU32(out.data() + 8, p.showCmd);
  PutU32(out.data() + 12, static_cast<std::uint32_t>(p.minPositionX));
  PutU32(out.data() + 16, static_cast<std::uint32_t>(p.minPositionY));
  PutU32(out.data() + 20, static_cast<std::uint32_t>(p.maxPositionX));
  PutU32(out.data() + 24, static_cast<std::uint32_t>(p.maxPositionY));
  EncodeRect(p.normalPosition, out.data() + 28);
  return out;
}

WindowPlacement DecodePlacement(const std::uint8_t* in) {
  WindowPlacement p;
  p.length = GetU32(in);
  p.flags = GetU32(in + 4);
  p.showCmd = GetU32(in + 8);
  p.minPositionX = GetI32(in + 12);
  p.minPositionY = GetI32(in + 16);
  p.maxPositionX = GetI32(in + 20);
  p.maxPositionY = GetI32(in + 24);
  p.normalPosition = DecodeRect(in + 28);
  return p;
}

// ---- writing ----

bool WriteStyleAndRect(Writer& list, std::uint16_t tag, std::uint32_t style, const SettingsRect& rect) {
  Writer outer;
  if (!dsp::OpenChunk16(outer, tag, list)) {
    return false;
  }
  {
    Writer styleChunk;
    if (!dsp::OpenChunk16(styleChunk, SettingsTag::kStyle, outer) || !dsp::WriteChunkU32(styleChunk, style) ||
        !dsp::CloseChunk(styleChunk)) {
      return false;
    }
  }
  {
    std::uint8_t bytes[kRectBytes];
    EncodeRect(rect, bytes);
    Writer rectChunk;
    if (!dsp::OpenChunk16(rectChunk, SettingsTag::kRect, outer) ||
        !dsp::WriteChunkBytes(rectChunk, bytes, kRectBytes) || !dsp::CloseChunk(rectChunk)) {
      return false;
    }
  }
  return dsp::CloseChunk(outer);
}

bool WriteBytesChunk(Writer& list, std::uint16_t tag, const void* bytes, std::uint32_t n) {
  Writer chunk;
  return dsp::OpenChunk16(chunk, tag, list) && dsp::WriteChunkBytes(chunk, bytes, n) && dsp::CloseChunk(chunk);
}

bool WriteU32Chunk(Writer& list, std::uint16_t tag, std::uint32_t value) {
  Writer chunk;
  return dsp::OpenChunk16(chunk, tag, list) && dsp::WriteChunkU32(chunk, value) && dsp::CloseChunk(chunk);
}

bool WriteInputEqModeChunk(Writer& list, std::uint8_t channel, std::uint32_t mode) {
  Writer chunk;
  return dsp::OpenChunk16(chunk, SettingsTag::kInputEqMode, list) && dsp::WriteChunkU8(chunk, channel) &&
         dsp::WriteChunkU32(chunk, mode) && dsp::CloseChunk(chunk);
}

bool WriteU8Chunk(Writer& list, std::uint16_t tag, std::uint8_t value) {
  Writer chunk;
  return dsp::OpenChunk16(chunk, tag, list) && dsp::WriteChunkU8(chunk, value) && dsp::CloseChunk(chunk);
}

// ---- reading ----

// The sub-chunks of kFrame or kSpare. Values are taken only when complete.
bool ReadStyleAndRect(Reader& outer, std::uint32_t& style, SettingsRect& rect) {
  bool ok = true;
  for (;;) {
    Reader sub(outer);
    if (!dsp::ReadChunkHeader16(sub)) {
      return false;
    }
    if (sub.IsListEnd()) {
      break;
    }
    if (sub.Tag() == SettingsTag::kStyle) {
      std::uint32_t value = 0;
      if (dsp::ReadChunkU32(sub, value)) {
        style = value;
      } else {
        ok = false;
      }
    } else if (sub.Tag() == SettingsTag::kRect) {
      std::uint8_t bytes[kRectBytes];
      if (dsp::ReadChunkBytes(sub, bytes, kRectBytes)) {
        rect = DecodeRect(bytes);
      } else {
        ok = false;
      }
    }
    if (!dsp::CloseChunkReader(sub)) {
      return false;
    }
  }
  return ok;
}

// One top-level chunk whose header has been read. False when its payload did not hold what
// its tag promises; the caller goes on with the next chunk.
bool ReadSettingsChunk(Reader& chunk, AppSettings& settings) {
  switch (chunk.Tag()) {
    case SettingsTag::kFrame:
      return ReadStyleAndRect(chunk, settings.frameStyle, settings.frameRect);
    case SettingsTag::kSpare:
      return ReadStyleAndRect(chunk, settings.spareStyle, settings.spareRect);
    case SettingsTag::kFramePlacement: {
      std::uint8_t bytes[kWindowPlacementBytes];
      if (!dsp::ReadChunkBytes(chunk, bytes, sizeof bytes)) {
        return false;
      }
      settings.framePlacement = DecodePlacement(bytes);
      return true;
    }
    case SettingsTag::kSpareBlock: {
      std::array<std::uint8_t, 8> bytes{};
      if (!dsp::ReadChunkBytes(chunk, bytes.data(), static_cast<std::uint32_t>(bytes.size()))) {
        return false;
      }
      settings.spareBlock = bytes;
      return true;
    }
    case SettingsTag::kMeterView:
      return dsp::ReadChunkU32(chunk, settings.meterViewSetting);
    case SettingsTag::kInputEqModeAll: {
      std::uint32_t mode = 0;
      if (!dsp::ReadChunkU32(chunk, mode)) {
        return false;
      }
      settings.inputEqMode.fill(mode);
      return true;
    }
    case SettingsTag::kInputEqMode: {
      std::uint8_t channel = 0;
      std::uint32_t mode = 0;
      if (!dsp::ReadChunkU8(chunk, channel) || !dsp::ReadChunkU32(chunk, mode) || channel >= kInputEqChannels) {
        return false;
      }
      settings.inputEqMode[channel] = mode;
      return true;
    }
    case SettingsTag::kInputEqWidthIsQ:
      return dsp::ReadChunkU8(chunk, settings.inputEqWidthIsQ);
    default:
      return true;  // written by a newer editor: skipped
  }
}

} // namespace

bool WriteAppSettingsStream(platform::ByteStream* stream, const AppSettings& settings) {
  if (stream == nullptr) {
    return false;
  }
  std::uint32_t written = 0;
  if (platform::Failed(stream->Write(kSettingsSignature.data(), kSettingsSignature.size(), &written)) ||
      written != kSettingsSignature.size()) {
    return false;
  }
  Writer list(stream);
  bool ok = WriteStyleAndRect(list, SettingsTag::kFrame, settings.frameStyle, settings.frameRect);
  auto placement = EncodePlacement(settings.framePlacement);
  ok = ok && WriteBytesChunk(list, SettingsTag::kFramePlacement, placement.data(), kWindowPlacementBytes);
  ok = ok && WriteStyleAndRect(list, SettingsTag::kSpare, settings.spareStyle, settings.spareRect);
  ok = ok && WriteBytesChunk(list, SettingsTag::kSpareBlock, settings.spareBlock.data(),
                             static_cast<std::uint32_t>(settings.spareBlock.size()));
  ok = ok && WriteU32Chunk(list, SettingsTag::kMeterView, settings.meterViewSetting);
  for (std::size_t channel = 0; ok && channel < kInputEqChannels; ++channel) {
    ok = WriteInputEqModeChunk(list, static_cast<std::uint8_t>(channel), settings.inputEqMode[channel]);
  }
  ok = ok && WriteU8Chunk(list, SettingsTag::kInputEqWidthIsQ, settings.inputEqWidthIsQ);
  return ok && dsp::CloseChunk(list);
}

bool ReadAppSettingsStream(platform::ByteStream* stream, AppSettings& settings) {
  settings = AppSettings{};
  if (stream == nullptr) {
    return false;
  }
  std::uint8_t signature[kSettingsSignature.size()];
  std::uint32_t got = 0;
  if (platform::Failed(stream->Read(signature, sizeof signature, &got)) || got != sizeof signature ||
      !std::equal(kSettingsSignature.begin(), kSettingsSignature.end(), signature)) {
    return false;
  }
  bool ok = true;
  for (;;) {
    std::uint64_t chunkEnd = 0;
    bool closed = false;
    {
      Reader chunk(stream);
      if (!dsp::ReadChunkHeader16(chunk)) {
        return false;  // truncated header, or a length running past the end of the file
      }
      if (chunk.IsListEnd()) {
        return ok;
      }
      std::uint64_t payloadStart = 0;
      if (!dsp::GetChunkStreamPosition(chunk, payloadStart)) {
        return false;
      }
      chunkEnd = payloadStart + chunk.Remaining();
      if (!ReadSettingsChunk(chunk, settings)) {
        ok = false;
      }
      closed = dsp::CloseChunkReader(chunk);
    }
    if (!closed) {
      // A damaged sub-chunk fails the reader of its chunk; the chunk's own header was valid
      // and lies within the file, so the next chunk starts at its end.
      ok = false;
      if (platform::Failed(stream->Seek(static_cast<std::int64_t>(chunkEnd), platform::SeekOrigin::Begin, nullptr))) {
        return false;
      }
    }
  }
}

bool LoadAppSettingsFile(const std::filesystem::path& path, AppSettings& settings, SettingsFileStatus* status) {
  settings = AppSettings{};
  SettingsFileStatus outcome = SettingsFileStatus::Unreadable;
  std::vector<std::uint8_t> bytes;
  {
    std::error_code ec;
    std::filesystem::file_status info = std::filesystem::status(path, ec);
    if (std::filesystem::exists(info) && !std::filesystem::is_regular_file(info)) {
      // A folder or device under our name is not a settings file; leave it alone.
      outcome = SettingsFileStatus::Unreadable;
    } else {
      platform::FileStream* file = nullptr;
      platform::StreamResult result = platform::FileStream::Open(path, platform::FileMode::Read, &file);
      if (result == platform::STG_E_FILENOTFOUND) {
        outcome = SettingsFileStatus::Missing;
      } else if (platform::Succeeded(result)) {
        platform::ByteStreamRef hold = platform::ByteStreamRef::Adopt(file);
        // Only the head of an oversized file is read; a valid list ends long before the limit.
        bytes.resize(kSettingsFileReadLimit);
        std::uint32_t got = 0;
        std::size_t total = 0;
        bool readError = false;
        while (total < bytes.size()) {
          result = file->Read(bytes.data() + total, static_cast<std::uint32_t>(bytes.size() - total), &got);
          if (platform::Failed(result)) {
            readError = true;
            break;
          }
          if (got == 0) {
            break;
          }
          total += got;
        }
        bytes.resize(total);
        // An I/O error is not damage in the file: report it unreadable so it is not overwritten.
        outcome = readError ? SettingsFileStatus::Unreadable : SettingsFileStatus::Read;
      }
    }
  }
  if (status != nullptr) {
    *status = outcome;
  }
  if (outcome != SettingsFileStatus::Read) {
    return false;
  }
  platform::MemoryStream* memory = platform::MemoryStream::Create(bytes.data(), bytes.size());
  if (memory == nullptr) {
    return false;
  }
  platform::ByteStreamRef hold = platform::ByteStreamRef::Adopt(memory);
  return ReadAppSettingsStream(memory, settings);
}

bool SaveAppSettingsFile(const std::filesystem::path& path, const AppSettings& settings) {
  std::filesystem::path temp;
  if (CreateTempFileIn(path.parent_path(), "cvp", temp) != 0) {
    return false;
  }
  bool ok = false;
  {
    platform::FileStream* file = nullptr;
    if (platform::Succeeded(platform::FileStream::Open(temp, platform::FileMode::Create, &file))) {
      platform::ByteStreamRef hold = platform::ByteStreamRef::Adopt(file);
      ok = WriteAppSettingsStream(file, settings);
      // The content must be on the disk before the rename makes it the settings file.
      ok = ok && platform::Succeeded(file->Sync());
      ok = platform::Succeeded(file->Close()) && ok;
    }
  }
  if (ok) {
    ok = SafeReplaceFile(temp, path) == 0;
  }
  if (!ok) {
    std::error_code ec;
    std::filesystem::remove(temp, ec);
  }
  return ok;
}
