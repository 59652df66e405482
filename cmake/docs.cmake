# Manual pages and shell completion: their name and key lists are made from
# the program's own tables by xndoc, and tests check that they still agree.

set(XN_GENERATED_DOCS
  ${CMAKE_SOURCE_DIR}/man/xnconfig.1
  ${CMAKE_SOURCE_DIR}/man/xnconfig.5
  ${CMAKE_SOURCE_DIR}/completion/xnconfig.bash)

add_executable(xndoc tools/xndoc.cpp)
target_link_libraries(xndoc PRIVATE xnstore xnkern)
# It reads the stores' own key tables, as the library's white-box tests do.
target_compile_definitions(xndoc PRIVATE XN_LIBRARY_BUILD)
# Rewrites the generated blocks of the checked-in files after a table change.
add_custom_target(update-docs
  COMMAND xndoc update ${XN_GENERATED_DOCS}
  COMMENT "Bringing the manual pages and completion in step with the tables")

# Debian installs manual pages compressed; -n keeps the archive the same
# from one build to the next.
set(XN_MAN_GZ)
foreach(page xnconfig.1 xnconfig.5)
  set(out ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/man/${page} ${CMAKE_BINARY_DIR}/man/${page}
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/${page}
    DEPENDS ${CMAKE_SOURCE_DIR}/man/${page}
    VERBATIM)
  list(APPEND XN_MAN_GZ ${out})
endforeach()
add_custom_target(manpages ALL DEPENDS ${XN_MAN_GZ})

if(NOT XN_TESTS STREQUAL "OFF")
  enable_testing()
  if(XN_TESTS STREQUAL "AUTO")
    find_program(XN_MANDOC mandoc)
  else()
    find_program(XN_MANDOC mandoc REQUIRED)
  endif()
  set(dist ${CMAKE_SOURCE_DIR}/tests/dist)
  add_test(NAME docs.in_step_with_tables
           COMMAND xndoc check ${XN_GENERATED_DOCS})
  add_test(NAME docs.options_documented
           COMMAND sh ${dist}/options_documented.sh $<TARGET_FILE:xnconfig>
                   ${CMAKE_SOURCE_DIR}/man/xnconfig.1 ${CMAKE_SOURCE_DIR}/completion/xnconfig.bash)
  if(XN_MANDOC)
    add_test(NAME docs.man_lint
             COMMAND sh ${dist}/man_lint.sh ${XN_MANDOC}
                     ${CMAKE_SOURCE_DIR}/man/xnconfig.1 ${CMAKE_SOURCE_DIR}/man/xnconfig.5)
  else()
    message(STATUS "mandoc not found: the manual pages are not checked (scripts/deps test)")
  endif()
  add_test(NAME docs.completion
           COMMAND bash ${dist}/completion_test.sh ${CMAKE_SOURCE_DIR}/completion/xnconfig.bash)
  set_tests_properties(docs.in_step_with_tables docs.options_documented docs.completion
                       PROPERTIES LABELS dist TIMEOUT 60)
  if(XN_MANDOC)
    set_tests_properties(docs.man_lint PROPERTIES LABELS dist TIMEOUT 60)
  endif()
endif()
