# The program's version information: the one source for the Linux program's
# banner, the Windows version resource and manifest, and the packages (their
# file names, the installer's version information, the Debian version).
set(TW_TITLE "Brenholt")
set(TW_INTERNAL_NAME "Tarnwick")
set(TW_VERSION_MAJOR 1)
set(TW_VERSION_MINOR 0)
set(TW_VERSION_BUILD 0)
set(TW_VERSION_REVISION 12)
# The four numbers as the version resource's file and product version show
# them; packages and their file names carry this one.
set(TW_VERSION "${TW_VERSION_MAJOR}.${TW_VERSION_MINOR}.${TW_VERSION_BUILD}.${TW_VERSION_REVISION}")
set(TW_COMPANY "Quillmere")
set(TW_LEGAL_COPYRIGHT "Copyright (C) 2026 Quillmere. All rights reserved.")
set(TW_WEB_ADDRESS "www.quillmere.example/brenholt")
# The application manifest's assembly version (the file version is above).
set(TW_ASSEMBLY_NAME "Quillmere.Tarnwick.Tarnwick")
set(TW_ASSEMBLY_VERSION "1.0.0.0")
