# Files of src/setup (paths relative to the source root).
