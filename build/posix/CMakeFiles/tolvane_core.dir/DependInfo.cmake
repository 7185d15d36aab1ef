
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/commands/execution.cpp" "CMakeFiles/tolvane_core.dir/src/commands/execution.cpp.o" "gcc" "CMakeFiles/tolvane_core.dir/src/commands/execution.cpp.o.d"
  "/work/main/src/commands/options.cpp" "CMakeFiles/tolvane_core.dir/src/commands/options.cpp.o" "gcc" "CMakeFiles/tolvane_core.dir/src/commands/options.cpp.o.d"
  "/work/main/src/intake/launcher.cpp" "CMakeFiles/tolvane_core.dir/src/intake/launcher.cpp.o" "gcc" "CMakeFiles/tolvane_core.dir/src/intake/launcher.cpp.o.d"
  "/work/main/src/intake/tokenizer.cpp" "CMakeFiles/tolvane_core.dir/src/intake/tokenizer.cpp.o" "gcc" "CMakeFiles/tolvane_core.dir/src/intake/tokenizer.cpp.o.d"
  "/work/main/src/markers/markers.cpp" "CMakeFiles/tolvane_core.dir/src/markers/markers.cpp.o" "gcc" "CMakeFiles/tolvane_core.dir/src/markers/markers.cpp.o.d"
  "/work/main/src/resources/resources.cpp" "CMakeFiles/tolvane_core.dir/src/resources/resources.cpp.o" "gcc" "CMakeFiles/tolvane_core.dir/src/resources/resources.cpp.o.d"
  "/work/main/src/runtime/registry_lookup.cpp" "CMakeFiles/tolvane_core.dir/src/runtime/registry_lookup.cpp.o" "gcc" "CMakeFiles/tolvane_core.dir/src/runtime/registry_lookup.cpp.o.d"
  "/work/main/src/runtime/selection.cpp" "CMakeFiles/tolvane_core.dir/src/runtime/selection.cpp.o" "gcc" "CMakeFiles/tolvane_core.dir/src/runtime/selection.cpp.o.d"
  "/work/main/src/runtime/versions.cpp" "CMakeFiles/tolvane_core.dir/src/runtime/versions.cpp.o" "gcc" "CMakeFiles/tolvane_core.dir/src/runtime/versions.cpp.o.d"
  "/work/main/src/startup/startup.cpp" "CMakeFiles/tolvane_core.dir/src/startup/startup.cpp.o" "gcc" "CMakeFiles/tolvane_core.dir/src/startup/startup.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
