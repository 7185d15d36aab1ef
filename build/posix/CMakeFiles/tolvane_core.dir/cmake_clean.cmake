file(REMOVE_RECURSE
  "CMakeFiles/tolvane_core.dir/src/commands/execution.cpp.o"
  "CMakeFiles/tolvane_core.dir/src/commands/execution.cpp.o.d"
  "CMakeFiles/tolvane_core.dir/src/commands/options.cpp.o"
  "CMakeFiles/tolvane_core.dir/src/commands/options.cpp.o.d"
  "CMakeFiles/tolvane_core.dir/src/intake/launcher.cpp.o"
  "CMakeFiles/tolvane_core.dir/src/intake/launcher.cpp.o.d"
  "CMakeFiles/tolvane_core.dir/src/intake/tokenizer.cpp.o"
  "CMakeFiles/tolvane_core.dir/src/intake/tokenizer.cpp.o.d"
  "CMakeFiles/tolvane_core.dir/src/markers/markers.cpp.o"
  "CMakeFiles/tolvane_core.dir/src/markers/markers.cpp.o.d"
  "CMakeFiles/tolvane_core.dir/src/resources/resources.cpp.o"
  "CMakeFiles/tolvane_core.dir/src/resources/resources.cpp.o.d"
  "CMakeFiles/tolvane_core.dir/src/runtime/registry_lookup.cpp.o"
  "CMakeFiles/tolvane_core.dir/src/runtime/registry_lookup.cpp.o.d"
  "CMakeFiles/tolvane_core.dir/src/runtime/selection.cpp.o"
  "CMakeFiles/tolvane_core.dir/src/runtime/selection.cpp.o.d"
  "CMakeFiles/tolvane_core.dir/src/runtime/versions.cpp.o"
  "CMakeFiles/tolvane_core.dir/src/runtime/versions.cpp.o.d"
  "CMakeFiles/tolvane_core.dir/src/startup/startup.cpp.o"
  "CMakeFiles/tolvane_core.dir/src/startup/startup.cpp.o.d"
  "libtolvane_core.a"
  "libtolvane_core.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/tolvane_core.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
