# An example brand: the launcher as a vendor's setup.exe.
#   cmake --preset windows -DTOLVANE_BRAND=examples/brand/brand.cmake
# (or the windows-brand preset, which builds into build/windows-brand).
set(TOLVANE_PRODUCT_NAME "Example Product 1.0")
set(TOLVANE_COMPANY "Example Software Ltd.")
set(TOLVANE_FILE_DESCRIPTION "Example Product Setup")
set(TOLVANE_VERSION "1.0.3.12")
set(TOLVANE_COPYRIGHT "Copyright (C) 2026 Example Software Ltd.")
set(TOLVANE_ICON "${CMAKE_CURRENT_LIST_DIR}/example.ico")  # drawn by make_icon.py
set(TOLVANE_EXE_NAME "setup")
# The product's setup program installs into Program Files: ask for
# administrator rights where the user has them.
set(TOLVANE_EXECUTION_LEVEL "highestAvailable")
