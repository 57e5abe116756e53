# SPDX-License-Identifier: GPL-3.0-or-later
# How the project's targets are built: the Qt libraries, the GoogleTest and
# the Qt Test executables. Every test gets a CTest time-out.

# Seconds a single test may run before CTest stops it as hung. The slowest
# test takes about three seconds under the sanitizers.
set(BACKPROP_TEST_TIMEOUT 60)

# Every test runs on Qt's offscreen platform. In the sanitizer build every
# test, the window tests too, is checked for leaks, and undefined behaviour
# is reported with its stack.
set(BACKPROP_TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen"
    "ASAN_OPTIONS=detect_leaks=1"
    "UBSAN_OPTIONS=print_stacktrace=1")

# A library of windows or other Qt code: the meta-object compiler runs on
# it, and it reuses the precompiled Qt headers of ui_common.
function(backprop_qt_library target)
  add_library(${target} STATIC ${ARGN})
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
  target_precompile_headers(${target} REUSE_FROM ui_common)
endfunction()

# Test sources build without optimisation and with line tables as their
# only debug information, in every configuration: that halves their build
# time, failures and sanitizer reports still name files and lines, and the
# code under test keeps the configuration's flags. The test targets share
# precompiled headers, which needs the same flags everywhere:
# position-independent code, as Qt asks of its users. Without optimisation
# they go without the hardening flags too (cmake/Hardening.cmake).
function(backprop_test_code target)
  target_compile_options(${target} PRIVATE -O0 -g1 -fPIC)
  set_target_properties(${target} PROPERTIES BACKPROP_UNHARDENED ON)
endfunction()

# backprop_add_gtests(<target> PREFIX <prefix> SOURCES <file>... [LIBRARIES <lib>...])
# A GoogleTest executable; CTest runs each test as <prefix>.<Suite>.<Test>.
function(backprop_add_gtests target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX" "SOURCES;LIBRARIES")
  add_executable(${target} ${arg_SOURCES})
  target_link_libraries(${target} PRIVATE ${arg_LIBRARIES} test_support GTest::gtest_main)
  backprop_test_code(${target})
  target_precompile_headers(${target} REUSE_FROM test_support)
  gtest_discover_tests(${target} TEST_PREFIX "${arg_PREFIX}." DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${BACKPROP_TEST_TIMEOUT} ENVIRONMENT "${BACKPROP_TEST_ENVIRONMENT}")
endfunction()

# backprop_add_qt_tests(<target> CLASSES <Class>... SOURCES <file>...
#                       [LIBRARIES <lib>...] [UNSANITIZED])
# One executable for several Qt Test classes (tests/support/qt_test_main.cpp).
# CTest runs each class in a process of its own, as ui.<Class without
# "Test">, on the offscreen platform. UNSANITIZED executables are left out
# of the sanitizer build: what they check (pixels, printed pages, fixed
# texts) runs through Qt's code rather than ours, so instrumenting them
# would only cost build time.
function(backprop_add_qt_tests target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "UNSANITIZED" "" "CLASSES;SOURCES;LIBRARIES")
  if(BACKPROP_SANITIZE AND arg_UNSANITIZED)
    return()
  endif()
  add_executable(${target} ${arg_SOURCES})
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
  target_link_libraries(${target} PRIVATE ${arg_LIBRARIES} qt_test_support)
  backprop_test_code(${target})
  target_precompile_headers(${target} REUSE_FROM qt_test_support)
  foreach(class IN LISTS arg_CLASSES)
    string(REGEX REPLACE "Test$" "" name "${class}")
    add_test(NAME ui.${name} COMMAND ${target} ${class})
    set_tests_properties(ui.${name} PROPERTIES
      TIMEOUT ${BACKPROP_TEST_TIMEOUT} ENVIRONMENT "${BACKPROP_TEST_ENVIRONMENT}")
  endforeach()
endfunction()
