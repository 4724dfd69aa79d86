#include "pgn/game_script.h"

#include <gtest/gtest.h>

#include <string>

#include "book/book_test_support.h"
#include "support/captured_file.h"
#include "support/temp_file.h"

namespace zelmora {
namespace {

using test::moveOf;
using test::positionAfter;

const std::string HEADER = "[White \"w\"]\n[Black \"b\"]\n[Result \"*\"]\n";

TEST(GameScript, FollowsEachGameForTheSideWhoseFirstPositionMatches) {
    test::TempFile games(HEADER + "1. e4 e5 2. Nf3 Nc6 *\n" + HEADER + "1. d4 *\n" + HEADER + "1. d4 d5 *\n");
    test::CapturedFile errors;
    GameScript white(games.name(), errors.get());
    ASSERT_TRUE(white.isOpen());
    EXPECT_EQ(white.moveFor(positionAfter({}).key), moveOf({}, "e2e4"));
    EXPECT_EQ(white.moveFor(positionAfter({"e2e4", "e7e5"}).key), moveOf({"e2e4", "e7e5"}, "g1f3"));
    // The next game starts: a one-move game is passed over, the third starts from the asked key.
    EXPECT_EQ(white.moveFor(positionAfter({}).key), moveOf({}, "d2d4"));
    // Leaving the game ends the script for good.
    EXPECT_EQ(white.moveFor(positionAfter({"d2d4", "g8f6"}).key), NO_MOVE);
    EXPECT_EQ(white.moveFor(positionAfter({}).key), NO_MOVE);

    GameScript black(games.name(), errors.get());
    EXPECT_EQ(black.moveFor(positionAfter({"e2e4"}).key), moveOf({"e2e4"}, "e7e5"));
    EXPECT_EQ(black.moveFor(positionAfter({"e2e4", "e7e5", "g1f3"}).key), moveOf({"e2e4", "e7e5", "g1f3"}, "b8c6"));
    EXPECT_EQ(errors.text(), "");
}

TEST(GameScript, MissingFilesAndBrokenFensEndTheScriptQuietly) {
    test::CapturedFile errors;
    GameScript missing("/nonexistent/script.pgn", errors.get());
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.moveFor(positionAfter({}).key), NO_MOVE);
    EXPECT_EQ(errors.text(), "");
    test::TempFile badFen(HEADER + "[FEN \"8/8/8 w - -\"]\n*\n" + HEADER + "1. e4 *\n");
    GameScript script(badFen.name(), errors.get());
    EXPECT_EQ(script.moveFor(positionAfter({}).key), NO_MOVE);
}

}  // namespace
}  // namespace zelmora
