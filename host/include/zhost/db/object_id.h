#pragma once
// Object identity in a drawing database. An ObjectId is the cheap, session-only address of an
// object (its database and its slot number); a Handle is the persistent name of the object that
// drawing files store (a 64-bit number written in hex), unique within one database.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zhost::db {

class Database;

// The persistent name of an object. Handle 0 is the null handle.
class Handle {
public:
    constexpr Handle() = default;
    constexpr explicit Handle(std::uint64_t value) : value_(value) {}

    constexpr std::uint64_t value() const { return value_; }
    constexpr bool isNull() const { return value_ == 0; }
    // Upper-case hex without leading zeros ("1F"); "0" for the null handle.
    std::wstring toHex() const;
    // Parses hex digits (either case, at most 16). False for empty or invalid text.
    static bool fromHex(std::wstring_view text, Handle& out);

    constexpr bool operator==(const Handle&) const = default;
    constexpr auto operator<=>(const Handle&) const = default;

private:
    std::uint64_t value_ = 0;
};

// The address of an object in an open database. Ids are valid for the life of their database and
// never reused within it; a null id refers to nothing.
class ObjectId {
public:
    constexpr ObjectId() = default;

    static constexpr ObjectId null() { return {}; }

    constexpr bool isNull() const { return index_ == 0; }
    // Not null and the object exists (erased objects still exist).
    bool isValid() const;
    bool isErased() const;
    Database* database() const { return db_; }
    Handle handle() const;
    // The slot number, for hashing and diagnostics.
    constexpr std::uint32_t index() const { return index_; }

    constexpr bool operator==(const ObjectId& o) const {
        return db_ == o.db_ && index_ == o.index_;
    }
    constexpr bool operator<(const ObjectId& o) const {
        return db_ == o.db_ ? index_ < o.index_ : std::less<const Database*>()(db_, o.db_);
    }

private:
    friend class Database;
    friend class DatabaseImpl;
    constexpr ObjectId(Database* db, std::uint32_t index) : db_(db), index_(index) {}

    Database* db_ = nullptr;
    std::uint32_t index_ = 0;
};

enum class OpenMode { forRead, forWrite };

} // namespace zhost::db

template <> struct std::hash<zhost::db::ObjectId> {
    std::size_t operator()(const zhost::db::ObjectId& id) const noexcept {
        return std::hash<const void*>()(id.database()) ^
               (std::size_t(id.index()) * 0x9E3779B97F4A7C15ull);
    }
};
template <> struct std::hash<zhost::db::Handle> {
    std::size_t operator()(const zhost::db::Handle& h) const noexcept {
        return std::hash<std::uint64_t>()(h.value());
    }
};
