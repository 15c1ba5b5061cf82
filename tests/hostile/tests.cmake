# Hostile-input tests of the whole plug-in (none yet).
