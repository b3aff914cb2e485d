#include "platform/ui/core/UiLocale.h"

#include <atomic>
#include <clocale>

#include <QLocale>
#include <QString>

namespace platform {
namespace {

std::atomic<char32_t> g_separator{U'.'};

}  // namespace

void InitUiLocale()
{
    std::setlocale(LC_NUMERIC, "C");
    const QString separator = QLocale::system().decimalPoint();
    const QList<uint> codePoints = separator.toUcs4();
    g_separator.store(codePoints.isEmpty() ? U'.' : static_cast<char32_t>(codePoints.front()));
}

char32_t UiDecimalSeparator()
{
    return g_separator.load();
}

std::string UiDecimalSeparatorText()
{
    const char32_t separator = g_separator.load();
    return QString::fromUcs4(&separator, 1).toStdString();
}

void SetUiDecimalSeparator(char32_t separator)
{
    g_separator.store(separator);
}

}  // namespace platform
