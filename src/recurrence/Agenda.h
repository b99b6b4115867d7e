#pragma once

#include <ostream>
#include <string>
#include <vector>

// `--agenda [DAYS]`: the events (each occurrence) and undone tasks with a date
// from `today` through DAYS days ahead, one per line, sorted:
// "YYYY-MM-DD HH:MM KIND TITLE", "all-day" for HH:MM where there is no time,
// KIND "event" or "task".
std::vector<std::string> AgendaLines(int today, int days);

// Prints them for today; returns 0, or 1 with a message on `err` when the
// database cannot be read.
int PrintAgenda(int days, std::ostream& out, std::ostream& err);
