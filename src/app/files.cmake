# Files of src/app (paths relative to the source root). win_main.cpp is the executable's entry.
list(APPEND ZELTA_CORE_SOURCES src/app/classify.cpp)
list(APPEND ZELTA_WIN_SOURCES src/app/main.cpp src/app/instances.cpp)
