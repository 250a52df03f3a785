# Files of src/toolkit (paths relative to the source root).
