# A Debian package of what cmake --install puts in place:
#   cmake --build build --target package    (or scripts/package)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME xnconfig)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "xnconfig developers")
set(CPACK_PACKAGE_CONTACT "xnconfig developers <xnconfig@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "configuration editor for the files of a COBOL runtime system")
set(CPACK_PACKAGE_DESCRIPTION
    "A full-screen console form editor, with a batch mode for scripts, for\n"
    "the three configuration files the runtime reads: system configurations\n"
    "(.cfi), terminal descriptions (.tdi) and printer translations (.pti).")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# The terminal descriptions are read at run time from the terminfo
# database, also by the statically linked program.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ncurses-base")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ncurses-term")
# The shared libraries the program needs (none for the static build) are
# found by dpkg-shlibdeps; without it the C library is declared by hand.
find_program(XN_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(XN_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
elseif(NOT (XN_STATIC AND XN_HAVE_STATIC_PIE AND NOT XN_SANITIZE))
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libc6")
endif()
include(CPack)

if(NOT XN_TESTS STREQUAL "OFF")
  add_test(NAME package.deb
           COMMAND sh ${CMAKE_SOURCE_DIR}/tests/dist/package_test.sh
                   ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(package.deb PROPERTIES LABELS dist TIMEOUT 300)
endif()
