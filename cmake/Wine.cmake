# Windows programs run under Wine through scripts/wine-run, in a prefix inside
# the build tree (never ~/.wine). Both Windows presets share one prefix.
set(CHIMORA_WINEPREFIX "${PROJECT_BINARY_DIR}/wineprefix" CACHE PATH "Wine prefix for running tests")
set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/scripts/wine-run;--prefix;${CHIMORA_WINEPREFIX}")

# Wine runs 32-bit programs through an i386 Linux loader, and some machines
# (virtual machines without 32-bit user mode) cannot execute it. There the
# 32-bit build is still compiled, linked and checked, but its programs are
# not run.
set(CHIMORA_RUN_TESTS ON)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    execute_process(COMMAND "${PROJECT_SOURCE_DIR}/scripts/can-run-win32" RESULT_VARIABLE can_run)
    if(NOT can_run EQUAL 0)
        set(CHIMORA_RUN_TESTS OFF)
        message(WARNING "This machine cannot run 32-bit Windows programs under Wine: "
                        "the 32-bit tests are built but not run.")
    endif()
endif()
