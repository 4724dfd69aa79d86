#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "book/book_loader.h"
#include "control/engine_output.h"
#include "control/search_control.h"
#include "control/session.h"
#include "uci/uci_protocol.h"
#include "util/text.h"

namespace zelmora {

namespace {

enum class Option {
    Hash,
    Ponder,
    OwnBook,
    ClearHash,
    MultiPV,
    Chess960,
    BookFile,
    Opponent,
    Processors,
    NeuroMaterial,
    NeuroWidth,
    MaterialFile,
    LogFile,
    Blocking,
    NoOutput,
    Resign,
    AlwaysClearHash,
};

struct OptionName {
    const char* name;
    Option option;
};

constexpr OptionName OPTIONS[] = {
    {"Hash", Option::Hash},
    {"Ponder", Option::Ponder},
    {"OwnBook", Option::OwnBook},
    {"Clear Hash", Option::ClearHash},
    {"MultiPV", Option::MultiPV},
    {"UCI_Chess960", Option::Chess960},
    {"BookFile", Option::BookFile},
    {"Opponent", Option::Opponent},
    {"NumberOfProcessors", Option::Processors},
    {"NeuroMaterial", Option::NeuroMaterial},
    {"NeuroWidth", Option::NeuroWidth},
    {"MaterialFile", Option::MaterialFile},
    {"Zeitprotokolldatei", Option::LogFile},
    {"blocking", Option::Blocking},
    {"NoOutput", Option::NoOutput},
    {"Resign", Option::Resign},
    {"AlwaysClearHash", Option::AlwaysClearHash},
};

constexpr std::size_t MAX_NAME = 29;
constexpr std::size_t MAX_TEXT = FILE_NAME_SIZE - 1;
constexpr std::size_t MAX_WORD = 80;
constexpr std::size_t MAX_CHECK = 8;

bool isNumberOption(Option option) {
    switch (option) {
        case Option::Hash:
        case Option::MultiPV:
        case Option::Processors:
        case Option::NeuroMaterial:
        case Option::NeuroWidth:
        case Option::Resign: return true;
        default: return false;
    }
}

bool isTextOption(Option option) {
    return option == Option::BookFile || option == Option::MaterialFile || option == Option::LogFile;
}

// The first word after "value", at most limit characters; empty when there is none.
std::string valueWord(const char* value, std::size_t limit) {
    const char* start = skipWhite(value + 5);
    return std::string(start, std::min<std::size_t>(skipWord(start) - start, limit));
}

// The rest of the line after "value" and one separating character. A line that ends right
// after "value" gives the empty text.
std::string valueText(const char* value) {
    const char* start = value + 5;
    if (*start != '\0') ++start;
    start = skipWhite(start);
    return std::string(start, std::min(std::strlen(start), MAX_TEXT));
}

int resignThreshold(std::int64_t n) {
    if (n <= 400) return -4000;
    if (n < 2000) return static_cast<int>(-10 * n);
    return -MATE;  // never resign
}

}  // namespace

void UciProtocol::setoption(const char* line) {
    const char* name = std::strstr(line, "name");
    if (name == nullptr) {
        output_->debugMessage("'setoption' ohne 'name'", line);
        return;
    }
    name = skipWhite(name + 4);
    // The name ends one character before "value", normally at the blank in front of it.
    const char* nextValue = std::strstr(name, "value");
    const std::size_t length = nextValue == nullptr ? std::strlen(name)
                               : nextValue > name   ? static_cast<std::size_t>(nextValue - 1 - name)
                                                    : 0;
    const std::string optionName(name, std::min(length, MAX_NAME));
    if (optionName.empty()) {
        output_->debugMessage("Syntaxfehler bei 'setoption'", line);
        return;
    }
    const OptionName* known = std::find_if(std::begin(OPTIONS), std::end(OPTIONS),
                                           [&](const OptionName& o) { return optionName == o.name; });
    if (known == std::end(OPTIONS)) {
        output_->debugMessage("'setoption': unbekannte Option", line);
        return;
    }
    const Option option = known->option;
    if (option == Option::ClearHash) {
        control_->table().clear();
        return;
    }

    const char* value = std::strstr(line, "value");
    if (value == nullptr) {
        output_->debugMessage(("'setoption name " + optionName + "' ohne 'value'").c_str(), line);
        return;
    }
    const std::string invalid = "Unzul\xE4ssiger Wert f\xFCr '" + optionName + "'";
    MaterialEvaluator& material = control_->mainEngine().evaluator.material;

    if (isTextOption(option)) {
        const std::string text = valueText(value);
        if (option == Option::LogFile) {
            // "nul:" is the system's name for no file.
            std::snprintf(session_->timeLogFile, sizeof session_->timeLogFile, "%s", text == "nul:" ? "" : text.c_str());
            return;
        }
        control_->stopSilently();
        if (option == Option::BookFile) {
            std::snprintf(session_->bookFile, sizeof session_->bookFile, "%s", text.c_str());
            // While a book is loaded the new file replaces it at once.
            if (control_->table().bookCount != 0) loadBook(session_->bookFile, control_->table());
            return;
        }
        control_->table().clear();
        // A file that cannot be read leaves the network in use: better the old evaluation than none.
        if (material.loadNetwork(text.c_str())) material.clear();
        evalScratch_->material.copySettings(material);
        return;
    }

    if (option == Option::Opponent) {
        const std::string word = valueWord(value, MAX_WORD);
        if (word.empty()) {
            output_->debugMessage("Lesefehler bei 'Opponent value'", line);
        } else if (word == "Quomb") {
            output_->debugMessage("Nicht jetzt, nicht schon wieder Du!");
        }
        return;
    }

    if (isNumberOption(option)) {
        std::int64_t n = 0;
        const bool read = readInteger(value + 5, n);
        switch (option) {
            case Option::Hash:
                if (!read || n < 1) break;
                control_->stopSilently();
                control_->table().resize(static_cast<std::size_t>(std::min<std::int64_t>(n, MAX_HASH_MB)) * 1048576);
                return;
            case Option::MultiPV:
            case Option::Processors: {
                if (!read || n < 1) {
                    output_->debugMessage(invalid.c_str(), line);
                    n = 1;
                }
                control_->stopSilently();
                if (option == Option::MultiPV) {
                    session_->multiPv = static_cast<int>(std::min<std::int64_t>(n, MAX_MULTI_PV));
                } else {
                    control_->setThreadCount(static_cast<int>(std::min<std::int64_t>(n, MAX_THREADS)));
                }
                return;
            }
            case Option::NeuroMaterial:
            case Option::NeuroWidth: {
                const bool share = option == Option::NeuroMaterial;
                if (!read || n < (share ? 0 : 1) || n > (share ? 100 : 10000)) break;
                control_->stopSilently();
                control_->table().clear();
                if (share) {
                    material.setNeuroMaterial(static_cast<int>(n));
                } else {
                    material.setNeuroWidth(static_cast<int>(n));
                }
                // Cached material scores were blended with the old setting.
                material.clear();
                evalScratch_->material.copySettings(material);
                return;
            }
            default:  // Resign
                if (!read || n < 1) break;
                session_->resignThreshold = resignThreshold(n);
                return;
        }
        output_->debugMessage(invalid.c_str(), line);
        return;
    }

    const std::string word = valueWord(value, MAX_CHECK);
    if (word != "true" && word != "false") {
        output_->debugMessage(invalid.c_str(), line);
        return;
    }
    const bool on = word == "true";
    switch (option) {
        case Option::Ponder: control_->clock()->setPonderOption(on); break;
        case Option::OwnBook:
            control_->stopSilently();
            session_->ownBook = on;
            break;
        case Option::Chess960: session_->chess960 = on; break;
        case Option::Blocking: control_->blocking = on; break;
        case Option::NoOutput: output_->setSilent(on); break;
        default: session_->alwaysClearHash = on; break;
    }
}

}  // namespace zelmora
