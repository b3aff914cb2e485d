// Run by the locale test in a process of its own, with a German locale in the environment:
// prints printf's "%.1f" of 2.5 right after the QApplication is made, again after the UI
// layer came up, and the decimal separator the layer recorded.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>

#include "platform/ui/core/UiLayer.h"
#include "platform/ui/core/UiLocale.h"

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    char before[32];
    std::snprintf(before, sizeof before, "%.1f", 2.5);
    platform::UiLayer uiLayer;
    char after[32];
    std::snprintf(after, sizeof after, "%.1f", 2.5);
    std::printf("before=%s after=%s separator=%s\n", before, after, platform::UiDecimalSeparatorText().c_str());
    return 0;
}

// Without an installed German locale the test points LOCPATH at a private copy, and glibc's
// setlocale then leaks its copy of LOCPATH; that is outside our code.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:__argz_add_sep\n";
}
