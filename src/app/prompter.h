#pragma once

#include <QString>

namespace kv7m {

enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptButtons { Ok, YesNo };
enum class PromptAnswer { Ok, Yes, No };

struct Prompt {
    QString caption;
    QString text;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;

    bool operator==(const Prompt&) const = default;
};

// Every message box and question of the program goes through here, so that logic never opens a
// widget itself and tests can script the answers.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer ask(const Prompt& prompt) = 0;

    void inform(const QString& caption, const QString& text, PromptIcon icon)
    {
        ask(Prompt{caption, text, icon, PromptButtons::Ok});
    }
    bool askYesNo(const QString& caption, const QString& text, PromptIcon icon)
    {
        return ask(Prompt{caption, text, icon, PromptButtons::YesNo}) == PromptAnswer::Yes;
    }
};

// Caption of the program's own message boxes.
inline const QString kMessageCaption = QStringLiteral("КВ7М");
// Application title; also the caption of the boxes that report failed conversions.
inline const QString kApplicationTitle = QStringLiteral("Конфигуратор КВ7М::Влагомеры");

}  // namespace kv7m
