#pragma once

#include <QTest>
#include <gtest/gtest.h>

// QTRY_* report to QtTest, which these GoogleTest executables never consult; these report to GoogleTest.
#define KVX_EXPECT_SOON(condition)                                                                           \
    EXPECT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(condition); }, 5000)) << #condition
#define KVX_ASSERT_SOON(condition)                                                                           \
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(condition); }, 5000)) << #condition
