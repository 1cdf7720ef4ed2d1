// zorma: the embedded CAD host's program.
#include "zhost/core/version.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "version") == 0)) {
        std::printf("zorma %s\n", zhost::versionString());
        return 0;
    }
    std::fprintf(stderr, "usage: zorma --version\n");
    return 2;
}
