# velunor_test(NAME SOURCES... LIBS ... [APART CASE...]): a GoogleTest executable
# registered with CTest; in the cross build CTest runs it under Wine. Given the
# resource file of scripts/with-wine.sh, ctest gives each running test one of
# its prefixes (the resource "wine") to itself, so programs that share a
# registry and folders run side by side without meeting. Each CASE named after
# APART (Suite.Case, a long one) is a test of its own, NAME.Suite.Case, that can
# run beside the rest of the program, which the test NAME runs.
function(velunor_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;APART" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} test_support GTest::gtest_main)
  set(tests ${name})
  if(T_APART)
    list(JOIN T_APART ":" apart)
    add_test(NAME ${name} COMMAND ${name} --gtest_filter=-${apart})
    foreach(case ${T_APART})
      add_test(NAME ${name}.${case} COMMAND ${name} --gtest_filter=${case})
      list(APPEND tests ${name}.${case})
    endforeach()
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${tests} PROPERTIES TIMEOUT 300)
  if(VELUNOR_CROSS)
    target_link_options(${name} PRIVATE -mconsole)
    set_tests_properties(${tests} PROPERTIES RESOURCE_GROUPS "wine:1")
  endif()
endfunction()

# The manifest names the processor of the build: a 64-bit program bound to
# the x86 common controls cannot load them.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  set(VELUNOR_MANIFEST_ARCH amd64)
else()
  set(VELUNOR_MANIFEST_ARCH x86)
endif()
set(VELUNOR_MANIFEST ${PROJECT_BINARY_DIR}/program.manifest)
configure_file(${PROJECT_SOURCE_DIR}/cmake/program.manifest.in ${VELUNOR_MANIFEST} @ONLY)

# velunor_resources(TARGET NAME DESCRIPTION ICON [VERSION a.b.c.d]): version
# resource (1.0.0.1 unless given), icon and manifest.
function(velunor_resources target name description icon)
  cmake_parse_arguments(R "" "VERSION" "" ${ARGN})
  if(NOT R_VERSION)
    set(R_VERSION 1.0.0.1)
  endif()
  set(VELUNOR_RES_VERSION ${R_VERSION})
  string(REPLACE "." "," VELUNOR_RES_VERSION_COMMAS ${R_VERSION})
  set(VELUNOR_RES_NAME ${name})
  set(VELUNOR_RES_DESCRIPTION ${description})
  set(VELUNOR_RES_ICON ${icon})
  get_target_property(kind ${target} SUFFIX)
  set(VELUNOR_RES_FILE ${name})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc APPEND PROPERTY OBJECT_DEPENDS
               ${icon} ${VELUNOR_MANIFEST})
endfunction()

# velunor_string_tables(TARGET): the component library's string tables in the
# target's resources (the generated KvStrings.rc and the tables it names).
function(velunor_string_tables target)
  target_sources(${target} PRIVATE ${VELUNOR_STRING_TABLE_RC})
  set_source_files_properties(${VELUNOR_STRING_TABLE_RC} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTIES GENERATED TRUE)
  add_dependencies(${target} settings_store_strings)
  set_property(SOURCE ${VELUNOR_STRING_TABLE_RC} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} APPEND PROPERTY OBJECT_DEPENDS
               ${VELUNOR_STRING_TABLE_DIR}/KVSRMGR_STRINGS.bin ${VELUNOR_STRING_TABLE_DIR}/KVLIB3_STRINGS_ENGLISH.bin)
endfunction()
