#include "text/textbuffer.h"
#include <gtest/gtest.h>
TEST(Smoke, InitNew) { CCrystalTextBuffer b; b.InitNew(); EXPECT_EQ(b.GetLineCount(), 1); }
