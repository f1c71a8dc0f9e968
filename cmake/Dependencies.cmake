# Every dependency comes from a Debian package; scripts/setup installs them.
find_package(ZLIB REQUIRED)
find_package(JPEG REQUIRED)

find_path(NEWMAT_INCLUDE_DIR newmat/newmat.h REQUIRED)
find_library(NEWMAT_LIBRARY NAMES newmat REQUIRED)
if(NOT TARGET vuziza::newmat)
  add_library(vuziza::newmat UNKNOWN IMPORTED)
  set_target_properties(vuziza::newmat PROPERTIES
    IMPORTED_LOCATION "${NEWMAT_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${NEWMAT_INCLUDE_DIR}")
endif()
