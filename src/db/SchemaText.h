#pragma once

namespace DBL {
// The statements that create a new organizer database with its default rows.
const char* SchemaText();
}  // namespace DBL
