#include "platform/ui/core/Clipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {
namespace {

QClipboard* SystemClipboard()
{
    return QGuiApplication::instance() != nullptr ? QGuiApplication::clipboard() : nullptr;
}

// What the clipboard holds, or null without a clipboard.
const QMimeData* ClipboardData()
{
    QClipboard* clipboard = SystemClipboard();
    return clipboard != nullptr ? clipboard->mimeData() : nullptr;
}

QString MimeType(std::string_view formatName)
{
    return QString::fromStdString(ClipboardMimeType(formatName));
}

}  // namespace

std::string ClipboardMimeType(std::string_view formatName)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string type = "application/x-vesk-";
    for (const char c : formatName) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
                           byte == '_' || byte == '.' || byte == '-';
        if (plain) {
            type.push_back(c);
        } else {
            type.push_back('%');
            type.push_back(kHex[byte >> 4]);
            type.push_back(kHex[byte & 0xF]);
        }
    }
    return type;
}

bool SetClipboardBytes(std::string_view formatName, std::span<const std::uint8_t> bytes)
{
    QClipboard* clipboard = SystemClipboard();
    if (clipboard == nullptr) {
        return false;
    }
    auto* data = new QMimeData;
    data->setData(MimeType(formatName),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    clipboard->setMimeData(data);
    return true;
}

std::optional<std::vector<std::uint8_t>> ClipboardBytes(std::string_view formatName)
{
    const QMimeData* data = ClipboardData();
    const QString type = MimeType(formatName);
    if (data == nullptr || !data->hasFormat(type)) {
        return std::nullopt;
    }
    const QByteArray bytes = data->data(type);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool IsClipboardFormatAvailable(std::string_view formatName)
{
    const QMimeData* data = ClipboardData();
    return data != nullptr && data->hasFormat(MimeType(formatName));
}

}  // namespace platform
