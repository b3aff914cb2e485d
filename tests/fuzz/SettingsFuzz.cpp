// The settings file on outside bytes, and its round trip: settings that read write back
// to a file that reads to the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "application/settings/SettingsFile.h"
#include "platform/base/ByteStreamMemory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    AppSettings settings;
    {
        const platform::ByteStreamRef stream = platform::ByteStreamRef::Adopt(platform::MemoryStream::Create(data, size));
        if (!ReadAppSettingsStream(stream.Get(), settings)) {
            return 0;
        }
    }
    platform::MemoryStream* copy = platform::MemoryStream::Create();
    const platform::ByteStreamRef hold = platform::ByteStreamRef::Adopt(copy);
    if (!WriteAppSettingsStream(copy, settings)) {
        std::abort();
    }
    const std::vector<std::uint8_t>& bytes = copy->Bytes();
    const platform::ByteStreamRef again =
        platform::ByteStreamRef::Adopt(platform::MemoryStream::Create(bytes.data(), bytes.size()));
    AppSettings reread;
    if (!ReadAppSettingsStream(again.Get(), reread) || !(reread == settings)) {
        std::abort();
    }
    return 0;
}
