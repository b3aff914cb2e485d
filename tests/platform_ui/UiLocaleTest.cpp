// Under a German locale the editor still prints numbers with '.' after its QApplication is
// made, while the user's separator ',' is kept for the numbers the user sees. The locale
// must be set before the QApplication exists, so a probe program runs in its own process.
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "platform/ui/core/UiLocale.h"
#include "tests/app_text/GermanLocale.h"

TEST(UiLocale, UnderAGermanLocaleNumbersPrintWithAPointAndTheSeparatorIsAComma)
{
    // Makes de_DE.UTF-8 available (privately, through LOCPATH, when the machine lacks it).
    const std::string problem = testing_support::UseGermanLocale();
    testing_support::RestoreClassicLocale();
    ASSERT_TRUE(problem.empty()) << problem;

    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "de_DE.UTF-8");
    environment.insert("LANG", "de_DE.UTF-8");
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(UI_LOCALE_PROBE), {});
    ASSERT_TRUE(probe.waitForFinished(60000)) << probe.errorString().toStdString();
    const QString output = QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    // "before" shows the German locale did reach the probe's C library.
    EXPECT_EQ(output.toStdString(), "before=2,5 after=2.5 separator=,");
}

TEST(UiLocale, TheSeparatorCanBeSetAndReadAsText)
{
    const char32_t saved = platform::UiDecimalSeparator();
    platform::SetUiDecimalSeparator(U',');
    EXPECT_EQ(platform::UiDecimalSeparatorText(), ",");
    platform::SetUiDecimalSeparator(U'\u066B');  // Arabic decimal separator, two bytes of UTF-8
    EXPECT_EQ(platform::UiDecimalSeparatorText(), "\u066B");
    platform::SetUiDecimalSeparator(saved);
    EXPECT_EQ(platform::UiDecimalSeparator(), U'.');  // the test main runs under LC_ALL=C
}
