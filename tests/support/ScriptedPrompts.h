// Prompts for tests: answers come from queues set up by the test, and everything shown is
// recorded. An empty queue answers OK for message boxes and Cancel for every other question.
#pragma once

#include "Prompts.h"

#include <deque>
#include <string>
#include <vector>

struct ShownMessage {
    std::string title;
    std::string text;
    Buttons buttons;
};

struct AskedInput {
    std::string prompt;
    std::string title;
    std::string defaultText;
};

class ScriptedPrompts : public Prompts {
  public:
    std::deque<Answer> messageAnswers;
    std::deque<std::optional<std::string>> inputAnswers;
    std::deque<FileDialogResult> fileAnswers;
    std::deque<DirectoryPickResult> directoryAnswers;

    std::vector<ShownMessage> messages;
    std::vector<AskedInput> inputs;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<std::pair<std::string, std::string>> directoryRequests; // caption, start

    Answer MessageBox(const std::string& title, const std::string& text,
                      Buttons buttons = Buttons::Ok) override {
        messages.push_back({title, text, buttons});
        return Pop(messageAnswers, Answer::Ok);
    }
    std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override {
        inputs.push_back({prompt, title, defaultText});
        return Pop(inputAnswers, std::optional<std::string>());
    }
    FileDialogResult FileDialog(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        return Pop(fileAnswers, FileDialogResult{});
    }
    DirectoryPickResult PickDirectory(const std::string& caption,
                                      const std::string& startDirectory) override {
        directoryRequests.emplace_back(caption, startDirectory);
        return Pop(directoryAnswers, DirectoryPickResult{"", true});
    }

  private:
    template <typename T> static T Pop(std::deque<T>& queue, T fallback) {
        if (queue.empty()) return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};
