#include "book/game_signature.h"

#include "util/random.h"

namespace zelmora {

void GameSignatureTable::fill(RandomGenerator& random) {
    for (std::uint32_t& number : numbers) {
        for (int i = 0; i < 20; ++i) random.next();
        number = random.next();
    }
}

}  // namespace zelmora
