#include "NumberEntry.h"

#include "ParseOffset.h"
#include "Prompts.h"

#include <optional>

namespace {

// The value of "+12", "-3", "0042": an optional sign and 1..maxDigits decimal digits.
std::optional<std::int64_t> WholeNumber(std::string_view text, int maxDigits) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || static_cast<int>(text.size()) > maxDigits || text.size() > 18)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

} // namespace

std::uint32_t ColourValue(EntryColour colour) {
    switch (colour) {
    case EntryColour::Black:
        return 0x000000;
    case EntryColour::Red:
        return 0x0000FF;
    case EntryColour::Blue:
        return 0xFF0000;
    case EntryColour::White:
        return 0xFFFFFF;
    case EntryColour::Cyan:
        return 0xFFFF00;
    }
    return 0;
}

EntryMark MarkEntry(std::string_view text, bool ok) {
    return {ok ? EntryColour::Black : EntryColour::Red,
            text.empty() ? EntryColour::Red : EntryColour::White};
}

EntryMark CheckRange(std::string_view text, std::int64_t min, std::int64_t max,
                     std::int64_t warnMin, std::int64_t warnMax) {
    const std::int64_t v = ParseOffset(text);
    EntryColour fore = EntryColour::Black;
    if (v < min || v > max)
        fore = EntryColour::Red;
    else if (v < warnMin || v > warnMax)
        fore = EntryColour::Blue;
    return {fore, text.empty() ? EntryColour::Red : EntryColour::White};
}

std::int64_t InputNumber(Prompts& prompts, const std::string& name, const std::string& title,
                         std::int64_t defaultValue, std::int64_t min, std::int64_t max,
                         int maxDigits) {
    const std::string prompt =
        "Input " + name + " (" + std::to_string(min) + "-" + std::to_string(max) + ") ";
    for (;;) {
        const std::optional<std::string> answer =
            prompts.InputBox(prompt, title, std::to_string(defaultValue));
        if (!answer || answer->empty()) return defaultValue;
        const std::optional<std::int64_t> value = WholeNumber(*answer, maxDigits);
        if (value && *value >= min && *value <= max) return *value;
        prompts.MessageBox(name + " Size Error",
                           "New " + name + " must be between " + std::to_string(min) + " and " +
                               std::to_string(max) + ". You input \"" + *answer + "\"");
    }
}
