#include "NameQuestion.h"

namespace {
constexpr const char* SkipPrompt = "Input New Valid CPM Name or click Cancel to skip..";
}

NameQuestionText QuestionText(const RefusedName& refused) {
    if (refused.why == RefusedName::Why::Exists)
        return {"CPM File Exists", "File Exists - " + refused.name + "\r\n" + SkipPrompt,
                refused.name};
    std::string prompt = "Bad Name - " + refused.name + "\r\n";
    if (!refused.reason.empty()) prompt += refused.reason + "\r\n";
    if (!refused.suggestion.empty()) prompt += "Suggested Name is " + refused.suggestion + "\r\n";
    return {"Invalid CPM Name", prompt + "\r\n" + SkipPrompt, refused.suggestion};
}
