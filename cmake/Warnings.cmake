add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(WIN32)
    # Windows headers: ANSI entry points, no min/max macros.
    add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX)
endif()
