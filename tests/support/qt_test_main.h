// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace backprop::testing {

// Makes one Qt Test class.
using QtTestFactory = std::function<std::unique_ptr<QObject>()>;

// Adds a test class to the executable's shared main (qt_test_main.cpp).
bool AddQtTestClass(const char* name, QtTestFactory make);

}  // namespace backprop::testing

// Registers a Qt Test class with the shared main, in place of QTEST_MAIN:
// several classes then share one executable.
#define BACKPROP_QT_TEST(Class)                                                           \
  [[maybe_unused]] static const bool kAdded##Class = ::backprop::testing::AddQtTestClass( \
      #Class, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); })
