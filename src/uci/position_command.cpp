#include <cstdio>
#include <cstring>

#include "board/notation.h"
#include "book/book_loader.h"
#include "control/engine_output.h"
#include "control/search_control.h"
#include "control/session.h"
#include "uci/uci_protocol.h"
#include "util/text.h"

namespace zelmora {

namespace {

// 32 men and nothing on ranks 3 to 6: the array a game starts from.
constexpr Bitboard MIDDLE_RANKS = 0x0000FFFFFFFF0000ULL;

bool isGameStart(const Position& pos) { return pos.pieceCount() == 32 && (pos.occupied() & MIDDLE_RANKS) == 0; }

// One move of a "moves" list: four characters, five with a promotion letter; castling
// may be written "O-O" or "O-O-O".
void readMoveToken(const char* text, char token[6]) {
    int length = 0;
    while (length < 5 && text[length] != '\0') {
        token[length] = text[length];
        ++length;
    }
    if (length == 5 && !isLetter(token[4])) length = 4;
    token[length] = '\0';
    if (startsWith(token, "O-O") && std::strcmp(token, "O-O-O") != 0) token[3] = '\0';
}

}  // namespace

bool UciProtocol::reloadOpeningBook() {
    return reloadBook(session_->ownBook, session_->bookFile, control_->table());
}

void UciProtocol::ucinewgame(const char*) {
    control_->stopSilently();
    if (!reloadOpeningBook()) output_->debugMessage("Opening book read error");
}

void UciProtocol::position(const char* line) {
    control_->stopSilently();
    GameRecord& game = session_->game;
    // The set-up starts behind the command word, so leading blanks before it do no harm.
    const char* setup = skipWhite(skipWord(skipWhite(line)));
    bool gameStart = false;
    if (startsWith(setup, "startpos")) {
        game.newGame();
        gameStart = true;
    } else if (startsWith(setup, "Chess960")) {
        unsigned number = 0;
        if (std::sscanf(setup, "Chess960 %u", &number) != 1) {
            output_->debugMessage("'position Chess960' ohne Nummer");
            return;
        }
        if (!game.setChess960(number)) game.newGame();
        gameStart = true;
    } else {
        const char* fen = std::strstr(setup, "fen");
        if (fen == nullptr) {
            output_->debugMessage("'position' ohne 'startpos' und ohne 'fen'");
            return;
        }
        fen = skipWhite(fen[3] != '\0' ? fen + 4 : fen + 3);
        if (!game.setFen(fen)) {
            // The position did change (to the start), so the output must follow it.
            game.newGame();
            output_->setRootPosition(game.position);
            output_->debugMessage("position: Ung\xFCltiger FEN-String: ", fen);
            return;
        }
        gameStart = isGameStart(game.position);
    }
    if (session_->chess960) game.position.chess960Castling = 1;

    const char* moves = std::strstr(setup, "moves");
    int played = 0;
    if (moves != nullptr) {
        const char* p = moves + 5;
        if (*p != '\0') ++p;
        for (;;) {
            p = skipWhite(p);
            if (*p == '\0') break;
            char token[6];
            readMoveToken(p, token);
            Move move = NO_MOVE;
            if (!textToMove(game.position, token, move, true)) {
                output_->debugMessage("position: Ung\xFCltiger Zug: ", token);
                output_->setRootPosition(game.position);
                return;
            }
            game.playMove(move);
            ++played;
            p = skipWord(p);
        }
    }
    output_->setRootPosition(game.position);
    if (gameStart && played <= 1 && !reloadOpeningBook()) output_->debugMessage("Opening book read error");
}

}  // namespace zelmora
