#include <gtest/gtest.h>
#include "records.h"
TEST(Records, IntegerField) { EXPECT_EQ(vortan::fmt_I(12, 5), "   12"); }
