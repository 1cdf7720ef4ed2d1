#pragma once
// Assertions on the host's Status: EXPECT_OK(expr) / ASSERT_OK(expr) name the status a call
// returned when it is not ok, and gtest prints a Status by name ("keyNotFound", not "10") in
// every other assertion too, e.g. EXPECT_EQ(db.getBlockId(...), Status::keyNotFound).
#include "zhost/core/status.h"

#include <gtest/gtest.h>
#include <ostream>

namespace zhost {

inline void PrintTo(Status s, std::ostream* os) {
    *os << toString(s);
}

} // namespace zhost

namespace ztest {

inline ::testing::AssertionResult IsOk(const char* expression, zhost::Status s) {
    if (s == zhost::Status::ok)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << expression << " returned " << zhost::toString(s) << ", expected ok";
}

} // namespace ztest

#define EXPECT_OK(expr) EXPECT_PRED_FORMAT1(::ztest::IsOk, (expr))
#define ASSERT_OK(expr) ASSERT_PRED_FORMAT1(::ztest::IsOk, (expr))
