# What a Debian package build fixes before any target is defined: where the files go and the flags.

# The simulator's unit, its options file (a conffile) and the manual pages name absolute paths made
# here, while cpack always packs under /usr: any other prefix would ship paths that do not exist.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Install path prefix" FORCE)
elseif(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "KVX_PACKAGE makes Debian packages, which install under /usr with their "
    "settings in /etc/default; CMAKE_INSTALL_PREFIX is ${CMAKE_INSTALL_PREFIX}. Configure with "
    "-DCMAKE_INSTALL_PREFIX=/usr, or in a new build folder without it.")
endif()

# Debian's build flags, hardening included, as dpkg-buildflags gives them to a package build. Its
# file prefix map is taken from the folder it runs in: the source tree, so that builds compare.
find_program(KVX_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
if(DEFINED ENV{DEB_BUILD_MAINT_OPTIONS})
  set(kvx_maint_options "$ENV{DEB_BUILD_MAINT_OPTIONS}")
else()
  set(kvx_maint_options hardening=+all)
endif()
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=${kvx_maint_options} ${KVX_DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(kvx_deb_${kind} UNIX_COMMAND "${flags}")
endforeach()
# They come after the build type's own, so -O2, which _FORTIFY_SOURCE needs, holds in every build type.
add_compile_options(${kvx_deb_CPPFLAGS} ${kvx_deb_CXXFLAGS})
add_link_options(${kvx_deb_LDFLAGS})

# glibc fortifies snprintf and its kin in C++ only through a GCC builtin: clang's C++ build calls the
# unchecked functions, and lintian reports hardening-no-fortify-functions.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  message(WARNING "Debian packages are built with g++ (-DCMAKE_CXX_COMPILER=g++): "
    "${CMAKE_CXX_COMPILER_ID} leaves the C++ code without glibc's fortified functions")
endif()
