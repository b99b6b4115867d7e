#pragma once

namespace DBL {
// The statements that create a new organizer database with its default rows.
const char* SchemaText();
// The statements that add the tables of identities and kept components when
// they are missing (see identity.sql); harmless on a file that has them.
const char* IdentitySchemaText();
}  // namespace DBL
