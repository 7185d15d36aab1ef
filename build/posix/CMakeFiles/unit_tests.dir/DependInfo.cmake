
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/platform/platform_fake.cpp" "CMakeFiles/unit_tests.dir/src/platform/platform_fake.cpp.o" "gcc" "CMakeFiles/unit_tests.dir/src/platform/platform_fake.cpp.o.d"
  "/work/main/tests/unit/intake_test.cpp" "CMakeFiles/unit_tests.dir/tests/unit/intake_test.cpp.o" "gcc" "CMakeFiles/unit_tests.dir/tests/unit/intake_test.cpp.o.d"
  "/work/main/tests/unit/markers_test.cpp" "CMakeFiles/unit_tests.dir/tests/unit/markers_test.cpp.o" "gcc" "CMakeFiles/unit_tests.dir/tests/unit/markers_test.cpp.o.d"
  "/work/main/tests/unit/options_test.cpp" "CMakeFiles/unit_tests.dir/tests/unit/options_test.cpp.o" "gcc" "CMakeFiles/unit_tests.dir/tests/unit/options_test.cpp.o.d"
  "/work/main/tests/unit/regfile_test.cpp" "CMakeFiles/unit_tests.dir/tests/unit/regfile_test.cpp.o" "gcc" "CMakeFiles/unit_tests.dir/tests/unit/regfile_test.cpp.o.d"
  "/work/main/tests/unit/resources_test.cpp" "CMakeFiles/unit_tests.dir/tests/unit/resources_test.cpp.o" "gcc" "CMakeFiles/unit_tests.dir/tests/unit/resources_test.cpp.o.d"
  "/work/main/tests/unit/runtime_test.cpp" "CMakeFiles/unit_tests.dir/tests/unit/runtime_test.cpp.o" "gcc" "CMakeFiles/unit_tests.dir/tests/unit/runtime_test.cpp.o.d"
  "/work/main/tests/unit/startup_test.cpp" "CMakeFiles/unit_tests.dir/tests/unit/startup_test.cpp.o" "gcc" "CMakeFiles/unit_tests.dir/tests/unit/startup_test.cpp.o.d"
  "/work/main/tests/unit/support.cpp" "CMakeFiles/unit_tests.dir/tests/unit/support.cpp.o" "gcc" "CMakeFiles/unit_tests.dir/tests/unit/support.cpp.o.d"
  "/work/main/tests/unit/tokenizer_test.cpp" "CMakeFiles/unit_tests.dir/tests/unit/tokenizer_test.cpp.o" "gcc" "CMakeFiles/unit_tests.dir/tests/unit/tokenizer_test.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/posix/CMakeFiles/tolvane_core.dir/DependInfo.cmake"
  "/work/main/build/posix/CMakeFiles/tolvane_regfile.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
