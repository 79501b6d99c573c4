# GoogleTest from Debian's source package, built with each preset's compiler
# and flags (a sanitizer build needs an instrumented gtest).
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# chimora_add_gtest(target [TIMEOUT seconds]): register a GoogleTest executable.
# Discovery runs before the tests (under Wine for Windows builds); the first
# discovery may create the Wine prefix, hence the long discovery timeout.
function(chimora_add_gtest target)
    cmake_parse_arguments(ARG "" "TIMEOUT" "" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    target_link_libraries(${target} PRIVATE GTest::gtest_main GTest::gmock)
    if(DEFINED CHIMORA_RUN_TESTS AND NOT CHIMORA_RUN_TESTS)
        return()
    endif()
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 90
        PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()
