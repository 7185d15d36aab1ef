# Empty dependencies file for tolvane.
# This may be replaced when dependencies are built.
