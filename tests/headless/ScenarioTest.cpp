#include <gtest/gtest.h>
TEST(Scenario, Placeholder) {}
