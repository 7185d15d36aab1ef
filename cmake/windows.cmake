# The product: tolvane.exe, a console exe that needs nothing but Windows.
add_executable(tolvane src/startup/main.cpp src/platform/platform_win32.cpp)
target_link_libraries(tolvane PRIVATE tolvane_core user32 advapi32 kernel32)
# The C++ and GCC run-times are linked in, so the exe imports system DLLs only.
target_link_options(tolvane PRIVATE -static -static-libgcc -static-libstdc++ -s)

add_test(NAME wine_e2e
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/run.py
                 --target wine --launcher $<TARGET_FILE:tolvane>)
