// The result list in a real dialog on the test display.
#include <gtest/gtest.h>

#include "list_host.h"

using namespace listtest;

TEST_F(ListHostTest, Starts) {
    EXPECT_EQ(host.list.ColumnCount(), 4);
}
