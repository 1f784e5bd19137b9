// Message seam and its console fallback.
#include "Messages.h"

#include <cstdio>

const QString kAppCaption = QStringLiteral("Zarvel");

namespace {

class ConsoleSink : public IMessageSink
{
public:
    void Inform(const QString &caption, const QString &text, MessageIcon) override
    {
        std::fprintf(stderr, "[%s] %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    }
    bool Ask(const QString &caption, const QString &text) override
    {
        Inform(caption, text, MessageIcon::Question);
        return false;
    }
};

ConsoleSink g_consoleSink;
IMessageSink *g_sink = nullptr;

} // namespace

void SetMessageSink(IMessageSink *sink)
{
    g_sink = sink;
}

IMessageSink *MessageSink()
{
    return g_sink ? g_sink : &g_consoleSink;
}

void ShowMessage(const QString &text, const QString &caption, MessageIcon icon)
{
    MessageSink()->Inform(caption, text, icon);
}

bool AskYesNo(const QString &text, const QString &caption)
{
    return MessageSink()->Ask(caption, text);
}
