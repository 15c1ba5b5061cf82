# Tests of src/settings/ (none yet).
