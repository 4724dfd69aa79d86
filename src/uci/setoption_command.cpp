#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "book/book_loader.h"
#include "control/engine_output.h"
#include "control/search_control.h"
#include "control/session.h"
#include "options/option_table.h"
#include "uci/uci_protocol.h"
#include "util/text.h"

namespace zelmora {

namespace {

constexpr std::size_t MAX_TEXT = FILE_NAME_SIZE - 1;
constexpr std::size_t MAX_WORD = 80;
constexpr std::size_t MAX_CHECK = 8;
constexpr std::size_t BYTES_PER_MB = 1048576;
constexpr int SCORE_UNITS_PER_CENTIPAWN = 10;

// The first word after "value", at most limit characters; empty when there is none.
void copyWord(const char* value, std::size_t limit, char* word) {
    const char* start = skipWhite(value + 5);
    const std::size_t length = std::min<std::size_t>(skipWord(start) - start, limit);
    std::memcpy(word, start, length);
    word[length] = '\0';
}

// The rest of the line after "value" and one separating character. A line that ends right
// after "value" gives the empty text.
void copyText(const char* value, char* text) {
    const char* start = value + 5;
    if (*start != '\0') ++start;
    start = skipWhite(start);
    const std::size_t length = std::min(std::strlen(start), MAX_TEXT);
    std::memcpy(text, start, length);
    text[length] = '\0';
}

// The number after "value", capped at the option's maximum; false when the option does not take it.
bool readSpin(const OptionSpec& option, const char* value, int& number) {
    std::int64_t n = 0;
    if (!readInteger(value + 5, n)) return false;
    const std::int64_t lowest = option.outOfRange == OutOfRange::PositiveCapped ? 1 : option.min;
    if (n < lowest || (n > option.max && option.outOfRange == OutOfRange::Rejected)) return false;
    number = static_cast<int>(std::min<std::int64_t>(n, option.max));
    return true;
}

int resignThreshold(int centipawns) {
    const OptionSpec& resign = optionSpec(OptionId::Resign);
    if (centipawns >= resign.max) return -MATE;  // never resign
    return -SCORE_UNITS_PER_CENTIPAWN * std::max(centipawns, resign.min);
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
    if (length == 0) {
        output_->debugMessage("Syntaxfehler bei 'setoption'", line);
        return;
    }
    const OptionSpec* option = findOption(std::string_view(name, length));
    if (option == nullptr) {
        output_->debugMessage("'setoption': unbekannte Option", line);
        return;
    }
    OptionValue parsed;
    if (option->type == OptionType::Button) {
        applyOption(*option, parsed);
        return;
    }

    char message[96];
    const char* value = std::strstr(line, "value");
    if (value == nullptr) {
        std::snprintf(message, sizeof message, "'setoption name %s' ohne 'value'", option->name);
        output_->debugMessage(message, line);
        return;
    }
    char word[MAX_WORD + 1];
    char text[MAX_TEXT + 1];
    bool valid = true;
    switch (option->type) {
        case OptionType::Spin: valid = readSpin(*option, value, parsed.number); break;
        case OptionType::Check:
            copyWord(value, MAX_CHECK, word);
            parsed.on = std::strcmp(word, "true") == 0;
            valid = parsed.on || std::strcmp(word, "false") == 0;
            break;
        case OptionType::Word:
            copyWord(value, MAX_WORD, word);
            parsed.text = word;
            valid = word[0] != '\0';
            break;
        case OptionType::Text:
            copyText(value, text);
            parsed.text = text;
            break;
        case OptionType::Button: break;  // applied above, without a value
    }
    if (!valid) {
        const char* format =
            option->type == OptionType::Word ? "Lesefehler bei '%s value'" : "Unzul\xE4ssiger Wert f\xFCr '%s'";
        std::snprintf(message, sizeof message, format, option->name);
        output_->debugMessage(message, line);
        if (option->outOfRange != OutOfRange::MinimumOnError) return;
        parsed.number = option->min;
    }
    if (option->stopsSearch) control_->stopSilently();
    applyOption(*option, parsed);
}

void UciProtocol::applyOption(const OptionSpec& option, const OptionValue& value) {
    MaterialEvaluator& material = control_->mainEngine().evaluator.material;
    switch (option.id) {
        case OptionId::Hash: control_->table().resize(static_cast<std::size_t>(value.number) * BYTES_PER_MB); break;
        case OptionId::Ponder: control_->clock()->setPonderOption(value.on); break;
        case OptionId::OwnBook: session_->ownBook = value.on; break;
        case OptionId::ClearHash: control_->table().clear(); break;
        case OptionId::MultiPV: session_->multiPv = value.number; break;
        case OptionId::Chess960: session_->chess960 = value.on; break;
        case OptionId::BookFile:
            std::snprintf(session_->bookFile, sizeof session_->bookFile, "%s", value.text);
            // While a book is loaded the new file replaces it at once.
            if (control_->table().bookCount != 0) loadBook(session_->bookFile, control_->table());
            break;
        case OptionId::Opponent:
            if (std::strcmp(value.text, "Quomb") == 0) output_->debugMessage("Nicht jetzt, nicht schon wieder Du!");
            break;
        case OptionId::NumberOfProcessors: control_->setThreadCount(value.number); break;
        case OptionId::NeuroMaterial:
        case OptionId::NeuroWidth:
            control_->table().clear();
            if (option.id == OptionId::NeuroMaterial) {
                material.setNeuroMaterial(value.number);
            } else {
                material.setNeuroWidth(value.number);
            }
            // Cached material scores were blended with the old setting.
            material.clear();
            evalScratch_->material.copySettings(material);
            break;
        case OptionId::MaterialFile:
            control_->table().clear();
            // A file that cannot be read leaves the network in use: better the old evaluation than none.
            if (material.loadNetwork(value.text)) material.clear();
            evalScratch_->material.copySettings(material);
            break;
        case OptionId::TimeLogFile:
            // "nul:" is the system's name for no file.
            std::snprintf(session_->timeLogFile, sizeof session_->timeLogFile, "%s",
                          std::strcmp(value.text, "nul:") == 0 ? "" : value.text);
            break;
        case OptionId::Blocking: control_->blocking = value.on; break;
        case OptionId::NoOutput: output_->setSilent(value.on); break;
        case OptionId::Resign: session_->resignThreshold = resignThreshold(value.number); break;
        case OptionId::AlwaysClearHash: session_->alwaysClearHash = value.on; break;
    }
}

}  // namespace zelmora
