#pragma once

#include <QString>

// A throw-away PostgreSQL cluster for the tests: initdb and pg_ctl from the
// installed PostgreSQL in a temporary folder, on a free loopback port, run as
// an unprivileged user when the tests run as root. One cluster per test
// process, started on first use and stopped when the application ends.
//
// The server tests run on PostgreSQL when ZHP_TEST_ENGINE=postgresql (CTest
// registers every server test a second time with it).
namespace PgCluster {

// True when the tests of this process run on PostgreSQL.
bool selected();

// Starts the cluster if needed, creates an empty database and returns its
// postgresql:// URL (empty with `error` set on failure).
QString createDatabase(QString *error);

} // namespace PgCluster
