#include "app/appdata.h"

#include <bit>
#include <cstdint>

#include "lib/window/text.h"
#include "tests/app/app_test.h"

using AppDataTest = AppTest;

TEST_F(AppDataTest, StartUpValues) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(BlankValue), 0x7EFFFFEEu);
    EXPECT_EQ(dat7.blank, BlankValue);
    EXPECT_EQ(leakage.leak, 0);
    EXPECT_EQ(dat8.nxmax, 500);
    EXPECT_EQ(dat8.nymax, 500);
    EXPECT_EQ(mapcolour.linemapcol, 230);
    // No GridOption is on before anything switches one.
    for (int k = 0; k < NumGridOptions; ++k) EXPECT_NE(dat5.opton(k), 'j') << k;
    EXPECT_EQ(dat19.home, std::string(80, ' '));
    EXPECT_EQ(text.title(15), std::string(80, ' '));
}

TEST_F(AppDataTest, ResetClearsWhatARunLeft) {
    dat7.value(45000, 52) = 3;
    dat2.wellval(765000) = 4;
    dat4.nnode = 9;
    dat5.opton(51) = 'j';
    txt_set(label.labline(1000), "x");
    leakage.leak = 1;
    setoptitles(1);
    reset_app_data();
    EXPECT_EQ(dat7.value(45000, 52), 0.0f);
    EXPECT_EQ(dat2.wellval(765000), 0.0f);
    EXPECT_EQ(dat4.nnode, 0);
    EXPECT_NE(dat5.opton(51), 'j');
    EXPECT_EQ(label.labline(1000), std::string(80, ' '));
    EXPECT_EQ(leakage.leak, 0);
    EXPECT_EQ(txt_trim(dat5.optitle(4)), "resistance separating layer between 1st-2nd aquifer");
}

TEST_F(AppDataTest, AllTitles) {
    const char* titles[NumGridOptions] = {
        "reference level covering layer", "resistance covering layer", "transmissivity 1st aquifer",
        "head 1st aquifer", "resistance separating layer between 1st-2nd aquifer", "transmissivity 2nd aquifer",
        "head 2nd aquifer", "resistance separating layer between 2nd-3rd aquifer", "transmissivity 3rd aquifer",
        "head 3rd aquifer", "resistance separating layer between 3rd-4th aquifer", "transmissivity 4th aquifer",
        "head 4th aquifer", "resistance separating layer between 4th-5th aquifer", "transmissivity 5th aquifer",
        "head 5th aquifer", "resistance separating layer between 5th-6th aquifer", "transmissivity 6th aquifer",
        "head 6th aquifer", "resistance separating layer between 6th-7th aquifer", "transmissivity 7th aquifer",
        "head 7th aquifer", "resistance separating layer between 7th-8th aquifer", "transmissivity 8th aquifer",
        "head 8th aquifer", "resistance separating layer between 8th-9th aquifer", "transmissivity 9th aquifer",
        "head 9th aquifer", "resistance separating layer between 9th-10th aquif.", "transmissivity 10th aquifer",
        "head 10th aquifer", "resistance separating layer between 10th-11th aquif", "transmissivity 11th aquifer",
        "head 11th aquifer", "resistance separating layer between 11th-12th aquif", "transmissivity 12th aquifer",
        "head 12th aquifer", "resistance separating layer between 12th-13th aquif", "transmissivity 13th aquifer",
        "head 13th aquifer", "resistance separating layer between 13th-14th aquif", "transmissivity 14th aquifer",
        "head 14th aquifer", "resistance separating layer between 14th-15th aquif", "transmissivity 15th aquifer",
        "head 15th aquifer", "resistance separating layer between 15th-16th aquif", "transmissivity 16th aquifer",
        "head 16th aquifer", "resistance separating layer between 16th-17th aquif", "transmissivity 17th aquifer",
        "head 17th aquifer",
    };
    for (int k = 0; k < NumGridOptions; ++k) {
        EXPECT_EQ(dat5.optitle(k), txt_fixed(titles[k], 80)) << k;
        EXPECT_EQ(optitle_text(k, 0).size(), 51u);
    }
}

TEST_F(AppDataTest, LeakanceTitles) {
    setoptitles(1);
    const struct {
        int k;
        const char* title;
    } cases[] = {
        {1, "resistance covering layer"},
        {4, "leakance separating layer between 1st-2nd aquifer  "},
        {22, "leakance separating layer between 7th-8td aquifer  "},
        {28, "leakance separating layer between 9th-10th aquif.  "},
        {31, "leakance separating layer between 10th-11th aquif  "},
        {49, "leakance separating layer between 16th-17th aquif  "},
        {41, "transmissivity 14th aquifer"},
    };
    for (const auto& c : cases) EXPECT_EQ(dat5.optitle(c.k), txt_fixed(c.title, 80)) << c.k;
}

TEST(AppDataDeathTest, IndexOutsideAnArrayStops) {
    EXPECT_DEATH(dat7.value(45001, 0) = 1, "outside its array");
    EXPECT_DEATH(dat7.value(1, 53) = 1, "outside its array");
    EXPECT_DEATH(dat4.xnode(0) = 1, "outside its array");
    EXPECT_DEATH(label.labline(1001).clear(), "outside its array");
}
