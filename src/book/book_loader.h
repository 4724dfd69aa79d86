#pragma once
// The opening book lives in the front of the transposition table while a game starts: one
// record per book move, sorted by position key. Files are plain text (see book_loader.cpp).

#include <cstdio>

namespace zelmora {

class TranspositionTable;

// Reads the book file into the table. A bare name missing from the current directory is looked
// for next to the program. On any fault the table gets the placeholder book and the answer is
// false; nothing is printed.
bool loadBook(const char* fileName, TranspositionTable& table);
// The same from an open stream, which stays open.
bool readBook(std::FILE* file, TranspositionTable& table);

// One record of key 0 and no move: book mode without a book, so that the first search of the
// game ends book mode (and with it the old table contents).
void setPlaceholderBook(TranspositionTable& table);

// The start of a game: the book file, or only the placeholder when OwnBook is off.
bool reloadBook(bool ownBook, const char* fileName, TranspositionTable& table);

}  // namespace zelmora
