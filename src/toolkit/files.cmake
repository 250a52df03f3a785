# Files of src/toolkit (paths relative to the source root).
list(APPEND ZELTA_CORE_SOURCES src/toolkit/resample.cpp src/toolkit/exif.cpp
  src/toolkit/png_check.cpp)
list(APPEND ZELTA_WIN_SOURCES
  src/toolkit/app_services.cpp
  src/toolkit/channels.cpp
  src/toolkit/controls.cpp
  src/toolkit/dialogs.cpp
  src/toolkit/form.cpp
  src/toolkit/picture.cpp
  src/toolkit/system_library.cpp)
