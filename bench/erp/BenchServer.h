#pragma once

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "bench/erp/BenchCompany.h"
#include "platform/sql/ServerAddress.h"

namespace quill::bench {

// Where a benchmark case runs: on the embedded database file or on the
// database server. Cases are registered once a backend, named
// "BM_Case/Embedded" and "BM_Case/Server", so both print side by side.
enum class Backend { Embedded, Server };

// The database server that server cases run on: a throwaway PostgreSQL
// cluster of this build's, started by scripts/test-server.sh in a folder of
// the build apart from the test run's (the test run stops its server at its
// end, which would throw away the benchmarks' large company). Started on
// first use, or the running one reused, and left running so that later runs
// find their companies on it. Nothing when no server can be started;
// serverProblem() says why.
const std::optional<sql::ServerAddress>& benchServer();
const std::string& serverProblem();

// The large company on the server, in an ERP installation of its own (so
// the embedded company's registry stays as it is). Generated into a file
// and copied to the server the first time (about forty seconds on the
// machines here), and reused while the server's copy is the one this
// generator makes; nullptr, with serverProblem() saying why, when
// there is no server or the copy failed.
const BenchCompany* largeCompanyOnServer();

// The large company on a backend; nullptr for the server when there is none.
const BenchCompany* largeCompanyOn(Backend backend);

// The company of a case, or nullptr having skipped the case with the reason.
const BenchCompany* companyFor(benchmark::State& state, Backend backend);

// A database of the caller's own on the server, made anew as a copy of the
// large company's (the server copies its files: seconds, not minutes), for
// cases that write. The copy must be made while no connection is open on the
// large company's database. Nothing, with serverProblem() saying why, when
// there is no server or the copy failed.
std::optional<BenchCompany> serverCopyOfLarge(const std::string& databaseName);
// Drops such a copy at the end of a program (it is the size of the large
// company); nothing when there is none. Never throws.
void dropServerCopy(const BenchCompany& copy) noexcept;

// The cases to run when the command line names none: all of them, or, when
// there is no server, all but the server's ("/Server" and "_BareOdbc"), the
// reason printed once.
std::string casesToRun();

// The server's address of a company on the server, with its database and login.
sql::ServerAddress serverAddressOf(const BenchCompany& company);

}  // namespace quill::bench
