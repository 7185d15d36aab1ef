# CMake generated Testfile for 
# Source directory: /work/main
# Build directory: /work/main/build/posix
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/main/build/posix/unit_tests[1]_include.cmake")
add_test([=[e2e_posix]=] "/root/.pyenv/shims/python3" "/work/main/tests/e2e/run.py" "--target" "posix" "--launcher" "/work/main/build/posix/tolvane")
set_tests_properties([=[e2e_posix]=] PROPERTIES  _BACKTRACE_TRIPLES "/work/main/CMakeLists.txt;39;add_test;/work/main/CMakeLists.txt;0;")
