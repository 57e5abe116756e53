// SPDX-License-Identifier: GPL-3.0-or-later
// The main of every Qt Test executable: several test classes share one
// executable, so the build links and instruments far fewer programs, while
// CTest still runs each class in a process of its own (first argument).
#include "tests/support/qt_test_main.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <map>

namespace backprop::testing {
namespace {

std::map<QString, QtTestFactory>& Classes() {
  static std::map<QString, QtTestFactory> classes;
  return classes;
}

}  // namespace

bool AddQtTestClass(const char* name, QtTestFactory make) {
  return Classes().emplace(name, std::move(make)).second;
}

}  // namespace backprop::testing

// Usage: <executable> [TestClass] [Qt Test options and test functions].
// Without a class name every class runs, one after the other.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // As QTEST_MAIN does: fonts and twips measure the same on every machine.
  QApplication::setAttribute(Qt::AA_Use96Dpi, true);
  // What the windows keep between runs goes to a folder of this process,
  // never into the user's own settings.
  const QTemporaryDir settings;
  for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
    QSettings::setPath(QSettings::NativeFormat, scope, settings.path());
  }

  QStringList arguments = QApplication::arguments();
  std::map<QString, backprop::testing::QtTestFactory> chosen = backprop::testing::Classes();
  if (arguments.size() > 1 && !arguments[1].startsWith('-')) {
    const auto named = chosen.find(arguments[1]);
    if (named == chosen.end()) {
      std::fprintf(stderr, "no test class %s\n", qPrintable(arguments[1]));
      return 2;
    }
    chosen = {*named};
    arguments.removeAt(1);
  }
  int failures = 0;
  for (const auto& [name, make] : chosen) {
    const std::unique_ptr<QObject> test = make();
    failures += QTest::qExec(test.get(), arguments);
  }
  return failures > 0 ? 1 : 0;
}
