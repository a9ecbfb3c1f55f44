// The question for a number that a window asks in an input box (a block, an offset, a partition):
// asked again while the answer reads as a number the caller does not take, ended by Cancel or an
// empty answer.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class Prompts;

// How an answer is read.
enum class NumberReading {
    // The number the answer starts with: blanks, a sign, then decimal digits or "&H" and hex
    // digits; an answer that starts with no number reads as 0.
    Leading,
    // ParseOffset: decimal, &H or 0x hexadecimal, a K or M suffix; anything else is asked again.
    Offset,
};

struct NumberQuestion {
    std::string prompt;
    std::string title;
    std::string defaultText;
    NumberReading reading = NumberReading::Leading;
};

// The accepted number, or nullopt after Cancel or an empty answer.
std::optional<std::int64_t> AskNumber(Prompts& prompts, const NumberQuestion& question,
                                      const std::function<bool(std::int64_t)>& accept);
