// Feeds arbitrary bytes to the description loader as a part's Dlg file (any encoding the
// private-profile reader recognises): it must load or be refused, never crash or hang.
#include "selection/PartDescription.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path& Root() {
    static const fs::path root = [] {
        const fs::path r =
            fs::temp_directory_path() / ("zorma-description-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(r / "PartsContents" / "Dlg");
        return r;
    }();
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(Root() / "PartsContents" / "Dlg" / "F.ini",
                          std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    PartDescription desc;
    desc.SetLibraryRoot(Root().wstring());
    const int n = desc.Load(L"F");
    if (n != desc.GetCount())
        __builtin_trap(); // the count returned is the controls loaded
    for (const CParam& p : desc.m_params)
        (void)p.GetIntValue();
    return 0;
}
