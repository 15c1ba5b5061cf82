# Tests of src/page/ (none yet).
