#include "platform/linux/XFixesSystemCursor.h"

#include "tests/support/InkoraFixture.h"

class XFixesSystemCursorTest : public InkoraFixture
{
};

TEST_F(XFixesSystemCursorTest, HidesAreCountedByTheXServer)
{
    platform::XFixesSystemCursor cursor;
    EXPECT_EQ(cursor.hide(), 0);
    EXPECT_EQ(cursor.hide(), 0);
    EXPECT_FALSE(cursor.isVisible());
    EXPECT_EQ(cursor.show(), 0);
    EXPECT_EQ(cursor.show(), 0);
    EXPECT_TRUE(cursor.isVisible());
    EXPECT_EQ(cursor.show(), 0); // an unmatched show is not sent to the server
}
