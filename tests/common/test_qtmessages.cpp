// What of Qt's message output reaches standard error once the programs' filter is in.
#include "common/qtmessages.h"

#include <QTemporaryFile>
#include <QtGlobal>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace quendra;

namespace {

TEST(QtMessages, OnlyQuendrasOwnAndCriticalMessagesReachStandardError)
{
    QTemporaryFile captured;
    ASSERT_TRUE(captured.open());
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ASSERT_GE(::dup2(captured.handle(), STDERR_FILENO), 0);
    installQtMessageFilter();
    qDebug("QSqlDatabase: Fehlersuche");
    qInfo("Hinweis");
    qWarning("QSqlDatabasePrivate::removeDatabase: connection 'x' is still in use");
    qWarning("Quendra: Zeilen konnten nicht abgeschlossen werden");
    qCritical("kritisch");
    qInstallMessageHandler(nullptr);
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    captured.seek(0);
    EXPECT_EQ(captured.readAll(),
              QByteArray("Quendra: Zeilen konnten nicht abgeschlossen werden\nQt: kritisch\n"));
}

} // namespace
