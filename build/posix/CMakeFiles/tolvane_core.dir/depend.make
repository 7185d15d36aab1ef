# Empty dependencies file for tolvane_core.
# This may be replaced when dependencies are built.
