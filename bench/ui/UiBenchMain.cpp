// Speed figures of the editor's windows, measured offscreen. Prints one block per case.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <QApplication>

#include "bench/ui/UiBench.h"

namespace {

struct UiBenchCase {
    const char* name;
    UiBenchFunction run;
};

std::vector<UiBenchCase>& Cases()
{
    static std::vector<UiBenchCase> cases;
    return cases;
}

}  // namespace

int RegisterUiBench(const char* name, UiBenchFunction run)
{
    Cases().push_back({name, run});
    return 0;
}

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    std::vector<std::string> wanted(argv + 1, argv + argc);
    for (const UiBenchCase& benchCase : Cases()) {
        bool run = wanted.empty();
        for (const std::string& name : wanted) {
            run = run || name == benchCase.name;
        }
        if (run) {
            std::printf("== %s\n", benchCase.name);
            benchCase.run();
            std::fflush(stdout);
        }
    }
    return 0;
}
