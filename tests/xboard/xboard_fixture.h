#pragma once
// An xboard front end around the real engine, writing to a temporary file, with the UCI lines
// it sends recorded. Blocking searches make a session a fixed transcript: when the queue is
// idle, the engine's answer has been printed.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "control/search_control.h"
#include "control/session.h"
#include "control/time_budget.h"
#include "search/engine.h"
#include "support/captured_file.h"
#include "uci/uci_protocol.h"
#include "util/text.h"
#include "xboard/xboard_output.h"
#include "xboard/xboard_protocol.h"

namespace zelmora::test {

class XboardTest : public ::testing::Test {
protected:
    using Lines = std::vector<std::string>;

    XboardTest() {
        session.ownBook = false;
        control.setOutput(&output);
        control.blocking = true;
        output.setProtocol(&xboard);
        xboard.observeUciLines(&XboardTest::record, this);
    }
    ~XboardTest() override {
        xboard.shutDown();
        control.stop();
    }

    // Sends the lines and waits until the engine has run what they queued.
    void send(std::initializer_list<const char*> lines) {
        for (const char* line : lines) xboard.handle(line);
        xboard.waitUntilIdle();
    }
    void send(const std::string& line) { send({line.c_str()}); }
    // The handshake; its answers are dropped.
    void start() {
        send({"xboard", "protover 2"});
        clearTranscript();
    }
    void clearTranscript() {
        out.clear();
        std::lock_guard<std::mutex> guard(uciLock_);
        uciLines_.clear();
    }

    // What the interface saw without (false) or only (true) the thinking lines, which start with
    // the depth; result lines start with a digit too but carry a comment.
    Lines filtered(bool thinkingLines) const {
        Lines result;
        for (const std::string& line : out.lines())
            if ((!line.empty() && line[0] >= '0' && line[0] <= '9' && line.find('{') == std::string::npos) == thinkingLines)
                result.push_back(line);
        return result;
    }
    Lines answers() const { return filtered(false); }
    Lines thinking() const { return filtered(true); }
    Lines all() const { return out.lines(); }
    // For searches in their own thread: waits until an output line starts with prefix.
    bool waitForLine(const std::string& prefix, int milliseconds = 20000) {
        for (int waited = 0; waited < milliseconds; waited += 5) {
            for (const std::string& line : out.lines())
                if (line.rfind(prefix, 0) == 0) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    bool sentUci(const std::string& text) {
        const Lines sent = uciLines();
        return std::find(sent.begin(), sent.end(), text) != sent.end();
    }
    // The UCI lines sent so far, each with its runs of blanks squeezed.
    Lines uciLines() {
        std::lock_guard<std::mutex> guard(uciLock_);
        return uciLines_;
    }
    std::string lastPositionLine() {
        std::string found;
        for (const std::string& line : uciLines())
            if (line.rfind("position", 0) == 0) found = line;
        return found;
    }

    Session session;
    SearchControl control{session};
    Engine& engine = control.mainEngine();
    TimeLimits& clock = *control.clock();
    CapturedFile out;
    XboardOutput output{control.clock(), out.get()};
    UciProtocol uci{&session, &output, &control, true};
    XboardProtocol xboard{&uci, &output, &session};

private:
    static void record(void* self, const char* line) {
        auto* test = static_cast<XboardTest*>(self);
        std::string text = line;
        squeezeBlanks(text.data());
        text.resize(std::char_traits<char>::length(text.c_str()));
        std::lock_guard<std::mutex> guard(test->uciLock_);
        test->uciLines_.push_back(text);
    }

    std::mutex uciLock_;
    Lines uciLines_;
};

}  // namespace zelmora::test
