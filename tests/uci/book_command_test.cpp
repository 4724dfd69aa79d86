#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "search/transposition_table.h"
#include "support/protocol_fixture.h"
#include "support/temp_file.h"

namespace zelmora::test {
namespace {

using BookCommand = test::ProtocolTest;

const std::string SAMPLE = ZELMORA_TEST_DATA "/pgn/engine_games_sample.pgn";

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

TEST_F(BookCommand, AddAndWriteMakeABookThatTheEngineLoads) {
    test::TempFile book;
    send("book add " + SAMPLE);
    send("book add " + SAMPLE);  // the same games again add nothing
    send("book write " + book.path() + " threshold 0");
    const auto l = lines();
    ASSERT_EQ(l.size(), 3u);
    EXPECT_TRUE(startsWith(l[0], "white moves:"));
    EXPECT_TRUE(startsWith(l[1], "black moves:"));
    const long white = std::stol(l[0].substr(12)), black = std::stol(l[1].substr(12));
    EXPECT_GT(white, 100);
    EXPECT_EQ(l[2], "moves:      " + std::string(10 - std::to_string(white + black).size(), ' ') +
                        std::to_string(white + black));
    const std::string text = book.read();
    EXPECT_TRUE(text.size() > 5 && text.substr(text.size() - 5) == "* -1\n");

    output.setDebug(true);
    send("setoption name BookFile value " + book.path());
    send("ucinewgame");
    EXPECT_EQ(lines().size(), 3u);  // no read error
    EXPECT_EQ(control.table().bookCount, std::uint32_t(white + black));

    // The statistics went with the write.
    out.clear();
    send("book write " + book.path());
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(book.read(), text);
}

TEST_F(BookCommand, WriteEpdNumbersItsTestPositions) {
    // Drawn games with "all": the start position and the one after 1. e4 e5 2. Nf3 (reached also
    // by 1. Nf3 e5 2. e4) have three balanced moves each; the deeper one is taken, once.
    std::string games;
    for (const char* line : {"1. e4 e5 2. Nf3 Nc6", "1. e4 e5 2. Nf3 Nf6", "1. e4 e5 2. Nf3 d6", "1. Nf3 e5 2. e4 Nc6",
                             "1. Nf3 e5 2. e4 Nf6", "1. Nf3 e5 2. e4 d6", "1. d4 d5"})
        games += std::string("[White \"w\"]\n[Black \"b\"]\n[Result \"1/2-1/2\"]\n") + line + " 1/2-1/2\n";
    test::TempFile pgn(games), epd;
    send("book add " + pgn.path() + " all");
    send("book writeEPD " + epd.path() + " threshold 0");
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(
        epd.read(),
        "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 0 1; \" e4 e5 Sf3\"; \"QD-Teststellung 1\"\n");
}

TEST_F(BookCommand, GameStartsReloadTheBook) {
    output.setDebug(true);
    send("setoption name BookFile value /nonexistent/book.opn");
    const std::string error = "info string Opening book read error";
    const struct {
        std::string command;
        bool reloads;
    } cases[] = {
        {"ucinewgame", true}, {"position startpos", true}, {"position startpos moves e2e4", true},
        {"position startpos moves e2e4 e7e5", false},
        {"position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", true},
        {"position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w Qkq - 0 1", false},   // 31 men
        {"position fen rnbqkbnr/pppppppp/8/8/8/N7/PPPPPPPP/R1BQKBNR b KQkq - 1 1", false},  // rank 3
        {"position Chess960 0", true},
    };
    for (const auto& c : cases) {
        out.clear();
        send(c.command);
        EXPECT_EQ(lines(), c.reloads ? std::vector<std::string>{error} : std::vector<std::string>{}) << c.command;
    }
    send("setoption name OwnBook value false");
    out.clear();
    send("ucinewgame");
    EXPECT_TRUE(lines().empty());
}

TEST_F(BookCommand, TheRootSearchPlaysBookMovesUntilTheBookHasNone) {
    test::TempFile book("e2e4 5 e7e5 3 g1f3 1 * * * *");
    send("setoption name blocking value true");
    send("setoption name BookFile value " + book.path());
    send("position startpos");
    send("go depth 3");
    ASSERT_FALSE(lines().empty());
    EXPECT_TRUE(startsWith(lines().back(), "bestmove e2e4")) << lines().back();
    EXPECT_EQ(engine.nodes, 0u);  // a book move is played without searching

    // Restricted root moves bypass the book, and the first search ends book mode.
    send("position startpos moves e2e4");
    send("go depth 2 searchmoves c7c5");
    EXPECT_TRUE(startsWith(lines().back(), "bestmove c7c5")) << lines().back();
    EXPECT_EQ(control.table().bookCount, 0u);
    send("position startpos moves e2e4 e7e5");
    send("go depth 2");
    EXPECT_GT(engine.nodes, 0u);  // no book any more until the next game

    send("position startpos moves e2e4");
    send("go depth 3");
    EXPECT_TRUE(startsWith(lines().back(), "bestmove e7e5")) << lines().back();
    send("setoption name OwnBook value false");
    send("position startpos");
    send("go depth 2");
    EXPECT_GT(engine.nodes, 0u);
}

}  // namespace
}  // namespace zelmora::test
