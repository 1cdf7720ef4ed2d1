#include "outputs.h"

#include "zhost/dxf/dxf.h"
#include "zhost/settings/atomicfile.h"
#include "zhost/settings/paths.h"

#include <algorithm>
#include <cctype>

namespace zorma::app {
namespace fs = std::filesystem;
using namespace zhost;

namespace {

std::string lowerExtension(const fs::path& p) {
    std::string e = p.extension().string();
    std::transform(e.begin(), e.end(), e.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return e;
}

bool checkWritable(const fs::path& file, std::wstring& error) {
    std::wstring reason;
    if (ok(settings::checkSaveTarget(file, &reason)))
        return true;
    error = L"cannot write " + settings::toWide(file) + L": " + reason;
    return false;
}

} // namespace

bool planOutputs(const RunOptions& o, OutputPlan& plan, std::wstring& error, std::wstring& notice) {
    plan = OutputPlan{};
    if (!o.out.empty()) {
        const fs::path out(o.out);
        const std::string ext = lowerExtension(out);
        if (ext != ".dxf" && ext != ".dwg") {
            error = L"--out " + settings::toWide(out) +
                    L": the drawing is saved as DXF and needs a .dxf name";
            return false;
        }
        plan.drawing = dxf::drawingSavePath(out);
        if (plan.drawing != out)
            notice =
                L"DWG is not written: the drawing is saved as " + settings::toWide(plan.drawing);
        if (!checkWritable(plan.drawing, error))
            return false;
    }
    if (!o.render.empty()) {
        plan.picture = o.render;
        const std::string ext = lowerExtension(plan.picture);
        if (ext != ".png" && ext != ".svg") {
            error = L"--render " + settings::toWide(plan.picture) +
                    L": the picture must be a .png or .svg file";
            return false;
        }
        if (!checkWritable(plan.picture, error))
            return false;
    }
    return true;
}

} // namespace zorma::app
