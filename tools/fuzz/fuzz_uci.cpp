// libFuzzer target: any bytes as the command stream after "uci". Nothing may crash or hang;
// perft requests are left out so that a deep count cannot stall the run.

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/command_driver.h"
#include "board/attacks.h"

using namespace zelmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    initBoardTables();
    std::string input = "uci\n" + std::string(reinterpret_cast<const char*>(data), size) + "\nisready\n";
    if (input.find("perft") != std::string::npos) return 0;
    std::FILE* in = fmemopen(input.data(), input.size(), "r");
    std::FILE* sink = std::fopen("/dev/null", "w");
    if (in && sink) {
        CommandDriver driver(nullptr, true, in, sink, sink);
        driver.run();
    }
    if (in) std::fclose(in);
    if (sink) std::fclose(sink);
    return 0;
}
