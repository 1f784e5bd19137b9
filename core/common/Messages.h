// The message seam: every message box of the ledger goes through one replaceable sink,
// so the core reports to the user without knowing about widgets and tests can read what was said.
#pragma once

#include <QString>

enum class MessageIcon { None, Information, Question, Warning, Error };

class IMessageSink
{
public:
    virtual ~IMessageSink() = default;
    // A message with an OK button.
    virtual void Inform(const QString &caption, const QString &text, MessageIcon icon) = 0;
    // A question with Yes and No buttons and the question icon; true for Yes.
    virtual bool Ask(const QString &caption, const QString &text) = 0;
};

// Caption of messages that name no caption of their own (the program's name, as a plain message box shows).
extern const QString kAppCaption;

// Installs the sink (not owned); null restores the default, which writes to standard error and answers No.
void SetMessageSink(IMessageSink *sink);
IMessageSink *MessageSink();

void ShowMessage(const QString &text, const QString &caption = kAppCaption,
                 MessageIcon icon = MessageIcon::Information);
bool AskYesNo(const QString &text, const QString &caption);
