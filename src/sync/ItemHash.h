#pragma once

#include <string>

namespace Sync {

// A hash of an iCalendar component or vCard as the sync compares them: lines
// unfolded, in any order, without what servers rewrite on their own (PRODID,
// DTSTAMP, LAST-MODIFIED, REV). Equal hashes mean the same item.
std::string ItemHash(const std::string& text);

}  // namespace Sync
