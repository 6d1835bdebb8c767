#pragma once

#include "cli/SearchRunner.h"

namespace realm::cli {

// A command about the game server rather than a search.
struct ServerRequest {
    enum class Kind { Check,
                      Password };
    Kind kind = Kind::Check;
    QString folder; // empty: the program's own folder
    QString server; // the server's name; empty: every server
    bool forget = false; // the password command's --forget
};

// check: logs in to each server and writes what it found (never the
// password); exit 1 when any server failed. password: asks for a new
// password (on the terminal without echo, else one line of standard input),
// logs in with it and then stores it in the keyring; with `forget`, removes
// the stored one.
int runServerRequest(const ServerRequest &request, Streams streams = {});

// Asks on the terminal without echo; none without a terminal, and none
// again after a refusal (the command line tells the refusal instead).
void askPasswordsOnTerminal();

} // namespace realm::cli
