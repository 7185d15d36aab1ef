# The product: tolvane.exe, a console exe that needs nothing but Windows.
add_executable(tolvane src/startup/main.cpp src/platform/platform_win32.cpp)
target_link_libraries(tolvane PRIVATE tolvane_core user32 advapi32 kernel32)
# The C++ and GCC run-times are linked in, so the exe imports system DLLs only.
target_link_options(tolvane PRIVATE -static -static-libgcc -static-libstdc++ -s)

# Starts a raw command line byte for byte, for the end-to-end cases.
add_executable(rawrun tests/e2e/rawrun.cpp)
target_link_options(rawrun PRIVATE -static -static-libgcc -static-libstdc++)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    # The end-to-end cases under Wine.  Where this machine cannot execute
    # 32-bit code at all, the runner falls back to the same sources built for
    # x86_64 (the windows64 preset) and says so.
    add_test(NAME wine_e2e
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/run.py
                     --target wine --launcher $<TARGET_FILE:tolvane> --rawrun $<TARGET_FILE:rawrun>
                     --fallback-dir ${CMAKE_SOURCE_DIR}/build/windows64)
    set_tests_properties(wine_e2e PROPERTIES TIMEOUT 1800)
endif()
