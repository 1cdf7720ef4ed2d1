#pragma once
// The parametric engine's per-database cache of compiled expressions (see parametric.cpp).
#include <memory>

namespace zhost::db::param {

class Cache {
public:
    Cache();
    ~Cache();
    void clear();
    struct Impl;
    std::unique_ptr<Impl> impl;
};

} // namespace zhost::db::param
