# Files of src/notice (paths relative to the source root).
