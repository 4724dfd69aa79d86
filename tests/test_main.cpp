#include <gtest/gtest.h>

#include "board/attacks.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    zelmora::initBoardTables();
    return RUN_ALL_TESTS();
}
