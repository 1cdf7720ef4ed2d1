#include "zhost/core/status.h"

namespace zhost {

const char* toString(Status s) {
    switch (s) {
    case Status::ok:
        return "ok";
    case Status::invalidInput:
        return "invalidInput";
    case Status::degenerateGeometry:
        return "degenerateGeometry";
    case Status::notOpenForWrite:
        return "notOpenForWrite";
    case Status::wasErased:
        return "wasErased";
    case Status::wasOpenForWrite:
        return "wasOpenForWrite";
    case Status::nullObjectId:
        return "nullObjectId";
    case Status::wrongDatabase:
        return "wrongDatabase";
    case Status::wrongObjectType:
        return "wrongObjectType";
    case Status::keyNotFound:
        return "keyNotFound";
    case Status::duplicateKey:
        return "duplicateKey";
    case Status::outOfRange:
        return "outOfRange";
    case Status::notApplicable:
        return "notApplicable";
    case Status::noIntersection:
        return "noIntersection";
    case Status::noRegion:
        return "noRegion";
    case Status::kernelFailure:
        return "kernelFailure";
    case Status::fileNotFound:
        return "fileNotFound";
    case Status::fileError:
        return "fileError";
    case Status::parseError:
        return "parseError";
    case Status::notImplemented:
        return "notImplemented";
    case Status::wasOpenForRead:
        return "wasOpenForRead";
    }
    return "unknown";
}

} // namespace zhost
