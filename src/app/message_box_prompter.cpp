#include "app/message_box_prompter.h"

#include <QMessageBox>

namespace kv7m {

namespace {

QMessageBox::Icon toIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

PromptAnswer MessageBoxPrompter::ask(const Prompt& prompt)
{
    const bool yesNo = prompt.buttons == PromptButtons::YesNo;
    QMessageBox box(toIcon(prompt.icon), prompt.caption, prompt.text,
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, m_parent);
    box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
    const int result = box.exec();
    if (!yesNo)
        return PromptAnswer::Ok;
    return result == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
}

}  // namespace kv7m
