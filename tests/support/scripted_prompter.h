#pragma once

#include "app/prompter.h"

#include <QList>

#include <deque>

namespace kv7m::test {

// Records every prompt and answers questions from a queue (No when the queue is empty).
class ScriptedPrompter : public Prompter {
public:
    PromptAnswer ask(const Prompt& prompt) override
    {
        prompts.append(prompt);
        if (prompt.buttons == PromptButtons::Ok)
            return PromptAnswer::Ok;
        if (answers.empty())
            return PromptAnswer::No;
        const PromptAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void answer(PromptAnswer a) { answers.push_back(a); }

    QList<Prompt> prompts;
    std::deque<PromptAnswer> answers;
};

}  // namespace kv7m::test
