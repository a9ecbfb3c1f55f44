#include "AskNumber.h"

#include "ParseOffset.h"
#include "Prompts.h"

std::optional<std::int64_t> AskNumber(Prompts& prompts, const NumberQuestion& question,
                                      const std::function<bool(std::int64_t)>& accept) {
    for (;;) {
        const std::optional<std::string> answer =
            prompts.InputBox(question.prompt, question.title, question.defaultText);
        if (!answer || answer->empty()) return std::nullopt;
        const std::int64_t value = ParseOffset(*answer);
        if (value >= 0 && accept(value)) return value;
    }
}
