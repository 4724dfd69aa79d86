#pragma once
// The command line: the word that reveals the hidden options, and the path of a game file.

namespace zelmora {

struct ProgramArguments {
    static constexpr int MAX_PATH_LENGTH = 511;

    bool showHiddenOptions = false;
    bool hasPath = false;
    char path[MAX_PATH_LENGTH + 1] = "";
};

// Every argument other than the hidden-options word is a path; the last one wins. A path that
// begins with a double quote loses its quotes.
ProgramArguments parseArguments(int argc, const char* const* argv);

}  // namespace zelmora
