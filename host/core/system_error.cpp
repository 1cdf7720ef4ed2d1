#include "zhost/core/system_error.h"

#include "zhost/core/utf.h"

#include <cerrno>
#include <sys/stat.h>
#include <system_error>

namespace zhost {

std::wstring systemErrorText(int errorNumber) {
    // generic_category's message is strerror's text without strerror's shared buffer.
    return fromUtf8(std::generic_category().message(errorNumber));
}

std::wstring fileKindProblem(unsigned int mode) {
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return systemErrorText(EISDIR);
    const wchar_t* kind = S_ISFIFO(mode)   ? L"a FIFO"
                          : S_ISCHR(mode)  ? L"a character device"
                          : S_ISBLK(mode)  ? L"a block device"
                          : S_ISSOCK(mode) ? L"a socket"
                          : S_ISLNK(mode)  ? L"a symbolic link"
                                           : L"of an unknown kind";
    return std::wstring(L"Not a regular file (") + kind + L")";
}

} // namespace zhost
