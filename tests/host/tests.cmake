# Tests of src/host/ (none yet).
