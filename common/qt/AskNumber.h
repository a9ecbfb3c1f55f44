// The question for a number that a window asks in an input box (a block, an offset, a partition):
// the answer is read as every typed number is (ParseOffset.h), and asked again while it is no
// number or one the caller does not take; Cancel or an empty answer ends it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class Prompts;

struct NumberQuestion {
    std::string prompt;
    std::string title;
    std::string defaultText;
};

// The accepted number, or nullopt after Cancel or an empty answer.
std::optional<std::int64_t> AskNumber(Prompts& prompts, const NumberQuestion& question,
                                      const std::function<bool(std::int64_t)>& accept);
