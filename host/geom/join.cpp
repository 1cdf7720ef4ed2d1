// Chaining curves end to end through clustered end points.
#include "zhost/geom/join.h"

#include "point_cluster.h"
#include "zhost/geom/coordinate_range.h"
#include "zhost/geom/curves.h"

namespace zhost::geom {

using namespace detail;

JoinResult joinCurves(const std::vector<Curve>& curves, double fuzz) {
    JoinResult res;
    if (!(fuzz >= 0)) {
        res.status = Status::invalidInput;
        return res;
    }
    std::vector<Point3d> ends;
    for (const Curve& c : curves) {
        if (checkCoordinateRange(c) == Status::outOfRange) {
            res.status = Status::outOfRange;
            return res;
        }
        Point3d s, e;
        if (!ok(validate(c)) || !ok(startPoint(c, s)) || !ok(endPoint(c, e))) {
            res.status = Status::invalidInput;
            return res;
        }
        ends.push_back(s);
        ends.push_back(e);
    }
    int nv = 0;
    const std::vector<int> vid = PointClusters::cluster(ends, fuzz, nv);
    std::vector<std::vector<int>> at(nv);
    for (int k = 0; k < int(ends.size()); ++k)
        at[vid[k]].push_back(k);
    std::vector<bool> used(curves.size(), false);
    auto follow = [&](std::size_t first, bool firstRev) {
        JoinedChain ch;
        std::size_t k = first;
        bool rev = firstRev;
        while (true) {
            used[k] = true;
            Curve c = curves[k];
            if (rev)
                reversed(curves[k], c);
            ch.curves.push_back(std::move(c));
            ch.sources.push_back(k);
            ch.reversedSources.push_back(rev);
            const int exitEnd = int(2 * k + (rev ? 0 : 1));
            const auto& here = at[vid[exitEnd]];
            if (here.size() != 2)
                break;
            const int other = here[0] == exitEnd ? here[1] : here[0];
            const std::size_t nk = std::size_t(other / 2);
            if (nk == first && other == int(2 * first + (firstRev ? 1 : 0))) {
                ch.closed = true;
                break;
            }
            if (used[nk])
                break;
            k = nk;
            rev = other % 2 == 1;
        }
        res.chains.push_back(std::move(ch));
    };
    // Open chains first, from ends that meet nothing or a junction.
    for (std::size_t i = 0; i < curves.size(); ++i) {
        if (used[i])
            continue;
        if (at[vid[2 * i]].size() != 2 && vid[2 * i] != vid[2 * i + 1])
            follow(i, false);
        else if (at[vid[2 * i + 1]].size() != 2 && vid[2 * i] != vid[2 * i + 1])
            follow(i, true);
    }
    for (std::size_t i = 0; i < curves.size(); ++i)
        if (!used[i])
            follow(i, false);
    res.singleClosedLoop = res.chains.size() == 1 && res.chains.front().closed &&
                           res.chains.front().curves.size() == curves.size();
    return res;
}

} // namespace zhost::geom
