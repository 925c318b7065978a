#pragma once

#include "platform/Prompts.h"

class QWidget;

namespace vs {

// Prompts as QMessageBox and QFileDialog, parented to a window.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    Answer message(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) override;
    std::optional<std::string> pickFolder(const std::string& caption, const std::string& startFolder) override;

private:
    QWidget* parent_;
};

}  // namespace vs
