// A fresh ledger installation in a temporary folder, made the current directory for the test's life.
#pragma once

#include "db/Installer.h"
#include "lists/ReferenceLists.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestInstallation
{
public:
    TestInstallation() : m_previous(QDir::currentPath())
    {
        QString error;
        m_ok = m_dir.isValid() && LayInstallation(QStringLiteral(ZARVEL_TEMPLATE_DIR), m_dir.path(), &error);
        if (!m_ok)
            qWarning("installation failed: %s", qPrintable(error));
        QDir::setCurrent(m_dir.path());
        ClearReferenceLists();
    }
    ~TestInstallation()
    {
        QDir::setCurrent(m_previous);
        ClearReferenceLists();
    }
    bool IsValid() const { return m_ok; }
    QString Path() const { return m_dir.path(); }
    QString DataFile(const QString &name) const { return m_dir.path() + QStringLiteral("/Data/") + name; }

private:
    QString m_previous;
    QTemporaryDir m_dir;
    bool m_ok = false;
};
