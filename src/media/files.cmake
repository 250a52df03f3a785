# Files of src/media (paths relative to the source root).
