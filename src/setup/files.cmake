# Files of src/setup (paths relative to the source root).
list(APPEND ZELTA_CORE_SOURCES src/setup/get_directory.cpp src/setup/batch_lines.cpp
     src/setup/setup_logic.cpp)
list(APPEND ZELTA_WIN_SOURCES src/setup/setup_form.cpp)
