#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/chess.h"
#include "pgn/game_script.h"
#include "pgn/pgn_reader.h"
#include "support/captured_file.h"
#include "support/temp_file.h"

namespace zelmora::test {
namespace {


const std::string TAGS = "[White \"w\"]\n[Black \"b\"]\n";

// Every game of the text, and what the reader said about it.
struct ReadResult {
    std::vector<PgnGame> games;
    std::string errors;
};

ReadResult readAll(const std::string& text, int minimumElo = -1) {
    TempFile file(text);
    CapturedFile errors;
    ReadResult result;
    PgnReader reader(file.name(), errors.get());
    PgnGame game;
    while (reader.nextGame(minimumElo, game)) result.games.push_back(game);
    const std::string prefix = "info string PGN-Parser: file " + file.path() + " ";
    result.errors = errors.text();
    if (result.errors.rfind(prefix, 0) == 0) result.errors.erase(0, prefix.size());
    return result;
}

TEST(PgnReader, ReadsAnnotatedRealWorldGames) {
    const std::string text =
        "[Event \"Casual \\\"blitz\\\" game\"]\n"
        "[White \"Anders, A.\"]\n[Black \"Berg, B.\"]\n[Result \"1-0\"]\n"
        "[WhiteElo \"2400\"]\n[BlackElo \" 2350x\"]\n\n"
        "{A comment\nover two lines} 1. e4 $1 e5 ; a line comment (with a parenthesis\n"
        "2. Nf3 Nc6 (2... d6 3. d4 (3. Bc4 Be7) exd4) 3. Bb5 a6\n"
        "% an escape line 1-0\n"
        "4. Ba4 Nf6 5. 0-0 Be7 6. Re1 b5 7. Bb3 d6 8. c3 O-O 9. h3 Na5 10. Bc2 c5 11. d4 Qc7 1-0\n\n"
        "[White \"X\"]\r\n[Black \"Y\"]\r\n[Result \"*\"]\r\n[FEN \"7k/1P6/8/8/8/8/6p1/4K3 w - - 0 1\"]\r\n\r\n"
        "1. b8=Q+ Kh7 2. Qb1+ 2... Kh6 3. Qb2 g1Q+ 4. Kd2 *\r\n\n" +
        TAGS + "[Result \"1-0\"]\n1. e4 e5 2. Bc4 Nc6 3. Qh5 Nf6 $4 4. Qxf7# 1-0";
    const ReadResult r = readAll(text);
    EXPECT_EQ(r.errors, "");
    ASSERT_EQ(r.games.size(), 3u);

    EXPECT_EQ(r.games[0].moves.size(), 22u);
    EXPECT_EQ(r.games[0].result, WHITE_WINS);
    EXPECT_EQ(r.games[0].whiteElo, 2400);
    EXPECT_EQ(r.games[0].blackElo, 2350);  // read as far as it is a number
    EXPECT_EQ(r.games[0].fen, "");
    EXPECT_EQ(r.games[0].moves[0], makeMove(52, 36, PAWN));  // e2e4

    const PgnGame& promotion = r.games[1];
    EXPECT_EQ(promotion.result, UNFINISHED);
    EXPECT_EQ(promotion.fen, "7k/1P6/8/8/8/8/6p1/4K3 w - - 0 1");
    ASSERT_EQ(promotion.moves.size(), 7u);
    EXPECT_EQ(movePromotion(promotion.moves[0]), QUEEN);
    EXPECT_EQ(movePromotion(promotion.moves[5]), QUEEN);
    EXPECT_EQ(promotion.whiteElo, 0);

    EXPECT_EQ(r.games[2].moves.size(), 7u);

    // The rating filter skips games silently; missing ratings count as 0, and nothing of a
    // skipped game (its FEN) carries over to the next.
    const ReadResult strong =
        readAll(text + "\n" + TAGS + "[WhiteElo \"2100\"]\n[BlackElo \"2000\"]\n[Result \"*\"]\n1. d4 *", 2000);
    EXPECT_EQ(strong.errors, "");
    ASSERT_EQ(strong.games.size(), 2u);
    EXPECT_EQ(strong.games[0].whiteElo, 2400);
    EXPECT_EQ(strong.games[1].fen, "");
}

TEST(PgnReader, ErrorsNameTheMessageLineAndCharacter) {
    const std::string header = TAGS + "[Result \"*\"]\n";  // three lines
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        // The first character of the file counts as character 2, so '%' there is no escape.
        {"% x\n" + header + "*", "line 1 char 3: illegal move %\n"},
        {header + "1. e4! e5 *", "line 4 char 7: illegal move !\n"},
        {header + "1. e4 e4 *", "line 4 char 9: illegal move e4\n"},
        {TAGS + "[Result \"1-0\"]\n1. e4 0-1", "line 5 char 0: Game termination marker different from Result\n"},
        {TAGS + "[Result \"1-0\"]\n1. e4 *", "line 5 char 0: Game termination marker different from Result\n"},
        {TAGS + "1. e4 1/2-1/2", "line 4 char 0: Game termination marker different from Result\n"},
        {header + "1. e4 \"x\" *", "line 4 char 10: unexpected string x\n"},
        {header + "1. e4 ) *", "line 4 char 8: unexpected ')'\n"}, {header + "] *", "line 4 char 2: unexpected ']'\n"},
        {"[\"White\" \"w\"]", "line 1 char 10: symbol expected\n"}, {"[White w]", "line 1 char 10: String erwartet\n"},
        {"[White \"w\" \"x\"]", "line 1 char 16: ']' expected\n"},
        // The moves before it were checked on another board than the one the game says it starts on.
        {header + "1. e4 [FEN \"4k3/8/8/8/8/8/8/4K3 b - - 0 1\"] Ke7 *",
         "line 4 char 43: FEN tag after the first move\n"},
        {header + "1. e4 (1... e5 (1... c5)", "line 9 char 0: unexpected end of file\n"},
        {"[Black \"b\"]\n[Result \"*\"]\n*\n", "line 4 char 0: 'White' missing (in game above current line)\n"},
        {"[White \"w\"]\n[Result \"*\"]\n*", "line 4 char 0: 'Black' missing (in game above current line)\n"},
        {TAGS + "*", "line 4 char 0: 'Result' missing (in game above current line)\n"},
    };
    const std::string good = header + "1. d4 *\n";
    for (const auto& c : cases) {
        // Nothing after the fault is read.
        const ReadResult r = readAll(c.text + "\n" + good);
        EXPECT_EQ(r.games.size(), 0u) << c.text;
        EXPECT_EQ(r.errors, c.message) << c.text;
    }
    // Games before the fault stay delivered.
    const ReadResult r = readAll(good + header + "1. e4 e4 *\n" + good);
    EXPECT_EQ(r.games.size(), 1u);
    EXPECT_EQ(r.errors, "line 8 char 9: illegal move e4\n");

    CapturedFile errors;
    PgnReader missing("/nonexistent/games.pgn", errors.get());
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(errors.text(), "info string PGN-Parser: file /nonexistent/games.pgn line 1 char 1: Cannot open file\n");
    PgnGame game;
    EXPECT_FALSE(missing.nextGame(-1, game));
}

TEST(PgnReader, UnfinishedLastGamesGarbageAndHugeTokens) {
    const std::string game = TAGS + "[Result \"1/2-1/2\"]\n1. e4 e5 1/2-1/2\n";
    for (const std::string& tail : {std::string("1. d4 d5"), TAGS + "[Result \"*\"]", std::string("{open comment")}) {
        const ReadResult r = readAll(game + game + tail);  // the last game is dropped without a word
        EXPECT_EQ(r.games.size(), 2u) << tail;
        EXPECT_EQ(r.errors, "") << tail;
    }
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += char((i * 7919 + 13) % 256);
    EXPECT_EQ(readAll(garbage).games.size(), 0u);
    const std::string header = TAGS + "[Result \"*\"]\n";
    const ReadResult longMove = readAll(header + "1. " + std::string(40000, 'a') + " *");
    EXPECT_EQ(longMove.errors.substr(0, 30), "line 4 char 40004: illegal mov");
    EXPECT_EQ(readAll(header + "[Annotator \"" + std::string(40000, 'x') + "\"]\n*").games.size(), 1u);
}


const std::string HEADER = "[White \"w\"]\n[Black \"b\"]\n[Result \"*\"]\n";

TEST(GameScript, FollowsEachGameForTheSideWhoseFirstPositionMatches) {
    test::TempFile games(HEADER + "1. e4 e5 2. Nf3 Nc6 *\n" + HEADER + "1. d4 *\n" + HEADER + "1. d4 d5 *\n");
    test::CapturedFile errors;
    GameScript white(games.name(), errors.get());
    ASSERT_TRUE(white.isOpen());
    EXPECT_EQ(white.moveFor(positionAfter({}).key()), moveOf({}, "e2e4"));
    EXPECT_EQ(white.moveFor(positionAfter({"e2e4", "e7e5"}).key()), moveOf({"e2e4", "e7e5"}, "g1f3"));
    // The next game starts: a one-move game is passed over, the third starts from the asked key.
    EXPECT_EQ(white.moveFor(positionAfter({}).key()), moveOf({}, "d2d4"));
    // Leaving the game ends the script for good.
    EXPECT_EQ(white.moveFor(positionAfter({"d2d4", "g8f6"}).key()), NO_MOVE);
    EXPECT_EQ(white.moveFor(positionAfter({}).key()), NO_MOVE);

    GameScript black(games.name(), errors.get());
    EXPECT_EQ(black.moveFor(positionAfter({"e2e4"}).key()), moveOf({"e2e4"}, "e7e5"));
    EXPECT_EQ(black.moveFor(positionAfter({"e2e4", "e7e5", "g1f3"}).key()), moveOf({"e2e4", "e7e5", "g1f3"}, "b8c6"));
    EXPECT_EQ(errors.text(), "");
}

TEST(GameScript, GamesFromAFenMissingFilesAndBrokenFens) {
    const std::string fen = "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1";
    test::TempFile fromSetup(HEADER + "[FEN \"" + fen + "\"]\n1. e4 Kd7 *\n");
    GameScript follows(fromSetup.name());
    EXPECT_EQ(follows.moveFor(fromFen(fen).key()), parseMove(fromFen(fen), "e2e4"));
    test::CapturedFile errors;
    GameScript missing("/nonexistent/script.pgn", errors.get());
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.moveFor(positionAfter({}).key()), NO_MOVE);
    EXPECT_EQ(errors.text(), "");
    test::TempFile badFen(HEADER + "[FEN \"8/8/8 w - -\"]\n*\n" + HEADER + "1. e4 *\n");
    GameScript script(badFen.name(), errors.get());
    EXPECT_EQ(script.moveFor(positionAfter({}).key()), NO_MOVE);
}

}  // namespace
}  // namespace zelmora::test
