#pragma once

#include "data/ServerAddress.h"
#include "data/Settings.h"

namespace realm {

// The FreeTDS driver takes a certificate file only from a server section of
// a freetds.conf. The program hands it one of its own: a file readable by
// the user alone (0600, in a private folder of the process), named to the
// driver through FREETDSCONF, holding one section per server that is
// verified. The system's freetds.conf is never read or written.
//
// Adds (or finds) the section for the login's certificate file, host and
// port, and returns its name for the connection string's ServerName.
// Throws DataError when the file cannot be written.
QString privateServerSection(const GameServerLogin &login, const ServerAddress &address);

} // namespace realm
