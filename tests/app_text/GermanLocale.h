// Test support: switch the C and C++ global locales to German (decimal comma), building the
// locale into a temporary folder when the system does not have it installed.
#pragma once

#include <string>

namespace testing_support {

// Sets LC_ALL to a German UTF-8 locale and std::locale::global to match. Returns an empty
// text on success, otherwise why it could not (the caller fails the test with it).
std::string UseGermanLocale();

// Back to the "C" locale for both.
void RestoreClassicLocale();

} // namespace testing_support
