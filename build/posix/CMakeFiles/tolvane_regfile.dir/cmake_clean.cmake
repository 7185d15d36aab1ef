file(REMOVE_RECURSE
  "CMakeFiles/tolvane_regfile.dir/src/platform/regfile.cpp.o"
  "CMakeFiles/tolvane_regfile.dir/src/platform/regfile.cpp.o.d"
  "libtolvane_regfile.a"
  "libtolvane_regfile.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/tolvane_regfile.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
