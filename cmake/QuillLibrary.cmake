# One static library per subsystem: every .cpp in the folder belongs to it, so
# adding a file needs no edit here.
function(quill_library name)
  cmake_parse_arguments(QL "" "" "DEPS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(_sources)
    add_library(${name} STATIC ${_sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${QL_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${QL_DEPS})
  endif()
endfunction()

# One GoogleTest executable per test folder; every .cpp in it is a test file.
function(quill_test name)
  cmake_parse_arguments(QT "OWN_MAIN" "" "DEPS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT _sources)
    return()
  endif()
  add_executable(${name} ${_sources})
  target_link_libraries(${name} PRIVATE ${QT_DEPS} GTest::gtest GTest::gmock)
  if(NOT QT_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    QUILL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUILL_FIXTURES_DIR="${PROJECT_SOURCE_DIR}/tests/fixtures"
    QUILL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QUILL_TEST=1;QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endfunction()
