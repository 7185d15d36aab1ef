file(REMOVE_RECURSE
  "libtolvane_regfile.a"
)
