#pragma once

#include <map>
#include <string>

#include "records/Contacts.h"
#include "records/Events.h"
#include "records/Notes.h"
#include "records/Tasks.h"
#include "recurrence/RepeatRule.h"

namespace Interop {

// The fields of a record that exchange maps, as texts by name, normalised as
// the database stores them (dates as day numbers, times in whole minutes).
// Kept in record_identity.fields when a record is imported or exported: a
// record whose fields still equal them is unchanged and is written back as
// it came, and a changed one has exactly its changed fields written over the
// kept component.
using RecordFields = std::map<std::string, std::string>;

RecordFields FieldsOf(const TaskRecord& task);
RecordFields FieldsOf(const EventRecord& event);
RecordFields FieldsOf(const NoteRecord& note);
RecordFields FieldsOf(const ContactRecord& contact);

// A repeating task or event also has the field "repeat"; one that does not
// repeat has none, so records kept before rules were kept read the same.
void AddRepeat(RecordFields& fields, const RepeatRule& rule);

// One text for the column, and back; an unreadable text gives no fields.
std::string FieldsText(const RecordFields& fields);
RecordFields ParseFieldsText(const std::string& text);

// True when `field` differs between the two; a field missing from `before`
// (a record made here) counts as changed.
bool FieldChanged(const RecordFields& before, const RecordFields& now, const std::string& field);

}  // namespace Interop
