file(REMOVE_RECURSE
  "libtolvane_core.a"
)
