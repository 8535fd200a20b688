// Covers the decimal separator: numbers are read and printed with "." whatever the
// process's locale says, and the text-to-number conversions of the edit boxes stop at a
// comma.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "c_locale.h"
#include "recording_host.h"
#include "temp_dir.h"

namespace corvane {
namespace {

// Switches the whole process to a locale whose decimal separator is a comma.
class CommaLocale {
public:
    CommaLocale() {
        previous_ = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"pt_BR.UTF-8", "pt_BR.utf8", "de_DE.UTF-8", "fr_FR.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',') {
                active_ = true;
                return;
            }
        }
    }
    ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    bool active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};

TEST(LocaleTest, ReaderAndLogUseADotUnderACommaLocale) {
    CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "no comma locale installed (run the set-up script)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 1.5);
    ASSERT_STREQ(probe, "1,5");  // the process really formats with a comma now

    test::TempDir dir;
    test::AnalysisFixture fixture;
    fixture.host.dispersionText = "2.5e9";
    const auto lines = fixture.run(dir.write("a.net", "t\nR1 1 0 1.5\nC1 1 0 2.5e-6 IC=0.25\n"));
    EXPECT_EQ(lines[2], "R1 1 0 1.5");
    EXPECT_EQ(lines[3], "C1 1 0 2.5e-06 ( IC=) 0.25");
    EXPECT_EQ(fixture.analysis.runState().ElementTable[1].value, 1.5);
    EXPECT_EQ(fixture.analysis.dispersion(), 2.5e9);
    EXPECT_EQ(textToDouble("1,5"), 1.0);
    EXPECT_EQ(textToDouble(" 1.5e3x"), 1500.0);

    // The caller's locale is back once the run is over.
    std::snprintf(probe, sizeof probe, "%g", 1.5);
    EXPECT_STREQ(probe, "1,5");
}

TEST(LocaleTest, ConvertsEditBoxTextsLikeTheStandardLibrary) {
    EXPECT_EQ(textToDouble("1e9"), 1e9);
    EXPECT_EQ(textToDouble("1,5"), 1.0);
    EXPECT_EQ(textToDouble(""), 0.0);
    EXPECT_EQ(textToDouble("abc"), 0.0);
    EXPECT_EQ(textToDouble("  -2.5E-3 "), -2.5e-3);
    EXPECT_EQ(textToInt("12.7"), 12);
    EXPECT_EQ(textToInt(" -5"), -5);
    EXPECT_EQ(textToInt("abc"), 0);
    EXPECT_EQ(textToInt("99999999999999999999"), 2147483647);
    EXPECT_EQ(textToInt("-99999999999999999999"), -2147483647 - 1);
}

}  // namespace
}  // namespace corvane
