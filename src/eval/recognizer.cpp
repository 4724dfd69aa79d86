#include "eval/recognizer.h"

#include "eval/recognizer_kinds.h"

namespace zelmora {

bool EndgameRecognizer::evaluate(const Position&, int&) const { return false; }
bool EndgameRecognizer::evaluateQuiet(const Position&, int&) const { return false; }
bool EndgameRecognizer::bound(const Position&, int&, int, int, int, int&) const { return false; }
int EndgameRecognizer::scale(const Position&, const Evaluator&, int value) const { return value; }

RecognizerRegistry::RecognizerRegistry() {
    using namespace endgame;
    kinds_.reserve(2 * KIND_COUNT);
    auto both = [this](Kind kind, std::unique_ptr<EndgameRecognizer> one) {
        slot_[kind][WHITE] = slot_[kind][BLACK] = one.get();
        kinds_.push_back(std::move(one));
    };
    auto sided = [this](Kind kind, std::unique_ptr<EndgameRecognizer> white,
                        std::unique_ptr<EndgameRecognizer> black) {
        slot_[kind][WHITE] = white.get();
        slot_[kind][BLACK] = black.get();
        kinds_.push_back(std::move(white));
        kinds_.push_back(std::move(black));
    };
    auto defence = [&sided](Kind kind, const char* whiteName, const char* blackName, int weight, bool bounds) {
        sided(kind, std::make_unique<DefenceRecognizer>(WHITE, whiteName, blackName, weight, bounds),
              std::make_unique<DefenceRecognizer>(BLACK, whiteName, blackName, weight, bounds));
    };

    both(DEAD_DRAW, std::make_unique<DeadDraw>());
    both(TWO_KNIGHTS, std::make_unique<TwoKnights>());
    sided(KING_PAWN_VS_KING, std::make_unique<KingPawnVsKing>(WHITE),
          std::make_unique<KingPawnVsKing>(BLACK));
    sided(MAJOR_VS_KING, std::make_unique<MajorVsKing>(WHITE), std::make_unique<MajorVsKing>(BLACK));
    sided(QUEEN_VS_ROOK, std::make_unique<QueenVsRook>(WHITE), std::make_unique<QueenVsRook>(BLACK));
    both(EQUAL_PIECES, std::make_unique<EqualPieces>());
    sided(BISHOP_KNIGHT_MATE, std::make_unique<BishopKnightMate>(WHITE),
          std::make_unique<BishopKnightMate>(BLACK));
    sided(MINOR_PAWN_VS_KING, std::make_unique<MinorPawnVsKing>(WHITE),
          std::make_unique<MinorPawnVsKing>(BLACK));
    sided(PAWN_VS_MINOR, std::make_unique<PawnVsMinor>(WHITE), std::make_unique<PawnVsMinor>(BLACK));
    defence(ROOK_VS_MINOR, "RookVsMinor/White", "RookVsMinor/Black", ROOK_VS_MINOR_DEFENCE, true);
    defence(TWO_MINORS_VS_PIECE, "TwoMinorsVsPiece/White", "TwoMinorsVsPiece/Black", TWO_MINORS_DEFENCE, true);
    sided(ROOK_MINOR_VS_ROOK_PAWN,
          std::make_unique<RookMinorVsRookPawn>("RookMinorVsRookPawn/+100", ROOK_MINOR_VS_ROOK_PAWN_VALUE),
          std::make_unique<RookMinorVsRookPawn>("RookMinorVsRookPawn/-100", -ROOK_MINOR_VS_ROOK_PAWN_VALUE));
    sided(ROOK_PAWN_VS_ROOK, std::make_unique<RookPawnVsRook>(WHITE),
          std::make_unique<RookPawnVsRook>(BLACK));
    defence(ROOK_MINOR_VS_ROOK, "RookMinorVsRook/White", "RookMinorVsRook/Black", ROOK_MINOR_VS_ROOK_DEFENCE,
            false);
    both(QUEEN_MINOR_VS_QUEEN, std::make_unique<QueenMinorVsQueen>());
    sided(TWO_KNIGHTS_VS_PAWN, std::make_unique<TwoKnightsVsPawn>(WHITE),
          std::make_unique<TwoKnightsVsPawn>(BLACK));
    both(PAWN_ENDING, std::make_unique<PawnEnding>());
    both(BISHOP_VS_BISHOP, std::make_unique<BishopVsBishop>());
    both(KNIGHT_VS_KNIGHT, std::make_unique<KnightVsKnight>());
    both(BISHOP_VS_KNIGHT, std::make_unique<BishopVsKnight>());
    both(QUEEN_VS_QUEEN, std::make_unique<QueenVsQueen>());
    both(ONE_SIDE_PAWNS, std::make_unique<OneSidePawns>());
}

}  // namespace zelmora
