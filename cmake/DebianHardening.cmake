# Debian's hardening flags (fortified functions, stack protector, format checks, read-only
# relocations bound at start) from dpkg-buildflags, the way Debian builds its packages. The
# optimisation and debug flags stay the build type's, and the sanitized build goes without
# them (the fortified functions and the sanitizers' interceptors do not mix).
option(TOL_HARDENING "Build with Debian's hardening flags (dpkg-buildflags)" ON)
find_program(TOL_DPKG_BUILDFLAGS dpkg-buildflags)
if(TOL_HARDENING AND TOL_DPKG_BUILDFLAGS AND NOT TOL_SANITIZE
   AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  function(tol_debian_flags variable out)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${TOL_DPKG_BUILDFLAGS} --get ${variable}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    # -O and -g belong to the build type; the prefix maps name the directory dpkg-buildflags
    # ran in, which would make every build directory's commands differ for nothing.
    list(FILTER flags EXCLUDE REGEX "^-O|^-g$|prefix-map")
    set(${out} ${flags} PARENT_SCOPE)
  endfunction()
  tol_debian_flags(CPPFLAGS tol_cppflags)
  tol_debian_flags(CXXFLAGS tol_cxxflags)
  tol_debian_flags(LDFLAGS tol_ldflags)
  add_compile_options(${tol_cppflags} ${tol_cxxflags})
  add_link_options(${tol_ldflags})
endif()
