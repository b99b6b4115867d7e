#pragma once

#include <string>
#include <vector>

#include "records/Contacts.h"
#include "records/Events.h"
#include "records/Notes.h"
#include "records/Tasks.h"
#include "recurrence/RepeatRule.h"

namespace Interop {

// One record as a file holds it: the record of its kind (the one of
// task/event/note/contact that `kind` names; the others stay empty), the
// names of its categories in file order, its identity, and the text that is
// kept with it so that what the organizer does not model is written back.
struct InteropItem {
  int kind = 0;  // as category.type_id: 0 task, 1 contact, 2 event, 3 note
  std::string uid;
  // The component (with its overrides and time zones) or vCard, whole.
  std::string component;
  int line = 0;  // where it starts in the file
  std::vector<std::string> categories;
  TaskRecord task;
  EventRecord event;
  NoteRecord note;
  ContactRecord contact;
  // A task or event that repeats: its RRULE, EXDATEs and RDATEs.
  RepeatRule repeat;
  // An occurrence changed on its own (RECURRENCE-ID): the UID of its series
  // and the day it had there; "" for any other item.
  std::string seriesUid;
  int seriesDay = 0;
};

// Something in a file that is not imported, and why.
struct SkippedItem {
  int kind = -1;  // the kind it would have been, or -1 for none of the four
  int line = 0;
  std::string why;
};

struct ReadResult {
  std::vector<InteropItem> items;
  std::vector<SkippedItem> skipped;
};

}  // namespace Interop
