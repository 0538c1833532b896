#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "platform/sql/ServerAddress.h"

namespace quill::erp {

// A company database put on a database server from a company database file:
// the demo generator writes the company into a file, as for the embedded
// backend, and this copies it to the server.
class ServerCompany {
 public:
  using Progress = std::function<void(std::string_view step)>;

  // Copies every table of the file (columns, rows, keys, indexes) into the
  // database `server.database`, in place of any database of that name. The
  // copy is built under a name of its own and takes the final name at the
  // end, so a failure leaves the earlier database as it was. The login must
  // be allowed to create databases.
  static void copy(const std::filesystem::path& file, const sql::ServerAddress& server, const Progress& progress = {});

  // Drops a database from the server; nothing when there is none.
  static void drop(const sql::ServerAddress& server);

  // The server's own database, which every login may reach, for creating and
  // dropping the others.
  static sql::ServerAddress maintenanceDatabase(const sql::ServerAddress& server);
};

}  // namespace quill::erp
