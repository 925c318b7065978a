#pragma once

#include <string>

namespace vs {

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Message boxes and the folder picker. The window uses a Qt realisation; tests script the
// answers and record the texts, so no test ever waits on a modal box.
class Prompts {
public:
    virtual ~Prompts() = default;
    // A plain message box with the literal text and caption; the button pressed.
    virtual PromptAnswer message(const std::string& text, const std::string& caption, PromptButtons buttons) = 0;
    // "Select a folder": the chosen folder, or empty when the user cancelled.
    virtual std::string pickFolder(const std::string& title, const std::string& startFolder) = 0;
};

}  // namespace vs
