#pragma once
// A UCI front end wired to a temporary output file, for command tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/search_control.h"
#include "control/session.h"
#include "control/time_budget.h"
#include "search/engine.h"
#include "support/captured_file.h"
#include "uci/uci_output.h"
#include "uci/uci_protocol.h"

namespace zelmora::test {

class ProtocolTest : public ::testing::Test {
public:
    ProtocolTest() { control.setOutput(&output); }
    // A search still running reports to the output, which goes before the control.
    ~ProtocolTest() override { control.stop(); }

    void send(const std::string& line) { protocol.handle(line.c_str()); }
    std::vector<std::string> lines() const { return out.lines(); }
    // Board, side to move, castling rights (the first three FEN fields).
    std::string placement() const {
        char buffer[128];
        std::string fen = session.game.getFen(buffer);
        std::size_t end = 0;
        for (int field = 0; field < 3 && end != std::string::npos; ++field) end = fen.find(' ', end + 1);
        return fen.substr(0, end);
    }

    Session session;
    SearchControl control{session};
    Engine& engine = control.mainEngine();
    SharedSearch& shared = control.shared();
    TimeLimits& clock = *control.clock();
    CapturedFile out;
    UciOutput output{control.clock(), out.get()};
    UciProtocol protocol{&session, &output, &control, false};
};

}  // namespace zelmora::test
