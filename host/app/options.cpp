#include "options.h"

#include "zhost/dxf/dxf.h"

namespace zorma::app {

std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args,
                                          std::string& error) {
    RunOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            into = args[++i];
            if (into.empty()) {
                // "--out $UNSET" must not quietly mean "do not save".
                error = a + " needs a non-empty value";
                return false;
            }
            return true;
        };
        if (a == "--script") {
            if (!value(o.script))
                return std::nullopt;
        } else if (a == "--out") {
            if (!value(o.out))
                return std::nullopt;
        } else if (a == "--render") {
            if (!value(o.render))
                return std::nullopt;
        } else if (a == "--screenshot") {
            if (!value(o.screenshot))
                return std::nullopt;
        } else if (a == "--dialog-screenshots") {
            if (!value(o.dialogScreenshots))
                return std::nullopt;
        } else if (a == "--product") {
            if (!value(o.product))
                return std::nullopt;
        } else if (a == "--user-dir") {
            if (!value(o.userDir))
                return std::nullopt;
        } else if (a == "--machine-reg") {
            if (!value(o.machineReg))
                return std::nullopt;
        } else if (a == "--addon") {
            if (!value(o.addon))
                return std::nullopt;
        } else if (a == "--api") {
            std::string v;
            if (!value(v))
                return std::nullopt;
            if (v != "24" && v != "23") {
                error = "--api takes 24 or 23, not " + v;
                return std::nullopt;
            }
            o.api = std::stoi(v);
        } else if (a == "--out-version") {
            if (!value(o.outVersion))
                return std::nullopt;
            zhost::dxf::Version v;
            if (!zhost::dxf::parseVersion(o.outVersion, v)) {
                error = "--out-version takes R2000, R2004, R2007, R2010, R2013 or R2018, not " +
                        o.outVersion;
                return std::nullopt;
            }
        } else if (a == "-v" || a == "--verbose") {
            o.verbose = true;
        } else if (a == "-q" || a == "--quiet") {
            o.quiet = true;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            error = "unknown option " + a;
            return std::nullopt;
        } else if (o.drawing.empty()) {
            o.drawing = a;
        } else {
            error = "more than one drawing given: " + o.drawing + " and " + a;
            return std::nullopt;
        }
    }
    return o;
}

} // namespace zorma::app
