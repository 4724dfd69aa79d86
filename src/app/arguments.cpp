#include "app/arguments.h"

#include <cstring>

namespace zelmora {

ProgramArguments parseArguments(int argc, const char* const* argv) {
    ProgramArguments result;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "VersteckteOptionen") == 0) {
            result.showHiddenOptions = true;
            continue;
        }
        if (argument[0] == '"') {
            std::strncpy(result.path, argument + 1, ProgramArguments::MAX_PATH_LENGTH);
            result.path[ProgramArguments::MAX_PATH_LENGTH] = '\0';
            std::size_t length = std::strlen(result.path);
            if (length > 0 && result.path[length - 1] == '"') result.path[length - 1] = '\0';
        } else {
            std::strncpy(result.path, argument, ProgramArguments::MAX_PATH_LENGTH);
            result.path[ProgramArguments::MAX_PATH_LENGTH] = '\0';
        }
        result.hasPath = true;
    }
    return result;
}

}  // namespace zelmora
