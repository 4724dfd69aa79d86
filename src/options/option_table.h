#pragma once
// Every engine option described once: the "uci" answer announces them from this table,
// "setoption" finds them and checks their values with it, and the objects an option acts on
// take their initial values and capacities from it.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace zelmora {

// In announcement order, which is also the order of the table.
enum class OptionId : std::uint8_t {
    Hash,
    Ponder,
    OwnBook,
    ClearHash,
    MultiPV,
    Chess960,
    BookFile,
    Opponent,
    NumberOfProcessors,
    NeuroMaterial,
    NeuroWidth,
    MaterialFile,
    TimeLogFile,
    Blocking,
    NoOutput,
    Resign,
    AlwaysClearHash,
};

// How "setoption" reads the value. Text and Word options are both announced as strings.
enum class OptionType : std::uint8_t {
    Spin,    // a whole number
    Check,   // "true" or "false"
    Button,  // no value
    Text,    // the rest of the line: file names may hold blanks
    Word,    // the first word
};

// What a spin option makes of a value that is no number or lies outside min..max.
enum class OutOfRange : std::uint8_t {
    Rejected,        // a message; the option keeps its value
    PositiveCapped,  // any number from 1 up is taken, above max as max; else as Rejected
    MinimumOnError,  // above max is taken as max; otherwise a message, and then min applies
};

struct OptionSpec {
    OptionId id;
    const char* name;
    OptionType type;
    const char* defaultText = nullptr;  // Text and Word options
    int defaultValue = 0;               // Spin options; Check options: 1 for true
    int min = 0;
    int max = 0;
    OutOfRange outOfRange = OutOfRange::Rejected;
    bool stopsSearch = false;  // a running search is ended silently before the value is applied
    bool hidden = false;       // announced only with the argument VersteckteOptionen; settable always
};

inline constexpr OptionSpec OPTION_TABLE[] = {
    {.id = OptionId::Hash, .name = "Hash", .type = OptionType::Spin, .defaultValue = 3, .min = 3, .max = 2047,
     .outOfRange = OutOfRange::PositiveCapped, .stopsSearch = true},
    {.id = OptionId::Ponder, .name = "Ponder", .type = OptionType::Check, .defaultValue = true},
    {.id = OptionId::OwnBook, .name = "OwnBook", .type = OptionType::Check, .defaultValue = true, .stopsSearch = true},
    {.id = OptionId::ClearHash, .name = "Clear Hash", .type = OptionType::Button},
    {.id = OptionId::MultiPV, .name = "MultiPV", .type = OptionType::Spin, .defaultValue = 1, .min = 1, .max = 255,
     .outOfRange = OutOfRange::MinimumOnError, .stopsSearch = true},
    {.id = OptionId::Chess960, .name = "UCI_Chess960", .type = OptionType::Check, .defaultValue = false},
    {.id = OptionId::BookFile, .name = "BookFile", .type = OptionType::Text, .defaultText = "Zelmora.opn",
     .stopsSearch = true},
    {.id = OptionId::Opponent, .name = "Opponent", .type = OptionType::Word, .defaultText = "unknown"},
    {.id = OptionId::NumberOfProcessors, .name = "NumberOfProcessors", .type = OptionType::Spin, .defaultValue = 1,
     .min = 1, .max = 8, .outOfRange = OutOfRange::MinimumOnError, .stopsSearch = true},
    {.id = OptionId::NeuroMaterial, .name = "NeuroMaterial", .type = OptionType::Spin, .defaultValue = 40, .min = 0,
     .max = 100, .stopsSearch = true},
    {.id = OptionId::NeuroWidth, .name = "NeuroWidth", .type = OptionType::Spin, .defaultValue = 300, .min = 1,
     .max = 10000, .stopsSearch = true},
    {.id = OptionId::MaterialFile, .name = "MaterialFile", .type = OptionType::Text, .defaultText = "(internal)",
     .stopsSearch = true},
    {.id = OptionId::TimeLogFile, .name = "Zeitprotokolldatei", .type = OptionType::Text, .defaultText = "nul:",
     .hidden = true},
    {.id = OptionId::Blocking, .name = "blocking", .type = OptionType::Check, .defaultValue = false, .hidden = true},
    {.id = OptionId::NoOutput, .name = "NoOutput", .type = OptionType::Check, .defaultValue = false, .hidden = true},
    // Resign is given in centipawns; up to min means resigning at min, from max on never resigning.
    {.id = OptionId::Resign, .name = "Resign", .type = OptionType::Spin, .defaultValue = 700, .min = 400, .max = 2000,
     .outOfRange = OutOfRange::PositiveCapped, .hidden = true},
    {.id = OptionId::AlwaysClearHash, .name = "AlwaysClearHash", .type = OptionType::Check, .defaultValue = false,
     .hidden = true},
};

constexpr const OptionSpec& optionSpec(OptionId id) { return OPTION_TABLE[static_cast<std::size_t>(id)]; }

// nullptr when no option has exactly this name.
constexpr const OptionSpec* findOption(std::string_view name) {
    for (const OptionSpec& option : OPTION_TABLE) {
        if (name == option.name) return &option;
    }
    return nullptr;
}

namespace option_table_checks {

constexpr bool wellFormed() {
    for (std::size_t i = 0; i < std::size(OPTION_TABLE); ++i) {
        const OptionSpec& option = OPTION_TABLE[i];
        if (static_cast<std::size_t>(option.id) != i) return false;
        const bool hasText = option.type == OptionType::Text || option.type == OptionType::Word;
        if (hasText != (option.defaultText != nullptr)) return false;
        if (option.type == OptionType::Spin && !(option.min <= option.defaultValue && option.defaultValue <= option.max)) {
            return false;
        }
        // The hidden options are announced after all the others.
        if (i > 0 && OPTION_TABLE[i - 1].hidden && !option.hidden) return false;
    }
    return static_cast<std::size_t>(OptionId::AlwaysClearHash) + 1 == std::size(OPTION_TABLE);
}

static_assert(wellFormed(), "each option at its id's place, with a default of its type within its limits");

}  // namespace option_table_checks

}  // namespace zelmora
