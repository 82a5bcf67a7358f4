#include <gtest/gtest.h>

#include "foundation/Version.h"

TEST(Version, TextsOfThisRelease) {
    EXPECT_EQ(palvo::FileVersionText(), "1.0.4.3");
    EXPECT_EQ(palvo::ProductVersionText(), "v1.04");
}
