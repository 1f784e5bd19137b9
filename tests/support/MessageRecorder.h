// A message sink for tests: keeps every message and answers questions as told.
#pragma once

#include "common/Messages.h"

#include <QList>
#include <QString>
#include <functional>

struct RecordedMessage
{
    QString caption;
    QString text;
    MessageIcon icon;
    bool question;
};

class MessageRecorder : public IMessageSink
{
public:
    MessageRecorder() { SetMessageSink(this); }
    ~MessageRecorder() override { SetMessageSink(nullptr); }

    void Inform(const QString &caption, const QString &text, MessageIcon icon) override
    {
        messages.append({caption, text, icon, false});
        if (onInform)
            onInform();
    }
    bool Ask(const QString &caption, const QString &text) override
    {
        messages.append({caption, text, MessageIcon::Question, true});
        return answer;
    }

    QStringList Texts() const
    {
        QStringList texts;
        for (const RecordedMessage &m : messages)
            texts.append(m.text);
        return texts;
    }
    QString Last() const { return messages.isEmpty() ? QString() : messages.last().text; }
    void Clear() { messages.clear(); }

    QList<RecordedMessage> messages;
    bool answer = true;
    std::function<void()> onInform;  // looks at the screen as the message would be shown
};
