#pragma once

#include <libical/ical.h>

// The organizer's moments (OLE dates) are local wall-clock times; libical
// holds them as times without a zone.

// The moment as a date-time without a zone, to the second.
icaltimetype FloatingTime(double ole);

// The moment's day only, as a VALUE=DATE.
icaltimetype FloatingDate(double ole);

// The wall-clock moment a time names, as written, its zone not applied; a
// date is its midnight.
double WallClock(const icaltimetype& t);
