#pragma once
// What a running search reports. The output channels implement it; an engine without a
// channel reports to a listener that drops everything.

#include <cstdint>

#include "board/types.h"
#include "search/principal_variation.h"

namespace zelmora {

class Engine;

class EngineListener {
public:
    virtual ~EngineListener() = default;

    virtual void pvLine(const Engine& engine, int score, int alpha, int beta) = 0;
    virtual void currMove(const Engine& engine, Move move, int number) = 0;
    virtual void multiPvLine(const Engine&, int /*lineNumber*/, const PrincipalVariation&, int /*score*/,
                             int /*alpha*/, int /*beta*/) {}
    virtual void hook(std::uint32_t, std::uint32_t) {}
    virtual void debugMessage(const char* /*text*/, const char* /*detail*/ = nullptr) {}
    virtual void infoString(const char* /*text*/, const char* /*detail*/ = nullptr) {}
};

class NullListener final : public EngineListener {
public:
    void pvLine(const Engine&, int, int, int) override {}
    void currMove(const Engine&, Move, int) override {}
};

}  // namespace zelmora
