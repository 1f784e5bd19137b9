// The message seam for the interface: every message becomes a modal QMessageBox.
#pragma once

#include "common/Messages.h"

class QtMessageSink : public IMessageSink
{
public:
    void Inform(const QString &caption, const QString &text, MessageIcon icon) override;
    bool Ask(const QString &caption, const QString &text) override;
};
