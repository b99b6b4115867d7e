#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "sync/SyncStore.h"

namespace Sync {

// The command line's sync work; each returns the exit code (0 done, 1 failed).
// --add-account URL USER: the password is the first line of `in`.
int AddAccountCommand(const std::string& url, const std::string& user, std::istream& in, std::ostream& out,
                      std::ostream& err);
// --accounts: every account with its state and collections.
int ListAccountsCommand(std::ostream& out, std::ostream& err);
// --sync: every account once, one line per collection. A password the
// Secret Service does not have is read from the first line of `in`.
// `emptied` answers for collections that come back empty (--delete-here,
// --put-back); without one such a collection is left as it is, with a line
// saying what to do.
int SyncCommand(std::istream& in, std::ostream& out, std::ostream& err, EmptyAnswer emptied = EmptyAnswer::kAsk);

}  // namespace Sync
