// The libpq functions Quendra calls for PostgreSQL data sources, each handing its
// arguments to the same function of libpq, which is loaded at the first call (see
// LazyLibrary).
#include "connectors/backends/lazylibrary.h"

#include <libpq-fe.h>

namespace {
constinit quendra::LazyLibrary libpq("libpq.so.5", "PostgreSQL");
} // namespace

#define PQ_FORWARD(name, ...) QUENDRA_LAZY_CALL(libpq, name, __VA_ARGS__)

extern "C" {

PGconn* PQconnectdb(const char* conninfo)
{
    PQ_FORWARD(PQconnectdb, conninfo);
}
ConnStatusType PQstatus(const PGconn* conn)
{
    PQ_FORWARD(PQstatus, conn);
}
char* PQerrorMessage(const PGconn* conn)
{
    PQ_FORWARD(PQerrorMessage, conn);
}
PQnoticeProcessor PQsetNoticeProcessor(PGconn* conn, PQnoticeProcessor proc, void* arg)
{
    PQ_FORWARD(PQsetNoticeProcessor, conn, proc, arg);
}
void PQfinish(PGconn* conn)
{
    PQ_FORWARD(PQfinish, conn);
}
PGresult* PQexec(PGconn* conn, const char* query)
{
    PQ_FORWARD(PQexec, conn, query);
}
int PQsendQuery(PGconn* conn, const char* query)
{
    PQ_FORWARD(PQsendQuery, conn, query);
}
PGresult* PQprepare(PGconn* conn, const char* stmtName, const char* query, int nParams,
                    const Oid* paramTypes)
{
    PQ_FORWARD(PQprepare, conn, stmtName, query, nParams, paramTypes);
}
PGresult* PQdescribePrepared(PGconn* conn, const char* stmt)
{
    PQ_FORWARD(PQdescribePrepared, conn, stmt);
}
PGresult* PQgetResult(PGconn* conn)
{
    PQ_FORWARD(PQgetResult, conn);
}
ExecStatusType PQresultStatus(const PGresult* res)
{
    PQ_FORWARD(PQresultStatus, res);
}
char* PQresultErrorMessage(const PGresult* res)
{
    PQ_FORWARD(PQresultErrorMessage, res);
}
char* PQresultErrorField(const PGresult* res, int fieldcode)
{
    PQ_FORWARD(PQresultErrorField, res, fieldcode);
}
void PQclear(PGresult* res)
{
    PQ_FORWARD(PQclear, res);
}
int PQntuples(const PGresult* res)
{
    PQ_FORWARD(PQntuples, res);
}
int PQnfields(const PGresult* res)
{
    PQ_FORWARD(PQnfields, res);
}
char* PQfname(const PGresult* res, int field_num)
{
    PQ_FORWARD(PQfname, res, field_num);
}
Oid PQftype(const PGresult* res, int field_num)
{
    PQ_FORWARD(PQftype, res, field_num);
}
int PQfmod(const PGresult* res, int field_num)
{
    PQ_FORWARD(PQfmod, res, field_num);
}
char* PQgetvalue(const PGresult* res, int tup_num, int field_num)
{
    PQ_FORWARD(PQgetvalue, res, tup_num, field_num);
}
int PQgetisnull(const PGresult* res, int tup_num, int field_num)
{
    PQ_FORWARD(PQgetisnull, res, tup_num, field_num);
}
int PQgetCopyData(PGconn* conn, char** buffer, int async)
{
    PQ_FORWARD(PQgetCopyData, conn, buffer, async);
}
int PQputCopyData(PGconn* conn, const char* buffer, int nbytes)
{
    PQ_FORWARD(PQputCopyData, conn, buffer, nbytes);
}
int PQputCopyEnd(PGconn* conn, const char* errormsg)
{
    PQ_FORWARD(PQputCopyEnd, conn, errormsg);
}
PGcancel* PQgetCancel(PGconn* conn)
{
    PQ_FORWARD(PQgetCancel, conn);
}
int PQcancel(PGcancel* cancel, char* errbuf, int errbufsize)
{
    PQ_FORWARD(PQcancel, cancel, errbuf, errbufsize);
}
void PQfreeCancel(PGcancel* cancel)
{
    PQ_FORWARD(PQfreeCancel, cancel);
}
void PQfreemem(void* ptr)
{
    PQ_FORWARD(PQfreemem, ptr);
}

} // extern "C"
