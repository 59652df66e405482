# Install: the program, its manual pages, the bash completion and the
# documentation, in the places GNUInstallDirs gives for the prefix.
include(GNUInstallDirs)

install(TARGETS xnconfig RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/man/xnconfig.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/man/xnconfig.5.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)
# bash-completion loads a command's completion on first use from here.
install(FILES completion/xnconfig.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME xnconfig)
install(FILES README.md docs/file-formats.md docs/keys.md docs/messages.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(NOT XN_TESTS STREQUAL "OFF")
  add_test(NAME install.into_prefix
           COMMAND sh ${CMAKE_SOURCE_DIR}/tests/dist/install_test.sh
                   ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
  set_tests_properties(install.into_prefix PROPERTIES LABELS dist TIMEOUT 120)
endif()
