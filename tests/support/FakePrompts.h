#pragma once

#include "platform/Prompts.h"

#include <deque>
#include <string>
#include <vector>

namespace vs::test {

// Prompts that answer from a script and remember every text, so no test waits on a box.
class FakePrompts : public Prompts {
public:
    struct Shown {
        std::string text;
        std::string caption;
        PromptButtons buttons;
    };

    PromptAnswer message(const std::string& text, const std::string& caption, PromptButtons buttons) override {
        shown.push_back({text, caption, buttons});
        if (answers.empty())
            return buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel ? PromptAnswer::Ok
                                                                                        : PromptAnswer::Yes;
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::string pickFolder(const std::string& title, const std::string&) override {
        folderTitles.push_back(title);
        return pickedFolder;
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const Shown& s : shown)
            t.push_back(s.text);
        return t;
    }

    std::vector<Shown> shown;
    std::deque<PromptAnswer> answers;
    std::string pickedFolder;
    std::vector<std::string> folderTitles;
};

}  // namespace vs::test
