# Files of src/picture_window (paths relative to the source root).
