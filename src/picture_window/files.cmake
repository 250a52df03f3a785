# Files of src/picture_window (paths relative to the source root).
list(APPEND ZELTA_CORE_SOURCES src/picture_window/geometry.cpp)
list(APPEND ZELTA_WIN_SOURCES src/picture_window/picture_form.cpp)
