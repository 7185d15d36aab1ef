file(REMOVE_RECURSE
  "CMakeFiles/unit_tests.dir/src/platform/platform_fake.cpp.o"
  "CMakeFiles/unit_tests.dir/src/platform/platform_fake.cpp.o.d"
  "CMakeFiles/unit_tests.dir/tests/unit/intake_test.cpp.o"
  "CMakeFiles/unit_tests.dir/tests/unit/intake_test.cpp.o.d"
  "CMakeFiles/unit_tests.dir/tests/unit/markers_test.cpp.o"
  "CMakeFiles/unit_tests.dir/tests/unit/markers_test.cpp.o.d"
  "CMakeFiles/unit_tests.dir/tests/unit/options_test.cpp.o"
  "CMakeFiles/unit_tests.dir/tests/unit/options_test.cpp.o.d"
  "CMakeFiles/unit_tests.dir/tests/unit/regfile_test.cpp.o"
  "CMakeFiles/unit_tests.dir/tests/unit/regfile_test.cpp.o.d"
  "CMakeFiles/unit_tests.dir/tests/unit/resources_test.cpp.o"
  "CMakeFiles/unit_tests.dir/tests/unit/resources_test.cpp.o.d"
  "CMakeFiles/unit_tests.dir/tests/unit/runtime_test.cpp.o"
  "CMakeFiles/unit_tests.dir/tests/unit/runtime_test.cpp.o.d"
  "CMakeFiles/unit_tests.dir/tests/unit/startup_test.cpp.o"
  "CMakeFiles/unit_tests.dir/tests/unit/startup_test.cpp.o.d"
  "CMakeFiles/unit_tests.dir/tests/unit/support.cpp.o"
  "CMakeFiles/unit_tests.dir/tests/unit/support.cpp.o.d"
  "CMakeFiles/unit_tests.dir/tests/unit/tokenizer_test.cpp.o"
  "CMakeFiles/unit_tests.dir/tests/unit/tokenizer_test.cpp.o.d"
  "unit_tests"
  "unit_tests.pdb"
  "unit_tests[1]_tests.cmake"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/unit_tests.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
