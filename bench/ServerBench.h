#pragma once

#include <QString>

// The receipt list on a PostgreSQL server, through Qt's driver and through
// psqlODBC, against psql running the same statements. The database must
// hold the benchmark's orders already (run-bench.sh --pg loads them).
struct ServerBenchOptions
{
    QString conninfo;   // libpq, for QPSQL and for psql
    QString odbcString; // the same database through "Driver=PostgreSQL Unicode"
    int runs = 5;
    QString out; // the figures as JSON
    bool searchOnly = false; // F1 and the read alone, for profiling the search
};

int RunServerBench(const ServerBenchOptions &options);
// The peak resident memory with the rows listed over ODBC, measured in a
// process of its own; printed on stdout in kB.
int MeasureOdbcMemory(const QString &odbcString);
