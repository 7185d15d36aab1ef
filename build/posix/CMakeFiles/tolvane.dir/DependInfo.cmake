
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/platform/platform_posix.cpp" "CMakeFiles/tolvane.dir/src/platform/platform_posix.cpp.o" "gcc" "CMakeFiles/tolvane.dir/src/platform/platform_posix.cpp.o.d"
  "/work/main/src/startup/main.cpp" "CMakeFiles/tolvane.dir/src/startup/main.cpp.o" "gcc" "CMakeFiles/tolvane.dir/src/startup/main.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/posix/CMakeFiles/tolvane_core.dir/DependInfo.cmake"
  "/work/main/build/posix/CMakeFiles/tolvane_regfile.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
