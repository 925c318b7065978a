#pragma once

#include <optional>
#include <string>

namespace vs {

// Buttons a message box offers.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

// Icon beside the text.
enum class Icon { None, Information, Warning, Question, Error };

// The button the user chose. Closing the box without choosing gives Cancel where the box has
// one, else the only button.
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// Message boxes and the folder picker. The window realises it with Qt dialogs; tests script
// the answers and read back what was asked, so nothing ever blocks.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal message box. Texts and captions are shown exactly as given; an empty caption
    // shows the program's title, as a plain message does.
    virtual Answer message(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) = 0;

    // A folder picker titled caption, starting at startFolder. nullopt when cancelled.
    virtual std::optional<std::string> pickFolder(const std::string& caption, const std::string& startFolder) = 0;
};

}  // namespace vs
