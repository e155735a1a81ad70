#include <gtest/gtest.h>
#include "vexo_decoder.h"
TEST(Smoke, Builds) { SUCCEED(); }
