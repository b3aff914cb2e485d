// The field tokenizer of the text data files on outside bytes: the first bytes choose the
// conversions, the rest is the line, read narrow and as UTF-16.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/TextTokenizer.h"

namespace {

constexpr std::size_t kOperations = 8;

template <typename CharT>
void Tokenize(std::basic_string_view<CharT> text, const std::uint8_t* operations)
{
    BasicTextCursor<CharT> cursor(text);
    for (std::size_t i = 0; i < kOperations && !cursor.AtEnd(); ++i) {
        switch (operations[i] % 5) {
        case 0: NextToken(cursor, "\t"); break;
        case 1: NextInt(cursor, "\t"); break;
        case 2: NextHex(cursor, "\t"); break;
        case 3: NextColor(cursor); break;
        default: NextIntPair(cursor); break;
        }
    }
    ParseLeadingInt(cursor.Rest());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kOperations) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + kOperations), size - kOperations);
    Tokenize(text, data);
    const std::u16string wide(text.begin(), text.end());
    Tokenize(std::u16string_view(wide), data);
    return 0;
}
