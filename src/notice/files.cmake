# Files of src/notice (paths relative to the source root).
list(APPEND ZELTA_WIN_SOURCES src/notice/notice_form.cpp)
