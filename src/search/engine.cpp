#include "search/engine.h"

namespace zelmora {

Engine::Engine() : listener(&nullListener_) {}

void Engine::setListener(EngineListener* newListener) {
    listener = newListener != nullptr ? newListener : &nullListener_;
}

}  // namespace zelmora
