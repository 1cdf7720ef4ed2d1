// The parameters a symbol drawing declares, read with the host's own DXF reader (the reader the
// placement inserts the drawing with).
#include "library/LibraryCheckParts.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/db/parametric.h"
#include "zhost/dxf/dxf.h"
#include "zhost/settings/paths.h"

bool CSymbolParams::Get(const std::wstring& dxfPath, std::vector<std::wstring>& names,
                        std::wstring& why) {
    auto it = m_cache.find(dxfPath);
    if (it == m_cache.end()) {
        Entry e;
        zhost::db::Database drawing;
        zhost::dxf::ReadReport report;
        const auto path = zhost::settings::toFsPath(dxfPath);
        if (!zhost::ok(zhost::dxf::readDxf(path, drawing, report))) {
            e.why = report.message.empty() ? L"cannot be read" : report.message;
        } else if (zhost::db::param::isParametric(drawing.modelSpaceId())) {
            e.ok = zhost::ok(zhost::db::param::parameterNames(drawing.modelSpaceId(), e.names));
        } else {
            e.ok = true; // a drawing without parameters declares none
        }
        it = m_cache.emplace(dxfPath, std::move(e)).first;
    }
    names = it->second.names;
    why = it->second.why;
    return it->second.ok;
}
