#pragma once
// The result of every host operation that can fail. Failures are values: no exception crosses the
// host's API. The names follow the platform's error status so that add-on code reads naturally.

namespace zhost {

enum class Status {
    ok = 0,
    invalidInput,       // an argument is out of its domain (negative radius, empty name, ...)
    degenerateGeometry, // zero-length line, zero-radius arc, coincident points, ...
    notOpenForWrite,    // a change was attempted through a read handle
    wasErased,          // the object was erased
    wasOpenForWrite,    // the object is already open for write elsewhere
    nullObjectId,       // an id that refers to nothing
    wrongDatabase,      // the id belongs to another database
    wrongObjectType,    // the object is not of the requested type
    keyNotFound,        // a name, key, section or parameter does not exist
    duplicateKey,       // a name that must be unique exists already
    outOfRange,         // an index or parameter outside the valid range
    notApplicable,      // the operation does not apply to this object
    noIntersection,
    noRegion,      // the curves enclose no region / no loop closed
    kernelFailure, // the geometry kernel failed (its message goes to the diagnostics)
    fileNotFound,
    fileError,  // the file exists but could not be read or written
    parseError, // the content of a file or an expression could not be parsed
    notImplemented,
    wasOpenForRead, // a write open was asked while read handles are open
};

// A stable English name ("ok", "invalidInput", ...) for diagnostics and tests.
const char* toString(Status s);

inline bool ok(Status s) {
    return s == Status::ok;
}

} // namespace zhost
