#include "library_check.h"

#include "library/LibraryCheck.h"
#include "zhost/core/utf.h"

#include <cstdio>
#include <cstring>
#include <string>

int runLibraryCheck(int argc, char** argv) {
    std::wstring product;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--product") == 0 && i + 1 < argc) {
            product = zhost::fromUtf8(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: zorma library check [--product DIR]\n");
            return 2;
        }
    }
    return CheckLibrary(product, [](const std::wstring& line) {
        const std::string text = zhost::toUtf8(line);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
    });
}
