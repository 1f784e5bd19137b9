// The private PostgreSQL server the tests' fixture started (tools/pg-test-server.sh), and a database
// of its own on it for one test: made fresh, dropped afterwards.
#pragma once

#include "db/PgConnection.h"

#include <QRandomGenerator>
#include <QtGlobal>

inline PgSettings TestServer(const QString &database = QStringLiteral("postgres"))
{
    PgSettings settings;
    settings.host = qEnvironmentVariable("ZARVEL_TEST_PGHOST");
    settings.port = qEnvironmentVariableIntValue("ZARVEL_TEST_PGPORT");
    settings.database = database;
    settings.user = QStringLiteral("zarvel");
    settings.password = QStringLiteral("zarvel-test");
    return settings;
}

class TestDatabase
{
public:
    TestDatabase() : m_name(QStringLiteral("zarvel_test_%1").arg(QRandomGenerator::global()->generate64() >> 8))
    {
        PgConnection::Open(TestServer())->Execute(QStringLiteral("CREATE DATABASE ") + m_name);
    }
    ~TestDatabase()
    {
        try {
            PgConnection::Open(TestServer())->Execute(QStringLiteral("DROP DATABASE IF EXISTS ") + m_name + QStringLiteral(" WITH (FORCE)"));
        } catch (...) {
        }
    }
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    QString Name() const { return m_name; }
    PgSettings Settings() const { return TestServer(m_name); }

private:
    QString m_name;
};
