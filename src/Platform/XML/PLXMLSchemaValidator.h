#pragma once

#include "Platform/Core/PLError.h"

#include <QString>

class PLXMLDocument;

// Checks an XML document against the schema that its root element names in
// "xsi:noNamespaceSchemaLocation" ("contents.xsd", "styles.xsd").
//
// Only the application's own schemas are used: the name must be the plain file name of a
// schema in resources/XMLSchema, and that file is loaded by its full path. A path, a URL or
// any other name is refused before anything is read. Parsing a schema may read further files
// of that folder (xs:include) and nothing else; validating reads nothing at all, so hints
// inside the document (xsi:schemaLocation, xi:include, DOCTYPE) are never followed. The
// process's current directory is never touched.
//
// Each schema is parsed once per process and kept; validation may run on any thread.
class PLXMLSchemaValidator {
public:
    // The error domain of refusals and violations.
    static const QString ErrorDomain;
    // The resource folder that holds the schemas.
    static const QString SchemaFolder;

    enum Code {
        NoSchemaNamed = 1,     // the root names no schema
        SchemaRefused = 2,     // a path, a URL, or no schema of the application's
        SchemaUnreadable = 3,  // the schema file could not be parsed
        DocumentInvalid = 4,   // the document breaks its schema
    };

    // True when the document is valid. Otherwise false and an error in ErrorDomain whose
    // failure reason is the first problem found ("line N: ..."), or empty when the validator
    // named none; the caller chooses its own text for that case. The tree is checked as it
    // serialises, so line numbers count lines of the document as written out (the same as
    // the file's for a file that begins with an XML declaration).
    static bool validate(const PLXMLDocument& document, PLError* error = nullptr);
};
