// A name the image cannot take, and the question for another one. A host file's name or a typed
// name may be no CP/M name, or a CP/M name may already belong to a file on the image (or to a file
// added with it). The core never asks: the window asks the user, the command line answers from
// its arguments, and each passes its way of answering to the core as a NameQuestion.
#pragma once

#include <functional>
#include <optional>
#include <string>

struct RefusedName {
    enum class Why { NotCpmName, Exists };
    Why why = Why::NotCpmName;
    // NotCpmName: the name as given (the host file's name, or as typed). Exists: the CP/M name
    // in its 15-character form.
    std::string name;
    std::string reason;     // why it is no CP/M name ("" when that is not said)
    std::string suggestion; // a valid CP/M name made of it ("" when none is left of it)
};

// Another name for a refused one, checked again like the first; nothing (or "") leaves the file
// out. An empty NameQuestion has no one to ask: every refused name leaves its file out.
using NameQuestion = std::function<std::optional<std::string>(const RefusedName&)>;

// The words of the question: its title, its text, and the name it offers to take.
struct NameQuestionText {
    std::string title;
    std::string prompt;
    std::string offered;
};
NameQuestionText QuestionText(const RefusedName& refused);
