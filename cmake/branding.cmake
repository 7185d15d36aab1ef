# Branding of the launcher exe: what the vendor's medium shows of it in
# Explorer (name, version, company, icon), its file name, and the rights it
# asks for.  Set them one by one with -D, or all at once in a brand file:
#
#   cmake --preset windows -DTOLVANE_BRAND=path/brand.cmake
#
# A brand file is CMake code that sets the variables below with set(); it is
# read before the defaults apply, so what it sets wins.  Paths in it are best
# made absolute from ${CMAKE_CURRENT_LIST_DIR}, the brand file's own folder.
# The defaults give the unbranded tolvane.exe.

if(TOLVANE_BRAND)
    get_filename_component(TOLVANE_BRAND "${TOLVANE_BRAND}" ABSOLUTE BASE_DIR "${CMAKE_SOURCE_DIR}")
    if(NOT EXISTS "${TOLVANE_BRAND}")
        message(FATAL_ERROR "TOLVANE_BRAND: no such file: ${TOLVANE_BRAND}")
    endif()
    include("${TOLVANE_BRAND}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${TOLVANE_BRAND}")
endif()

set(TOLVANE_PRODUCT_NAME "tolvane" CACHE STRING "Product name in the exe's version block")
set(TOLVANE_COMPANY "" CACHE STRING "Company name in the exe's version block (none when empty)")
set(TOLVANE_FILE_DESCRIPTION "tolvane setup launcher" CACHE STRING "File description in the exe's version block")
set(TOLVANE_VERSION "" CACHE STRING "File and product version, four numbers such as 2.1.0.7 (empty: the project's)")
set(TOLVANE_COPYRIGHT "" CACHE STRING "Copyright in the exe's version block (none when empty)")
set(TOLVANE_ICON "" CACHE FILEPATH "The exe's icon, an .ico file (none when empty)")
set(TOLVANE_EXE_NAME "tolvane" CACHE STRING "The exe's file name, without .exe")
set(TOLVANE_EXECUTION_LEVEL "asInvoker" CACHE STRING "Requested execution level: asInvoker, highestAvailable or requireAdministrator")
set_property(CACHE TOLVANE_EXECUTION_LEVEL PROPERTY STRINGS asInvoker highestAvailable requireAdministrator)

if(NOT TOLVANE_EXECUTION_LEVEL MATCHES "^(asInvoker|highestAvailable|requireAdministrator)$")
    message(FATAL_ERROR "TOLVANE_EXECUTION_LEVEL is ${TOLVANE_EXECUTION_LEVEL}: "
                        "choose asInvoker, highestAvailable or requireAdministrator")
endif()
if(TOLVANE_VERSION STREQUAL "")
    set(TOLVANE_VERSION_TEXT "${PROJECT_VERSION}")
    set(TOLVANE_VERSION_NUMBERS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
elseif(TOLVANE_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    foreach(part ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
        if(part GREATER 65535)
            message(FATAL_ERROR "TOLVANE_VERSION ${TOLVANE_VERSION}: each number is at most 65535")
        endif()
    endforeach()
    set(TOLVANE_VERSION_TEXT "${TOLVANE_VERSION}")
    set(TOLVANE_VERSION_NUMBERS "${CMAKE_MATCH_1},${CMAKE_MATCH_2},${CMAKE_MATCH_3},${CMAKE_MATCH_4}")
else()
    message(FATAL_ERROR "TOLVANE_VERSION is ${TOLVANE_VERSION}: give four numbers, such as 2.1.0.7")
endif()
if(TOLVANE_ICON)
    get_filename_component(TOLVANE_ICON "${TOLVANE_ICON}" ABSOLUTE BASE_DIR "${CMAKE_SOURCE_DIR}")
    if(NOT EXISTS "${TOLVANE_ICON}")
        message(FATAL_ERROR "TOLVANE_ICON: no such file: ${TOLVANE_ICON}")
    endif()
endif()
if(NOT TOLVANE_EXE_NAME MATCHES "^[^<>:\"/\\\\|?*]+$" OR TOLVANE_EXE_NAME MATCHES "\\.exe$")
    message(FATAL_ERROR "TOLVANE_EXE_NAME is ${TOLVANE_EXE_NAME}: give a file name without .exe")
endif()

# A text inside a resource script's string: a double quote is written twice.
function(_tolvane_rc_text out text)
    string(REPLACE "\"" "\"\"" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The resource script of an exe: the manifest (with the execution level and
# the description), a version block with these strings, and the icon if one
# is given.  Its file name is returned in `out`.
#   tolvane_resources(NAME name DESCRIPTION text PRODUCT text VERSION_TEXT text
#                     VERSION_NUMBERS a,b,c,d [COMPANY text] [COPYRIGHT text]
#                     [ICON file] LEVEL level OUT var)
function(tolvane_resources)
    cmake_parse_arguments(R "" "NAME;DESCRIPTION;PRODUCT;VERSION_TEXT;VERSION_NUMBERS;COMPANY;COPYRIGHT;ICON;LEVEL;OUT"
                          "" ${ARGN})
    set(RC_EXECUTION_LEVEL "${R_LEVEL}")
    set(RC_DESCRIPTION "${R_DESCRIPTION}")
    string(REPLACE "&" "&amp;" RC_DESCRIPTION "${RC_DESCRIPTION}")
    string(REPLACE "<" "&lt;" RC_DESCRIPTION "${RC_DESCRIPTION}")
    string(REPLACE ">" "&gt;" RC_DESCRIPTION "${RC_DESCRIPTION}")
    set(RC_MANIFEST ${CMAKE_BINARY_DIR}/${R_NAME}.manifest)
    configure_file(${CMAKE_SOURCE_DIR}/src/platform/win32/tolvane.manifest.in ${RC_MANIFEST} @ONLY)

    set(RC_VERSION_NUMBERS "${R_VERSION_NUMBERS}")
    set(RC_ICON_LINE "")
    if(R_ICON)
        set(RC_ICON_LINE "1 ICON \"${R_ICON}\"\n")
    endif()
    set(V_CompanyName "${R_COMPANY}")
    set(V_FileDescription "${R_DESCRIPTION}")
    set(V_FileVersion "${R_VERSION_TEXT}")
    set(V_InternalName "${R_NAME}")
    set(V_LegalCopyright "${R_COPYRIGHT}")
    set(V_OriginalFilename "${R_NAME}.exe")
    set(V_ProductName "${R_PRODUCT}")
    set(V_ProductVersion "${R_VERSION_TEXT}")
    set(RC_STRINGS "")
    foreach(key CompanyName FileDescription FileVersion InternalName LegalCopyright OriginalFilename ProductName
                ProductVersion)
        if(NOT "${V_${key}}" STREQUAL "")
            _tolvane_rc_text(value "${V_${key}}")
            string(APPEND RC_STRINGS "            VALUE \"${key}\", \"${value}\"\n")
        endif()
    endforeach()
    configure_file(${CMAKE_SOURCE_DIR}/src/platform/win32/tolvane.rc.in ${CMAKE_BINARY_DIR}/${R_NAME}.rc @ONLY)
    set(depends ${RC_MANIFEST})
    if(R_ICON)
        list(APPEND depends ${R_ICON})
    endif()
    set_source_files_properties(${CMAKE_BINARY_DIR}/${R_NAME}.rc PROPERTIES OBJECT_DEPENDS "${depends}")
    set(${R_OUT} ${CMAKE_BINARY_DIR}/${R_NAME}.rc PARENT_SCOPE)
endfunction()
