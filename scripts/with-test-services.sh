#!/usr/bin/env bash
# Runs a command with the services the tests talk to: a PostgreSQL server on loopback
# (initialised as the postgres system user in a temporary folder, on a free port, with a
# test database) and a private ODBC configuration that names it and the SQLite ODBC
# driver. The server is stopped and the folder removed when the command ends, whatever
# its result; the command's exit status is passed on.
#
# Exported for the tests:
#   ODBCSYSINI, ODBCINI        the private odbcinst.ini / odbc.ini
#   QUENDRA_TEST_PG_DSN        ODBC data source of the test database (psqlODBC); it logs
#                              in as the superuser postgres, without a password
#   QUENDRA_TEST_PG_LOGIN      the same data source as a definition names it with a user
#                              that must give its password: "DSN;uid=USER;pwd=PASSWORD"
#   QUENDRA_TEST_PG_PORT       port of the server, QUENDRA_TEST_PG_DATABASE its database
#   QUENDRA_TEST_SQLITE_DSN    ODBC data source of an SQLite file (SQLite ODBC driver)
# Without PostgreSQL or psqlODBC only the ODBC configuration is written and the
# PostgreSQL tests skip themselves.
set -euo pipefail

pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
odbc_dir=/usr/lib/x86_64-linux-gnu/odbc
psql_driver=$odbc_dir/psqlodbcw.so
sqlite_driver=$odbc_dir/libsqlite3odbc.so
db_name=quendra_test
# The tests' own role owns the test database and logs in with a password only
# (scram-sha-256), so that a password that does not reach the server is seen.
pg_user=quendra_login
pg_password=Kennwort-55

work=$(mktemp -d /tmp/quendra-services.XXXXXX)
chmod 755 "$work"
pg_started=0

# Runs a command line as the postgres system user when we are root (PostgreSQL refuses
# to run as root), from a folder that user may enter.
as_postgres() {
    if [ "$(id -u)" -eq 0 ]; then
        su postgres -s /bin/sh -c "cd '$work' && $*"
    else
        sh -c "cd '$work' && $*"
    fi
}

cleanup() {
    if [ "$pg_started" -eq 1 ]; then
        as_postgres "'$pg_bin/pg_ctl' -D '$work/pgdata' -m fast -w stop" >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

free_port() {
    python3 - <<'PY'
import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
s.close()
PY
}

start_postgres() {
    [ -n "$pg_bin" ] && [ -x "$pg_bin/initdb" ] || { echo "PostgreSQL fehlt: Datenbanktests werden übersprungen." >&2; return 1; }
    [ -f "$psql_driver" ] || { echo "psqlODBC fehlt: Datenbanktests werden übersprungen." >&2; return 1; }
    if [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; then
        echo "Systembenutzer postgres fehlt: Datenbanktests werden übersprungen." >&2
        return 1
    fi
    local port
    port=$(free_port)
    mkdir -p "$work/pgdata" "$work/socket"
    [ "$(id -u)" -eq 0 ] && chown postgres "$work/pgdata" "$work/socket"
    as_postgres "'$pg_bin/initdb' -D '$work/pgdata' -U postgres -E UTF8 --locale=C.UTF-8 -A trust" \
        >"$work/initdb.log" 2>&1 || { cat "$work/initdb.log" >&2; return 1; }
    local hba=$work/pgdata/pg_hba.conf
    as_postgres "{ printf '%s\\n' 'local all $pg_user scram-sha-256' \
        'host all $pg_user 127.0.0.1/32 scram-sha-256' 'host all $pg_user ::1/128 scram-sha-256'; \
        cat '$hba'; } >'$hba.neu' && mv '$hba.neu' '$hba'" || return 1
    as_postgres "'$pg_bin/pg_ctl' -D '$work/pgdata' -w -l '$work/socket/server.log' \
        -o \"-p $port -k '$work/socket' -c listen_addresses=127.0.0.1 -c fsync=off\" start" \
        >/dev/null 2>&1 || { cat "$work/socket/server.log" >&2 || true; return 1; }
    pg_started=1
    as_postgres "'$pg_bin/psql' -X -q -h 127.0.0.1 -p $port -U postgres -d postgres \
        -c \"create role $pg_user login password '$pg_password'\"" || return 1
    as_postgres "'$pg_bin/createdb' -h 127.0.0.1 -p $port -U postgres -E UTF8 -T template0 \
        -O $pg_user $db_name" || return 1
    export QUENDRA_TEST_PG_PORT=$port
    export QUENDRA_TEST_PG_DATABASE=$db_name
    export QUENDRA_TEST_PG_DSN=QuendraTestPG
    export QUENDRA_TEST_PG_LOGIN="QuendraTestPG;uid=$pg_user;pwd=$pg_password"
}

write_odbc_config() {
    {
        if [ -f "$psql_driver" ]; then
            printf '[PostgreSQL Unicode]\nDescription=PostgreSQL ODBC (Unicode)\nDriver=%s\n\n' "$psql_driver"
        fi
        if [ -f "$sqlite_driver" ]; then
            printf '[SQLite3]\nDescription=SQLite3 ODBC\nDriver=%s\n\n' "$sqlite_driver"
        fi
    } >"$work/odbcinst.ini"
    : >"$work/odbc.ini"
    if [ -n "${QUENDRA_TEST_PG_DSN:-}" ]; then
        printf '[%s]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=%s\nDatabase=%s\nUsername=postgres\nPassword=\n\n' \
            "$QUENDRA_TEST_PG_DSN" "$QUENDRA_TEST_PG_PORT" "$db_name" >>"$work/odbc.ini"
    fi
    if [ -f "$sqlite_driver" ]; then
        export QUENDRA_TEST_SQLITE_DSN=QuendraTestSQLite
        printf '[%s]\nDriver=SQLite3\nDatabase=%s\nTimeout=20000\n\n' \
            "$QUENDRA_TEST_SQLITE_DSN" "$work/odbc-sqlite.db" >>"$work/odbc.ini"
    fi
    export ODBCSYSINI=$work
    export ODBCINI=$work/odbc.ini
}

start_postgres || echo "PostgreSQL-Testserver nicht verfügbar." >&2
write_odbc_config

set +e
"$@"
status=$?
set -e
exit $status
