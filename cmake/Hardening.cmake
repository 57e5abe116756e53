# SPDX-License-Identifier: GPL-3.0-or-later
# Optimised builds are hardened as Debian hardens its own packages
# (dpkg-buildflags with hardening=+all): C library calls checked against
# the sizes the compiler knows (fortify), a stack protector, format strings
# checked, relocations made read-only and resolved before the program runs
# (relro, now), and position-independent executables. They change no
# arithmetic: training gives the same bits with and without them, which
# tests/engine checks. Debug builds go without (fortify needs optimisation),
# and so do the sanitizer and fuzz builds, whose instrumentation checks
# more than the flags would.
#
# A target that must be built without them (code built without
# optimisation, the unhardened twin of that check) sets the target
# property BACKPROP_UNHARDENED.

# Every build: position-independent code, and executables linked as PIE.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()

set(BACKPROP_HARDENED OFF)
if(NOT BACKPROP_SANITIZE AND NOT BACKPROP_FUZZ
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  set(BACKPROP_HARDENED ON)
endif()

if(BACKPROP_HARDENED)
  set(wanted "$<NOT:$<BOOL:$<TARGET_PROPERTY:BACKPROP_UNHARDENED>>>")
  # A toolchain that fortifies by itself must not see a second definition.
  add_compile_options(
    "$<${wanted}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2;-fstack-protector-strong;-Wformat;-Werror=format-security>")
  add_link_options("$<${wanted}:-Wl,-z,relro;-Wl,-z,now>")
  unset(wanted)
endif()
