// The locale rules of the editor: numbers in files and wire formats never depend on the
// user's locale, so right after the QApplication is made (which takes the locale from the
// environment) the C library's numeric locale goes back to "C"; the user's decimal
// separator is kept here for the numbers the user sees and types.
#pragma once

#include <string>

namespace platform {

// Puts LC_NUMERIC back to "C" and records the user's decimal separator (the first character
// of the system locale's, '.' when it has none). Call once, right after QApplication.
void InitUiLocale();

// The user's decimal separator ('.' until InitUiLocale ran).
char32_t UiDecimalSeparator();
// The same as UTF-8 text.
std::string UiDecimalSeparatorText();
// Sets the separator (start-up uses InitUiLocale; tests set one directly).
void SetUiDecimalSeparator(char32_t separator);

}  // namespace platform
