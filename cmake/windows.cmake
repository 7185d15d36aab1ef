# The product: tolvane.exe, a console exe that needs nothing but Windows;
# and tolvane-check.exe, the checker, under the same rules.
enable_language(RC)

include(cmake/branding.cmake)

tolvane_resources(NAME ${TOLVANE_EXE_NAME} DESCRIPTION "${TOLVANE_FILE_DESCRIPTION}" PRODUCT "${TOLVANE_PRODUCT_NAME}"
                  VERSION_TEXT "${TOLVANE_VERSION_TEXT}" VERSION_NUMBERS "${TOLVANE_VERSION_NUMBERS}"
                  COMPANY "${TOLVANE_COMPANY}" COPYRIGHT "${TOLVANE_COPYRIGHT}" ICON "${TOLVANE_ICON}"
                  LEVEL ${TOLVANE_EXECUTION_LEVEL} OUT TOLVANE_RC)
add_executable(tolvane src/startup/main.cpp src/platform/platform_win32.cpp src/platform/runtime_win32.cpp
               ${TOLVANE_RC})
set_target_properties(tolvane PROPERTIES OUTPUT_NAME ${TOLVANE_EXE_NAME})
target_link_libraries(tolvane PRIVATE tolvane_core user32 advapi32 kernel32)
# Without exceptions: nothing catches one, and their run-time (unwinder,
# exception objects, the thread library they lock with) would be most of the
# exe.  runtime_win32.cpp ends the process where the library would throw.
# The launcher runs on one thread, so local statics need no locks either.
set(TOLVANE_RUNTIME_OPTIONS -fno-exceptions -fno-threadsafe-statics)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    # On i686 the unwind tables are DWARF, read by the GCC unwinder alone,
    # which the exe no longer holds; and each table keeps the function it
    # describes from being dropped by --gc-sections.  (On x86_64 they are the
    # system's own unwind data, and stay.)
    list(APPEND TOLVANE_RUNTIME_OPTIONS -fno-asynchronous-unwind-tables)
endif()
target_compile_options(tolvane_core PRIVATE ${TOLVANE_RUNTIME_OPTIONS})
target_compile_options(tolvane PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${TOLVANE_RUNTIME_OPTIONS}>")
# The C++ and GCC run-times are linked in, so the exe imports system DLLs only.
target_link_options(tolvane PRIVATE -static -static-libgcc -static-libstdc++ -s)

# The checker catches each word's failure as an exception, so it runs on a
# build of the core with exceptions, and with the C++ run-time's own string.
add_library(tolvane_core_checked STATIC ${TOLVANE_CORE_SOURCES})
target_include_directories(tolvane_core_checked PUBLIC src)
tolvane_resources(NAME tolvane-check DESCRIPTION "tolvane medium checker" PRODUCT tolvane
                  VERSION_TEXT "${PROJECT_VERSION}"
                  VERSION_NUMBERS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0"
                  LEVEL asInvoker OUT CHECK_RC)
add_executable(tolvane-check ${TOLVANE_CHECK_SOURCES} ${CHECK_RC})
target_link_libraries(tolvane-check PRIVATE tolvane_core_checked tolvane_regfile)
target_link_options(tolvane-check PRIVATE -static -static-libgcc -static-libstdc++ -s)

# Starts a raw command line byte for byte, for the end-to-end cases.
add_executable(rawrun tests/e2e/rawrun.cpp)
target_link_options(rawrun PRIVATE -static -static-libgcc -static-libstdc++)

# Signing with the vendor's certificate: cmake --build --preset windows
# --target sign (make sign) writes the signed exes to signed/.  The
# environment variables of the same names stand in for empty ones.
set(TOLVANE_SIGN_PKCS12 "" CACHE FILEPATH "Code-signing certificate and key, a PKCS#12 file")
set(TOLVANE_SIGN_PASSWORD_FILE "" CACHE FILEPATH "A file whose first line is the PKCS#12 password")
set(TOLVANE_SIGN_TIMESTAMP_URL "" CACHE STRING "An RFC 3161 timestamp server (none when empty)")
set(sign_environment)
foreach(variable TOLVANE_SIGN_PKCS12 TOLVANE_SIGN_PASSWORD_FILE TOLVANE_SIGN_TIMESTAMP_URL)
    if(${variable})
        list(APPEND sign_environment "${variable}=${${variable}}")
    endif()
endforeach()
add_custom_target(sign
    COMMAND ${CMAKE_COMMAND} -E env ${sign_environment} "TOLVANE_SIGN_NAME=${TOLVANE_PRODUCT_NAME}"
            sh ${CMAKE_SOURCE_DIR}/scripts/sign.sh ${CMAKE_BINARY_DIR}/signed
            $<TARGET_FILE:tolvane> $<TARGET_FILE:tolvane-check>
    DEPENDS tolvane tolvane-check
    COMMENT "Signing the exes into ${CMAKE_BINARY_DIR}/signed"
    VERBATIM)

option(TOLVANE_WINE_TESTS "Run the end-to-end cases under Wine" ON)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    # What a medium needs of the exe: 32-bit console program, system DLLs
    # only, the manifest, the version block and the icon of its brand, a size
    # fit for a medium.
    set(brand_argument)
    if(TOLVANE_BRAND)
        set(brand_argument --brand ${TOLVANE_BRAND})
    endif()
    add_test(NAME exe_properties
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/windows/check_exe.py
                     $<TARGET_FILE:tolvane> --objdump ${CMAKE_OBJDUMP} --version ${PROJECT_VERSION} ${brand_argument})
    if(NOT TOLVANE_BRAND)
        add_test(NAME check_exe_properties
                 COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/windows/check_exe.py
                         $<TARGET_FILE:tolvane-check> --objdump ${CMAKE_OBJDUMP} --version ${PROJECT_VERSION}
                         --name tolvane-check --description "tolvane medium checker" --max-size 0)
    endif()

    if(TOLVANE_WINE_TESTS)
        # The end-to-end cases against this very exe under 32-bit Wine.
        # Where the kernel refuses 32-bit code, i386.py runs them under an
        # emulator registered in a namespace of their own.
        add_test(NAME wine_e2e
                 COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/windows/i386.py
                         --cache ${CMAKE_BINARY_DIR}/tools --
                         ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/run.py
                         --target wine --modes run,plan,check,findings --launcher $<TARGET_FILE:tolvane>
                         --checker $<TARGET_FILE:tolvane-check> --rawrun $<TARGET_FILE:rawrun>)
        set_tests_properties(wine_e2e PROPERTIES TIMEOUT 1800)
    endif()
endif()
