#include "AskNumber.h"

#include "ParseOffset.h"
#include "Prompts.h"

namespace {

std::int64_t LeadingNumber(const std::string& text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return 0;
    bool negative = false;
    if (text[i] == '-' || text[i] == '+') negative = text[i++] == '-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == '&' && (text[i + 1] == 'H' || text[i + 1] == 'h')) {
        base = 16;
        i += 2;
    }
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0) break;
        // Anything this large is out of every range an answer is checked against.
        if (value < (std::int64_t{1} << 40)) value = value * base + digit;
    }
    return negative ? -value : value;
}

} // namespace

std::optional<std::int64_t> AskNumber(Prompts& prompts, const NumberQuestion& question,
                                      const std::function<bool(std::int64_t)>& accept) {
    for (;;) {
        const std::optional<std::string> answer =
            prompts.InputBox(question.prompt, question.title, question.defaultText);
        if (!answer || answer->empty()) return std::nullopt;
        const std::int64_t value = question.reading == NumberReading::Leading
                                       ? LeadingNumber(*answer)
                                       : ParseOffset(*answer);
        if (question.reading == NumberReading::Offset && value < 0) continue;
        if (accept(value)) return value;
    }
}
