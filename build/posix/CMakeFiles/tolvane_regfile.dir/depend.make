# Empty dependencies file for tolvane_regfile.
# This may be replaced when dependencies are built.
