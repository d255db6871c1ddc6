#include "settings/signature_check.h"

#include "app/prompter.h"

namespace kv7m {

void reportSignatureCheck(Prompter& prompter, int unitSignature, int expectedSignature)
{
    if (unitSignature == expectedSignature)
        prompter.inform(kMessageCaption, signature_text::Matches, PromptIcon::Information);
    else
        prompter.inform(kMessageCaption, signature_text::Differs, PromptIcon::Error);
}

}  // namespace kv7m
