#include "app/appdata.h"

#include <bit>
#include <cstdint>

#include "tests/support/quinda_test.h"

using AppDataTest = QuindaTest;

TEST_F(AppDataTest, BlankValueHasItsBitPattern) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(BlankValue), 0x7EFFFFEEu);
    EXPECT_EQ(dat7.blank, BlankValue);
}
