// Feeds arbitrary bytes to the DXF reader: it must fail cleanly or load, never crash or hang.
// A loaded drawing is written again, so the writer sees whatever the reader accepted.
#include "zhost/db/database.h"
#include "zhost/dxf/dxf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zhost::db::Database db;
    zhost::dxf::ReadReport report;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (zhost::ok(zhost::dxf::readDxfText(text, db, report))) {
        std::string out;
        zhost::dxf::writeDxfText(db, out);
    }
    return 0;
}
