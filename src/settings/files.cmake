# Files of src/settings (paths relative to the source root).
list(APPEND ZELTA_CORE_SOURCES src/settings/memory_store.cpp src/settings/number_text.cpp)
list(APPEND ZELTA_WIN_SOURCES src/settings/registry_store.cpp)
