# Tests of src/ui/ (none yet).
