#pragma once
// Result codes of the editor's prompts and commands, the type codes of result buffers, and the
// input-control flags of prompts. The numbers are the platform's, so that code written against
// the platform's editor functions ports by renaming.
#include "zhost/db/xdata.h"

#include <vector>

namespace zhost::ed {

// What a prompt, a selection or a command call reports.
enum class Result : int {
    normal = 5100,    // RTNORM: an answer of the requested kind
    none = 5000,      // RTNONE: empty input (Enter) where that is allowed
    error = -5001,    // RTERROR: a pick that hit nothing, a failed command, a bad argument
    cancel = -5002,   // RTCAN: Esc (or the input ended while the prompt waited)
    rejected = -5003, // RTREJ: the request itself was invalid
    keyword = -5005,  // RTKWORD: a keyword or, where allowed, arbitrary text; read it with getInput
};

constexpr int toInt(Result r) {
    return static_cast<int>(r);
}
const char* toString(Result r); // "normal", "none", ...

// Type codes of result buffers (the restype of the platform's resbuf) for system variables,
// command arguments and filters that carry typed values.
namespace rt {
inline constexpr int none = 5000;
inline constexpr int real = 5001;
inline constexpr int point2d = 5002;
inline constexpr int int16 = 5003;
inline constexpr int angle = 5004;
inline constexpr int string = 5005;
inline constexpr int entityName = 5006;
inline constexpr int pickSet = 5007;
inline constexpr int orient = 5008;
inline constexpr int point3d = 5009;
inline constexpr int int32 = 5010;
} // namespace rt

// A result buffer: a type code (rt::...) or a DXF group code (filters) and a value. The same
// item type the drawing's extended data uses.
using ResBuf = db::ResBuf;
using ResBufList = std::vector<db::ResBuf>;

// Input-control flags of initGet (the platform's RSG_ bits).
namespace rsg {
inline constexpr int noNull = 0x0001;     // Enter is not an answer: the prompt repeats
inline constexpr int noZero = 0x0002;     // 0 is refused
inline constexpr int noNegative = 0x0004; // negative numbers are refused
inline constexpr int noLimits = 0x0008;   // points outside the drawing limits are accepted
inline constexpr int getZ = 0x0010;
inline constexpr int dashed = 0x0020; // dashed rubber band (display only)
inline constexpr int twoD = 0x0040;   // distances ignore Z
inline constexpr int other = 0x0080;  // arbitrary text is an answer (reported as keyword)
inline constexpr int ddistFirst = 0x0100;
inline constexpr int trackUcs = 0x0200;
inline constexpr int noOrthoZ = 0x0400;
inline constexpr int noOsnap = 0x0800; // no object snap for this prompt
inline constexpr int noDdist = 0x1000;
} // namespace rsg

// ERRNO values the editor sets.
namespace errnum {
inline constexpr int none = 0;
inline constexpr int noEntityAtPick = 7; // an entity pick that hit nothing
inline constexpr int nullInput = 52;     // an entity pick answered with Enter
} // namespace errnum

} // namespace zhost::ed
