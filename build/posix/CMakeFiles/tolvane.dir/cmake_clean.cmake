file(REMOVE_RECURSE
  "CMakeFiles/tolvane.dir/src/platform/platform_posix.cpp.o"
  "CMakeFiles/tolvane.dir/src/platform/platform_posix.cpp.o.d"
  "CMakeFiles/tolvane.dir/src/startup/main.cpp.o"
  "CMakeFiles/tolvane.dir/src/startup/main.cpp.o.d"
  "tolvane"
  "tolvane.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/tolvane.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
