// The ledger's place in the data folder's Place.kwl: "server#host#port#database#user#", or "file#".
#include "LedgerPlace.h"

#include "common/Paths.h"
#include "lists/ListFile.h"

namespace {

QString PlaceFile()
{
    return DataFilePath(QStringLiteral("Place.kwl"));
}

} // namespace

bool LedgerPlace::operator==(const LedgerPlace &other) const
{
    if (onServer != other.onServer)
        return false;
    return !onServer || (server.host == other.server.host && server.port == other.server.port &&
                         server.database == other.server.database && server.user == other.server.user);
}

LedgerPlace ReadLedgerPlace()
{
    LedgerPlace place;
    QList<QByteArray> entries;
    if (!ReadListFile(PlaceFile(), &entries) || entries.size() < 5 || entries.first() != "server")
        return place;
    bool portRead = false;
    place.server.host = QString::fromUtf8(entries.at(1));
    place.server.port = entries.at(2).toInt(&portRead);
    place.server.database = QString::fromUtf8(entries.at(3));
    place.server.user = QString::fromUtf8(entries.at(4));
    // A hand-edited file that names no server is the ledger file again.
    place.onServer = portRead && place.server.port > 0 && place.server.port < 65536 && !place.server.host.isEmpty() &&
                     !place.server.database.isEmpty() && !place.server.user.isEmpty();
    return place;
}

bool WriteLedgerPlace(const LedgerPlace &place, QString *failure)
{
    QList<QByteArray> entries;
    if (place.onServer) {
        for (const QString &text : {place.server.host, place.server.database, place.server.user}) {
            if (text.contains(QLatin1Char('#'))) {
                *failure = QStringLiteral("服务器的主机、数据库和用户名中不能有符号 #。");
                return false;
            }
        }
        entries = {"server", place.server.host.toUtf8(), QByteArray::number(place.server.port), place.server.database.toUtf8(),
                   place.server.user.toUtf8()};
    } else {
        entries = {"file"};
    }
    if (!WriteListFile(PlaceFile(), entries)) {
        *failure = QStringLiteral("无法保存帐本位置（%1）。").arg(PlaceFile());
        return false;
    }
    return true;
}
