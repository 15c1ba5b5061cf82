# Tests of src/monitor/ (none yet).
