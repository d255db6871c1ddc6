#pragma once

#include "app/prompter.h"

class QWidget;

namespace kv7m {

// Shows prompts as modal Qt message boxes over `parent`.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    PromptAnswer ask(const Prompt& prompt) override;

private:
    QWidget* m_parent;
};

}  // namespace kv7m
