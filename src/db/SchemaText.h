#pragma once

namespace DBL {
// The statements that create a new organizer database with its default rows.
const char* SchemaText();
// The statements that add the tables of identities, kept components and
// repeat rules when they are missing (see identity.sql and repeat.sql);
// harmless on a file that has them.
const char* IdentitySchemaText();
}  // namespace DBL
